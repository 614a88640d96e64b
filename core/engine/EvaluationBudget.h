// How much work a run may still do. A normal calculation has no limit; the
// preview of the statement at the caret gives itself one, so that a statement
// that would take long is given up rather than keeping the window waiting.
// Work is counted in the steps that make a statement long whatever its
// length: the terms of a series and the order of a Bessel function (its
// library function recurs once per order).
//
// A spent budget stops the run the way a cancel does (Cancel.h), only without
// the cancel's record: every place that looks for a cancel stops there too.
#pragma once

#include <cstdint>
#include <limits>

#include "core/engine/Cancel.h"
#include "core/engine/Diagnostics.h"
#include "core/engine/EngineState.h"

namespace NCalculatorText {

// Takes steps of work; false when the run is to stop: the budget does not hold
// them (the calculation then fails without a report, and WorkExhausted tells
// why), or a cancel was asked for.
inline bool TakeWork(std::uint64_t steps)
{
    if (State().WorkLeft != UnlimitedWork) {
        if (steps > State().WorkLeft) {
            State().WorkLeft = 0;
            State().WorkExhausted = true;
            State().CancelSeen = true;
            State().CalculationOk = false;
            return false;
        }
        State().WorkLeft -= steps;
    }
    return !CancelledNow();
}

}  // namespace NCalculatorText
