// The document's file as another program may change it: the file last read
// or written is watched, and check() compares what is on disk now with it,
// by size, time and identity first and by content where those differ (a file
// touched but not changed counts as the same). The document asks check() on
// every change the watcher reports and once more before each Save, so that a
// change the watcher did not report in time is still seen.
#pragma once

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>

class CCalcFileWatch final : public QObject {
    Q_OBJECT

public:
    enum class State { Same, Changed, Deleted };

    explicit CCalcFileWatch(QObject* parent = nullptr);

    // The file at path is now as the document read or wrote it.
    void remember(const QString& path);
    // No file is behind the document any more.
    void forget();
    QString path() const { return path_; }

    // What has become of the file since it was remembered.
    State check() const;
    // Whether the file's change now on disk was already put to the user
    // (declined), so that the same change is not asked about twice.
    bool isDeclined() const;
    void decline();

    // A writer's bursts of changes are taken together: changedOnDisk()
    // follows the last of them after this pause.
    static constexpr int SettleMilliseconds = 100;

signals:
    // The watcher saw the file, or its folder, change.
    void changedOnDisk();

private:
    struct Stamp {
        bool Exists = false;
        std::int64_t Size = -1;
        std::int64_t Time = 0;  // nanoseconds
        std::uint64_t Device = 0;
        std::uint64_t Inode = 0;
        QByteArray Digest;  // of the content, empty until asked for
        bool operator==(const Stamp& other) const
        {
            return Exists == other.Exists && Size == other.Size && Time == other.Time && Device == other.Device &&
                Inode == other.Inode;
        }
    };
    static Stamp StampOf(const QString& path, bool withDigest);
    bool sameContent(const Stamp& remembered, Stamp& now) const;
    void watchedPathChanged();

    QFileSystemWatcher watcher_;
    QTimer settle_;
    QString path_;
    Stamp stamp_;
    Stamp declined_;
};
