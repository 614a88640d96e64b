// The lexical layer: normalisation, bracket placeholders, the searches for the
// splitting operator, and the literal, factorial-operand and identifier tests.
#include "EngineTestSupport.h"

#include "engine/Scanner.h"

namespace EngineTests {
namespace {

using namespace NCalculatorText;

class Scanner : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        BracketTable.clear();
    }
};

TEST_F(Scanner, NormalizeTrimsDropsLineBreaksUnifiesBracketsAndLowers)
{
    struct Row {
        std::u16string Input;
        bool Ok;
        std::u16string Output;
    };
    const std::vector<Row> rows = {
        {u"  1 + 2\t", true, u"1 + 2"},
        {u"1\t+\n2\r", true, u"1+2"},
        {u"\r\n sin (x)\n", true, u"sin (x)"},
        {u"[1+2)", true, u"(1+2)"},
        {u"{a}*[b]", true, u"(a)*(b)"},
        {u"SIN(X)+Mem[ABC]", true, u"sin(x)+mem(abc)"},
        {u"\u0393(5)+\u03A0", true, u"\u0393(5)+\u03A0"},
        {u"", true, u""},
        {u"   ", true, u""},
        {u"1$", false, u""},
        {u"$0$", false, u""},
        {u"mem[$]", false, u""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("input: \"" + Readable(row.Input) + "\"");
        std::u16string text = row.Input;
        EXPECT_EQ(NormalizeStatement(text), row.Ok);
        if (row.Ok) {
            EXPECT_EQ(Readable(text), Readable(row.Output));
        }
    }
}

TEST_F(Scanner, ReduceReplacesTopLevelGroupsFromLeftToRight)
{
    std::u16string text = u"(1+2)*(3+4)";
    EXPECT_TRUE(ReduceBrackets(text));
    EXPECT_EQ(Readable(text), "$0$*(3+4)");
    EXPECT_TRUE(ReduceBrackets(text));
    EXPECT_EQ(Readable(text), "$0$*$1$");
    EXPECT_FALSE(ReduceBrackets(text));
    ASSERT_EQ(BracketTable.size(), 2U);
    EXPECT_EQ(Readable(BracketTable[0]), "1+2");
    EXPECT_EQ(Readable(BracketTable[1]), "3+4");
}

TEST_F(Scanner, ReduceKeepsInnerGroupsAndSpacesInTheContent)
{
    struct Row {
        std::u16string Input;
        bool Reduced;
        std::u16string Output;
        std::u16string Content;
    };
    const std::vector<Row> rows = {
        {u"((1))", true, u"$0$", u"(1)"},     {u"()", true, u"$0$", u""},
        {u"( a b )", true, u"$0$", u" a b "}, {u"sin((1)+(2))", true, u"sin$0$", u"(1)+(2)"},
        {u"(1))", true, u"$0$)", u"1"},       {u")(1)", false, u")(1)", u""},
        {u"(1", false, u"(1", u""},           {u"1)", false, u"1)", u""},
        {u"((1)", false, u"((1)", u""},       {u"", false, u"", u""},
        {u"12", false, u"12", u""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("input: \"" + Readable(row.Input) + "\"");
        BracketTable.clear();
        std::u16string text = row.Input;
        EXPECT_EQ(ReduceBrackets(text), row.Reduced);
        EXPECT_EQ(Readable(text), Readable(row.Output));
        if (row.Reduced) {
            ASSERT_EQ(BracketTable.size(), 1U);
            EXPECT_EQ(Readable(BracketTable[0]), Readable(row.Content));
        } else {
            EXPECT_TRUE(BracketTable.empty());
        }
    }
}

TEST_F(Scanner, PlaceholderIndexesContinueTheTable)
{
    BracketTable = {u"a", u"b", u"c"};
    std::u16string text = u"(d)";
    ASSERT_TRUE(ReduceBrackets(text));
    EXPECT_EQ(Readable(text), "$3$");
    ASSERT_EQ(BracketTable.size(), 4U);
    EXPECT_TRUE(ExpandPlaceholder(text));
    EXPECT_EQ(Readable(text), "d");
}

TEST_F(Scanner, ExpandOnlyReplacesALonePlaceholder)
{
    for (int i = 0; i < 13; ++i)
        BracketTable.push_back(u"content " + std::u16string(1, static_cast<char16_t>(u'a' + i)));
    struct Row {
        std::u16string Input;
        bool Expanded;
        std::u16string Output;
    };
    const std::vector<Row> rows = {
        {u"$0$", true, u"content a"},  {u"$12$", true, u"content m"}, {u"$0$!", false, u"$0$!"},
        {u"sin$0$", false, u"sin$0$"}, {u"$0$$1$", false, u"$0$$1$"}, {u"1", false, u"1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("input: \"" + Readable(row.Input) + "\"");
        std::u16string text = row.Input;
        EXPECT_EQ(ExpandPlaceholder(text), row.Expanded);
        EXPECT_EQ(Readable(text), Readable(row.Output));
    }
}

TEST_F(Scanner, SignOperatorSkipsExponentsAndLeadingSigns)
{
    struct Row {
        std::u16string Text;
        bool Plus;
        int Position;
    };
    const std::vector<Row> rows = {
        {u"1e+5+2", true, 4},        {u"1e+5", true, -1},     {u"e+1", true, 1},
        {u"a1e+1", true, -1},        {u"ee+1", true, 2},      {u"1+2+3", true, 3},
        {u"1++2", true, 2},          {u"+1", true, -1},       {u"1-2", true, -1},
        {u"-5", false, -1},          {u"1e-5-1", false, 4},   {u"2.e-7", false, -1},
        {u"1.5e-3", false, -1},      {u"x1e-2", false, -1},   {u"3-\u22122", false, 1},
        {u"3\u22122-1", false, 3},   {u"3\u22122", false, 1}, {u"1\u22122\u22123", false, 3},
        {u"1.5e\u22123", false, -1}, {u"8-3-2", false, 3},    {u"", false, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("text: \"" + Readable(row.Text) + (row.Plus ? "\" plus" : "\" minus"));
        EXPECT_EQ(FindSignOperator(row.Text, row.Plus), row.Position);
    }
}

TEST_F(Scanner, FindLastOfFindsTheLastOccurrence)
{
    EXPECT_EQ(FindLastOf(u"1->2->3", u"->"), 4);
    EXPECT_EQ(FindLastOf(u"1\u2212>2", u"\u2212>"), 1);
    EXPECT_EQ(FindLastOf(u"abc", u"->"), -1);
    EXPECT_EQ(FindLastOf(u"aaa", u"aa"), 1);
    EXPECT_EQ(FindLastOf(u"", u"x"), -1);
    EXPECT_EQ(FindLastOf(u"->", u"->"), 0);
}

TEST_F(Scanner, NumberTextIsSignDigitsPointAndExponent)
{
    const std::vector<std::u16string> numbers = {
        u"1",
        u"+5",
        u"-5",
        u"\u22125",
        u"1.5",
        u"1.",
        u".5",
        u"1e5",
        u"1e+5",
        u"1e-5",
        u"1e\u22125",
        u"1.5e\u22123",
        u"e5",
        u".e5",
        u"1.e5",
        u"007",
        // The exponent's sign is removed with its "e", so nothing need follow it.
        u"1e+",
    };
    const std::vector<std::u16string> others = {
        u"",    u"1.2.3", u"5e", u"1e5.0",  u"1e5e5", u".",   u"+",  u"-",   u"e",
        u"++5", u"+-5",   u"1x", u"\u03C0", u"1 2",   u"1,5", u"pi", u"e.5",
    };
    for (const std::u16string& text : numbers)
        EXPECT_TRUE(IsNumberText(text)) << Readable(text);
    for (const std::u16string& text : others)
        EXPECT_FALSE(IsNumberText(text)) << Readable(text);
}

TEST_F(Scanner, FactorialOperandsAreNumbersConstantsAndTheResult)
{
    const std::vector<std::u16string> operands = {
        u"3", u"+3", u"-3", u"2.5", u"1e3", u"pi", u"+pi", u"\u03C0", u"e", u"+e", u"result", u"rslt",
    };
    const std::vector<std::u16string> others = {
        u"", u"rand", u"random", u"x", u"+-3", u"++3", u"3!", u"pi2", u"+", u"-pi",
    };
    for (const std::u16string& text : operands)
        EXPECT_TRUE(IsFactorialOperand(text)) << Readable(text);
    for (const std::u16string& text : others)
        EXPECT_FALSE(IsFactorialOperand(text)) << Readable(text);
}

TEST_F(Scanner, IdentifiersAreLowerCaseLettersDigitsAndUnderscores)
{
    const std::vector<std::u16string> identifiers = {u"x", u"x_1", u"_", u"abc123", u"sinx", u"e_5", u"__"};
    const std::vector<std::u16string> others = {u"", u"1x", u"x-1", u"X", u"\u03C0", u"x y", u"x$0$", u"9"};
    for (const std::u16string& text : identifiers)
        EXPECT_TRUE(IsIdentifierText(text)) << Readable(text);
    for (const std::u16string& text : others)
        EXPECT_FALSE(IsIdentifierText(text)) << Readable(text);
}

}  // namespace
}  // namespace EngineTests
