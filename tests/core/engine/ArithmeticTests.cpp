// Arithmetic and elementary functions: the guarded steps with their overflow,
// underflow and zero-divisor reports, and what the math library reports for
// square root, exponent, power and the logarithms.
#include "support/EngineTestSupport.h"

#include <cmath>
#include <limits>

#include "core/engine/Guarded.h"
#include "core/engine/EngineState.h"

namespace EngineTests {
namespace {

using namespace NCalculatorText;

class Arithmetic : public EngineTest {};

TEST_F(Arithmetic, ZeroDivisorIsASingularityOfTheOperation)
{
    const std::vector<FailureCase> rows = {
        {u"1/0", {Error("Division", "Operation has singularity at 0")}},
        {u"0/0", {Error("Division", "Operation has singularity at 0")}},
        {u"1/(-0)", {Error("Division", "Operation has singularity at 0")}},
        {u"pi/0", {Error("Division", "Operation has singularity at 0")}},
        {u"e/(1-1)", {Error("Division", "Operation has singularity at 0")}},
        {u"sign(1/0)", {Error("Division", "Operation has singularity at 0")}},
        {u"2+3/0", {Error("Division", "Operation has singularity at 0")}},
        // Inside another node the same zero divisor is the function's.
        {u"coth(0)", {Error("Hyperbolic cotangent", "Function has singularity at 0")}},
        {u"cth(1-1)", {Error("Hyperbolic cotangent", "Function has singularity at 0")}},
        {u"csch(0)", {Error("Hyperbolic cosecant", "Function has singularity at 0")}},
    };
    for (const FailureCase& row : rows)
        ExpectFailure(row.Input, row.Records);
}

TEST_F(Arithmetic, OverflowNamesTheSignOfTheResult)
{
    const std::vector<FailureCase> rows = {
        {u"1e308*10", {PositiveOverflow("Multiplication")}},
        // The prefix minus applies to the whole product, which overflows first.
        {u"-1e308*10", {PositiveOverflow("Multiplication")}},
        {u"(-1e308)*10", {NegativeOverflow("Multiplication")}},
        {u"1e308/1e-10", {PositiveOverflow("Division")}},
        {u"(-1e308)/1e-10", {NegativeOverflow("Division")}},
        {u"1e308+1e308", {PositiveOverflow("Addition")}},
        {u"-1e308-1e308", {NegativeOverflow("Subtraction")}},
        {u"1e308-(-1e308)", {PositiveOverflow("Subtraction")}},
        {u"(-1e308)+(-1e308)", {NegativeOverflow("Addition")}},
        {u"1e999", {PositiveOverflow("Number")}},
        {u"-1e999", {PositiveOverflow("Number")}},
        {u"1e400-1", {PositiveOverflow("Number")}},
    };
    for (const FailureCase& row : rows)
        ExpectFailure(row.Input, row.Records);
}

TEST_F(Arithmetic, ProductsAndQuotientsRoundingToZeroWarnOfUnderflow)
{
    const std::vector<ValueCase> rows = {
        {u"1e-200*1e-200", "0", {UnderflowToZero("Multiplication")}},
        {u"1e-320/1e10", "0", {UnderflowToZero("Division")}},
        {u"1e-300/1e300", "0", {UnderflowToZero("Division")}},
        // A zero operand is no underflow.
        {u"0*1e-320", "0"},
        {u"1e-320*0", "0"},
        {u"0/5", "0"},
        // A subnormal result is not zero.
        {u"1e-160*1e-160", "9.9998886718268300541e-321"},
        // Sums and differences have no underflow test.
        {u"1e-320-1e-320", "0"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

TEST_F(Arithmetic, SignAbsoluteValueAndChangeOfSign)
{
    const std::vector<ValueCase> rows = {
        {u"sign(-0)", "0"},     {u"sign(0)", "0"},  {u"sign(-3)", "-1"},   {u"sign(5)", "1"},
        {u"sign(1e-320)", "1"}, {u"abs(-0)", "-0"}, {u"abs(-2.5)", "2.5"}, {u"abs(3)", "3"},
        {u"-0", "-0"},          {u"-(0)", "-0"},    {u"-(-2)", "2"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

TEST_F(Arithmetic, ElementaryFunctionValues)
{
    const std::vector<ValueCase> rows = {
        {u"sqrt(4)", "2"},
        {u"sqrt(0)", "0"},
        {u"lg(1000)", "3"},
        {u"ln(1)", "0"},
        {u"exp(0)", "1"},
        {u"2^0.5", "1.4142135623730951455"},
        {u"0^0", "1"},
        {u"(-2)^3", "-8"},
        {u"2^10", "1024"},
        // A subnormal result of the exponent is not reported.
        {u"exp(-709)", "1.2167807506234229276e-308"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

TEST_F(Arithmetic, LibraryUnderflowIsAWarningWithZero)
{
    const std::vector<ValueCase> rows = {
        {u"exp(-1000)", "0", {UnderflowToZero("Exponent")}},
        {u"10^(-400)", "0", {UnderflowToZero("Power")}},
        {u"1+exp(-1000)", "1", {UnderflowToZero("Exponent")}},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

TEST_F(Arithmetic, LibraryErrorsNameTheCallingNode)
{
    const std::vector<FailureCase> rows = {
        {u"sqrt(-1)", {Error("Square root", "Function is not defined for -1")}},
        {u"-sqrt(-1)", {Error("Square root", "Function is not defined for -1")}},
        {u"ln(-1)", {Error("Natural logarithm", "Function is not defined for -1")}},
        {u"ln(0)", {Error("Natural logarithm", "Function has singularity at 0")}},
        {u"ln(pi-pi)", {Error("Natural logarithm", "Function has singularity at 0")}},
        {u"lg(0)", {Error("Decimal logarithm", "Function has singularity at 0")}},
        {u"log(-10)", {Error("Decimal logarithm", "Function is not defined for -10")}},
        {u"exp(1000)", {PositiveOverflow("Exponent")}},
        {u"(-8)^(1/3)", {Error("Power", "Function is not defined for -8")}},
        {u"0^(-1)", {Error("Power", "Function has singularity at 0")}},
        {u"10^400", {PositiveOverflow("Power")}},
        {u"(-10)^401", {NegativeOverflow("Power")}},
        {u"e^1000", {PositiveOverflow("Power")}},
        {u"2*sqrt(-0.5)", {Error("Square root", "Function is not defined for -0.5")}},
    };
    for (const FailureCase& row : rows)
        ExpectFailure(row.Input, row.Records);
}

TEST_F(Arithmetic, FirstErrorStopsEveryEnclosingNode)
{
    // The right operand of the failing sum is never evaluated: no warning
    // for the unset memory cell.
    ExpectFailure(u"(1/0)+mem[nothing]", {Error("Division", "Operation has singularity at 0")});
    ExpectFailure(u"ln(-1)*ln(-2)", {Error("Natural logarithm", "Function is not defined for -1")});
    ExpectFailure(u"sqrt(exp(1000))", {PositiveOverflow("Exponent")});
}

// The guarded steps called directly, as the other nodes call them.
class GuardedSteps : public EngineTest {};

TEST_F(GuardedSteps, DivideByZeroLeavesTheResultAndNamesTheCaller)
{
    State().CurrentOperation = OpHyperbolicCotangent;
    double out = 7.0;
    EXPECT_FALSE(GuardedDivide(1.0, 0.0, out));
    EXPECT_EQ(out, 7.0);
    EXPECT_FALSE(State().CalculationOk);
    EXPECT_EQ(Log.Lines, std::vector<std::string>{Error("Hyperbolic cotangent", "Function has singularity at 0")});

    ResetEvaluationState();
    Log.Clear();
    State().CurrentOperation = OpDivision;
    EXPECT_FALSE(GuardedDivide(1.0, -0.0, out));
    EXPECT_EQ(out, 7.0);
    EXPECT_EQ(Log.Lines, std::vector<std::string>{Error("Division", "Operation has singularity at 0")});
}

TEST_F(GuardedSteps, OverflowAndUnderflow)
{
    struct Row {
        const char* Name;
        bool (*Step)(double, double, double&);
        double A;
        double B;
        bool Ok;
        std::vector<std::string> Records;
    };
    const std::vector<Row> rows = {
        {"add overflow", GuardedAdd, 1e308, 1e308, false, {PositiveOverflow("Series sum")}},
        {"subtract overflow", GuardedSubtract, -1e308, 1e308, false, {NegativeOverflow("Series sum")}},
        {"multiply overflow", GuardedMultiply, -1e308, 1e308, false, {NegativeOverflow("Series sum")}},
        {"divide overflow", GuardedDivide, 1e308, 1e-308, false, {PositiveOverflow("Series sum")}},
        {"multiply underflow", GuardedMultiply, 1e-200, 1e-200, true, {UnderflowToZero("Series sum")}},
        {"divide underflow", GuardedDivide, 1e-320, 1e10, true, {UnderflowToZero("Series sum")}},
        {"multiply by zero", GuardedMultiply, 0.0, 1e-320, true, {}},
        {"divide zero", GuardedDivide, 0.0, 5.0, true, {}},
        {"add tiny", GuardedAdd, 1e-320, -1e-320, true, {}},
        {"add NaN",
         GuardedAdd,
         std::numeric_limits<double>::infinity(),
         -std::numeric_limits<double>::infinity(),
         false,
         {NegativeOverflow("Series sum")}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        ResetEvaluationState();
        Log.Clear();
        State().CurrentOperation = OpSeriesSum;
        double out = 0.0;
        EXPECT_EQ(row.Step(row.A, row.B, out), row.Ok);
        EXPECT_EQ(State().CalculationOk, row.Ok);
        EXPECT_EQ(Log.Lines, row.Records);
    }
}

}  // namespace
}  // namespace EngineTests
