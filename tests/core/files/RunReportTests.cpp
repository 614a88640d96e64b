// The statements of a run's log records, moved into the text the run gave
// back: what the editor underlines and what a log row selects.
#include "core/files/CCalcRunReport.h"

#include "support/EngineTestSupport.h"

#include "core/engine/Engine.h"
#include "core/engine/ReportedStatement.h"
#include "core/engine/EngineState.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::string Ascii(std::u16string_view text)
{
    return std::string(text.begin(), text.end());
}

struct Row {
    const char* Name;
    std::u16string Text;
    int Caret;
    std::vector<std::string> Marked;  // "E:" or "W:" and the statement's text after the run
};

// A fresh process's state, and the log of the engine tests behind the
// recorder.
using RunReport = EngineTests::EngineTest;

TEST_F(RunReport, EachRecordMarksItsStatementInTheResultingText)
{
    const std::vector<Row> rows = {
        {"AloneFailing", u"1/0", -1, {"E:1/0"}},
        {"FirstOfThree", u"1/0;2;3", -1, {"E:1/0"}},
        {"MiddleAfterAWrittenResult", u"1+1; 2/0; 3", -1, {"E:2/0"}},
        {"LastAfterTwoResults", u"1;22;\n3/0", -1, {"E:3/0"}},
        {"AtTheCaret", u"1; 2; ln(0) = 5", 5, {"E:ln(0)"}},
        {"CommentsAroundIt", u"1;\n/* note */ 2/0 // why\n;3", -1, {"E:2/0"}},
        {"WarningsOfSucceedingStatements", u"mem[a] = 9; x; 4", -1, {"W:mem[a] = 0", "W:x=0"}},
        {"WarningThenError", u"mem[a]; 1/0", -1, {"W:mem[a]=0", "E:1/0"}},
        {"AnUnclosedComment", u"1; /* open", -1, {"E:/* open"}},
        {"UnderflowWithNegativeExponents", u"1; 1e-200*1e-200", -1, {"W:1e-200*1e-200=0"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        std::u16string text = row.Text;
        int caret = row.Caret;
        std::vector<CCalcReportedStatement> statements;
        {
            CCalcRunRecorder recorder;
            NCalculatorText::ExecuteText(text, caret);
            statements = recorder.statementsIn(row.Text, text);
        }
        EXPECT_EQ(NCalculatorText::State().LogReceiver, &Log);
        std::vector<std::string> marked;
        for (const CCalcReportedStatement& statement : statements) {
            ASSERT_GE(statement.Start, 0);
            marked.push_back((statement.isError() ? "E:" : "W:") +
                             Ascii(std::u16string_view(text).substr(static_cast<std::size_t>(statement.Start),
                                                                    static_cast<std::size_t>(statement.Length))));
        }
        EXPECT_EQ(marked, row.Marked);
    }
}

TEST_F(RunReport, PassesEveryRecordOnAndClearsWithTheRun)
{
    CCalcRunRecorder recorder;
    std::u16string text = u"mem[a]; mem[b]";
    int caret = -1;
    NCalculatorText::ExecuteText(text, caret);
    EXPECT_EQ(Log.Lines.size(), 2u);
    EXPECT_EQ(Log.ClearCount, 1);
    EXPECT_EQ(recorder.statementsIn(u"mem[a]; mem[b]", text).size(), 2u);
    std::u16string second(1, u'1');
    NCalculatorText::ExecuteText(second, caret);
    EXPECT_TRUE(recorder.statementsIn(u"1", second).empty());
}

TEST_F(RunReport, AStatementOutsideTheTextMarksNothing)
{
    CCalcRunRecorder recorder;
    NCalculatorText::State().ReportedStatement = {50, 3};
    NCalculatorText::Report(NCalculatorText::SyntaxError, 0.0);
    NCalculatorText::State().ReportedStatement = {};
    const auto statements = recorder.statementsIn(u"1/0", u"1/0");
    ASSERT_EQ(statements.size(), 1u);
    EXPECT_EQ(statements.front().Start, -1);
}

}  // namespace
