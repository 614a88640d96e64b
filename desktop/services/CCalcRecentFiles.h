// The recent-file list of the File menu: the 4 most recently opened or saved
// calculation files, newest first, kept under "Recent File List" as File1 to
// File4.
#pragma once

#include <QObject>
#include <QStringList>

class QAction;
class QMenu;

class CCalcRecentFiles final : public QObject {
    Q_OBJECT

public:
    static constexpr int Capacity = 4;

    // The entries go into menu just before placeholder, which stands in for
    // them (greyed) while the list is empty.
    CCalcRecentFiles(QMenu* menu, QAction* placeholder, QObject* parent = nullptr);

    QStringList files() const { return files_; }
    // Reads the list from the settings store; unusable entries are skipped.
    void load();
    // Puts path first (once), drops what falls past the capacity, and stores
    // the list.
    void add(const QString& path);
    void remove(const QString& path);

signals:
    void openRequested(const QString& path);

private:
    void save() const;
    void rebuildMenu();

    QMenu* menu_;
    QAction* placeholder_;
    QStringList files_;
    QList<QAction*> entries_;
};
