// The evaluation state, the operation names, the wording of every report and
// the delivery of log records. Report() is the only place where a diagnostic
// text is formed.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/engine/EngineState.h"
#include "core/engine/LogRecord.h"

namespace NCalculatorText {

// Points the engine's log at a receiver for the life of the scope. On leaving
// it the log goes back to the receiver it had before, unless another receiver
// has taken over meanwhile.
class LogReceiverScope final {
public:
    explicit LogReceiverScope(ILogReceiver& receiver) : receiver_(&receiver), previous_(State().LogReceiver)
    {
        State().LogReceiver = receiver_;
    }
    ~LogReceiverScope()
    {
        if (State().LogReceiver == receiver_)
            State().LogReceiver = previous_;
    }
    LogReceiverScope(const LogReceiverScope&) = delete;
    LogReceiverScope& operator=(const LogReceiverScope&) = delete;

private:
    ILogReceiver* receiver_;
    ILogReceiver* previous_;
};

// The context text of an operation code; "Undefined" outside 0 to 42.
std::u16string_view OperationName(int code);

// The wording of a report kind. Format holds "%s" where one of the two Words
// goes (which one the report's circumstances decide: memory or index,
// positive or negative, an operation or a function) and "%g" where the value
// goes, printed in the number format.
struct ReportWording {
    ReportCode Code;
    std::int32_t Status;  // 1 error, 0 warning
    bool StopsCalculation;
    std::u16string_view Format;
    std::array<std::u16string_view, 2> Words;  // empty when Format has no "%s"
    bool ContextIsNone = false;                // the context is "None", whatever runs
};

// Every kind that reports, in code order (SyntaxError to TotalLoss, then
// Cancelled).
std::span<const ReportWording> ReportWordings();

// The text of wording with its word number word (0 or 1) and the value
// already printed.
std::u16string FormatReportText(const ReportWording& wording, std::size_t word, std::u16string_view value);

// Forms the record of a report, updates the evaluation state and hands the
// record to LogReceiver when one is set.
void Report(ReportCode code, double value);

// Resets the evaluation state as at the start of a run.
void ResetEvaluationState();

// Makes a node's operation current for the duration of its evaluation.
class OperationScope final {
public:
    explicit OperationScope(int code) : saved_(State().CurrentOperation)
    {
        State().PreviousOperation = saved_;
        State().CurrentOperation = code;
    }
    ~OperationScope()
    {
        State().PreviousOperation = State().CurrentOperation;
        State().CurrentOperation = saved_;
    }
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

private:
    int saved_;
};

}  // namespace NCalculatorText
