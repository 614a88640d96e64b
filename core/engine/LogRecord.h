// The kinds of report, the operation codes that name a report's context, one
// row of the log and the receiver the rows go to: the types a run's records
// are made of, without the state that makes them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/engine/StatementHint.h"

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
    // Why the statement failed or warned and how to write it, when the
    // statement's text shows a known mistake; beside the three fields above,
    // which stay as they are.
    StatementHint Hint{};
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

}  // namespace NCalculatorText
