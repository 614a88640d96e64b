// The grammar: which operator binds loosest, how each level associates, which
// names are functions and keywords, and which texts are not expressions.
#include "support/EngineTestSupport.h"

namespace EngineTests {
namespace {

class Grammar : public EngineTest {};

TEST_F(Grammar, OperatorsBindFromLooseToTight)
{
    const std::vector<ValueCase> rows = {
        {u"1+2*3", "7"},    {u"(1+2)*3", "9"}, {u"[1+2]*{3}", "9"}, {u"[1+2)*3", "9"}, {u"2*3^2", "18"},
        {u"2^2*3", "12"},   {u"-2^2", "-4"},   {u"-2*3", "-6"},     {u"-1+2", "1"},    {u"-1-2", "-3"},
        {u"1-(2-3)", "2"},  {u"2^3!", "64"},   {u"3!^2", "36"},     {u"-3!", "-6"},    {u"2*(-3)", "-6"},
        {u"2^(-1)", "0.5"}, {u"-(2)", "-2"},   {u"((1))", "1"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

TEST_F(Grammar, SameLevelOperatorsAssociateToTheLeft)
{
    const std::vector<ValueCase> rows = {
        {u"8-3-2", "3"}, {u"8/4/2", "1"}, {u"2^3^2", "64"}, {u"8/2*4", "16"},
        {u"8*2/4", "4"}, {u"1-2+3", "2"}, {u"1+2-3", "0"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

TEST_F(Grammar, ExponentSignsAreNotOperators)
{
    const std::vector<ValueCase> rows = {
        {u"1e-5", "1.0000000000000000818e-005"},
        {u"1e-5-1", "-0.99999000000000004551"},
        {u"1e+5+2", "100002"},
        {u"2.e-1+1", "1.1999999999999999556"},
        {u"1.5e\u22123", "0.0015000000000000000312"},
        {u"1.5e\u22123\u22121", "-0.99850000000000005418"},
        // "e" with nothing before it is the constant, so its sign is an operator.
        {u"e+1", "3.7182818284590450908"},
        {u"3-\u22122", "5"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

TEST_F(Grammar, NumberLiterals)
{
    const std::vector<ValueCase> rows = {
        {u"+5", "5"},   {u"1 2", "12"},   {u"1 . 5", "1.5"},  {u"1.", "1"},
        {u".5", "0.5"}, {u"1E3", "1000"}, {u"2.5e+2", "250"}, {u"e5", "0"},
        {u".e5", "0"},  {u"E5", "0"},     {u"1e-400", "0"},   {u"0.1+0.2", "0.30000000000000004441"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

TEST_F(Grammar, AlternativeOperatorSigns)
{
    const std::vector<ValueCase> rows = {
        {u"\u22125", "-5"},
        {u"3\u22122", "1"},
        {u"2\u00D73", "6"},
        {u"6\u00F74", "1.5"},
        {u"\u03C0", "3.141592653589793116"},
        {u"\u221A(4)", "2"},
        {u"\u0393(5)", "24"},
        {u"\u2211(i,1,3,i)", "6"},
        {u"\u220F(i,1,4,i)", "24"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

TEST_F(Grammar, KeywordsAndConstants)
{
    // The result keyword comes first: every row below changes the last result.
    const std::vector<ValueCase> rows = {
        {u"rslt", "0"},
        {u"RESULT", "0"},
        {u"rslt!", "1"},
        {u"pi", "3.141592653589793116"},
        {u"+pi", "3.141592653589793116"},
        {u"PI", "3.141592653589793116"},
        {u"e", "2.7182818284590450908"},
        {u"+e", "2.7182818284590450908"},
        {u"E", "2.7182818284590450908"},
        {u"result", "2.7182818284590450908"},
        {u"(3!)!", "720"},
        {u"(2+1)!", "6"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

TEST_F(Grammar, FactorialOfPiUsesTheGammaSeries)
{
    const Evaluation evaluation = Evaluate(u"pi!");
    ASSERT_TRUE(evaluation.Ok);
    EXPECT_NEAR(ValueOf(evaluation), 7.1880827289760327, 1e-13);
    EXPECT_TRUE(evaluation.Records.empty());
}

TEST_F(Grammar, IdentifiersAreIndexVariables)
{
    const std::vector<ValueCase> rows = {
        {u"sin x", "0", {UnsetIndexRecord()}},
        {u"sinx", "0", {UnsetIndexRecord()}},
        {u"x_1", "0", {UnsetIndexRecord()}},
        {u"_", "0", {UnsetIndexRecord()}},
        {u"e_5", "0", {UnsetIndexRecord()}},
        {u"tg", "0", {UnsetIndexRecord()}},
        {u"sin", "0", {UnsetIndexRecord()}},
        {u"sin(x)^2", "0", {UnsetIndexRecord()}},
        {u"x+x", "0", {UnsetIndexRecord(), UnsetIndexRecord()}},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

// Every name of the function table, West and East, at one argument each.
TEST_F(Grammar, EveryFunctionNameCreatesItsFunction)
{
    const std::vector<ValueCase> rows = {
        {u"sin(1)", "0.84147098480789650488"},
        {u"cos(1)", "0.54030230586813976501"},
        {u"tg(1)", "1.5574077246549022924"},
        {u"tan(1)", "1.5574077246549022924"},
        {u"ctg(1)", "0.64209261593433064608"},
        {u"cot(1)", "0.64209261593433064608"},
        {u"sec(1)", "1.850815717680925454"},
        {u"csc(1)", "1.1883951057781212413"},
        {u"cosec(1)", "1.1883951057781212413"},
        {u"asin(0.5)", "0.52359877559829892668"},
        {u"arcsin(0.5)", "0.52359877559829892668"},
        {u"acos(0.5)", "1.0471975511965978534"},
        {u"arccos(0.5)", "1.0471975511965978534"},
        {u"atan(0.5)", "0.46364760900080609352"},
        {u"arctg(0.5)", "0.46364760900080609352"},
        {u"arctan(0.5)", "0.46364760900080609352"},
        {u"acot(0.5)", "1.107148717794090409"},
        {u"arcctg(0.5)", "1.107148717794090409"},
        {u"arccot(0.5)", "1.107148717794090409"},
        {u"asec(2)", "1.0471975511965978534"},
        {u"arcsec(2)", "1.0471975511965978534"},
        {u"acsc(2)", "0.52359877559829892668"},
        {u"arccsc(2)", "0.52359877559829892668"},
        {u"arccosec(2)", "0.52359877559829892668"},
        {u"sh(1)", "1.1752011936438013784"},
        {u"sinh(1)", "1.1752011936438013784"},
        {u"ch(1)", "1.5430806348152437124"},
        {u"cosh(1)", "1.5430806348152437124"},
        {u"th(1)", "0.76159415595576485103"},
        {u"tanh(1)", "0.76159415595576485103"},
        {u"cth(1)", "1.3130352854993314615"},
        {u"coth(1)", "1.3130352854993314615"},
        {u"sech(1)", "0.64805427366388546062"},
        {u"csch(1)", "0.8509181282393215584"},
        {u"arsh(1)", "0.88137358701954293672"},
        {u"asinh(1)", "0.88137358701954293672"},
        {u"arsinh(1)", "0.88137358701954293672"},
        {u"arch(2)", "1.3169578969248165734"},
        {u"acosh(2)", "1.3169578969248165734"},
        {u"arcosh(2)", "1.3169578969248165734"},
        {u"arth(0.5)", "0.54930614433405489105"},
        {u"atanh(0.5)", "0.54930614433405489105"},
        {u"artanh(0.5)", "0.54930614433405489105"},
        {u"arcth(2)", "0.54930614433405489105"},
        {u"acoth(2)", "0.54930614433405489105"},
        {u"arcoth(2)", "0.54930614433405489105"},
        {u"arsch(0.5)", "1.3169578969248165734"},
        {u"asech(0.5)", "1.3169578969248165734"},
        {u"arsech(0.5)", "1.3169578969248165734"},
        {u"acsch(2)", "0.48121182505960347076"},
        {u"arcsch(2)", "0.48121182505960347076"},
        {u"ln(2)", "0.69314718055994528623"},
        {u"lg(2)", "0.30102999566398119802"},
        {u"log(2)", "0.30102999566398119802"},
        {u"exp(1)", "2.7182818284590450908"},
        {u"sqrt(2)", "1.4142135623730951455"},
        {u"abs(-2)", "2"},
        {u"sign(-3)", "-1"},
        {u"gamma(5)", "24"},
        {u"j(1,1)", "0.44005058574493349788"},
        {u"y(1,1)", "-0.78121282130028868451"},
        {u"sum(i,1,3,i)", "6"},
        {u"prod(i,1,4,i)", "24"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

TEST_F(Grammar, NamesAndKeywordsIgnoreCase)
{
    const std::vector<ValueCase> rows = {
        {u"SIN(PI)", "1.2246467991473532072e-016"},
        {u"sin(pi)", "1.2246467991473532072e-016"},
        {u"Sinh(1)", "1.1752011936438013784"},
        {u"ArcTg(0.5)", "0.46364760900080609352"},
        {u"LOG(100)", "2"},
        {u"SUM(I,1,3,I)", "6"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

TEST_F(Grammar, TextsThatAreNotExpressionsAreSyntaxErrors)
{
    const std::vector<std::u16string> rows = {
        // A sign directly behind another operator.
        u"2*-3",
        u"1--2",
        u"2^-1",
        u"2+-3",
        // Missing operands.
        u"*2",
        u"2*",
        u"+",
        u"-",
        u"2^",
        u"e-",
        u"1+",
        u"/",
        // No implicit multiplication.
        u"2pi",
        u"2(3)",
        u"2 x",
        u"1x",
        u"(1)(2)",
        // Factorials of anything but numbers, constants, the result and groups.
        u"x!",
        u"3!!",
        u"rand!",
        u"random!",
        u"!",
        // Functions need their bracket, keywords take none.
        u"sin^2(x)",
        u"rand()",
        u"pi()",
        u"e(1)",
        u"sin(1)(2)",
        u"sinus(1)",
        u"arccosecx(1)",
        u"sin()",
        // Numbers that are no literals.
        u"a1e+1",
        u"1.2.3",
        u"5e",
        u"1e5.0",
        u"1e5e5",
        u".",
        u"1e",
        // Unpaired brackets.
        u"(1",
        u"1)",
        u")(1)",
        u"()",
        u"(1+2",
        u"sin(1",
        // The "$" of placeholders is not part of the language.
        u"1$",
        u"$0$",
        u"$",
        // Memory references and stores.
        u"memx",
        u"member",
        u"mem",
        u"5->x",
        u"5->mem[a]+1",
        u"5->",
        u"->mem[a]",
    };
    for (const std::u16string& row : rows)
        ExpectFailure(row, {SyntaxErrorRecord()});
}

TEST_F(Grammar, ListsAreNoValuesAndFailSilently)
{
    const std::vector<std::u16string> rows = {
        u"1,2", u"sin(1,2)", u"(2,3)+1", u",", u",,,", u"1,", u",1", u"2*(1,2)", u"-(1,2)",
    };
    for (const std::u16string& row : rows)
        ExpectFailure(row, {});
}

}  // namespace
}  // namespace EngineTests
