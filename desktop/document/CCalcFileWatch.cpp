#include "desktop/document/CCalcFileWatch.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

// Larger files are compared by size, time and identity alone.
constexpr std::int64_t DigestLimit = std::int64_t{256} << 20;

}  // namespace

CCalcFileWatch::CCalcFileWatch(QObject* parent) : QObject(parent)
{
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &CCalcFileWatch::watchedPathChanged);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &CCalcFileWatch::watchedPathChanged);
    settle_.setSingleShot(true);
    settle_.setInterval(SettleMilliseconds);
    connect(&settle_, &QTimer::timeout, this, &CCalcFileWatch::changedOnDisk);
}

CCalcFileWatch::Stamp CCalcFileWatch::StampOf(const QString& path, bool withDigest)
{
    Stamp stamp;
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return stamp;
    stamp.Exists = true;
    stamp.Size = status.st_size;
    stamp.Time = static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    stamp.Device = status.st_dev;
    stamp.Inode = status.st_ino;
    if (withDigest && stamp.Size <= DigestLimit) {
        QFile file(path);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (file.open(QIODevice::ReadOnly) && hash.addData(&file))
            stamp.Digest = hash.result();
    }
    return stamp;
}

void CCalcFileWatch::remember(const QString& path)
{
    forget();
    path_ = QFileInfo(path).absoluteFilePath();
    stamp_ = StampOf(path_, true);
    watcher_.addPath(path_);
    // The folder too: a file replaced by renaming, or deleted and made
    // again, is seen there.
    watcher_.addPath(QFileInfo(path_).absolutePath());
}

void CCalcFileWatch::forget()
{
    if (const QStringList watched = watcher_.files() + watcher_.directories(); !watched.isEmpty())
        watcher_.removePaths(watched);
    settle_.stop();
    path_.clear();
    stamp_ = {};
    declined_ = {};
}

bool CCalcFileWatch::sameContent(const Stamp& remembered, Stamp& now) const
{
    if (remembered == now)
        return true;
    if (remembered.Digest.isEmpty() || now.Size != remembered.Size)
        return false;
    now = StampOf(path_, true);
    return !now.Digest.isEmpty() && now.Digest == remembered.Digest;
}

CCalcFileWatch::State CCalcFileWatch::check() const
{
    if (path_.isEmpty())
        return State::Same;
    Stamp now = StampOf(path_, false);
    if (!now.Exists)
        return stamp_.Exists ? State::Deleted : State::Same;
    return sameContent(stamp_, now) ? State::Same : State::Changed;
}

bool CCalcFileWatch::isDeclined() const
{
    if (!declined_.Exists)
        return false;
    Stamp now = StampOf(path_, false);
    return now.Exists && sameContent(declined_, now);
}

void CCalcFileWatch::decline()
{
    declined_ = StampOf(path_, true);
}

void CCalcFileWatch::watchedPathChanged()
{
    if (path_.isEmpty())
        return;
    // A file replaced or deleted leaves the watcher's list; it is watched
    // again once there is a file at the path.
    if (!watcher_.files().contains(path_) && QFileInfo::exists(path_))
        watcher_.addPath(path_);
    settle_.start();
}
