#include "core/engine/EngineStack.h"

#include "core/engine/DeferredLog.h"
#include "core/engine/Diagnostics.h"
#include "core/engine/EngineState.h"

#include <algorithm>
#include <exception>
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

// Runs work on a new thread with an engine-sized stack; false when no such
// thread could be started.
bool RunOnHelperThread(HelperRun& run)
{
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0)
        return false;
    pthread_t thread;
    const bool started = pthread_attr_setstacksize(&attributes, EngineStackSize + (1u << 20)) == 0 &&
        pthread_create(&thread, &attributes, RunOnHelper, &run) == 0;
    pthread_attr_destroy(&attributes);
    if (started)
        pthread_join(thread, nullptr);
    return started;
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
