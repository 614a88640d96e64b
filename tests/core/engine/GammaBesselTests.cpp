// Factorial, gamma and the Bessel functions near their limits, and the
// logarithm hand-shake that lets ln of a huge factorial or gamma value finish.
#include "support/EngineTestSupport.h"

namespace EngineTests {
namespace {

class SpecialFunctions : public EngineTest {
protected:
    // A value from the Lanczos series: its last digits are the series', so it
    // is compared with a relative tolerance, and it must log nothing.
    void ExpectNear(const std::u16string& input, double expected, double relative = 1e-13)
    {
        SCOPED_TRACE("input: " + Readable(input));
        const Evaluation evaluation = Evaluate(input);
        ASSERT_TRUE(evaluation.Ok);
        EXPECT_NEAR(ValueOf(evaluation), expected, std::abs(expected) * relative + 1e-15);
        EXPECT_EQ(evaluation.Records, std::vector<std::string>{});
    }
};

std::string PartialLoss(std::string_view value)
{
    return Warning("Factorial",
                   "Operation resulted in partial loss of precision, result accepted as " + std::string(value));
}

TEST_F(SpecialFunctions, FactorialsOfIntegersAreExactProducts)
{
    const std::vector<ValueCase> rows = {
        {u"0!", "1"},
        {u"1!", "1"},
        {u"2!", "2"},
        {u"5!", "120"},
        {u"22!", "1.12400072777760768e+021"},
        {u"23!", "2.5852016738884978213e+022", {PartialLoss("2.5852016738884978213e+022")}},
        {u"170!", "7.2574156153079940454e+306", {PartialLoss("7.2574156153079940454e+306")}},
        {u"(3!)!", "720"},
        {u"(-0)!", "1"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

TEST_F(SpecialFunctions, GammaOfIntegersIsTheProductWithoutWarning)
{
    const std::vector<ValueCase> rows = {
        {u"gamma(1)", "1"},
        {u"gamma(2)", "1"},
        {u"gamma(5)", "24"},
        {u"gamma(24)", "2.5852016738884978213e+022"},
        {u"gamma(171)", "7.2574156153079940454e+306"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

TEST_F(SpecialFunctions, OverflowsAndPoles)
{
    const std::vector<FailureCase> rows = {
        {u"171!", {PositiveOverflow("Factorial")}},
        {u"1000!", {PositiveOverflow("Factorial")}},
        {u"gamma(172)", {PositiveOverflow("Gamma function")}},
        {u"gamma(200)", {PositiveOverflow("Gamma function")}},
        {u"(-1)!", {Error("Factorial", "Function has singularity at -1")}},
        {u"(-3)!", {Error("Factorial", "Function has singularity at -3")}},
        {u"gamma(0)", {Error("Gamma function", "Function has singularity at 0")}},
        {u"gamma(-2)", {Error("Gamma function", "Function has singularity at -2")}},
        {u"\u0393(-1)", {Error("Gamma function", "Function has singularity at -1")}},
    };
    for (const FailureCase& row : rows)
        ExpectFailure(row.Input, row.Records);
}

TEST_F(SpecialFunctions, NonIntegerArgumentsUseTheSeries)
{
    ExpectNear(u"gamma(0.5)", 1.7724538509055159);
    ExpectNear(u"gamma(1.5)", 0.88622692545275801);
    ExpectNear(u"0.5!", 0.88622692545275801);
    ExpectNear(u"(-0.5)!", 1.7724538509055159);
    ExpectNear(u"gamma(-0.5)", -3.5449077018110318);
    ExpectNear(u"gamma(-1.5)", 2.3632718012073548);
    ExpectNear(u"(-1.5)!", -3.5449077018110318);
    ExpectNear(u"gamma(10.5)", 1133278.3889487855);
}

// Γ stays finite up to x = 171.62; the power in its series passes every
// double from x = 141.7 on and must not stop it there. Expected values to 22
// digits, of the doubles written.
TEST_F(SpecialFunctions, GammaAndFactorialUpToTheirTrueLimit)
{
    struct Row {
        std::u16string Input;
        double Expected;
    };
    const std::vector<Row> rows = {
        {u"gamma(141.5)", 1.597108911651259535725e+242},   {u"gamma(150.5)", 4.661072627097377918445e+261},
        {u"gamma(170.5)", 5.562092414559999610706e+305},   {u"gamma(171.5)", 9.483367566824799336253e+307},
        {u"gamma(171.62)", 1.757682678997812703842e+308},  {u"170.5!", 9.483367566824799336253e+307},
        {u"gamma(-150.5)", -4.478447658150640809892e-264}, {u"(-171.5)!", -3.31273952153860731481e-308},
    };
    for (const Row& row : rows)
        ExpectNear(row.Input, row.Expected, 1e-14);
    // Below x = 141.7 the steps are exactly those of before.
    ExpectValue(u"gamma(141.5)", "1.5971089116512594269e+242");
    ExpectValue(u"gamma(141.73)", "4.9858196208930759252e+242");
    const std::vector<FailureCase> overflows = {
        {u"gamma(171.7)", {PositiveOverflow("Gamma function")}},
        {u"171.5!", {PositiveOverflow("Factorial")}},
        {u"gamma(-175.5)", {PositiveOverflow("Gamma function")}},
        {u"gamma(1000.5)",
         {PositiveOverflow("Gamma function"),
          Warning("Gamma function", "Operation resulted in underflow, result accepted as 0")}},
    };
    for (const FailureCase& row : overflows)
        ExpectFailure(row.Input, row.Records);
}

TEST_F(SpecialFunctions, FactorialOfAHalfEqualsGammaOfOneAndAHalf)
{
    const Evaluation factorial = Evaluate(u"0.5!");
    const Evaluation gamma = Evaluate(u"gamma(1.5)");
    EXPECT_EQ(factorial.Value, gamma.Value);
    const Evaluation negativeFactorial = Evaluate(u"(-0.5)!");
    const Evaluation gammaHalf = Evaluate(u"gamma(0.5)");
    EXPECT_EQ(negativeFactorial.Value, gammaHalf.Value);
}

TEST_F(SpecialFunctions, LogarithmOfAHugeFactorialOrGammaValue)
{
    ExpectNear(u"ln(1000!)", 5912.1281784881633);
    ExpectNear(u"ln(gamma(200))", 857.93366982585743);
    ExpectNear(u"ln(\u0393(1000))", 5905.2204232091808);
    ExpectNear(u"ln(3!)", 1.791759469228055);
    ExpectNear(u"ln(gamma(5))", 3.1780538303479458);
    ExpectNear(u"ln(gamma(-1.5))", 0.86004701537648098);
    ExpectNear(u"ln(0.5!)", -0.12078223763524522);
}

TEST_F(SpecialFunctions, LogarithmOfANegativeGammaValueIsADomainError)
{
    const std::vector<FailureCase> rows = {
        {u"ln(gamma(-0.5))", {Error("Natural logarithm", "Function is not defined for -6.283185307179586232")}},
        {u"ln((-1.5)!)", {Error("Natural logarithm", "Function is not defined for -6.283185307179586232")}},
        {u"ln(gamma(0))", {Error("Gamma function", "Function has singularity at 0")}},
    };
    for (const FailureCase& row : rows)
        ExpectFailure(row.Input, row.Records);
}

// Only a factorial or gamma node directly under the logarithm delivers a
// logarithm; constants, the result and random numbers never do, wherever
// they stand.
TEST_F(SpecialFunctions, OnlyDirectOperandsAreDeliveredLogarithms)
{
    const std::vector<ValueCase> rows = {
        {u"ln(e)", "1"},
        {u"gamma(ln(e))", "1"},
        {u"ln(e)!", "1"},
        {u"(ln(e))!", "1"},
        {u"gamma(ln(e)+1)", "1"},
        {u"ln(pi)", "1.1447298858494001639"},
        {u"ln(e)*gamma(3)", "2"},
        {u"ln(e^2)", "2"},
        {u"5!*ln(e)", "120"},
        {u"ln(-(-(3!)))", "1.7917594692280549573"},
        {u"ln(2*3!)", "2.4849066497880003546"},
        {u"ln(sum(i,1,1,gamma(3)))", "0.69314718055994528623"},
        {u"ln(sum(i,1,1,ln(e)))", "0"},
        {u"gamma(sum(i,1,1,ln(e)))", "1"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);

    ExpectNear(u"gamma(ln(pi))", 0.93480237066547689);
    // The result keyword under a logarithm is a plain value too.
    ExpectValue(u"e", "2.7182818284590450908");
    ExpectValue(u"gamma(ln(rslt))", "1");
    ExpectValue(u"e", "2.7182818284590450908");
    ExpectValue(u"ln(rslt)!", "1");
}

TEST_F(SpecialFunctions, NegatedFactorialUnderLogarithmIsAPlainValue)
{
    ExpectFailure(u"ln(-(3!))", {Error("Natural logarithm", "Function is not defined for -6")});
}

TEST_F(SpecialFunctions, BesselFunctionsOfIntegerOrder)
{
    const std::vector<ValueCase> rows = {
        {u"j(0,0)", "1"},
        {u"j(0,1)", "0.76519768655796660539"},
        {u"j(1,1)", "0.44005058574493349788"},
        {u"j(2,1)", "0.11490348493190048751"},
        {u"j(-1,1)", "-0.44005058574493349788"},
        {u"j(2,2.5)", "0.44605905843961723978"},
        {u"j(2.0,1)", "0.11490348493190048751"},
        {u"y(0,1)", "0.088256964215676983465"},
        {u"y(1,1)", "-0.78121282130028868451"},
        {u"y(2,1)", "-1.6506826068162543386"},
        {u"J[1,1]", "0.44005058574493349788"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

TEST_F(SpecialFunctions, BesselArgumentsMustBeAnOrderAndAValue)
{
    const std::vector<FailureCase> rows = {
        {u"j(2.5,1)", {SyntaxErrorRecord("Bessel of the first kind")}},
        {u"j(1)", {SyntaxErrorRecord("Bessel of the first kind")}},
        {u"j(1,2,3)", {SyntaxErrorRecord("Bessel of the first kind")}},
        {u"y(0.5,1)", {SyntaxErrorRecord("Bessel of the second kind")}},
        {u"y(1)", {SyntaxErrorRecord("Bessel of the second kind")}},
        // Orders beyond the 32-bit range are rejected.
        {u"j(1e10,1)", {SyntaxErrorRecord("Bessel of the first kind")}},
        {u"j(-1e10,1)", {SyntaxErrorRecord("Bessel of the first kind")}},
        {u"j(2147483648,1)", {SyntaxErrorRecord("Bessel of the first kind")}},
        {u"y(1e300,1)", {SyntaxErrorRecord("Bessel of the second kind")}},
        // The order fails before the argument is looked at.
        {u"j(1/0,1)", {Error("Division", "Operation has singularity at 0")}},
        {u"j(0,ln(0))", {Error("Natural logarithm", "Function has singularity at 0")}},
    };
    for (const FailureCase& row : rows)
        ExpectFailure(row.Input, row.Records);
}

TEST_F(SpecialFunctions, BesselOfTheSecondKindAtZeroAndBelow)
{
    const std::vector<FailureCase> rows = {
        {u"y(0,0)", {Error("Bessel of the second kind", "Function has singularity at 0")}},
        {u"y(1,0)", {Error("Bessel of the second kind", "Function has singularity at 0")}},
        {u"y(2,0)", {Error("Bessel of the second kind", "Function has singularity at 0")}},
        {u"y(0,-1)", {Error("Bessel of the second kind", "Function is not defined for -1")}},
        {u"y(2,-1)", {Error("Bessel of the second kind", "Function is not defined for -1")}},
    };
    for (const FailureCase& row : rows)
        ExpectFailure(row.Input, row.Records);
}

}  // namespace
}  // namespace EngineTests
