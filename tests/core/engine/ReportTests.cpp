// The wording of every report, the operation names that give its context,
// and how reports change the evaluation state.
#include "support/EngineTestSupport.h"
#include "core/engine/EngineState.h"

#include <cmath>
#include <limits>

namespace EngineTests {
namespace {

using namespace NCalculatorText;

class Reports : public EngineTest {};

TEST_F(Reports, OperationNamesCoverCodesZeroToFortyTwo)
{
    const std::vector<std::string> names = {
        "None",
        "Number",
        "Division",
        "Multiplication",
        "Addition",
        "Subtraction",
        "Sine",
        "Cosine",
        "Tangent",
        "Cotangent",
        "Secant",
        "Cosecant",
        "Arcsine",
        "Arccosine",
        "Arctangent",
        "Arccotangent",
        "Arcsecant",
        "Arccosecant",
        "Hyperbolic cosine",
        "Hyperbolic sine",
        "Hyperbolic tangent",
        "Hyperbolic cotangent",
        "Hyperbolic secant",
        "Hyperbolic cosecant",
        "Archyperbolic cosine",
        "Archyperbolic sine",
        "Archyperbolic tangent",
        "Archyperbolic cotangent",
        "Archyperbolic secant",
        "Archyperbolic cosecant",
        "Natural logarithm",
        "Decimal logarithm",
        "Power",
        "Exponent",
        "Factorial",
        "Memory",
        "Square root",
        "Bessel of the first kind",
        "Bessel of the second kind",
        "Series sum",
        "Series product",
        "Index",
        "Gamma function",
    };
    ASSERT_EQ(names.size(), 43U);
    for (int code = 0; code < 43; ++code) {
        SCOPED_TRACE("code " + std::to_string(code));
        EXPECT_EQ(Readable(OperationName(code)), names[static_cast<std::size_t>(code)]);
    }
    for (int code : std::vector<int>{OpSign, OpAbs, OpChangeSign, -1, 46, 1000}) {
        SCOPED_TRACE("code " + std::to_string(code));
        EXPECT_EQ(Readable(OperationName(code)), "Undefined");
    }
}

TEST_F(Reports, EveryKindHasItsWordingAndStatus)
{
    const double infinity = std::numeric_limits<double>::infinity();
    struct Row {
        ReportCode Code;
        int Operation;
        double Value;
        std::string Line;
        bool ClearsCalculationOk;
    };
    const std::vector<Row> rows = {
        {SyntaxError, OpNone, 5.0, SyntaxErrorRecord(), true},
        {SyntaxError, OpSeriesSum, 0.0, SyntaxErrorRecord("Series sum"), true},
        {Uninitialized, OpMemory, 0.0, UnsetMemoryRecord(), false},
        {Uninitialized, OpIndex, 0.0, UnsetIndexRecord(), false},
        {Uninitialized, OpMultiplication, 3.0, Warning("Multiplication", "Uninitialized index used, value forced to 0"),
         false},
        {Overflow, OpAddition, infinity, PositiveOverflow("Addition"), true},
        {Overflow, OpAddition, -infinity, NegativeOverflow("Addition"), true},
        {Overflow, OpAddition, 0.0, NegativeOverflow("Addition"), true},
        {Overflow, OpAddition, std::numeric_limits<double>::quiet_NaN(), NegativeOverflow("Addition"), true},
        {Overflow, OpAddition, 1e-300, PositiveOverflow("Addition"), true},
        {Underflow, OpExponent, 0.0, UnderflowToZero("Exponent"), false},
        {Underflow, OpExponent, 1e-310,
         Warning("Exponent", "Operation resulted in underflow, result accepted as 9.9999999999999694493e-311"), false},
        {Domain, OpArcsecant, 0.5, Error("Arcsecant", "Function is not defined for 0.5"), true},
        {Domain, OpNaturalLogarithm, -6.283185307179586,
         Error("Natural logarithm", "Function is not defined for -6.283185307179586232"), true},
        {Singularity, OpDivision, 0.0, Error("Division", "Operation has singularity at 0"), true},
        {Singularity, OpGammaFunction, -2.0, Error("Gamma function", "Function has singularity at -2"), true},
        {Singularity, OpSign, 0.0, Error("Undefined", "Function has singularity at 0"), true},
        {PartialLoss, OpFactorial, 2.5,
         Warning("Factorial", "Operation resulted in partial loss of precision, result accepted as 2.5"), false},
        {TotalLoss, OpSine, 1e21,
         Warning("Sine", "Operation resulted in total loss of precision, result accepted as 1e+021"), false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Line);
        ResetEvaluationState();
        Log.Clear();
        State().CurrentOperation = row.Operation;
        Report(row.Code, row.Value);
        EXPECT_EQ(Log.Lines, std::vector<std::string>{row.Line});
        EXPECT_EQ(State().CalculationOk, !row.ClearsCalculationOk);
        EXPECT_EQ(State().LastReportCode, row.Code);
        EXPECT_EQ(State().CurrentOperation, row.Operation);
    }
}

TEST_F(Reports, NumbersInDescriptionsFollowTheLowerCaseFormat)
{
    // The notation case only changes written results, never the log.
    NCalculatorText::State().CalcSettings.NotationCase = 1;
    ResetEvaluationState();
    State().CurrentOperation = OpFactorial;
    Report(PartialLoss, 2.585201673888498e22);
    EXPECT_EQ(Log.Lines,
              std::vector<std::string>{Warning(
                  "Factorial",
                  "Operation resulted in partial loss of precision, result accepted as 2.5852016738884978213e+022")});
}

TEST_F(Reports, ReportWithoutReceiverStillChangesTheState)
{
    State().LogReceiver = nullptr;
    ResetEvaluationState();
    Report(Domain, 2.0);
    EXPECT_FALSE(State().CalculationOk);
    EXPECT_EQ(State().LastReportCode, Domain);
}

TEST_F(Reports, ResetEvaluationStateStartsARun)
{
    State().CurrentOperation = OpPower;
    State().CalculationOk = false;
    State().LastReportCode = Overflow;
    ResetEvaluationState();
    EXPECT_EQ(State().CurrentOperation, OpNone);
    EXPECT_TRUE(State().CalculationOk);
    EXPECT_EQ(State().LastReportCode, NoError);
}

TEST_F(Reports, OperationScopeRestoresTheEnclosingOperation)
{
    State().CurrentOperation = OpSubtraction;
    {
        OperationScope outer(OpNaturalLogarithm);
        EXPECT_EQ(State().CurrentOperation, OpNaturalLogarithm);
        EXPECT_EQ(State().PreviousOperation, OpSubtraction);
        {
            OperationScope inner(OpFactorial);
            EXPECT_EQ(State().PreviousOperation, OpNaturalLogarithm);
        }
        // After a node finished, the previous operation is the node's own.
        EXPECT_EQ(State().CurrentOperation, OpNaturalLogarithm);
        EXPECT_EQ(State().PreviousOperation, OpFactorial);
    }
    EXPECT_EQ(State().CurrentOperation, OpSubtraction);
    EXPECT_EQ(State().PreviousOperation, OpNaturalLogarithm);
}

TEST_F(Reports, SyntaxErrorsFoundWhileParsingHaveNoContext)
{
    ExpectFailure(u"sin(", {SyntaxErrorRecord("None")});
    // Also after an earlier statement of the same run ran nodes.
    const RunOutcome outcome = Run(u"ln(2); 2*");
    EXPECT_FALSE(outcome.Ok);
    EXPECT_EQ(outcome.Records, std::vector<std::string>{SyntaxErrorRecord("None")});
}

TEST_F(Reports, ErrorsAndWarningsCarryTheirStatus)
{
    Run(u"mem[q]+1e-200*1e-200+ln(0)");
    ASSERT_EQ(Log.Statuses.size(), 3U);
    EXPECT_EQ(Log.Statuses[0], 0);
    EXPECT_EQ(Log.Statuses[1], 0);
    EXPECT_EQ(Log.Statuses[2], 1);
    EXPECT_EQ(Log.Lines,
              (std::vector<std::string>{UnsetMemoryRecord(), UnderflowToZero("Multiplication"),
                                        Error("Natural logarithm", "Function has singularity at 0")}));
}

}  // namespace
}  // namespace EngineTests
