// Memory cells read and written by statements, the result keyword, and the
// memory-file text that the store exports.
#include "support/EngineTestSupport.h"

#include <cmath>
#include <limits>

#include "core/memory/MemoryMap.h"
#include "core/engine/EngineState.h"

namespace EngineTests {
namespace {

using NCalculatorText::State;

class Memory : public EngineTest {
protected:
    static double CellValue(std::u16string_view name)
    {
        const Tevra::MemoryCell* cell = State().MemoryMap.Find(name);
        EXPECT_NE(cell, nullptr) << "no cell " << Readable(name);
        return cell != nullptr ? cell->Value : std::nan("");
    }
};

TEST_F(Memory, ReadingAMissingCellWarnsAndGivesZero)
{
    State().MemoryMap.Changed = false;
    ExpectValue(u"mem[x]", "0", {UnsetMemoryRecord()});
    ExpectValue(u"mem[x]+1", "1", {UnsetMemoryRecord()});
    EXPECT_FALSE(State().MemoryMap.Changed);
    EXPECT_EQ(State().MemoryMap.Find(u"x"), nullptr);
    EXPECT_EQ(State().MemoryMap.Count(), 0U);
}

TEST_F(Memory, StoreCreatesTheCellWithoutWarningAndReadsBack)
{
    State().MemoryMap.Changed = false;
    const RunOutcome outcome = Run(u"5->mem[x];mem[x]");
    EXPECT_TRUE(outcome.Ok);
    EXPECT_EQ(Readable(outcome.Text), "5->mem[x]=5;mem[x]=5");
    EXPECT_TRUE(outcome.Records.empty());
    EXPECT_TRUE(State().MemoryMap.Changed);
    EXPECT_EQ(CellValue(u"x"), 5.0);
    EXPECT_EQ(State().MemoryMap.Find(u"x")->Include, 0);
}

TEST_F(Memory, ReadingAnExistingCellMarksTheMemoryChanged)
{
    ExpectValue(u"2->mem[y]", "2");
    State().MemoryMap.Changed = false;
    ExpectValue(u"mem[y]*3", "6");
    EXPECT_TRUE(State().MemoryMap.Changed);
}

TEST_F(Memory, CellNamesAreTrimmedAndLowered)
{
    struct Row {
        std::u16string Store;
        std::u16string Read;
        std::u16string Name;
    };
    const std::vector<Row> rows = {
        {u"1->mem[ x ]", u"mem[x]", u"x"},
        {u"2->Mem[X]", u"mem[x]", u"x"},
        {u"3->mem[ my cell ]", u"MEM[my cell]", u"my cell"},
        {u"4->Mem[1]", u"MEM(1)", u"1"},
        {u"5->memory{1}", u"Memory[ 1 ]", u"1"},
        {u"6->MEMORY[\t2\t]", u"mem[2]", u"2"},
        // A byte order mark is no part of a name: a memory file could not
        // keep it.
        {u"7->mem[a\uFEFFb]", u"mem[ab]", u"ab"},
        {u"\uFEFF8->mem[c]\uFEFF", u"mem[c]", u"c"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("store: " + Readable(row.Store));
        const Evaluation stored = Evaluate(row.Store);
        ASSERT_TRUE(stored.Ok);
        const Evaluation read = Evaluate(row.Read);
        EXPECT_TRUE(read.Ok);
        EXPECT_EQ(read.Value, stored.Value);
        EXPECT_TRUE(read.Records.empty());
        EXPECT_NE(State().MemoryMap.Find(row.Name), nullptr);
    }
    EXPECT_EQ(State().MemoryMap.Find(u"X"), nullptr);
    EXPECT_EQ(State().MemoryMap.Count(), 6U);
}

TEST_F(Memory, StoresChainAndGiveTheStoredValue)
{
    const std::vector<ValueCase> rows = {
        {u"5->mem[a]", "5"},     {u"1->mem[a]->mem[b]", "1"}, {u"7\u2212>mem[c]", "7"},
        {u"(5->mem[d])+1", "6"}, {u"2*3->mem[e]", "6"},       {u"-2->mem[f]", "-2"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
    EXPECT_EQ(CellValue(u"a"), 1.0);
    EXPECT_EQ(CellValue(u"b"), 1.0);
    EXPECT_EQ(CellValue(u"c"), 7.0);
    EXPECT_EQ(CellValue(u"d"), 5.0);
    EXPECT_EQ(CellValue(u"e"), 6.0);
    EXPECT_EQ(CellValue(u"f"), -2.0);
}

TEST_F(Memory, StoreKeepsTheFullDouble)
{
    ExpectValue(u"0.1->mem[x]", "0.10000000000000000555");
    ExpectValue(u"1/3->mem[t]", "0.33333333333333331483");
    EXPECT_EQ(CellValue(u"x"), 0.1);
    EXPECT_EQ(CellValue(u"t"), 1.0 / 3.0);
}

TEST_F(Memory, FailingValueStoresNothing)
{
    ExpectFailure(u"1/0->mem[z]", {Error("Division", "Operation has singularity at 0")});
    EXPECT_EQ(State().MemoryMap.Find(u"z"), nullptr);
    ExpectFailure(u"(1,2)->mem[z]", {});
    EXPECT_EQ(State().MemoryMap.Find(u"z"), nullptr);
}

TEST_F(Memory, StoreTargetsMustBeMemoryReferences)
{
    const std::vector<std::u16string> rows = {
        u"5->x", u"5->mem[a]+1", u"5->memx", u"5->(mem[a])", u"5->mem[a]mem[b]", u"5->pi",
    };
    for (const std::u16string& row : rows)
        ExpectFailure(row, {SyntaxErrorRecord()});
    EXPECT_EQ(State().MemoryMap.Count(), 0U);
}

TEST_F(Memory, ExportListsCellsInCodeUnitOrder)
{
    ASSERT_TRUE(Run(u"1->mem[a]; 2->mem[2]; 3->mem[10]; 4->mem[_]; 5->mem[ab]").Ok);
    ASSERT_EQ(State().MemoryMap.Count(), 5U);
    const std::vector<std::string> order = {"10", "2", "_", "a", "ab"};
    for (std::size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(Readable(State().MemoryMap.CellAt(i).Name), order[i]) << "position " << i;
    EXPECT_EQ(Readable(State().MemoryMap.ExportMemory(true)),
              Readable(u"\uFEFF3->Mem[10];\r\n2->Mem[2];\r\n4->Mem[_];\r\n1->Mem[a];\r\n5->Mem[ab];\r\n"));
}

TEST_F(Memory, ExportWritesFullPrecisionWithThreeDigitExponents)
{
    ASSERT_TRUE(Run(u"0.1->mem[x]; 2->mem[1]; -1.5e-7->mem[n]; 1e21->mem[big]").Ok);
    EXPECT_EQ(Readable(State().MemoryMap.ExportMemory(true)),
              Readable(u"\uFEFF2->Mem[1];\r\n1e+021->Mem[big];\r\n-1.4999999999999999321e-007->Mem[n];\r\n"
                       u"0.10000000000000000555->Mem[x];\r\n"));
}

TEST_F(Memory, ExportIgnoresTheNotationCase)
{
    NCalculatorText::State().CalcSettings.NotationCase = 1;
    ASSERT_TRUE(Run(u"1e21->mem[x]").Ok);
    EXPECT_EQ(Readable(State().MemoryMap.ExportMemory(true)), Readable(u"\uFEFF1e+021->Mem[x];\r\n"));
}

TEST_F(Memory, ExportOfSelectedCellsAndOfAnEmptyStore)
{
    EXPECT_EQ(Readable(State().MemoryMap.ExportMemory(true)), Readable(u"\uFEFF"));
    ASSERT_TRUE(Run(u"1->mem[a]; 2->mem[b]").Ok);
    EXPECT_EQ(Readable(State().MemoryMap.ExportMemory(false)), Readable(u"\uFEFF"));
    State().MemoryMap.SetInclude(u"b", 1);
    EXPECT_EQ(Readable(State().MemoryMap.ExportMemory(false)), Readable(u"\uFEFF2->Mem[b];\r\n"));
}

TEST_F(Memory, ExportedTextRestoresEveryFiniteValue)
{
    const std::vector<double> values = {0.1,  -1.5e-7, 1.0 / 3.0, 1e300, -1e-300, 5e-324, 1.7976931348623157e308,
                                        -0.0, 22.5};
    for (std::size_t i = 0; i < values.size(); ++i)
        State().MemoryMap.GetOrCreate(u"cell " + std::u16string(1, static_cast<char16_t>(u'a' + i))) = values[i];
    std::u16string text = State().MemoryMap.ExportMemory(true);
    ASSERT_FALSE(text.empty());
    text.erase(0, 1);  // the byte-order mark is dropped when a file is read
    State().MemoryMap.FreeAll();
    const RunOutcome outcome = Run(text);
    EXPECT_TRUE(outcome.Ok);
    EXPECT_TRUE(outcome.Records.empty());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::u16string name = u"cell " + std::u16string(1, static_cast<char16_t>(u'a' + i));
        SCOPED_TRACE(Readable(name));
        const double restored = CellValue(name);
        EXPECT_EQ(restored, values[i]);
        EXPECT_EQ(std::signbit(restored), std::signbit(values[i]));
    }
}

// A value that is not finite must never come back silently as another value.
TEST_F(Memory, ExportedNonFiniteValuesComeBackOrFailLoudly)
{
    const std::vector<double> values = {std::numeric_limits<double>::infinity(),
                                        -std::numeric_limits<double>::infinity(),
                                        std::numeric_limits<double>::quiet_NaN()};
    for (const double value : values) {
        SCOPED_TRACE(std::to_string(value));
        State().MemoryMap.FreeAll();
        State().MemoryMap.GetOrCreate(u"v") = value;
        std::u16string text = State().MemoryMap.ExportMemory(true);
        text.erase(0, 1);
        State().MemoryMap.FreeAll();
        const RunOutcome outcome = Run(text);
        const Tevra::MemoryCell* cell = State().MemoryMap.Find(u"v");
        if (cell == nullptr) {
            EXPECT_FALSE(outcome.Ok);
            EXPECT_FALSE(outcome.Records.empty());
            continue;
        }
        if (std::isnan(value)) {
            EXPECT_TRUE(std::isnan(cell->Value)) << "restored as " << cell->Value;
        } else {
            EXPECT_EQ(cell->Value, value);
        }
    }
}

}  // namespace
}  // namespace EngineTests
