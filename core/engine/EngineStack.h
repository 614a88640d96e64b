// Where a calculation runs. Real nesting (calls inside calls, a sign before a
// bracket, series inside series) recurses once per level while a statement
// parses, evaluates and is released, so a run needs a stack of known size.
// The calling thread's own stack is used when enough of it is left; otherwise
// the run goes to a helper thread that has such a stack, and the caller waits
// for it. The helper is one thread, started at its first use and kept for the
// life of the process. Only one of the two threads runs at any moment, so the engine's
// process-wide state stays single-threaded, and the log records made on the
// helper thread reach the log receiver on the calling thread, in order, once
// the run is over.
#pragma once

#include <cstddef>

namespace NCalculatorText {

// Deepest real nesting of a statement: nodes on one path from the root. A
// statement nested deeper is a syntax error. Runs of infix operators, lists,
// factorials and bare brackets do not count: they take no stack per term.
inline constexpr int MaxNestingDepth = 12000;

// The stack one level of nesting may take, with room to spare: about twice
// the most that bench/StackBench.cpp measures for any construct in this kind
// of build (256 bytes optimised, 400 unoptimised, 1,328 with the address
// sanitizer).
#if defined(__SANITIZE_ADDRESS__)
#define TEVRA_STACK_INSTRUMENTED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TEVRA_STACK_INSTRUMENTED 1
#endif
#endif
#if defined(TEVRA_STACK_INSTRUMENTED)
inline constexpr std::size_t StackPerNestingLevel = 3072;
#elif defined(__OPTIMIZE__)
inline constexpr std::size_t StackPerNestingLevel = 512;
#else
inline constexpr std::size_t StackPerNestingLevel = 1024;
#endif

// The stack a run needs: every level of the deepest statement, and what the
// statement loop, a log receiver and the math library take above it. A thread
// that has this much left runs calculations on its own stack: in an optimised
// build (7.1 MB) the 8 MB main thread and worker threads of the default size
// do. Any other thread still calculates, through the helper thread.
inline constexpr std::size_t EngineStackSize =
    static_cast<std::size_t>(MaxNestingDepth) * StackPerNestingLevel + (1u << 20);

// Bytes left between the caller's frame and the end of this thread's stack;
// 0 when the platform does not tell.
std::size_t StackLeftOnThisThread();

// Runs work(context) with at least EngineStackSize of stack: here, or on a
// helper thread while this one waits. An exception thrown by work reaches the
// caller.
void RunWithEngineStack(void (*work)(void*), void* context);

template <typename Work> void RunWithEngineStack(Work& work)
{
    RunWithEngineStack([](void* context) { (*static_cast<Work*>(context))(); }, &work);
}

}  // namespace NCalculatorText
