// The values of a whole text worked out in a sandbox: what Execute would give
// each statement, with no trace left in the process-wide state, and the same
// values whether a text is calculated from scratch or from its checkpoints.
#include "support/EngineStateSnapshot.h"
#include "support/EngineTestSupport.h"

#include "core/engine/Random.h"
#include "core/engine/SheetRun.h"
#include "core/formats/NumberFormat.h"

#include <random>

namespace {

using namespace EngineTests;
using NCalculatorText::CSheetRun;
using NCalculatorText::SheetValue;
using Kind = SheetValue::Kind;

// What the margin would show: the digits, or "!" and the first report.
std::vector<std::string> Shown(const CSheetRun& run)
{
    std::vector<std::string> shown;
    for (std::size_t i = 0; i < run.Computed(); ++i) {
        const SheetValue& value = run.Values()[i];
        shown.push_back(value.Outcome == Kind::Value ? NCalculatorText::FormatNumber(value.Value)
                                                     : "!" + Readable(value.Description));
    }
    if (run.Computed() < run.Statements().size() && run.Values()[run.Computed()].Outcome == Kind::TooLong)
        shown.emplace_back("too long");
    return shown;
}

std::vector<std::string> RunAll(CSheetRun& run)
{
    while (!run.Run([] { return true; })) {}
    return Shown(run);
}

class SheetRunTest : public EngineTest {
protected:
    void MakeLivedInState()
    {
        Run(u"7->mem[a]; 0.5; 1/0");
        NCalculatorText::SeedRandomGenerator(12345);
        NCalculatorText::State().MemoryMap.Changed = false;
        Log.Lines.clear();
        Log.ClearCount = 0;
    }
};

struct SheetCase {
    std::u16string Text;
    std::vector<std::string> Shown;
};

TEST_F(SheetRunTest, GivesEachStatementWhatExecuteWould)
{
    const std::string singular = "!Operation has singularity at 0";
    const std::vector<SheetCase> cases = {
        {u"", {}},
        {u"1+2; 3*4 = 99; ;; // note\n 2^10", {"3", "12", "1024"}},
        {u"5->mem[x]; mem[x]*2; rslt+1", {"5", "10", "11"}},
        {u"1/0; rslt+1; mem[q]", {singular, "1.5", "0"}},
        {u"rslt; mem[a]+1; rslt", {"0.5", "8", "8"}},
        {u"1 = 2 = 3; 4", {"!Syntax error", "4"}},
        {u"2*3 /* open; 4", {"6"}},
        {u"sum(i,1,1e9,i); 5", {"too long"}},
    };
    for (const SheetCase& test : cases) {
        SCOPED_TRACE("text: " + Readable(test.Text));
        MakeLivedInState();
        CSheetRun run;
        run.TakeBase();
        run.SetText(test.Text);
        EXPECT_EQ(RunAll(run), test.Shown);
    }
}

TEST_F(SheetRunTest, RandomValuesStayPutFromEditToEdit)
{
    // Also with a generator that no run has seeded yet.
    MakeLivedInState();
    NCalculatorText::State().RandomGenerator = {};
    NCalculatorText::State().Seeded = false;
    CSheetRun run;
    run.TakeBase();
    run.SetText(u"rand; rand");
    const std::vector<std::string> first = RunAll(run);
    run.SetText(u"rand; rand; 1");
    EXPECT_EQ(RunAll(run), (std::vector<std::string>{first[0], first[1], "1"}));
    run.SetText(u"2; rand; rand");
    const std::vector<std::string> shifted = RunAll(run);
    EXPECT_EQ(shifted[1], first[0]);
    EXPECT_EQ(shifted[2], first[1]);
    // The sandbox was seeded, the real generator was not.
    EXPECT_FALSE(NCalculatorText::State().Seeded);
    EXPECT_EQ(NCalculatorText::State().RandomGenerator.u, 0u);
}

TEST_F(SheetRunTest, LeavesTheProcessWideStateUntouched)
{
    const std::vector<std::u16string> texts = {
        u"1->mem[a]; 2->mem[new]; rand; rand; 1/0; ln(-1); rslt * 3",
        u"sum(i,1,1e9,i)",
        u"1 = 2",
        u"(((((1)))))->mem[b]; mem[zz]",
    };
    for (const std::u16string& text : texts) {
        SCOPED_TRACE("text: " + Readable(text));
        MakeLivedInState();
        const EngineState before = EngineState::Now();
        CSheetRun run;
        run.TakeBase();
        run.SetText(text);
        // Stopped after its first statement, as a key press stops it, and then
        // run to the end.
        run.Run([] { return false; });
        EXPECT_TRUE(EngineState::Now() == before);
        RunAll(run);
        EXPECT_TRUE(EngineState::Now() == before);
        EXPECT_TRUE(Log.Lines.empty());
        EXPECT_EQ(Log.ClearCount, 0);
    }
}

TEST_F(SheetRunTest, ValueAtFindsTheStatementOfAPosition)
{
    CSheetRun run;
    run.TakeBase();
    run.SetText(u"1+1;  2*3 ;; 4");
    RunAll(run);
    const std::vector<std::pair<std::size_t, std::string>> cases = {
        {0, "2"}, {3, "2"}, {4, "6"}, {10, "6"}, {11, ""}, {13, "4"}, {14, "4"}, {40, ""},
    };
    for (const auto& [position, value] : cases) {
        SCOPED_TRACE(position);
        const SheetValue* found = run.ValueAt(position);
        EXPECT_EQ(found ? NCalculatorText::FormatNumber(found->Value) : "", value);
    }
}

TEST_F(SheetRunTest, ScanningFindsTheResultWrittenBehindEachStatement)
{
    const std::u16string text = u"1+1 = 2 ; 3 /* = 9 */; 4 =  ; 5 =7 // c\n";
    const std::vector<NCalculatorText::ScannedStatement> statements = NCalculatorText::ScanStatements(text);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"= 2", "2"},
        {"", ""},
        {"=", ""},
        {"=7", "7"},
    };
    ASSERT_EQ(statements.size(), expected.size());
    for (std::size_t i = 0; i < statements.size(); ++i) {
        SCOPED_TRACE(i);
        const auto& statement = statements[i];
        const std::string written = statement.WrittenStart == std::u16string::npos
            ? ""
            : Readable(std::u16string_view(text).substr(statement.WrittenStart, statement.WrittenLength));
        EXPECT_EQ(written, expected[i].first);
        EXPECT_EQ(Readable(statement.Written), expected[i].second);
    }
}

// Statements that use and change every part of the sandbox.
std::u16string RandomStatement(std::mt19937& random)
{
    static const std::vector<std::u16string> pieces = {
        u"1",     u"rslt+1", u"mem[a]", u"mem[b]*2",   u"rand",  u"2->mem[a]", u"rslt->mem[b]", u"1/0",
        u"3 = 7", u"1=2=3",  u"ln(-1)", u"sqrt(rslt)", u"-rslt", u"mem[c]",    u"rslt // c",    u"/* x */ 4",
    };
    return pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)];
}

std::u16string Join(const std::vector<std::u16string>& statements)
{
    std::u16string text;
    for (const std::u16string& statement : statements)
        text += statement + u";\n";
    return text;
}

TEST_F(SheetRunTest, IncrementalRunsGiveTheValuesOfAFullRun)
{
    std::mt19937 random(20261209);
    for (int document = 0; document < 12; ++document) {
        MakeLivedInState();
        std::vector<std::u16string> statements(600 + document * 40);
        for (std::u16string& statement : statements)
            statement = RandomStatement(random);
        CSheetRun incremental;
        incremental.TakeBase();
        for (int edit = 0; edit < 25; ++edit) {
            const std::size_t at = std::uniform_int_distribution<std::size_t>(0, statements.size() - 1)(random);
            switch (random() % 3) {
            case 0:
                statements[at] = RandomStatement(random);
                break;
            case 1:
                statements.insert(statements.begin() + static_cast<std::ptrdiff_t>(at), RandomStatement(random));
                break;
            default:
                statements.erase(statements.begin() + static_cast<std::ptrdiff_t>(at));
                break;
            }
            const std::u16string text = Join(statements);
            incremental.SetText(text);
            // Half the edits arrive while the run is still going.
            if (random() % 2 == 0) {
                int budget = static_cast<int>(random() % 800);
                incremental.Run([&budget] { return --budget > 0; });
                continue;
            }
            SCOPED_TRACE("document " + std::to_string(document) + " edit " + std::to_string(edit));
            CSheetRun full;
            full.TakeBase();
            full.SetText(text);
            ASSERT_EQ(RunAll(incremental), RunAll(full));
        }
    }
}

}  // namespace
