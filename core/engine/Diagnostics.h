// The evaluation state, the operation names, the wording of every report and
// the delivery of log records. Report() is the only place where a diagnostic
// text is formed.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace NCalculatorText {

// Kinds of report, with the status and wording given by Report().
enum ReportCode : int {
    SyntaxError = 0,
    Uninitialized = 1,
    Overflow = 2,
    Underflow = 3,
    Domain = 4,
    Singularity = 5,
    PartialLoss = 6,
    TotalLoss = 7,
    NoError = 8,
    // The calculation was stopped from outside (see Cancel.h); an error whose
    // context is always "None".
    Cancelled = 9,
};

// Operation codes: the current operation names the context of a report.
enum OperationCode : int {
    OpNone = 0,
    OpNumber = 1,
    OpDivision = 2,
    OpMultiplication = 3,
    OpAddition = 4,
    OpSubtraction = 5,
    OpSine = 6,
    OpCosine = 7,
    OpTangent = 8,
    OpCotangent = 9,
    OpSecant = 10,
    OpCosecant = 11,
    OpArcsine = 12,
    OpArccosine = 13,
    OpArctangent = 14,
    OpArccotangent = 15,
    OpArcsecant = 16,
    OpArccosecant = 17,
    OpHyperbolicCosine = 18,
    OpHyperbolicSine = 19,
    OpHyperbolicTangent = 20,
    OpHyperbolicCotangent = 21,
    OpHyperbolicSecant = 22,
    OpHyperbolicCosecant = 23,
    OpArchyperbolicCosine = 24,
    OpArchyperbolicSine = 25,
    OpArchyperbolicTangent = 26,
    OpArchyperbolicCotangent = 27,
    OpArchyperbolicSecant = 28,
    OpArchyperbolicCosecant = 29,
    OpNaturalLogarithm = 30,
    OpDecimalLogarithm = 31,
    OpPower = 32,
    OpExponent = 33,
    OpFactorial = 34,
    OpMemory = 35,
    OpSquareRoot = 36,
    OpBesselFirstKind = 37,
    OpBesselSecondKind = 38,
    OpSeriesSum = 39,
    OpSeriesProduct = 40,
    OpIndex = 41,
    OpGammaFunction = 42,
    // Codes outside the name table: their reports read "Undefined".
    OpSign = 43,
    OpAbs = 44,
    OpChangeSign = 45,
};

// One row of the log. Context points at a constant text; the record lives only
// for the duration of ILogReceiver::Add, so a receiver copies what it keeps.
struct LogRecord {
    std::int32_t Status = 0;  // 1 error, anything else a warning
    std::u16string_view Context;
    std::u16string Description;
    // The kind of report that made the record: the log finds its help topic
    // by it.
    ReportCode Code = NoError;
};

// Where the records of a run go: the log window, the command line's printer,
// or a test's collector.
class ILogReceiver {
public:
    virtual void Add(const LogRecord& record) = 0;
    virtual void Clear() = 0;

protected:
    ~ILogReceiver() = default;
};

// Process-wide evaluation state, kept by OperationScope and Report.
inline int CurrentOperation = OpNone;
inline int PreviousOperation = OpNone;
inline bool CalculationOk = true;
inline int LastReportCode = NoError;
inline ILogReceiver* LogReceiver = nullptr;

// Points the engine's log at a receiver for the life of the scope. On leaving
// it the log is pointed nowhere, unless another receiver has taken over
// meanwhile.
class LogReceiverScope final {
public:
    explicit LogReceiverScope(ILogReceiver& receiver) : receiver_(&receiver) { LogReceiver = receiver_; }
    ~LogReceiverScope()
    {
        if (LogReceiver == receiver_)
            LogReceiver = nullptr;
    }
    LogReceiverScope(const LogReceiverScope&) = delete;
    LogReceiverScope& operator=(const LogReceiverScope&) = delete;

private:
    ILogReceiver* receiver_;
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
    explicit OperationScope(int code) : saved_(CurrentOperation)
    {
        PreviousOperation = saved_;
        CurrentOperation = code;
    }
    ~OperationScope()
    {
        PreviousOperation = CurrentOperation;
        CurrentOperation = saved_;
    }
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

private:
    int saved_;
};

}  // namespace NCalculatorText
