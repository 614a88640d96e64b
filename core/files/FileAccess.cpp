#include "core/files/FileAccess.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "core/files/MemoryFile.h"

namespace Tevra {

FileWriteCall WriteFileBytes = ::write;

// The name of a temporary file that exists, or is about to, while a
// replacement is under way, where a signal handler can find it.
struct PendingTemporaryName {
    std::atomic<bool> Claimed{false};
    std::atomic<bool> Named{false};
    char Path[PATH_MAX] = {};
};

namespace {

using PendingName = PendingTemporaryName;

constexpr std::size_t BufferSize = 1u << 16;

// A few slots, since the desktop program may write its recovery copy while a
// save runs.
PendingName PendingNames[4];

PendingName* ClaimPendingName()
{
    for (PendingName& slot : PendingNames) {
        bool expected = false;
        if (slot.Claimed.compare_exchange_strong(expected, true))
            return &slot;
    }
    return nullptr;
}

// Records path in slot before the file of that name is made; false when it
// does not fit (the name then goes unrecorded).
bool RecordPendingName(PendingName* slot, const std::string& path)
{
    if (slot == nullptr || path.size() >= sizeof slot->Path)
        return false;
    std::memcpy(slot->Path, path.c_str(), path.size() + 1);
    slot->Named.store(true, std::memory_order_release);
    return true;
}

void ReleasePendingName(PendingName*& slot)
{
    if (slot == nullptr)
        return;
    slot->Named.store(false, std::memory_order_release);
    slot->Claimed.store(false, std::memory_order_release);
    slot = nullptr;
}

// The file a path names, following symbolic links, so that replacing it
// replaces the file and keeps the link. A path that names nothing yet stays
// as it is.
std::string ResolvedTarget(const std::string& path)
{
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

std::string DirectoryOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

mode_t NewFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view bytes, int& error)
{
    while (!bytes.empty()) {
        const ssize_t count = WriteFileBytes(fd, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            error = errno;
            return false;
        }
        if (count == 0) {
            error = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

// Reads up to size bytes; the count read, short only at the end of the file.
std::size_t ReadUpTo(int fd, char* data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t count = read(fd, data + done, size - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        done += static_cast<std::size_t>(count);
    }
    return done;
}

// A name for the hidden link of a finished temporary file.
std::string HiddenName(const std::string& directory)
{
    static std::minstd_rand generator(static_cast<std::uint32_t>(
        std::chrono::steady_clock::now().time_since_epoch().count() ^ (static_cast<long>(getpid()) << 16)));
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string name = directory + "/.tevra-";
    for (int i = 0; i < 6; ++i)
        name += letters[generator() % (sizeof letters - 1)];
    return name;
}

bool ProcessFdsReachable()
{
    return access("/proc/self/fd", X_OK) == 0;
}

}  // namespace

std::string SystemCause(int error)
{
    const char* description = strerrordesc_np(error);
    return description != nullptr ? std::string(description) : "error " + std::to_string(error);
}

std::string WithSystemCause(std::string_view message, int error)
{
    return std::string(message) + ": " + SystemCause(error);
}

FileContent ReadRegularFile(const std::string& path, std::size_t limit)
{
    FileContent content;
    struct stat status {};
    // Looked at before it is opened: opening a device may already do something.
    if (stat(path.c_str(), &status) != 0) {
        content.Error = errno;
        return content;
    }
    if (!S_ISREG(status.st_mode)) {
        content.Error = S_ISDIR(status.st_mode) ? EISDIR : 0;
        return content;
    }
    // Non-blocking, so that a file swapped for a pipe meanwhile cannot wait
    // for a writer; a regular file ignores the flag.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        content.Error = errno;
        return content;
    }
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        return content;
    }
    if (static_cast<std::uint64_t>(status.st_size) > limit) {
        close(fd);
        content.Result = FileContent::Outcome::TooLarge;
        return content;
    }
    content.Bytes.reserve(static_cast<std::size_t>(status.st_size));
    char buffer[BufferSize];
    for (;;) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            content.Error = errno;
            content.Result = FileContent::Outcome::CannotRead;
            content.Bytes.clear();
            break;
        }
        if (count == 0) {
            content.Result = FileContent::Outcome::Read;
            break;
        }
        if (content.Bytes.size() + static_cast<std::size_t>(count) > limit) {
            content.Result = FileContent::Outcome::TooLarge;
            content.Bytes.clear();
            break;
        }
        content.Bytes.append(buffer, static_cast<std::size_t>(count));
    }
    close(fd);
    return content;
}

CFileReplacement::~CFileReplacement()
{
    Abandon();
}

bool CFileReplacement::Fail(int error)
{
    failed_ = true;
    error_ = error != 0 ? WithSystemCause(CannotOpenForWriting, error)
                        : std::string(CannotOpenForWriting) + ": not a regular file";
    Abandon();
    return false;
}

bool CFileReplacement::Begin(const std::string& path, bool keepWhenUnchanged)
{
    Abandon();
    failed_ = false;
    changed_ = false;
    same_ = keepWhenUnchanged;
    error_.clear();
    buffer_.clear();
    target_ = ResolvedTarget(path);
    directory_ = DirectoryOf(target_);

    struct stat existing {};
    const bool exists = stat(target_.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return Fail(S_ISDIR(existing.st_mode) ? EISDIR : 0);
    if (exists) {
        // Renaming needs only the directory's permission; a file that may not
        // be opened for writing (read-only, immutable) must stay as it is.
        const int probe = open(target_.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (probe < 0)
            return Fail(errno);
        close(probe);
    }
    mode_ = exists ? (existing.st_mode & 07777) : NewFileMode();
    restoreOwner_ = exists && (existing.st_uid != geteuid() || existing.st_gid != getegid());
    owner_ = existing.st_uid;
    group_ = existing.st_gid;

    unnamed_ = false;
    if (ProcessFdsReachable()) {
        fd_ = open(directory_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode_);
        if (fd_ >= 0)
            unnamed_ = true;
        else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return Fail(errno);
    }
    if (!unnamed_) {
        // No unnamed files here: a named one, whose name a signal handler
        // can remove.
        pending_ = ClaimPendingName();
        temporaryName_ = directory_ + "/.tevra-XXXXXX";
        if (RecordPendingName(pending_, temporaryName_)) {
            fd_ = mkostemp(pending_->Path, O_CLOEXEC);
            temporaryName_ = pending_->Path;
        } else {
            fd_ = mkostemp(temporaryName_.data(), O_CLOEXEC);
        }
        if (fd_ < 0) {
            const int error = errno;
            temporaryName_.clear();
            return Fail(error);
        }
    }
    if (fchmod(fd_, mode_) != 0)
        return Fail(errno);
    if (restoreOwner_) {
        // Only possible with the right privileges; without them the new file
        // belongs to whoever writes it, as any edited-and-saved file would.
        [[maybe_unused]] const int owned = fchown(fd_, owner_, group_);
    }
    if (same_) {
        oldFd_ = exists ? open(target_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;
        same_ = oldFd_ >= 0;
    }
    return true;
}

bool CFileReplacement::CompareWithOld(std::string_view bytes)
{
    char old[BufferSize];
    while (!bytes.empty()) {
        const std::size_t size = std::min(bytes.size(), sizeof old);
        if (ReadUpTo(oldFd_, old, size) != size || std::memcmp(old, bytes.data(), size) != 0)
            return false;
        bytes.remove_prefix(size);
    }
    return true;
}

bool CFileReplacement::Write(std::string_view bytes)
{
    if (fd_ < 0 || failed_)
        return false;
    if (same_ && !CompareWithOld(bytes)) {
        same_ = false;
        close(oldFd_);
        oldFd_ = -1;
    }
    if (buffer_.size() + bytes.size() > BufferSize && !Flush())
        return false;
    if (bytes.size() >= BufferSize) {
        int error = 0;
        return WriteAll(fd_, bytes, error) || Fail(error);
    }
    buffer_ += bytes;
    return true;
}

bool CFileReplacement::Flush()
{
    int error = 0;
    const bool written = WriteAll(fd_, buffer_, error);
    buffer_.clear();
    return written || Fail(error);
}

bool CFileReplacement::PutInPlace()
{
    if (!unnamed_) {
        const bool closed = close(fd_) == 0;
        const int closeError = errno;
        fd_ = -1;
        if (!closed)
            return Fail(closeError);
        if (rename(temporaryName_.c_str(), target_.c_str()) != 0)
            return Fail(errno);  // and the temporary file goes
        temporaryName_.clear();
        ReleasePendingName(pending_);
        return true;
    }
    // An unnamed file gets a hidden name in the directory and is renamed
    // over the file; a signal handler can remove that name until then.
    const std::string descriptor = "/proc/self/fd/" + std::to_string(fd_);
    pending_ = ClaimPendingName();
    std::string hidden;
    for (int attempt = 0; attempt < 100; ++attempt) {
        hidden = HiddenName(directory_);
        RecordPendingName(pending_, hidden);
        if (linkat(AT_FDCWD, descriptor.c_str(), AT_FDCWD, hidden.c_str(), AT_SYMLINK_FOLLOW) == 0)
            break;
        const int error = errno;
        hidden.clear();
        if (error != EEXIST)
            return Fail(error);
    }
    if (hidden.empty())
        return Fail(EEXIST);
    if (rename(hidden.c_str(), target_.c_str()) != 0) {
        const int error = errno;
        unlink(hidden.c_str());
        return Fail(error);
    }
    ReleasePendingName(pending_);
    return true;
}

bool CFileReplacement::Commit()
{
    if (fd_ < 0 || failed_ || !Flush()) {
        Abandon();
        return false;
    }
    if (same_) {
        char probe = 0;
        if (ReadUpTo(oldFd_, &probe, 1) == 0) {
            Abandon();
            changed_ = false;
            return true;
        }
    }
    if (fsync(fd_) != 0)
        return Fail(errno);
    if (!PutInPlace())
        return false;
    Abandon();  // closes what is left open
    changed_ = true;
    // The rename itself reaches the disk with the directory.
    const int directory = open(directory_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        fsync(directory);
        close(directory);
    }
    return true;
}

void CFileReplacement::Abandon()
{
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
    if (oldFd_ >= 0)
        close(oldFd_);
    oldFd_ = -1;
    if (!temporaryName_.empty())
        unlink(temporaryName_.c_str());
    temporaryName_.clear();
    ReleasePendingName(pending_);
    buffer_.clear();
}

std::string WriteFileAtomically(const std::string& path, std::string_view bytes)
{
    CFileReplacement replacement;
    if (replacement.Begin(path) && replacement.Write(bytes) && replacement.Commit())
        return {};
    return replacement.Error();
}

void RemovePendingTemporaryFile() noexcept
{
    for (PendingName& slot : PendingNames) {
        if (slot.Named.load(std::memory_order_acquire))
            unlink(slot.Path);
    }
}

}  // namespace Tevra
