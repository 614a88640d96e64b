// Stopping a calculation from outside it: a Cancel button, a signal, a time
// limit. Whoever wants the running calculation to stop sets CancelRequested;
// the engine only reads it, at every series step, every few thousand
// evaluated terms and parsed nodes, and before every statement. A calculation
// that sees it fails as an error does, with one log record, "Calculation
// cancelled" (context "None"): the statement loop stops there and the results
// written before it stay.
#pragma once

#include <atomic>
#include <cstdint>

namespace NCalculatorText {

// Set by the owner of the calculation, from any thread or a signal handler;
// cleared by the owner too, before it starts the next calculation it wants to
// run. The engine never clears it, so a request made between two runs stops
// the next one as soon as it starts.
inline std::atomic<bool> CancelRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler may set the request");

// Whether the running calculation has seen the request (and reported it).
inline bool CancelSeen = false;

// Reports the cancel once per run and remembers it; always true.
bool SeeCancel();

// True when the calculation is to stop: the request is looked at on every call.
inline bool CancelledNow()
{
    if (CancelSeen)
        return true;
    return CancelRequested.load(std::memory_order_relaxed) && SeeCancel();
}

// The same for loops whose steps are cheap: the request is looked at on every
// 4,096th call only.
inline std::uint32_t CancelPollCount = 0;
inline bool CancelledSoon()
{
    if ((++CancelPollCount & 0xFFFu) != 0)
        return CancelSeen;
    return CancelledNow();
}

// Forgets a cancel seen by an earlier run (the request itself stays as it is).
void ResetCancelState();

}  // namespace NCalculatorText
