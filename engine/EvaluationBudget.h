// How much work a run may still do. A normal calculation has no limit; the
// preview of the statement at the caret gives itself one, so that a statement
// that would take long is given up rather than keeping the window waiting.
// Work is counted in the steps that make a statement long whatever its
// length: the terms of a series and the order of a Bessel function (its
// library function recurs once per order).
#pragma once

#include <cstdint>
#include <limits>

#include "engine/Diagnostics.h"

namespace NCalculatorText {

inline constexpr std::uint64_t UnlimitedWork = std::numeric_limits<std::uint64_t>::max();

// Steps the run may still take, or UnlimitedWork.
inline std::uint64_t WorkLeft = UnlimitedWork;
// Set when a run gave up because it reached the limit.
inline bool WorkExhausted = false;

// Takes steps of work. When the budget does not hold them the run gives up:
// the calculation fails without a report, like a node that cannot go on, and
// WorkExhausted tells why.
inline bool TakeWork(std::uint64_t steps)
{
    if (WorkLeft == UnlimitedWork)
        return true;
    if (steps > WorkLeft) {
        WorkLeft = 0;
        WorkExhausted = true;
        CalculationOk = false;
        return false;
    }
    WorkLeft -= steps;
    return true;
}

}  // namespace NCalculatorText
