// Reading and replacing whole files, for the desktop program and tevra alike:
// only regular files are read (a pipe or a device would block or never end),
// and a file is replaced atomically, so that it holds its old or its new
// content whatever happens, a full disk or a kill included. Failures keep the
// program's wording and add the system's cause: "Cannot open the file for
// writing: No space left on device".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace Tevra {

// The system's description of an error number, in English whatever the
// locale, and a message followed by it: "message: description".
std::string SystemCause(int error);
std::string WithSystemCause(std::string_view message, int error);

struct FileContent {
    enum class Outcome {
        Read,
        CannotOpen,  // missing, not permitted, or not a regular file
        TooLarge,    // more than the limit
        CannotRead,  // a read failed
    };
    Outcome Result = Outcome::CannotOpen;
    std::string Bytes;
    int Error = 0;  // the error number behind a failure, 0 when there is none
};

// The whole content of the regular file at path (symbolic links followed), of
// at most limit bytes. A directory, pipe, socket or device is refused without
// being read, so opening one can neither block nor run without end.
FileContent ReadRegularFile(const std::string& path, std::size_t limit);

struct PendingTemporaryName;

// Replaces a file with new content written piece by piece. The content goes
// to an unnamed temporary file in the file's directory (a named one,
// ".tevra-XXXXXX", where the file system has no unnamed ones), which is
// flushed to disk and only then put in the file's place. The file keeps its
// permission bits (and owner, where allowed); a symbolic link keeps pointing
// at the file, which is replaced.
class CFileReplacement final {
public:
    CFileReplacement() = default;
    ~CFileReplacement();  // abandons a replacement that was not committed
    CFileReplacement(const CFileReplacement&) = delete;
    CFileReplacement& operator=(const CFileReplacement&) = delete;

    // Starts replacing path; false, with Error() set, when it cannot be
    // written. With keepWhenUnchanged, Commit() leaves the file alone when the
    // new content is byte for byte what it holds.
    bool Begin(const std::string& path, bool keepWhenUnchanged = false);
    // Appends to the new content; false, with Error() set, once a write failed.
    bool Write(std::string_view bytes);
    // Puts the new content in place; false, with Error() set, when it could
    // not be, and then the file is as it was.
    bool Commit();
    // Drops the new content; the file stays as it was.
    void Abandon();

    // "Cannot open the file for writing: <the system's cause>".
    const std::string& Error() const { return error_; }
    // After a Commit: whether the file's content changed.
    bool Changed() const { return changed_; }

private:
    bool Fail(int error);
    bool Flush();
    bool CompareWithOld(std::string_view bytes);
    bool PutInPlace();

    std::string target_;
    std::string directory_;
    int fd_ = -1;
    int oldFd_ = -1;  // the old content, read alongside to see whether it changes
    bool unnamed_ = false;
    bool same_ = true;
    bool changed_ = false;
    bool failed_ = false;
    mode_t mode_ = 0;
    uid_t owner_ = 0;
    gid_t group_ = 0;
    bool restoreOwner_ = false;
    std::string buffer_;
    std::string temporaryName_;                // of a named temporary file
    PendingTemporaryName* pending_ = nullptr;  // where a signal handler finds it
    std::string error_;
};

// Replaces (or creates) path with bytes, as CFileReplacement does. Returns an
// empty string, or the message.
std::string WriteFileAtomically(const std::string& path, std::string_view bytes);

// For a signal handler that ends the process: removes the name of a
// temporary file that a replacement is about to put in place or has left
// named, if there is one. Async-signal-safe.
void RemovePendingTemporaryFile() noexcept;

// The call that writes the new content's bytes. Tests replace it to see a
// full disk or a failing device where they cannot make one.
using FileWriteCall = ssize_t (*)(int fd, const void* data, std::size_t size);
extern FileWriteCall WriteFileBytes;

}  // namespace Tevra
