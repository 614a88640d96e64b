#include "engine/Diagnostics.h"

#include "engine/NumberFormat.h"

#include <array>

namespace NCalculatorText {

namespace {

// Context texts of the operation codes 0 to 42, in code order.
constexpr std::array<std::u16string_view, 43> OperationNames = {
    u"None",
    u"Number",
    u"Division",
    u"Multiplication",
    u"Addition",
    u"Subtraction",
    u"Sine",
    u"Cosine",
    u"Tangent",
    u"Cotangent",
    u"Secant",
    u"Cosecant",
    u"Arcsine",
    u"Arccosine",
    u"Arctangent",
    u"Arccotangent",
    u"Arcsecant",
    u"Arccosecant",
    u"Hyperbolic cosine",
    u"Hyperbolic sine",
    u"Hyperbolic tangent",
    u"Hyperbolic cotangent",
    u"Hyperbolic secant",
    u"Hyperbolic cosecant",
    u"Archyperbolic cosine",
    u"Archyperbolic sine",
    u"Archyperbolic tangent",
    u"Archyperbolic cotangent",
    u"Archyperbolic secant",
    u"Archyperbolic cosecant",
    u"Natural logarithm",
    u"Decimal logarithm",
    u"Power",
    u"Exponent",
    u"Factorial",
    u"Memory",
    u"Square root",
    u"Bessel of the first kind",
    u"Bessel of the second kind",
    u"Series sum",
    u"Series product",
    u"Index",
    u"Gamma function",
};

static_assert(OperationNames.size() == OpGammaFunction + 1, "one context text per named operation code");

constexpr std::u16string_view UndefinedOperation = u"Undefined";

// How each report kind is worded, whether it stops the calculation and
// whether its context is the current operation or always "None".
struct ReportKind {
    std::int32_t Status;  // 1 error, 0 warning
    bool StopsCalculation;
    bool ContextIsNone;
};

constexpr std::array<ReportKind, 10> ReportKinds = {{
    {1, true, false},   // SyntaxError
    {0, false, false},  // Uninitialized
    {1, true, false},   // Overflow
    {0, false, false},  // Underflow
    {1, true, false},   // Domain
    {1, true, false},   // Singularity
    {0, false, false},  // PartialLoss
    {0, false, false},  // TotalLoss
    {0, false, false},  // NoError: never reported
    {1, true, true},    // Cancelled
}};
static_assert(ReportKinds.size() == Cancelled + 1, "one row per report code");

std::u16string Widen(std::string_view text)
{
    return std::u16string(text.begin(), text.end());
}

std::u16string Describe(ReportCode code, double value)
{
    const std::u16string number = Widen(FormatNumber(value, false));
    switch (code) {
    case SyntaxError:
        return u"Syntax error";
    case Uninitialized:
        return std::u16string(u"Uninitialized ") + (CurrentOperation == OpMemory ? u"memory" : u"index") +
            u" used, value forced to 0";
    case Overflow:
        return std::u16string(u"Operation resulted in overflow, too big ") + (value > 0 ? u"positive" : u"negative") +
            u" number returned";
    case Underflow:
        return u"Operation resulted in underflow, result accepted as " + number;
    case Domain:
        return u"Function is not defined for " + number;
    case Singularity:
        return std::u16string(CurrentOperation == OpDivision ? u"Operation" : u"Function") + u" has singularity at " +
            number;
    case PartialLoss:
        return u"Operation resulted in partial loss of precision, result accepted as " + number;
    case TotalLoss:
        return u"Operation resulted in total loss of precision, result accepted as " + number;
    case Cancelled:
        return u"Calculation cancelled";
    case NoError:
        break;
    }
    return {};
}

}  // namespace

std::u16string_view OperationName(int code)
{
    if (code < 0 || code >= static_cast<int>(OperationNames.size()))
        return UndefinedOperation;
    return OperationNames[static_cast<std::size_t>(code)];
}

void Report(ReportCode code, double value)
{
    if (code < SyntaxError || code > Cancelled || code == NoError)
        return;
    const ReportKind& kind = ReportKinds[static_cast<std::size_t>(code)];
    LogRecord record;
    record.Status = kind.Status;
    record.Context = OperationName(kind.ContextIsNone ? OpNone : CurrentOperation);
    record.Description = Describe(code, value);
    if (kind.StopsCalculation)
        CalculationOk = false;
    LastReportCode = code;
    if (LogReceiver != nullptr)
        LogReceiver->Add(record);
}

void ResetEvaluationState()
{
    CalculationOk = true;
    CurrentOperation = OpNone;
    LastReportCode = NoError;
}

}  // namespace NCalculatorText
