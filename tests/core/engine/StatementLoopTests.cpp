// The statement loop of ExecuteText: where results are written, what is kept
// of the old text, where the caret goes, and how comments hide their content.
#include "support/EngineTestSupport.h"
#include "core/engine/EngineState.h"

namespace EngineTests {
namespace {

using NCalculatorText::StripComments;

struct TextCase {
    std::u16string Input;
    int Caret;
    bool Ok;
    std::u16string Text;
    int CaretAfter;
    std::vector<std::string> Records = {};
};

class StatementLoop : public EngineTest {
protected:
    void Check(const std::vector<TextCase>& rows)
    {
        for (const TextCase& row : rows) {
            SCOPED_TRACE("input: \"" + Readable(row.Input) + "\" caret " + std::to_string(row.Caret));
            const RunOutcome outcome = Run(row.Input, row.Caret);
            EXPECT_EQ(outcome.Ok, row.Ok);
            EXPECT_EQ(Readable(outcome.Text), Readable(row.Text));
            EXPECT_EQ(outcome.Caret, row.CaretAfter);
            EXPECT_EQ(outcome.Records, row.Records);
        }
    }
};

TEST_F(StatementLoop, WritesResultBehindExpressionAndMovesCaretToEnd)
{
    Check({
        {u"2+3", -1, true, u"2+3=5", 5},
        {u"1;2", -1, true, u"1=1;2=2", 7},
        {u"10=1;20=2;30", -1, true, u"10=10;20=20;30=30", 17},
        {u";;1;;;2;", -1, true, u";;1=1;;;2=2;", 12},
        {u"1+2\n3+4", -1, true, u"1+2\n3+4=28", 10},
        {u"1+\t2\r\n", -1, true, u"1+\t2=3\r\n", 8},
        {u"5 =", -1, true, u"5 =5", 4},
        {u"5 = ", -1, true, u"5 =5 ", 5},
        {u"  7  ", -1, true, u"  7=7  ", 7},
    });
}

TEST_F(StatementLoop, ReplacesOldResultButKeepsBlanksAndComments)
{
    Check({
        {u"2+3 =  7 // sum", -1, true, u"2+3 =  5 // sum", 15},
        {u"1+1=5;2+2=7", -1, true, u"1+1=2;2+2=4", 11},
        {u"1+2 =\t\n 99 ;", -1, true, u"1+2 =\t\n 3 ;", 11},
        {u"6/2 = 1 /* old */", -1, true, u"6/2 = 3 /* old */", 17},
        {u"2*3=123456789", -1, true, u"2*3=6", 5},
        {u"4 = 1 /* a */ 2", -1, true, u"4 = 4 /* a */ ", 14},
    });
}

TEST_F(StatementLoop, CommentsHideEqualSignsAndSeparators)
{
    Check({
        {u"1+2 // a=b", -1, true, u"1+2=3 // a=b", 12},
        {u"1 /* =7 */ + 2", -1, true, u"1 /* =7 */ + 2=3", 16},
        {u"1 /* ; */ +1", -1, true, u"1 /* ; */ +1=2", 14},
        {u"1; // c\n2", -1, true, u"1=1; // c\n2=2", 13},
        {u"/*/ 1", -1, true, u"/*/ 1=1", 7},
        {u"/* a // b */ 2", -1, true, u"/* a // b */ 2=2", 16},
        {u"3 // x /* y", -1, true, u"3=3 // x /* y", 13},
        {u"// 1+1\n2", -1, true, u"// 1+1\n2=2", 10},
        {u"4 */", -1, false, u"4 */", -1, {SyntaxErrorRecord()}},
    });
}

TEST_F(StatementLoop, UnterminatedBlockCommentRunsNothing)
{
    Check({
        {u"/* open", -1, false, u"/* open", -1, {SyntaxErrorRecord()}},
        {u"1+1; /* open", -1, false, u"1+1; /* open", -1, {SyntaxErrorRecord()}},
        {u"1=0; 2 /* x */ /*", 0, false, u"1=0; 2 /* x */ /*", 0, {SyntaxErrorRecord()}},
    });
}

TEST_F(StatementLoop, BlankTextWritesNothing)
{
    Check({
        {u"", -1, true, u"", 0},
        {u" ; \n;\t// note\n/* more */ ;", -1, true, u" ; \n;\t// note\n/* more */ ;", 26},
        {u";;;", 1, true, u";;;", 3},
    });
}

TEST_F(StatementLoop, CaretSelectsOneStatement)
{
    Check({
        // The caret in the second statement runs only that one.
        {u"1;2", 2, true, u"1;2=2", 5},
        // The caret in the first statement moves behind its ";".
        {u"1;2", 0, true, u"1=1;2", 4},
        // Just before the ";" that ends a statement still belongs to it.
        {u"1;2", 1, true, u"1=1;2", 4},
        {u"1+1=123;5", 0, true, u"1+1=2;5", 6},
        {u"1+1=123;5", 3, true, u"1+1=2;5", 6},
        {u"7;8;9", 3, true, u"7;8=8;9", 6},
        // A caret behind the last statement finds nothing to run.
        {u"1;", 2, true, u"1;", 2},
        {u"1;  ", 3, true, u"1;  ", 4},
    });
}

TEST_F(StatementLoop, FailureStopsTheRunAndLeavesLaterStatementsUntouched)
{
    Check({
        {u"1;2*;3", -1, false, u"1=1;2*;3", -1, {SyntaxErrorRecord()}},
        {u"1=0; 1/0 = 5; 2=0",
         -1,
         false,
         u"1=1; 1/0  ; 2=0",
         -1,
         {Error("Division", "Operation has singularity at 0")}},
        {u"1 = 2 = 3", -1, false, u"1 = 2  ", -1, {SyntaxErrorRecord()}},
        {u"=", -1, false, u"", -1, {SyntaxErrorRecord()}},
        {u" = 4;5", -1, false, u"  ;5", -1, {SyntaxErrorRecord()}},
        // The caret keeps its value when the selected statement fails.
        {u"1;2/0=1;3", 3, false, u"1;2/0;3", 3, {Error("Division", "Operation has singularity at 0")}},
        // ... unless removing the old result shortened the text under it.
        {u"1/0 = 123456", 12, false, u"1/0  ", 5, {Error("Division", "Operation has singularity at 0")}},
    });
}

TEST_F(StatementLoop, EqualSignOnlyMarksTheResultPlace)
{
    Check({
        {u"x = 9", -1, true, u"x = 0", 5, {UnsetIndexRecord()}},
    });
}

TEST_F(StatementLoop, WarningsLetTheRunGoOn)
{
    Check({
        {u"1e-200*1e-200; 2", -1, true, u"1e-200*1e-200=0; 2=2", 20, {UnderflowToZero("Multiplication")}},
    });
}

TEST_F(StatementLoop, EachRunStartsWithAClearedLog)
{
    Run(u"1/0");
    ASSERT_EQ(Log.Lines.size(), 1U);
    const int clearsBefore = Log.ClearCount;
    const RunOutcome second = Run(u"1+1");
    EXPECT_TRUE(second.Ok);
    EXPECT_EQ(Log.ClearCount, clearsBefore + 1);
    EXPECT_TRUE(second.Records.empty());
}

TEST_F(StatementLoop, RunsWithoutALogReceiver)
{
    NCalculatorText::State().LogReceiver = nullptr;
    std::u16string text = u"1/0";
    int caret = -1;
    EXPECT_FALSE(NCalculatorText::ExecuteText(text, caret));
    EXPECT_FALSE(NCalculatorText::State().CalculationOk);
    EXPECT_EQ(NCalculatorText::State().LastReportCode, NCalculatorText::Singularity);
    std::u16string second = u"2";
    EXPECT_TRUE(NCalculatorText::ExecuteText(second, caret));
    EXPECT_EQ(Readable(second), "2=2");
}

TEST_F(StatementLoop, EachRunResetsTheEvaluationState)
{
    EXPECT_FALSE(Run(u"1/0").Ok);
    const RunOutcome outcome = Run(u"4");
    EXPECT_TRUE(outcome.Ok);
    EXPECT_TRUE(NCalculatorText::State().CalculationOk);
    EXPECT_EQ(NCalculatorText::State().CurrentOperation, NCalculatorText::OpNone);
    EXPECT_EQ(NCalculatorText::State().LastReportCode, NCalculatorText::NoError);
}

TEST_F(StatementLoop, UpperCaseNotationWritesUpperCaseExponents)
{
    NCalculatorText::State().CalcSettings.NotationCase = 1;
    EXPECT_EQ(Readable(Run(u"1e20*10").Text), "1e20*10=1E+021");
    EXPECT_EQ(Readable(Run(u"1/3e10").Text), "1/3e10=3.3333333333333334548E-011");
    NCalculatorText::State().CalcSettings.NotationCase = 0;
    EXPECT_EQ(Readable(Run(u"1e20*10").Text), "1e20*10=1e+021");
}

TEST_F(StatementLoop, LastResultKeepsTheLastSuccessfulValue)
{
    EXPECT_EQ(NCalculatorText::State().LastResult, 0.0);
    EXPECT_TRUE(Run(u"2*3").Ok);
    EXPECT_EQ(NCalculatorText::State().LastResult, 6.0);
    EXPECT_FALSE(Run(u"1/0").Ok);
    EXPECT_EQ(NCalculatorText::State().LastResult, 6.0);
    EXPECT_EQ(Readable(Run(u"rslt").Text), "rslt=6");
    // Within one run each statement sees the result of the one before.
    EXPECT_EQ(Readable(Run(u"5; rslt*2; result+1").Text), "5=5; rslt*2=10; result+1=11");
}

TEST_F(StatementLoop, EvaluateStatementRejectsAnEmptyExpression)
{
    double out = -1.0;
    EXPECT_FALSE(NCalculatorText::EvaluateStatement(u"", out));
    EXPECT_EQ(Log.Lines, std::vector<std::string>{SyntaxErrorRecord()});
    EXPECT_EQ(out, -1.0);
    EXPECT_EQ(NCalculatorText::State().LastResult, 0.0);
    // Only a run resets the evaluation state; a single statement does not.
    NCalculatorText::ResetEvaluationState();
    EXPECT_TRUE(NCalculatorText::EvaluateStatement(u"6*7", out));
    EXPECT_EQ(out, 42.0);
    EXPECT_EQ(NCalculatorText::State().LastResult, 42.0);
}

struct StripCase {
    std::u16string Input;
    bool Ok;
    std::u16string Output;
};

TEST(StripCommentsTest, BlanksCommentsAndKeepsPositions)
{
    const std::vector<StripCase> rows = {
        {u"1+2", true, u"1+2"},
        {u"1//x\n2", true, u"1    2"},
        {u"1//x", true, u"1   "},
        {u"// only", true, u"       "},
        {u"/*/ 1", true, u"    1"},
        {u"/**/", true, u"    "},
        {u"/* a */b", true, u"       b"},
        {u"/* // */ 2", true, u"         2"},
        {u"1 // a /* b", true, u"1          "},
        {u"a/*1*/b/*2*/c", true, u"a     b     c"},
        {u"*/", true, u"*/"},
        {u"a /* x", false, u""},
        {u"/*", false, u""},
    };
    for (const StripCase& row : rows) {
        SCOPED_TRACE("input: \"" + Readable(row.Input) + "\"");
        std::u16string text = row.Input;
        EXPECT_EQ(StripComments(text), row.Ok);
        if (row.Ok) {
            EXPECT_EQ(Readable(text), Readable(row.Output));
        }
    }
}

}  // namespace
}  // namespace EngineTests
