// The values of a whole text worked out in a sandbox: what Execute would give
// each statement, with no trace left in the process-wide state, and the same
// values whether a text is calculated from scratch or from its checkpoints.
#include "support/EngineStateSnapshot.h"
#include "support/EngineTestSupport.h"

#include "core/engine/Random.h"
#include "core/engine/SheetRun.h"
#include "core/formats/NumberFormat.h"

#include <functional>
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

// Statements that use and change every part of the sandbox, in pools: the
// first mixes everything, so that most edits change every later sandbox;
// in the others one part at a time (the last result, the random generator,
// a cell) carries an edit's effect for a while until a statement sets it
// afresh, so that runs meet earlier sandboxes that differ in that part alone.
std::u16string RandomStatement(std::mt19937& random, std::size_t pool)
{
    static const std::vector<std::vector<std::u16string>> pools = {
        {u"1",
         u"rslt+1",
         u"mem[a]",
         u"mem[b]*2",
         u"rand",
         u"2->mem[a]",
         u"rslt->mem[b]",
         u"1/0",
         u"3 = 7",
         u"1=2=3",
         u"ln(-1)",
         u"sqrt(rslt)",
         u"-rslt",
         u"mem[c]",
         u"rslt // c",
         u"/* x */ 4",
         u"mem[t]+1->mem[t]",
         u"sin(30)",
         u"rslt*0",
         u"0->mem[a]",
         u"5",
         u"5 = 5"},
        {u"rslt+1", u"rslt+1", u"rslt*2", u"rslt+1", u"-rslt", u"rslt+1", u"1/0", u"rslt // c", u"rslt+1", u"5",
         u"rslt+1", u"rslt*3", u"rslt-1", u"rslt+1", u"sin(rslt)", u"rslt+1"},
        {u"rand", u"1", u"2", u"rslt*0+1", u"mem[a]", u"1/0", u"3", u"4", u"5 = 5", u"6", u"7", u"8", u"rand*0"},
        {u"mem[a]+1->mem[a]", u"mem[a]", u"1", u"2", u"3", u"mem[a]*2", u"0->mem[a]", u"4", u"5", u"mem[b]", u"6"},
    };
    const std::vector<std::u16string>& pieces = pools[pool % pools.size()];
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
    std::size_t reused = 0;
    for (int document = 0; document < 16; ++document) {
        const auto pool = static_cast<std::size_t>(document);
        MakeLivedInState();
        // In degrees on some documents: the sandbox takes the unit.
        NCalculatorText::State().CalcSettings.TrigonometricUnits = static_cast<std::uint32_t>(document % 3);
        std::vector<std::u16string> statements(600 + document * 40);
        for (std::u16string& statement : statements)
            statement = RandomStatement(random, pool);
        CSheetRun incremental;
        incremental.TakeBase();
        for (int edit = 0; edit < 25; ++edit) {
            const std::size_t at = std::uniform_int_distribution<std::size_t>(0, statements.size() - 1)(random);
            const auto where = statements.begin() + static_cast<std::ptrdiff_t>(at);
            switch (random() % 4) {
            case 0:
                statements[at] = RandomStatement(random, pool);
                break;
            case 1:
                statements.insert(where, RandomStatement(random, pool));
                break;
            case 2:
                statements.erase(where);
                break;
            default: {
                // Several statements at once, moved or taken out.
                const auto count =
                    std::min<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(random() % 40), statements.end() - where);
                std::vector<std::u16string> cut(where, where + count);
                statements.erase(where, where + count);
                if (random() % 2 == 0) {
                    const std::size_t to = std::uniform_int_distribution<std::size_t>(0, statements.size())(random);
                    statements.insert(statements.begin() + static_cast<std::ptrdiff_t>(to), cut.begin(), cut.end());
                }
                break;
            }
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
        reused += incremental.Reused();
    }
    // The edits took earlier values over, and the comparisons above checked them.
    EXPECT_GT(reused, 0u);
}

// A worksheet in blocks: each block sets a cell from its own number and
// uses it, so an edit to a block's number changes nothing after the block.
// The last block adds into a total when asked.
std::u16string Blocks(int blocks, int changed, int by, bool total)
{
    std::u16string text;
    for (int i = 0; i < blocks; ++i) {
        const std::string digits = std::to_string(i == changed ? i + by : i);
        const std::u16string number(digits.begin(), digits.end());
        text += number + u"->mem[x];\nmem[x]*2;\nrslt+mem[x];\n";
        if (total)
            text += u"mem[total]+rslt->mem[total];\n";
    }
    return text + u"mem[total]";
}

TEST_F(SheetRunTest, AnEditWhoseEffectDiesOutCostsOnlyTheStatementsUpToTheNextCheckpoint)
{
    struct EditCase {
        const char* Name;
        bool Total;   // the edit flows down to the last statement through a cell
        int Changed;  // the block edited
        std::size_t MostEvaluated;
        bool Reuses;  // takes values of the text before over
    };
    constexpr int Blocks_ = 2000;
    const std::size_t interval = CSheetRun::CheckpointInterval;
    const std::vector<EditCase> cases = {
        {"at the top", false, 0, 2 * interval, true},
        {"in the middle", false, Blocks_ / 2, 2 * interval, true},
        {"at the end", false, Blocks_ - 1, interval + 4, false},
        {"at the top, through a total", true, 0, 4 * Blocks_ + 1, false},
        {"in the middle, through a total", true, Blocks_ / 2, 2 * Blocks_ + interval + 1, false},
    };
    for (const EditCase& test : cases) {
        SCOPED_TRACE(test.Name);
        MakeLivedInState();
        CSheetRun run;
        run.TakeBase();
        run.SetText(Blocks(Blocks_, -1, 0, test.Total));
        RunAll(run);
        const std::size_t before = run.Evaluated();
        const std::u16string edited = Blocks(Blocks_, test.Changed, 1000000, test.Total);
        run.SetText(edited);
        const std::vector<std::string> shown = RunAll(run);
        const std::size_t evaluated = run.Evaluated() - before;
        EXPECT_LE(evaluated, test.MostEvaluated);
        EXPECT_EQ(run.Reused() > 0, test.Reuses);
        CSheetRun full;
        full.TakeBase();
        full.SetText(edited);
        EXPECT_EQ(shown, RunAll(full));
        // And back again: the values of the first text, again in few steps
        // where the edit did not flow down.
        run.SetText(Blocks(Blocks_, -1, 0, test.Total));
        const std::vector<std::string> back = RunAll(run);
        CSheetRun first;
        first.TakeBase();
        first.SetText(Blocks(Blocks_, -1, 0, test.Total));
        EXPECT_EQ(back, RunAll(first));
    }
}

// Pieces of text that move statement and comment boundaries about.
std::u16string RandomText(std::mt19937& random, int pieces)
{
    static const std::vector<std::u16string> table = {
        u"1",  u"+2", u";",   u";;",     u" ", u"\n", u"// c", u"/*",
        u"*/", u"=",  u"= 5", u"mem[a]", u"/", u"*",  u"rslt", u"x ",
    };
    std::u16string text;
    for (int i = 0; i < pieces; ++i)
        text += table[std::uniform_int_distribution<std::size_t>(0, table.size() - 1)(random)];
    return text;
}

std::string Described(const NCalculatorText::ScannedStatement& s)
{
    return std::to_string(s.Start) + "+" + std::to_string(s.Length) + " " + std::to_string(s.TrimmedStart) + "+" +
        std::to_string(s.TrimmedLength) + " [" + Readable(s.Expression) + "] " +
        (s.WrittenStart == std::u16string::npos ? std::string("-") : std::to_string(s.WrittenStart)) + "+" +
        std::to_string(s.WrittenLength) + " [" + Readable(s.Written) + "]";
}

std::vector<std::string> Described(const std::vector<NCalculatorText::ScannedStatement>& statements)
{
    std::vector<std::string> described;
    for (const auto& statement : statements)
        described.push_back(Described(statement));
    return described;
}

TEST_F(SheetRunTest, AnEditedTextHasTheStatementsOfAWholeScan)
{
    // Edits of every size anywhere, among comments that open, close or never
    // close, separators in runs and results written behind "=".
    std::mt19937 random(9122026);
    for (int document = 0; document < 40; ++document) {
        std::u16string text = RandomText(random, 200);
        CSheetRun run;
        run.TakeBase();
        run.SetText(text);
        for (int edit = 0; edit < 60; ++edit) {
            const std::size_t from = std::uniform_int_distribution<std::size_t>(0, text.size())(random);
            const std::size_t length = std::min<std::size_t>(random() % 6, text.size() - from);
            text.replace(from, length, RandomText(random, static_cast<int>(random() % 4)));
            SCOPED_TRACE("text: " + Readable(text));
            run.SetText(text);
            ASSERT_EQ(Described(run.Statements()), Described(NCalculatorText::ScanStatements(text)));
        }
        // And the values stay those of a whole run.
        CSheetRun full;
        full.TakeBase();
        full.SetText(text);
        EXPECT_EQ(RunAll(run), RunAll(full));
    }
}

TEST_F(SheetRunTest, SandboxesAreAlikeOnlyWhenEveryLaterStatementWouldGiveTheSame)
{
    using NCalculatorText::CEngineState;
    struct StateCase {
        const char* Name;
        std::function<void(CEngineState&)> Change;
        bool Alike;
    };
    const std::vector<StateCase> cases = {
        {"nothing", [](CEngineState&) {}, true},
        {"last result", [](CEngineState& s) { s.LastResult += 1; }, false},
        {"angle unit", [](CEngineState& s) { s.AngleUnit = (s.AngleUnit + 1) % 3; }, false},
        {"random generator", [](CEngineState& s) { s.RandomGenerator.Next(); }, false},
        {"seeded", [](CEngineState& s) { s.Seeded = !s.Seeded; }, false},
        {"a cell's value", [](CEngineState& s) { s.MemoryMap.GetOrCreate(u"a") += 1; }, false},
        {"a new cell", [](CEngineState& s) { s.MemoryMap.GetOrCreate(u"new"); }, false},
        {"a cell's tick", [](CEngineState& s) { s.MemoryMap.SetInclude(u"a", 1 - s.MemoryMap.Find(u"a")->Include); },
         false},
        {"no cells", [](CEngineState& s) { s.MemoryMap.FreeAll(); }, false},
        {"a setting", [](CEngineState& s) { s.CalcSettings.GammaFunction += 1; }, false},
        {"operation", [](CEngineState& s) { s.CurrentOperation += 1; }, false},
        {"previous operation", [](CEngineState& s) { s.PreviousOperation += 1; }, false},
        {"calculation stopped", [](CEngineState& s) { s.CalculationOk = !s.CalculationOk; }, false},
        {"last report", [](CEngineState& s) { s.LastReportCode += 1; }, false},
        {"logarithm delivered", [](CEngineState& s) { s.LogarithmDelivered = !s.LogarithmDelivered; }, false},
        {"nesting limit", [](CEngineState& s) { s.NestingLimit -= 1; }, false},
        {"parse depth", [](CEngineState& s) { s.ParseDepth += 1; }, false},
        {"work exhausted", [](CEngineState& s) { s.WorkExhausted = !s.WorkExhausted; }, false},
        {"cancel requested", [](CEngineState& s) { s.CancelRequested = !s.CancelRequested; }, false},
        {"cancel seen", [](CEngineState& s) { s.CancelSeen = !s.CancelSeen; }, false},
        // Set afresh for every statement, or only noticed by the windows.
        {"statement span",
         [](CEngineState& s) {
             s.ReportedStatement = {4, 2};
         },
         true},
        {"work left", [](CEngineState& s) { s.WorkLeft = 7; }, true},
        {"cells changed", [](CEngineState& s) { s.MemoryMap.Changed = !s.MemoryMap.Changed; }, true},
        {"log receiver", [](CEngineState& s) { s.LogReceiver = nullptr; }, true},
    };
    MakeLivedInState();
    const CEngineState lived = NCalculatorText::State();
    for (const StateCase& test : cases) {
        SCOPED_TRACE(test.Name);
        CEngineState changed = lived;
        test.Change(changed);
        EXPECT_EQ(NCalculatorText::SameForLaterStatements(lived, changed), test.Alike);
        EXPECT_EQ(NCalculatorText::SameForLaterStatements(changed, lived), test.Alike);
    }
    // Zeros of either sign are equal numbers, but 1/rslt tells them apart.
    CEngineState positive = lived;
    CEngineState negative = lived;
    positive.LastResult = 0.0;
    negative.LastResult = -0.0;
    EXPECT_FALSE(NCalculatorText::SameForLaterStatements(positive, negative));
}

}  // namespace
