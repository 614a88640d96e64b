// The lexical layer: normalisation, bracket placeholders, the searches for the
// splitting operator, and the literal, factorial-operand and identifier tests.
#include "support/EngineTestSupport.h"

#include "core/engine/Scanner.h"
#include "core/engine/EngineState.h"

namespace EngineTests {
namespace {

using namespace NCalculatorText;

class Scanner : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        State().BracketTable.Clear();
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

TEST_F(Scanner, BracketTablePairsGroupsAndReplacesTopLevelOnes)
{
    struct Row {
        std::u16string Statement;
        std::u16string Reduced;
        std::vector<std::u16string> Contents;         // as written, by placeholder index
        std::vector<std::u16string> ReducedContents;  // as the recognizers see them
    };
    const std::vector<Row> rows = {
        {u"(1+2)*(3+4)", u"$0$*$1$", {u"1+2", u"3+4"}, {u"1+2", u"3+4"}},
        {u"((1))", u"$0$", {u"(1)", u"1"}, {u"$1$", u"1"}},
        {u"()", u"$0$", {u""}, {u""}},
        {u"( a b )", u"$0$", {u" a b "}, {u"ab"}},
        {u"sin((1)+(2))", u"sin$0$", {u"(1)+(2)", u"1", u"2"}, {u"$1$+$2$", u"1", u"2"}},
        {u"mem( my cell )+(2 * (3))", u"mem$0$+$1$", {u" my cell ", u"2 * (3)", u"3"}, {u"mycell", u"2*$2$", u"3"}},
        {u"1 + 2", u"1+2", {}, {}},
        {u"", u"", {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("statement: \"" + Readable(row.Statement) + "\"");
        ASSERT_TRUE(State().BracketTable.Assign(row.Statement));
        EXPECT_EQ(Readable(State().BracketTable.ReducedStatement()), Readable(row.Reduced));
        ASSERT_EQ(State().BracketTable.Size(), row.Contents.size());
        for (std::size_t i = 0; i < row.Contents.size(); ++i) {
            EXPECT_EQ(Readable(State().BracketTable.Content(i)), Readable(row.Contents[i])) << "group " << i;
            EXPECT_EQ(Readable(State().BracketTable.ReducedContent(i)), Readable(row.ReducedContents[i]))
                << "group " << i;
        }
    }
}

TEST_F(Scanner, BracketTableRefusesUnpairedBrackets)
{
    for (const std::u16string text : {u"(1))", u")(1)", u"(1", u"1)", u"((1)", u")", u"(()", u"())("}) {
        SCOPED_TRACE("statement: \"" + Readable(text) + "\"");
        EXPECT_FALSE(State().BracketTable.Assign(text));
        EXPECT_EQ(State().BracketTable.Size(), 0U);
    }
}

TEST_F(Scanner, ExpandOnlyReplacesALonePlaceholder)
{
    std::u16string statement;
    for (int i = 0; i < 13; ++i)
        statement += u"(content " + std::u16string(1, static_cast<char16_t>(u'a' + i)) + u")";
    ASSERT_TRUE(State().BracketTable.Assign(statement));
    struct Row {
        std::u16string Input;
        bool Expanded;
        std::u16string Written;  // after ExpandPlaceholder
        std::u16string Reduced;  // after ExpandPlaceholderReduced
    };
    const std::vector<Row> rows = {
        {u"$0$", true, u"content a", u"contenta"},
        {u"$12$", true, u"content m", u"contentm"},
        {u"$13$", false, u"$13$", u"$13$"},
        {u"$99999999999999999999999$", false, u"$99999999999999999999999$", u"$99999999999999999999999$"},
        {u"$$", false, u"$$", u"$$"},
        {u"$0$!", false, u"$0$!", u"$0$!"},
        {u"sin$0$", false, u"sin$0$", u"sin$0$"},
        {u"$0$$1$", false, u"$0$$1$", u"$0$$1$"},
        {u"$x$", false, u"$x$", u"$x$"},
        {u"1", false, u"1", u"1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("input: \"" + Readable(row.Input) + "\"");
        std::u16string written = row.Input;
        EXPECT_EQ(ExpandPlaceholder(written), row.Expanded);
        EXPECT_EQ(Readable(written), Readable(row.Written));
        std::u16string reduced = row.Input;
        EXPECT_EQ(ExpandPlaceholderReduced(reduced), row.Expanded);
        EXPECT_EQ(Readable(reduced), Readable(row.Reduced));
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
