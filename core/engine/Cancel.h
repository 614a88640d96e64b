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
#include "core/engine/EngineState.h"

namespace NCalculatorText {

// Reports the cancel once per run and remembers it; always true.
bool SeeCancel();

// True when the calculation is to stop: the request is looked at on every call.
inline bool CancelledNow()
{
    if (State().CancelSeen)
        return true;
    return State().CancelRequested.load(std::memory_order_relaxed) && SeeCancel();
}

// The same for loops whose steps are cheap: the request is looked at on every
// 4,096th call only.
inline bool CancelledSoon()
{
    if ((++State().CancelPollCount & 0xFFFu) != 0)
        return State().CancelSeen;
    return CancelledNow();
}

// Forgets a cancel seen by an earlier run (the request itself stays as it is).
void ResetCancelState();

}  // namespace NCalculatorText
