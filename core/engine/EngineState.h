// The core's process-wide state in one object: the calculation context kept
// from run to run (the last result, the angle unit, the random generator),
// the memory cells and the settings record every program reads, and the
// evaluation state of the run in progress (the operation being evaluated, the
// bracket table, the statement reported on, the work budget, the cancel
// request and the receiver of the log). The engine runs one calculation at a
// time, on whichever thread owns it meanwhile; State() is the one way in.
//
// Resetting everything, as a test does between cases, is one assignment:
//     NCalculatorText::State() = {};
#pragma once

#include <atomic>
#include <cstdint>
#include <limits>

#include "core/engine/EngineStack.h"
#include "core/engine/LogRecord.h"
#include "core/engine/Random.h"
#include "core/engine/ReportedStatement.h"
#include "core/engine/Scanner.h"
#include "core/memory/MemoryMap.h"
#include "core/settings/CalcSettings.h"

namespace NCalculatorText {

inline constexpr std::uint64_t UnlimitedWork = std::numeric_limits<std::uint64_t>::max();

// The request to stop the running calculation: an atomic flag that can be
// copied with the rest of the state. Set by the owner of the calculation,
// from any thread or a signal handler; cleared by the owner too, before it
// starts the next calculation it wants to run. The engine never clears it,
// so a request made between two runs stops the next one as soon as it starts.
class CCancelRequest final {
public:
    CCancelRequest() = default;
    CCancelRequest(const CCancelRequest& other) : requested_(other.load()) {}
    CCancelRequest& operator=(const CCancelRequest& other)
    {
        store(other.load());
        return *this;
    }
    CCancelRequest& operator=(bool requested)
    {
        store(requested);
        return *this;
    }
    ~CCancelRequest() = default;

    bool load(std::memory_order order = std::memory_order_seq_cst) const { return requested_.load(order); }
    void store(bool requested, std::memory_order order = std::memory_order_seq_cst)
    {
        requested_.store(requested, order);
    }
    operator bool() const { return load(); }  // NOLINT(google-explicit-constructor): reads as the flag it wraps

private:
    std::atomic<bool> requested_{false};
    static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler may set the request");
};

struct CEngineState {
    // Calculation context, kept between executions for the life of the process.
    double LastResult = 0.0;  // value of the last statement that succeeded
    int AngleUnit = 0;        // 0 radians, 1 degrees, 2 grads
    // The generator behind the "rand" keyword, and whether a run seeded it.
    CRandomGenerator RandomGenerator;
    bool Seeded = false;

    // The memory cells (with their own flag of a change since the last
    // notice) and the settings record.
    Tevra::CMemoryMap MemoryMap;
    Tevra::CCalcSettings CalcSettings;

    // Evaluation state of the run in progress, kept by OperationScope and
    // Report.
    int CurrentOperation = OpNone;
    int PreviousOperation = OpNone;
    bool CalculationOk = true;
    int LastReportCode = NoError;
    // Where the records of a run go; nowhere when null.
    ILogReceiver* LogReceiver = nullptr;
    // The statement being evaluated, set by the statement loop of the engine
    // entry; unknown outside a run.
    StatementSpan ReportedStatement;
    // The statement's expression and the empty cell a read met, for the
    // hints beside its records (StatementHint.h).
    ReportSubject Subject;
    // The bracket groups of the statement being parsed.
    CBracketTable BracketTable;
    // Set by a gamma or factorial node that delivered the natural logarithm
    // of its value to the logarithm node enclosing it; read and cleared by
    // that node.
    bool LogarithmDelivered = false;
    // The nesting the parser allows in the current run (MaxNestingDepth,
    // unless a run had to make do with a smaller stack), and the depth it has
    // reached.
    int NestingLimit = MaxNestingDepth;
    int ParseDepth = 0;

    // Steps the run may still take, or UnlimitedWork (EvaluationBudget.h),
    // and whether a run gave up because it reached the limit.
    std::uint64_t WorkLeft = UnlimitedWork;
    bool WorkExhausted = false;
    // The request to stop (Cancel.h), whether the running calculation has
    // seen it (and reported it), and the count of cheap polls since the last
    // real look.
    CCancelRequest CancelRequested;
    bool CancelSeen = false;
    std::uint32_t CancelPollCount = 0;
};

namespace Detail {
inline CEngineState EngineState;
}

// The one process-wide state.
inline CEngineState& State()
{
    return Detail::EngineState;
}

}  // namespace NCalculatorText

namespace Tevra {
using NCalculatorText::State;
}
