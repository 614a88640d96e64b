// A program running in a pseudo-terminal of its own, as a user at a terminal
// runs it: the test types keys and reads what the terminal shows.
#pragma once

#include <string>
#include <vector>

namespace TevraTest {

class CTerminalSession final {
public:
    // Starts command (its path first) in a new 100 x 30 terminal with only
    // the environment given ("NAME=value" each) and PATH.
    CTerminalSession(const std::vector<std::string>& command, const std::vector<std::string>& environment);
    ~CTerminalSession();  // kills the program when it still runs
    CTerminalSession(const CTerminalSession&) = delete;
    CTerminalSession& operator=(const CTerminalSession&) = delete;

    void Type(const std::string& keys);

    // Waits until the terminal shows text behind what an earlier wait found,
    // escape sequences and carriage returns left out. False when the
    // program ended first, or when nothing came for a minute (a hang).
    bool WaitFor(const std::string& text);
    // Waits until the program edits the line itself (the terminal has left
    // canonical mode). A Ctrl+D typed before is the terminal's own end of
    // file, which the line discipline drops when the mode changes.
    bool WaitForLineEditing();

    // Everything the terminal showed, as it came (with escape sequences),
    // and without escape sequences and carriage returns.
    const std::string& Raw() const { return raw_; }
    std::string Shown() const;

    // Waits until the program has used at least milliseconds of processor
    // time more than when the call began. False when it ended first.
    bool WaitForMoreProcessorTime(int milliseconds);

    // Waits for the program to end: its exit status, or -1 when a signal
    // ended it.
    int Finish();

private:
    bool ReadSome(int timeoutMilliseconds);
    long ProcessorTicks() const;

    int master_ = -1;
    int pid_ = -1;
    bool ended_ = false;
    int status_ = 0;
    std::string raw_;
    std::size_t found_ = 0;  // where the next WaitFor starts looking in Shown()
};

// What the terminal shows of raw: escape sequences and carriage returns left
// out.
std::string WithoutEscapes(const std::string& raw);

}  // namespace TevraTest
