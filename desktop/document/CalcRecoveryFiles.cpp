#include "desktop/document/CalcRecoveryFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace CalcRecoveryFiles {

namespace {

const QString LockSuffix = QStringLiteral(".lock");
const QString CopySuffix = QStringLiteral(".vcl");
const QString PathSuffix = QStringLiteral(".path");

QString Cause(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray Encoded(const QString& path)
{
    return QFile::encodeName(path);
}

// An open descriptor, closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

bool IsPrivateDirectory(const struct stat& status)
{
    return S_ISDIR(status.st_mode) && status.st_uid == ::geteuid();
}

// Makes path a folder of the user's own that only the user can enter; the
// folders above it that are missing are made the same way.
QString MakePrivateFolder(const QString& path, int depth)
{
    struct stat status {};
    if (::lstat(Encoded(path).constData(), &status) != 0) {
        if (errno != ENOENT)
            return Cause(errno);
        const QString parent = QFileInfo(path).absolutePath();
        if (depth > 0 && parent != path) {
            if (QString error = MakePrivateFolder(parent, depth - 1); !error.isEmpty())
                return error;
        }
        if (::mkdir(Encoded(path).constData(), 0700) != 0 && errno != EEXIST)
            return Cause(errno);
        if (::lstat(Encoded(path).constData(), &status) != 0)
            return Cause(errno);
    }
    if (!IsPrivateDirectory(status))
        return QStringLiteral("%1 is not a folder of the user's own").arg(path);
    if ((status.st_mode & 077) != 0 && ::chmod(Encoded(path).constData(), 0700) != 0)
        return Cause(errno);
    return {};
}

// The folder, opened without following a link, when it is the user's own.
int OpenFolder(const QString& directory)
{
    Descriptor folder(::open(Encoded(directory).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    if (folder.get() < 0 || ::fstat(folder.get(), &status) != 0 || !IsPrivateDirectory(status))
        return -1;
    return folder.release();
}

QString TemporaryName(const QString& name)
{
    return QStringLiteral(".%1.%2").arg(name).arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
}

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

const QString& InstanceName()
{
    static const QString name =
        QStringLiteral("%1-%2").arg(::getpid()).arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
    return name;
}

QString MakeFolderPrivate(const QString& directory)
{
    // The program's folder above the copies' one is kept private as well.
    if (QString error = MakePrivateFolder(directory, 2); !error.isEmpty())
        return error;
    return MakePrivateFolder(QFileInfo(directory).absolutePath(), 0);
}

QString HoldInstanceLock(const QString& directory)
{
    static int held = -1;  // kept open, and locked, until the process ends
    struct stat status {};
    if (held >= 0 && ::fstat(held, &status) == 0 && status.st_nlink > 0)
        return {};
    // Taken for the first time, or its file was removed under it.
    if (held >= 0)
        ::close(std::exchange(held, -1));
    if (QString error = MakeFolderPrivate(directory); !error.isEmpty())
        return error;
    const Descriptor folder(OpenFolder(directory));
    if (folder.get() < 0)
        return QStringLiteral("%1 is not a folder of the user's own").arg(directory);
    // Locked under a passing name and only then named after the instance,
    // so that nobody ever sees the instance's lock file unlocked.
    const QString passing = TemporaryName(InstanceName() + LockSuffix);
    Descriptor lock(
        ::openat(folder.get(), Encoded(passing).constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (lock.get() < 0)
        return Cause(errno);
    if (::flock(lock.get(), LOCK_EX | LOCK_NB) != 0 ||
        ::renameat(folder.get(), Encoded(passing).constData(), folder.get(),
                   Encoded(InstanceName() + LockSuffix).constData()) != 0) {
        const int error = errno;
        ::unlinkat(folder.get(), Encoded(passing).constData(), 0);
        return Cause(error);
    }
    held = lock.release();
    return {};
}

bool IsInstanceRunning(const QString& directory, const QString& instance)
{
    if (instance == InstanceName())
        return true;
    const Descriptor folder(OpenFolder(directory));
    if (folder.get() < 0)
        return false;
    const Descriptor lock(
        ::openat(folder.get(), Encoded(instance + LockSuffix).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (lock.get() < 0)
        return false;
    if (::flock(lock.get(), LOCK_SH | LOCK_NB) != 0)
        return errno == EWOULDBLOCK;
    ::flock(lock.get(), LOCK_UN);
    return false;
}

QString InstanceOf(const QString& fileName)
{
    // "<process id>-<random>-<document number>~<document>.vcl"
    static const QRegularExpression Owner(QStringLiteral("^([0-9]+-[0-9a-f]{16})-[0-9]+~"));
    const QRegularExpressionMatch match = Owner.match(fileName);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString WritePrivately(const QString& directory, const QString& name, const std::string& bytes)
{
    const Descriptor folder(OpenFolder(directory));
    if (folder.get() < 0)
        return QStringLiteral("%1 is not a folder of the user's own").arg(directory);
    const QString passing = TemporaryName(name);
    const QByteArray passingName = Encoded(passing);
    const Descriptor file(
        ::openat(folder.get(), passingName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (file.get() < 0)
        return Cause(errno);
    if (!WriteAll(file.get(), bytes.data(), bytes.size()) || ::fsync(file.get()) != 0 ||
        ::renameat(folder.get(), passingName.constData(), folder.get(), Encoded(name).constData()) != 0) {
        const int error = errno;
        ::unlinkat(folder.get(), passingName.constData(), 0);
        return Cause(error);
    }
    ::fsync(folder.get());
    return {};
}

std::optional<std::string> ReadPrivately(const QString& directory, const QString& name, std::size_t limit,
                                         QString* error)
{
    const auto fail = [error](const QString& cause) {
        if (error != nullptr)
            *error = cause;
        return std::nullopt;
    };
    const Descriptor folder(OpenFolder(directory));
    if (folder.get() < 0)
        return fail(QStringLiteral("%1 is not a folder of the user's own").arg(directory));
    const Descriptor file(
        ::openat(folder.get(), Encoded(name).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0)
        return fail(errno == ELOOP ? QStringLiteral("a symbolic link, not a copy") : Cause(errno));
    struct stat status {};
    if (::fstat(file.get(), &status) != 0)
        return fail(Cause(errno));
    if (!S_ISREG(status.st_mode) || status.st_uid != ::geteuid())
        return fail(QStringLiteral("not a regular file of the user's own"));
    if (static_cast<std::size_t>(status.st_size) > limit)
        return fail(QStringLiteral("too large"));
    std::string bytes(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(file.get(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return fail(Cause(errno));
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

void Remove(const QString& directory, const QString& name)
{
    const Descriptor folder(OpenFolder(directory));
    if (folder.get() >= 0)
        ::unlinkat(folder.get(), Encoded(name).constData(), 0);
}

bool Rename(const QString& directory, const QString& from, const QString& to)
{
    const Descriptor folder(OpenFolder(directory));
    return folder.get() >= 0 &&
        ::renameat(folder.get(), Encoded(from).constData(), folder.get(), Encoded(to).constData()) == 0;
}

void RemoveEndedLocks(const QString& directory)
{
    const QStringList names = QDir(directory).entryList({QStringLiteral("*") + LockSuffix}, QDir::Files);
    const QStringList copies = QDir(directory).entryList({QStringLiteral("*") + CopySuffix}, QDir::Files);
    const Descriptor folder(OpenFolder(directory));
    if (folder.get() < 0)
        return;
    for (const QString& name : names) {
        const QString instance = name.chopped(LockSuffix.size());
        const bool hasCopies = std::any_of(copies.begin(), copies.end(),
                                           [&instance](const QString& copy) { return InstanceOf(copy) == instance; });
        if (hasCopies || instance == InstanceName())
            continue;
        // Taken before it goes: a running instance holds it, and then it stays.
        const Descriptor lock(
            ::openat(folder.get(), Encoded(name).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
        if (lock.get() >= 0 && ::flock(lock.get(), LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(folder.get(), Encoded(name).constData(), 0);
    }
}

std::vector<LeftCopy> LeftCopies(const QString& directory)
{
    std::vector<LeftCopy> left;
    const QStringList names = QDir(directory).entryList({QStringLiteral("*") + CopySuffix}, QDir::Files | QDir::System);
    for (const QString& name : names) {
        const QString instance = InstanceOf(name);
        if (!instance.isEmpty() && IsInstanceRunning(directory, instance))
            continue;
        struct stat status {};
        const QString path = directory + QLatin1Char('/') + name;
        if (::lstat(Encoded(path).constData(), &status) != 0)
            continue;
        if (!S_ISREG(status.st_mode) || status.st_uid != ::geteuid()) {
            std::fprintf(stderr, "Recovery copy %s refused: not a regular file of the user's own\n",
                         Encoded(path).constData());
            continue;
        }
        LeftCopy copy;
        copy.Name = name;
        copy.Written = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(status.st_mtim.tv_sec) * 1000 +
                                                      status.st_mtim.tv_nsec / 1000000);
        const QString pathFile = name.chopped(CopySuffix.size()) + PathSuffix;
        if (const auto bytes = ReadPrivately(directory, pathFile, 64 << 10, nullptr))
            copy.DocumentPath = QString::fromUtf8(bytes->data(), static_cast<qsizetype>(bytes->size()));
        left.push_back(copy);
    }
    std::stable_sort(left.begin(), left.end(),
                     [](const LeftCopy& a, const LeftCopy& b) { return a.Written > b.Written; });
    return left;
}

}  // namespace CalcRecoveryFiles
