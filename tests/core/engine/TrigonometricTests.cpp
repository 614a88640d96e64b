// Trigonometric functions in radians, degrees and grads, and the hyperbolic
// functions with their inverses, near their poles and domain limits.
#include "support/EngineTestSupport.h"
#include "core/engine/EngineState.h"

namespace EngineTests {
namespace {

class Trigonometric : public EngineTest {
protected:
    void CheckValues(std::uint32_t units, const std::vector<ValueCase>& rows)
    {
        SetUnits(units);
        SCOPED_TRACE("units " + std::to_string(units));
        for (const ValueCase& row : rows)
            ExpectValue(row.Input, row.Value, row.Records);
    }

    void CheckFailures(std::uint32_t units, const std::vector<FailureCase>& rows)
    {
        SetUnits(units);
        SCOPED_TRACE("units " + std::to_string(units));
        for (const FailureCase& row : rows)
            ExpectFailure(row.Input, row.Records);
    }
};

TEST_F(Trigonometric, DegreesMultiplyByPiBeforeDividing)
{
    CheckValues(1,
                {
                    {u"sin(30)", "0.49999999999999994449"},
                    {u"sin(180)", "1.2246467991473532072e-016"},
                    {u"sin(90)", "1"},
                    {u"cos(60)", "0.50000000000000011102"},
                    {u"tan(45)", "0.99999999999999988898"},
                    {u"sec(60)", "1.9999999999999995559"},
                    {u"arcsin(0.5)", "30.000000000000003553"},
                    {u"arctg(1)", "45"},
                    {u"arccot(0)", "90"},
                    {u"arcsec(-1)", "180"},
                    {u"arccosec(2)", "30.000000000000003553"},
                });
}

TEST_F(Trigonometric, GradsUseTwoHundred)
{
    CheckValues(2,
                {
                    {u"arcsin(1)", "100"},
                    {u"sin(100)", "1"},
                    {u"cos(200)", "-1"},
                    {u"arccos(-1)", "200"},
                });
}

TEST_F(Trigonometric, RadiansAndUnknownUnitsLeaveArgumentsAlone)
{
    const std::vector<ValueCase> rows = {
        {u"sin(90)", "0.89399666360055785042"},
        {u"arcsec(1)", "0"},
        {u"arcsec(-1)", "3.141592653589793116"},
        {u"arccot(0)", "1.570796326794896558"},
        {u"arccot(-1)", "2.356194490192344837"},
        // No poles: cotangent and tangent give large finite values.
        {u"cot(0)", "16331239353195370"},
        {u"tan(pi/2)", "16331239353195370"},
    };
    CheckValues(0, rows);
    CheckValues(7, rows);
}

TEST_F(Trigonometric, UnitsTakeEffectWithTheNextRun)
{
    SetUnits(1);
    ExpectValue(u"sin(90)", "1");
    SetUnits(0);
    ExpectValue(u"sin(90)", "0.89399666360055785042");
    EXPECT_EQ(NCalculatorText::State().AngleUnit, 0);
    SetUnits(2);
    ExpectValue(u"sin(100)", "1");
    EXPECT_EQ(NCalculatorText::State().AngleUnit, 2);
}

TEST_F(Trigonometric, HyperbolicFunctionsIgnoreTheUnits)
{
    CheckValues(1,
                {
                    {u"sinh(1)", "1.1752011936438013784"},
                    {u"arsh(1)", "0.88137358701954293672"},
                    {u"arth(0.5)", "0.54930614433405489105"},
                });
}

TEST_F(Trigonometric, InverseFunctionsOutsideTheirDomain)
{
    CheckFailures(0,
                  {
                      {u"arcsec(0.5)", {Error("Arcsecant", "Function is not defined for 0.5")}},
                      {u"arcsec(0)", {Error("Arcsecant", "Function is not defined for 0")}},
                      {u"arccosec(-0.5)", {Error("Arccosecant", "Function is not defined for -0.5")}},
                      {u"arcsin(2)", {Error("Arcsine", "Function is not defined for 2")}},
                      {u"arccos(-2)", {Error("Arccosine", "Function is not defined for -2")}},
                  });
    CheckFailures(1,
                  {
                      {u"arcsin(2)", {Error("Arcsine", "Function is not defined for 2")}},
                      {u"arcsec(0.5)", {Error("Arcsecant", "Function is not defined for 0.5")}},
                  });
}

TEST_F(Trigonometric, ConversionOfHugeArgumentsOverflows)
{
    CheckFailures(1,
                  {
                      {u"sin(1e308)", {PositiveOverflow("Sine")}},
                      {u"tan(1e308)", {PositiveOverflow("Tangent")}},
                  });
    CheckFailures(2,
                  {
                      {u"cos((-1e308))", {NegativeOverflow("Cosine")}},
                  });
}

TEST_F(Trigonometric, HyperbolicOverflows)
{
    CheckFailures(
        0,
        {
            {u"cosh(1000)", {PositiveOverflow("Hyperbolic cosine")}},
            {u"sinh(-1000)", {NegativeOverflow("Hyperbolic sine")}},
            // The reciprocal functions add the underflow warning with 0.
            {u"sech(1000)", {PositiveOverflow("Hyperbolic secant"), UnderflowToZero("Hyperbolic secant")}},
            {u"csch(1000)", {PositiveOverflow("Hyperbolic cosecant"), UnderflowToZero("Hyperbolic cosecant")}},
            {u"csch(-1000)", {NegativeOverflow("Hyperbolic cosecant"), UnderflowToZero("Hyperbolic cosecant")}},
        });
}

TEST_F(Trigonometric, InverseHyperbolicDomainsAndSingularities)
{
    CheckFailures(0,
                  {
                      {u"arcosh(0.5)", {Error("Archyperbolic cosine", "Function is not defined for 0.5")}},
                      {u"artanh(1)", {Error("Archyperbolic tangent", "Function has singularity at 1")}},
                      {u"artanh(-1)", {Error("Archyperbolic tangent", "Function has singularity at -1")}},
                      {u"artanh(2)", {Error("Archyperbolic tangent", "Function is not defined for 2")}},
                      {u"arcoth(0.5)", {Error("Archyperbolic cotangent", "Function is not defined for 0.5")}},
                      {u"arcoth(1)", {Error("Archyperbolic cotangent", "Function has singularity at 1")}},
                      {u"arcoth(-1)", {Error("Archyperbolic cotangent", "Function has singularity at -1")}},
                      {u"arsech(0)", {Error("Archyperbolic secant", "Function has singularity at 0")}},
                      {u"arsech(2)", {Error("Archyperbolic secant", "Function is not defined for 2")}},
                      {u"arsech(-0.5)", {Error("Archyperbolic secant", "Function is not defined for -0.5")}},
                      {u"arcsch(0)", {Error("Archyperbolic cosecant", "Function has singularity at 0")}},
                      // The formula cancels to ln(0) for large negative arguments.
                      {u"arsinh(-1e9)", {Error("Archyperbolic sine", "Function has singularity at 0")}},
                      {u"arsinh(1e200)", {PositiveOverflow("Archyperbolic sine")}},
                      {u"arcosh(1e200)", {PositiveOverflow("Archyperbolic cosine")}},
                  });
}

TEST_F(Trigonometric, InverseHyperbolicValuesAtTheirLimits)
{
    CheckValues(0,
                {
                    {u"arcosh(1)", "0"},
                    {u"arsech(1)", "0"},
                    // The full logarithm, not half of it.
                    {u"arcsch(1)", "0.88137358701954293672"},
                    {u"arsinh(0)", "0"},
                });
}

}  // namespace
}  // namespace EngineTests
