#include "core/engine/EngineStack.h"

#include "core/engine/DeferredLog.h"
#include "core/engine/Diagnostics.h"
#include "core/engine/EngineState.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <pthread.h>
#include <string>
#include <vector>

namespace NCalculatorText {

namespace {

// The lowest usable address of this thread's stack, or null when unknown.
const char* FindStackEnd()
{
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) != 0)
        return nullptr;
    void* address = nullptr;
    std::size_t size = 0;
    std::size_t guard = 0;
    const bool known = pthread_attr_getstack(&attributes, &address, &size) == 0 && address != nullptr;
    pthread_attr_getguardsize(&attributes, &guard);
    pthread_attr_destroy(&attributes);
    return known ? static_cast<const char*>(address) + guard : nullptr;
}

struct HelperRun {
    void (*Work)(void*);
    void* Context;
    std::exception_ptr Failure;
};

void* RunOnHelper(void* argument)
{
    auto* run = static_cast<HelperRun*>(argument);
    try {
        run->Work(run->Context);
    } catch (...) {
        run->Failure = std::current_exception();
    }
    return nullptr;
}

// Starts a thread with an engine-sized stack; false when none could be had.
bool StartEngineSizedThread(pthread_t& thread, void* (*body)(void*), void* argument)
{
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0)
        return false;
    const bool started = pthread_attr_setstacksize(&attributes, EngineStackSize + (1u << 20)) == 0 &&
        pthread_create(&thread, &attributes, body, argument) == 0;
    pthread_attr_destroy(&attributes);
    return started;
}

// Runs work on a new thread of its own and waits for it; false when no such
// thread could be started.
bool RunOnNewThread(HelperRun& run)
{
    pthread_t thread;
    if (!StartEngineSizedThread(thread, RunOnHelper, &run))
        return false;
    pthread_join(thread, nullptr);
    return true;
}

// The helper thread: started at its first use and kept for the life of the
// process, so that a run costs a hand-over rather than a thread (starting and
// joining one took longer than most calculations). It waits for one run at a
// time; a caller waits until its run is over, so only one of the two threads
// runs at any moment. Never destroyed: at exit it is still waiting.
class CHelperThread final {
public:
    // The one helper, or null when its thread could not be started.
    static CHelperThread* Get()
    {
        static CHelperThread* const helper = Start();
        return helper;
    }

    // Whether the calling thread is the helper itself.
    static bool IsCurrent() { return onHelper_; }

    void Run(HelperRun& run)
    {
        const std::lock_guard caller(callers_);  // one run at a time, whoever asks
        std::unique_lock lock(mutex_);
        job_ = &run;
        changed_.notify_all();
        changed_.wait(lock, [this] { return job_ == nullptr; });
    }

private:
    CHelperThread() = default;

    static CHelperThread* Start()
    {
        auto* helper = new CHelperThread;
        pthread_t thread;
        if (!StartEngineSizedThread(thread, Serve, helper)) {
            delete helper;
            return nullptr;
        }
        pthread_detach(thread);
        return helper;
    }

    static void* Serve(void* argument)
    {
        auto* helper = static_cast<CHelperThread*>(argument);
        onHelper_ = true;
        std::unique_lock lock(helper->mutex_);
        for (;;) {
            helper->changed_.wait(lock, [helper] { return helper->job_ != nullptr; });
            HelperRun* const run = helper->job_;
            lock.unlock();
            RunOnHelper(run);
            lock.lock();
            helper->job_ = nullptr;
            helper->changed_.notify_all();
        }
    }

    static thread_local bool onHelper_;
    std::mutex callers_;
    std::mutex mutex_;
    std::condition_variable changed_;
    HelperRun* job_ = nullptr;
};

thread_local bool CHelperThread::onHelper_ = false;

// Runs work with an engine-sized stack on another thread: the helper, or a
// new thread when the helper is the caller (a run inside a run) or could not
// be started. False when no thread could be had.
bool RunOnHelperThread(HelperRun& run)
{
    if (!CHelperThread::IsCurrent()) {
        if (CHelperThread* helper = CHelperThread::Get()) {
            helper->Run(run);
            return true;
        }
    }
    return RunOnNewThread(run);
}

}  // namespace

std::size_t StackLeftOnThisThread()
{
    thread_local const char* const end = FindStackEnd();
    const auto* here = static_cast<const char*>(__builtin_frame_address(0));
    if (end == nullptr || here <= end)
        return 0;
    return static_cast<std::size_t>(here - end);
}

void RunWithEngineStack(void (*work)(void*), void* context)
{
    if (StackLeftOnThisThread() >= EngineStackSize) {
        work(context);
        return;
    }
    CDeferredLog deferred;
    ILogReceiver* const receiver = State().LogReceiver;
    State().LogReceiver = &deferred;
    HelperRun run{work, context, nullptr};
    const bool started = RunOnHelperThread(run);
    State().LogReceiver = receiver;
    deferred.DeliverTo(receiver);
    if (!started) {
        // No thread to be had: calculate here, with the nesting this stack
        // holds. A deeper statement is a syntax error rather than a crash.
        const std::size_t left = StackLeftOnThisThread();
        const std::size_t reserve = EngineStackSize - static_cast<std::size_t>(MaxNestingDepth) * StackPerNestingLevel;
        const std::size_t levels = left > reserve ? (left - reserve) / StackPerNestingLevel : 0;
        const int saved = State().NestingLimit;
        State().NestingLimit =
            static_cast<int>(std::min<std::size_t>(levels, static_cast<std::size_t>(MaxNestingDepth)));
        try {
            work(context);
        } catch (...) {
            State().NestingLimit = saved;
            throw;
        }
        State().NestingLimit = saved;
        return;
    }
    if (run.Failure)
        std::rethrow_exception(run.Failure);
}

}  // namespace NCalculatorText
