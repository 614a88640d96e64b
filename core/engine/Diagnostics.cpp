#include "core/engine/Diagnostics.h"
#include "core/engine/Mistakes.h"

#include "core/formats/NumberFormat.h"
#include "core/engine/EngineState.h"

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

// Every report kind with its status and wording, in code order; NoError
// reports nothing and has no row. A cancelled run's context is always
// "None".
constexpr std::array<ReportWording, 9> Wordings = {{
    {SyntaxError, 1, true, u"Syntax error", {}, false},
    {Uninitialized, 0, false, u"Uninitialized %s used, value forced to 0", {u"memory", u"index"}, false},
    {Overflow,
     1,
     true,
     u"Operation resulted in overflow, too big %s number returned",
     {u"positive", u"negative"},
     false},
    {Underflow, 0, false, u"Operation resulted in underflow, result accepted as %g", {}, false},
    {Domain, 1, true, u"Function is not defined for %g", {}, false},
    {Singularity, 1, true, u"%s has singularity at %g", {u"Operation", u"Function"}, false},
    {PartialLoss, 0, false, u"Operation resulted in partial loss of precision, result accepted as %g", {}, false},
    {TotalLoss, 0, false, u"Operation resulted in total loss of precision, result accepted as %g", {}, false},
    {Cancelled, 1, true, u"Calculation cancelled", {}, true},
}};

constexpr bool WordingsInCodeOrder()
{
    for (std::size_t i = 1; i < Wordings.size(); ++i) {
        if (Wordings[i].Code <= Wordings[i - 1].Code || Wordings[i].Code == NoError)
            return false;
    }
    return true;
}
static_assert(WordingsInCodeOrder(), "the wordings stand in code order, without NoError");

// The wording of code, or null for a code that reports nothing.
const ReportWording* WordingOf(ReportCode code)
{
    for (const ReportWording& wording : Wordings) {
        if (wording.Code == code)
            return &wording;
    }
    return nullptr;
}

std::u16string Widen(std::string_view text)
{
    return std::u16string(text.begin(), text.end());
}

// Which of a wording's two words the circumstances of a report choose.
std::size_t WordFor(ReportCode code, double value)
{
    switch (code) {
    case Uninitialized:
        return State().CurrentOperation == OpMemory ? 0 : 1;
    case Overflow:
        // 0 and NaN count as negative.
        return value > 0 ? 0 : 1;
    case Singularity:
        return State().CurrentOperation == OpDivision ? 0 : 1;
    default:
        return 0;
    }
}

}  // namespace

std::span<const ReportWording> ReportWordings()
{
    return Wordings;
}

std::u16string FormatReportText(const ReportWording& wording, std::size_t word, std::u16string_view value)
{
    std::u16string text;
    const std::u16string_view format = wording.Format;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == u'%' && i + 1 < format.size() && (format[i + 1] == u's' || format[i + 1] == u'g')) {
            text += format[i + 1] == u's' ? wording.Words[word < wording.Words.size() ? word : 0] : value;
            ++i;
            continue;
        }
        text += format[i];
    }
    return text;
}

std::u16string_view OperationName(int code)
{
    if (code < 0 || code >= static_cast<int>(OperationNames.size()))
        return UndefinedOperation;
    return OperationNames[static_cast<std::size_t>(code)];
}

void Report(ReportCode code, double value)
{
    const ReportWording* wording = WordingOf(code);
    if (wording == nullptr)
        return;
    LogRecord record;
    record.Status = wording->Status;
    record.Context = OperationName(wording->ContextIsNone ? OpNone : State().CurrentOperation);
    record.Description = FormatReportText(*wording, WordFor(code, value), Widen(FormatNumber(value, false)));
    record.Code = code;
    // Only a statement that fails or warns is read for a hint.
    record.Hint = HintForReport(code);
    if (wording->StopsCalculation)
        State().CalculationOk = false;
    State().LastReportCode = code;
    if (State().LogReceiver != nullptr)
        State().LogReceiver->Add(record);
}

void ResetEvaluationState()
{
    State().CalculationOk = true;
    State().CurrentOperation = OpNone;
    State().LastReportCode = NoError;
}

}  // namespace NCalculatorText
