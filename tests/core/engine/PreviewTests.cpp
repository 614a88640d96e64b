// The preview of the statement at the caret: the value Calculate would
// write, or why it would fail, with no trace left in the process-wide state.
#include "support/EngineTestSupport.h"
#include "support/EngineStateSnapshot.h"

#include "core/engine/Cancel.h"
#include "core/engine/Diagnostics.h"
#include "core/engine/EvaluationBudget.h"
#include "core/engine/NodesArithmetic.h"
#include "core/formats/NumberFormat.h"
#include "core/engine/Preview.h"
#include "core/engine/Random.h"
#include "core/engine/Scanner.h"
#include "core/engine/ReportedStatement.h"
#include "core/memory/MemoryMap.h"
#include "core/engine/EngineState.h"

#include <map>
#include <tuple>

namespace {

using namespace EngineTests;
using NCalculatorText::PreviewOutcome;
using NCalculatorText::PreviewStatement;
using Kind = PreviewOutcome::Kind;

class PreviewTest : public EngineTest {
protected:
    // A state that is not the start state anywhere: cells, a last result, a
    // seeded generator, an evaluation state left by a failed run.
    void MakeLivedInState()
    {
        Run(u"7->mem[a]->mem[b]; 1/0");
        NCalculatorText::State().MemoryMap.SetInclude(u"a", 1);
        NCalculatorText::SeedRandomGenerator(12345);
        NCalculatorText::State().MemoryMap.Changed = false;
        NCalculatorText::State().AngleUnit = 2;
        Log.Lines.clear();
        Log.ClearCount = 0;
    }
};

struct PreviewCase {
    std::u16string Text;
    std::size_t Caret;
    Kind Outcome;
    std::string Shown;  // the value's digits, or the first record
};

TEST_F(PreviewTest, ShowsWhatCalculateWouldWriteOrReport)
{
    const std::vector<PreviewCase> cases = {
        {u"2+3", 0, Kind::Value, "5"},
        {u"2+3", 3, Kind::Value, "5"},
        {u"2+3 =  7 // sum", 15, Kind::Value, "5"},
        {u"1/0", 1, Kind::Failed, Error("Division", "Operation has singularity at 0")},
        {u"ln(-1)", 0, Kind::Failed, Error("Natural logarithm", "Function is not defined for -1")},
        {u"1 = 2 = 3", 0, Kind::Failed, SyntaxErrorRecord()},
        {u"", 0, Kind::NoStatement, ""},
        {u"1;;2", 2, Kind::NoStatement, ""},
        {u"1;  ;2", 3, Kind::NoStatement, ""},
        {u"1; // only a comment\n;2", 5, Kind::NoStatement, ""},
        {u"1;2*4", 1, Kind::Value, "1"},
        {u"1;2*4", 2, Kind::Value, "8"},
        {u"1;2*4", 99, Kind::Value, "8"},
        {u"1+2\n3+4", 4, Kind::Value, "28"},
        {u"1+2 // a=b\n", 11, Kind::Value, "3"},
        {u"6 /* ; */ *7", 0, Kind::Value, "42"},
        {u"1e-200*1e-200", 0, Kind::Value, "0 " + UnderflowToZero("Multiplication")},
        {u"x = 9", 0, Kind::Value, "0 " + UnsetIndexRecord()},
        {u"2*3; 1+2 /* open", 5, Kind::Failed, SyntaxErrorRecord()},
        {u"2*3; 1+2 /* open", 0, Kind::Failed, SyntaxErrorRecord()},
        {u"2*3; /* open", 8, Kind::NoStatement, ""},
        {u"sum(i,1,1000,i)", 0, Kind::Value, "500500"},
        {u"sum(i,1,1e7,i)", 0, Kind::TooLong, ""},
        {u"sum(i,1,1e3,sum(j,1,1e4,j))", 0, Kind::TooLong, ""},
        {u"J(2000000000,1.5)", 0, Kind::TooLong, ""},
        {u"J(2,1.5)+0*sum(i,1,999990,i)", 0, Kind::Value, "0.23208767214421471836"},
        {u"1+" + Repeat(u"1+", 20000) + u"1", 0, Kind::TooLong, ""},
    };
    for (const PreviewCase& test : cases) {
        SCOPED_TRACE("text: " + Readable(test.Text) + " caret " + std::to_string(test.Caret));
        const PreviewOutcome outcome = PreviewStatement(test.Text, test.Caret);
        EXPECT_EQ(outcome.Outcome, test.Outcome);
        std::string shown;
        if (outcome.Outcome == Kind::Value)
            shown = NCalculatorText::FormatNumber(outcome.Value);
        if (outcome.Reported) {
            const std::string record = RecordLine(outcome.Status, outcome.Context, outcome.Description);
            shown = shown.empty() ? record : shown + " " + record;
        }
        EXPECT_EQ(shown, test.Shown);
    }
    EXPECT_TRUE(Log.Lines.empty());
    EXPECT_EQ(Log.ClearCount, 0);
}

TEST_F(PreviewTest, LeavesNoTraceInTheProcessWideState)
{
    const std::vector<std::u16string> statements = {
        u"5->mem[a]",                // stores into an existing cell
        u"5->mem[new]->mem[other]",  // creates cells
        u"mem[missing]",             // reads a missing cell: a warning
        u"mem[a]*2",                 // reads a cell: sets the change flag
        u"rand+rand",                // draws from the sequence
        u"rslt*2",                   // reads the last result
        u"2^2000",                   // fails with an overflow
        u"(3->mem[a])/0",            // stores, then fails
        u"sin(100)",                 // uses the angle unit
        u"ln(5!)",                   // the logarithm's hand-over
        u"sum(i,1,1e9,i->mem[s])",   // gives up on its budget after storing
        u"((((1)",                   // brackets that do not pair
        u"1+2 /* never closed",
    };
    for (const bool seeded : {true, false}) {
        for (const std::u16string& statement : statements) {
            SCOPED_TRACE("statement: " + Readable(statement) + (seeded ? ", seeded" : ", not seeded"));
            NCalculatorText::ResetProcessState();
            NCalculatorText::State().LogReceiver = &Log;
            MakeLivedInState();
            if (!seeded) {
                NCalculatorText::State().RandomGenerator = {};
                NCalculatorText::State().Seeded = false;
            }
            NCalculatorText::State().CalcSettings.TrigonometricUnits = 1;
            const EngineState before = EngineState::Now();
            const std::u16string text = u"1;" + statement + u";2";
            const PreviewOutcome outcome = PreviewStatement(text, 3);
            EXPECT_NE(outcome.Outcome, Kind::NoStatement);
            EXPECT_TRUE(EngineState::Now() == before);
            EXPECT_TRUE(Log.Lines.empty());
            EXPECT_EQ(Log.ClearCount, 0);
        }
    }
}

TEST_F(PreviewTest, ACancelOfTheLastCalculationIsNotThePreviews)
{
    // A cancelled calculation leaves its request standing until the next
    // calculation starts; the preview neither sees nor clears it.
    const std::vector<std::pair<std::u16string, std::string>> rows = {
        {u"2+3", "5"},
        {u"sum(i,1,1000,i)", "500500"},
        {u"(1+2)*(3+4)+" + Repeat(u"1+", 5000) + u"0", "5021"},
    };
    for (const auto& [statement, value] : rows) {
        SCOPED_TRACE(Readable(statement));
        for (const bool seen : {false, true}) {
            NCalculatorText::State().CancelRequested = true;
            NCalculatorText::State().CancelSeen = seen;
            const EngineState before = EngineState::Now();
            const PreviewOutcome outcome = PreviewStatement(statement, 0);
            EXPECT_EQ(outcome.Outcome, Kind::Value);
            EXPECT_EQ(NCalculatorText::FormatNumber(outcome.Value), value);
            EXPECT_FALSE(outcome.Reported);
            EXPECT_TRUE(EngineState::Now() == before);
        }
    }
    NCalculatorText::State().CancelRequested = false;
}

TEST_F(PreviewTest, ASpentBudgetStopsTheRunAsACancelDoesWithoutItsRecord)
{
    // Every place that looks for a cancel stops a run whose budget is spent:
    // the rest of the series and the statement around it alike.
    NCalculatorText::State().WorkLeft = 10;
    NCalculatorText::ResetCancelState();
    EXPECT_TRUE(NCalculatorText::TakeWork(10));
    EXPECT_FALSE(NCalculatorText::TakeWork(1));
    EXPECT_TRUE(NCalculatorText::State().WorkExhausted);
    EXPECT_TRUE(NCalculatorText::CancelledNow());
    EXPECT_TRUE(Log.Lines.empty());
    NCalculatorText::ResetProcessState();
    NCalculatorText::State().CancelRequested = true;
    EXPECT_FALSE(NCalculatorText::TakeWork(1)) << "without a budget, a cancel still stops the run";
    EXPECT_EQ(Log.Lines.size(), 1u);
    NCalculatorText::ResetProcessState();
}

TEST_F(PreviewTest, AgreesWithTheCalculationThatFollows)
{
    // Whatever the statement, the caret and the state, the preview shows the
    // value that Calculate then writes, or the first record it then logs.
    const std::vector<std::pair<std::u16string, int>> cases = {
        {u"5->mem[x]; mem[x]*2; rslt+1", 0},
        {u"5->mem[x]; mem[x]*2; rslt+1", 12},
        {u"5->mem[x]; mem[x]*2; rslt+1", 22},
        {u"rand", 0},
        {u"3->mem[r]; (mem[r]+1)->mem[r]", 12},
        {u"sin(90) // degrees\n", 3},
        {u"1;2;3", 2},
        {u"1;2;3", 3},
        {u"mem[nothing]+1", 5},
        {u"2^2000", 0},
    };
    NCalculatorText::SeedRandomGenerator(99);
    NCalculatorText::State().CalcSettings.TrigonometricUnits = 1;
    for (const auto& [text, caret] : cases) {
        SCOPED_TRACE("text: " + Readable(text) + " caret " + std::to_string(caret));
        Run(u"4->mem[x]; 11");  // a state for the statements to read
        const PreviewOutcome outcome = PreviewStatement(text, static_cast<std::size_t>(caret));
        const RunOutcome run = Run(text, caret);
        ASSERT_NE(outcome.Outcome, Kind::NoStatement);
        EXPECT_EQ(outcome.Outcome == Kind::Value, run.Ok);
        if (run.Ok) {
            const std::u16string written = u"=" + NCalculatorText::FormatNumberText(outcome.Value);
            EXPECT_NE(run.Text.find(written), std::u16string::npos) << Readable(run.Text);
        } else {
            ASSERT_FALSE(run.Records.empty());
            EXPECT_EQ(RecordLine(outcome.Status, outcome.Context, outcome.Description), run.Records.front());
        }
    }
}

TEST_F(PreviewTest, GivesTheStatementItPreviewed)
{
    const std::u16string text = u"1;\n  /* c */ 2 + 3 = 7  // d\n;4";
    const PreviewOutcome outcome = PreviewStatement(text, 14);
    EXPECT_EQ(Readable(text.substr(outcome.Statement.Start, outcome.Statement.Length)), "2 + 3 = 7");
}

}  // namespace
