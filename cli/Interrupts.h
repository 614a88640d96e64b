// How a run of tevra is stopped from outside: SIGINT and SIGTERM cancel the
// running statement (a second one ends tevra at once, removing a temporary
// file on the way), and a time limit cancels a run that takes too long.
#pragma once

#include <memory>

namespace Tevra::Cli {

// Installs the handlers of SIGINT and SIGTERM. The first signal asks the
// engine to cancel; tevra then prints what was calculated and ends with
// 128 + the signal's number. A second signal, when tevra has not ended by
// then, ends it straight away.
void InstallInterruptHandlers();

// The number of the first signal received, or 0.
int ReceivedSignal();

// For a session at the terminal: SIGINT cancels the running calculation, or
// the line being typed, and the session goes on; SIGHUP ends the session as
// SIGTERM does; a change of the terminal's size and a return from being
// stopped are noted for the line editor. Interrupted reads return EINTR.
void InstallSessionHandlers();

// Whether SIGINT came, or the terminal changed, since the Take calls below.
bool SessionSignalPending();

// While a line of the session is calculated, SIGINT also ends the line on
// the terminal, behind the "^C" that the terminal shows.
void SetSessionCalculating(bool calculating);

// Whether SIGINT came since the last call; the cancel request it made is
// withdrawn.
bool TakeSessionInterrupt();

// Whether the terminal changed size or the session came back from being
// stopped since the last call.
bool TakeTerminalChange();

// Cancels the calculation when it runs longer than its time. One per run:
// the limit starts with the object and ends with it.
class CRunTimeLimit final {
public:
    explicit CRunTimeLimit(double seconds);
    ~CRunTimeLimit();
    CRunTimeLimit(const CRunTimeLimit&) = delete;
    CRunTimeLimit& operator=(const CRunTimeLimit&) = delete;

    // Whether the time ran out (and the cancel was asked for).
    bool Expired() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace Tevra::Cli
