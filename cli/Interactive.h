// A session at the terminal: each line typed is calculated at once as a run
// of its own, in the same process as the runs before it, until Ctrl+D,
// "quit", SIGTERM or SIGHUP ends it.
#pragma once

#include <string>

namespace Tevra::Cli {

// What the session asks of the invocation that holds the engine's state.
class ISessionRunner {
public:
    // Calculates text (UTF-8) as a run and prints what it prints.
    virtual void RunLine(const std::string& text) = 0;
    // Runs a memory or calculation file as Load memory does: its reports
    // are printed, its text is not.
    virtual void LoadFile(const std::string& path) = 0;
    virtual void SaveMemoryTo(const std::string& path) = 0;
    virtual void PrintStatistics() = 0;

protected:
    ~ISessionRunner() = default;
};

class CInteractiveSession final {
public:
    explicit CInteractiveSession(ISessionRunner& runner) : runner_(runner) {}

    void Run();

private:
    // Carries out a line that starts with ":"; false when it ends the session.
    bool Command(const std::string& line);

    ISessionRunner& runner_;
    // The earlier lines of an entry that goes on, each with its line break.
    std::u16string pending_;
};

// A path as typed, with a leading "~/" standing for the home folder.
std::string WithHomeFolder(const std::string& path);

}  // namespace Tevra::Cli
