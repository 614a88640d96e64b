#include "cli/Interrupts.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <thread>
#include <unistd.h>

#include "core/engine/Cancel.h"
#include "core/files/FileAccess.h"
#include "core/engine/EngineState.h"

namespace Tevra::Cli {

namespace {

std::atomic<int> FirstSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "read and written by a signal handler");

extern "C" void OnInterrupt(int number)
{
    int none = 0;
    if (!FirstSignal.compare_exchange_strong(none, number)) {
        // Asked twice: end now, and leave no temporary file behind.
        RemovePendingTemporaryFile();
        _exit(128 + FirstSignal.load());
    }
    NCalculatorText::State().CancelRequested.store(true);
}

std::atomic<bool> SessionInterrupt{false};
std::atomic<bool> TerminalChange{false};

std::atomic<bool> SessionCalculating{false};
bool EndLineOnInterrupt = false;

extern "C" void OnSessionInterrupt(int)
{
    SessionInterrupt.store(true);
    if (EndLineOnInterrupt && SessionCalculating.load()) {
        const ssize_t written = write(STDERR_FILENO, "\n", 1);
        (void)written;
    }
    NCalculatorText::State().CancelRequested.store(true);
}

extern "C" void OnTerminalChange(int)
{
    TerminalChange.store(true);
}

void Install(int number, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a read of standard input that waits is interrupted.
    action.sa_flags = 0;
    sigaction(number, &action, nullptr);
}

}  // namespace

void InstallSessionHandlers()
{
    EndLineOnInterrupt = isatty(STDERR_FILENO) == 1;
    Install(SIGINT, OnSessionInterrupt);
    Install(SIGHUP, OnInterrupt);
    Install(SIGWINCH, OnTerminalChange);
    Install(SIGCONT, OnTerminalChange);
}

bool SessionSignalPending()
{
    return SessionInterrupt.load() || TerminalChange.load();
}

void SetSessionCalculating(bool calculating)
{
    SessionCalculating.store(calculating);
}

bool TakeSessionInterrupt()
{
    if (!SessionInterrupt.exchange(false))
        return false;
    NCalculatorText::State().CancelRequested.store(false);
    return true;
}

bool TakeTerminalChange()
{
    return TerminalChange.exchange(false);
}

void InstallInterruptHandlers()
{
    Install(SIGINT, OnInterrupt);
    Install(SIGTERM, OnInterrupt);
}

int ReceivedSignal()
{
    return FirstSignal.load();
}

struct CRunTimeLimit::State {
    std::mutex Mutex;
    std::condition_variable Wake;
    bool Done = false;
    std::atomic<bool> Expired{false};
    std::thread Watcher;
};

CRunTimeLimit::CRunTimeLimit(double seconds) : state_(std::make_unique<State>())
{
    const auto limit = std::chrono::duration<double>(seconds);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::nanoseconds>(limit);
    state_->Watcher = std::thread([state = state_.get(), deadline] {
        std::unique_lock lock(state->Mutex);
        if (!state->Wake.wait_until(lock, deadline, [state] { return state->Done; })) {
            state->Expired = true;
            NCalculatorText::State().CancelRequested = true;
        }
    });
}

CRunTimeLimit::~CRunTimeLimit()
{
    {
        const std::lock_guard lock(state_->Mutex);
        state_->Done = true;
    }
    state_->Wake.notify_all();
    state_->Watcher.join();
    // The next run starts afresh, unless a signal asked to stop everything.
    if (state_->Expired && ReceivedSignal() == 0)
        NCalculatorText::State().CancelRequested = false;
}

bool CRunTimeLimit::Expired() const
{
    return state_->Expired;
}

}  // namespace Tevra::Cli
