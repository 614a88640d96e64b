#include "cli/FileIo.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "memory/MemoryFile.h"

namespace Tevra::Cli {

namespace {

// Appends everything fd still holds to bytes; false on a read error or when
// the content passes MaxFileBytes.
bool ReadAll(int fd, std::string& bytes, bool& tooLarge)
{
    char buffer[65536];
    for (;;) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return false;
        if (count == 0)
            return true;
        if (bytes.size() + static_cast<std::size_t>(count) > MaxFileBytes) {
            tooLarge = true;
            return false;
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t count = write(fd, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

FileBytes Failure(std::string_view message)
{
    return FileBytes{false, {}, std::string(message)};
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

}  // namespace

FileBytes ReadRegularFile(const std::string& path)
{
    // Non-blocking, so that opening a named pipe cannot wait for a writer; a
    // regular file ignores the flag.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Failure(CannotOpenForReading);
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        return Failure(CannotOpenForReading);
    }
    FileBytes file;
    bool tooLarge = false;
    const bool read = ReadAll(fd, file.Bytes, tooLarge);
    close(fd);
    if (tooLarge)
        return Failure(std::string(CannotReadFile) + ": larger than 256 MiB");
    if (!read || file.Bytes.empty())
        return Failure(CannotReadFile);
    file.Ok = true;
    return file;
}

FileBytes ReadStandardInput()
{
    FileBytes input;
    bool tooLarge = false;
    if (!ReadAll(STDIN_FILENO, input.Bytes, tooLarge))
        return Failure(tooLarge ? std::string(CannotReadFile) + ": larger than 256 MiB" : std::string(CannotReadFile));
    input.Ok = true;
    return input;
}

std::string WriteFileAtomically(const std::string& path, std::string_view bytes)
{
    const std::string target = ResolvedTarget(path);
    struct stat existing {};
    const bool exists = stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return std::string(CannotOpenForWriting);
    if (exists) {
        // Renaming needs only the directory's permission; a file that may not
        // be opened for writing (read-only, immutable) must stay as it is.
        const int probe = open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (probe < 0)
            return std::string(CannotOpenForWriting);
        close(probe);
    }

    std::string temporary = DirectoryOf(target) + "/.tevra-XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return std::string(CannotOpenForWriting);

    bool ok = fchmod(fd, exists ? (existing.st_mode & 07777) : NewFileMode()) == 0;
    if (ok && exists && (existing.st_uid != geteuid() || existing.st_gid != getegid())) {
        // Only possible with the right privileges; without them the new file
        // belongs to whoever runs tevra, as any edited-and-saved file would.
        [[maybe_unused]] const int owned = fchown(fd, existing.st_uid, existing.st_gid);
    }
    ok = ok && WriteAll(fd, bytes) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temporary.c_str());
        return std::string(CannotOpenForWriting);
    }
    return {};
}

}  // namespace Tevra::Cli
