// Runs the built tevra binary in a scratch directory and collects what it
// printed and how it ended.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace TevraTest {

struct Outcome {
    std::string Out;
    std::string Err;
    int Status = -1;  // exit status, or -1 when tevra did not exit normally
    int Signal = 0;   // the signal that ended tevra, when one did
};

// A fresh directory, removed with everything in it at the end of the test.
class ScratchDirectory final {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

    void Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;

private:
    std::filesystem::path path_;
};

// Runs tevra with arguments, the bytes of standard input, and the scratch
// directory as its working directory.
Outcome RunTevra(const std::vector<std::string>& arguments, const std::string& input,
                 const ScratchDirectory& directory);

// The same as an ordinary user, for tests of permissions: when the tests run
// as the superuser, whom permissions do not bind, everything in the scratch
// directory is handed to the unprivileged user "nobody" and tevra runs as it.
Outcome RunTevraUnprivileged(const std::vector<std::string>& arguments, const std::string& input,
                             const ScratchDirectory& directory);

// Whether a permission test can run: as the superuser, the user "nobody" must
// be able to reach and execute the tevra binary where the build put it.
bool UnprivilegedRunsPossible();

// The same with the address space of tevra limited to bytes, so that it runs
// out of memory on a large input. (AddressSanitizer needs far more address
// space than any limit that would show this.)
Outcome RunTevraWithAddressSpace(const std::vector<std::string>& arguments, const std::string& input,
                                 const ScratchDirectory& directory, std::size_t bytes);

// piece, times times over.
std::string Repeated(const std::string& piece, std::size_t times);

// The same in a directory of its own, for runs that touch no file.
Outcome RunTevra(const std::vector<std::string>& arguments, const std::string& input = {});

// tevra started and left running, for tests that interrupt it.
class CRunningTevra final {
public:
    CRunningTevra(const std::vector<std::string>& arguments, const ScratchDirectory& directory,
                  const std::string& input = {});
    ~CRunningTevra();  // kills it when it still runs
    CRunningTevra(const CRunningTevra&) = delete;
    CRunningTevra& operator=(const CRunningTevra&) = delete;

    // Waits until tevra catches SIGINT and SIGTERM: its handlers are in place.
    // False when it ended first.
    bool WaitUntilInterruptible();
    // Waits until tevra has used at least milliseconds more processor time
    // than it had when the call began, so that a short piece of work it was
    // about to do is surely done, however busy the machine (a count of its
    // own work, not of the clock). False when it ended first.
    bool WaitForMoreProcessorTime(int milliseconds);
    void Signal(int number);
    // Waits for tevra to end and collects what it printed.
    Outcome Finish();

private:
    bool Running();

    ScratchDirectory streams_;
    int pid_ = -1;
    bool finished_ = false;
    int status_ = 0;
};

// UTF-16LE bytes with the FF FE mark of a text given in ASCII or UTF-8.
std::string ProgramFile(const std::u16string& text);

}  // namespace TevraTest
