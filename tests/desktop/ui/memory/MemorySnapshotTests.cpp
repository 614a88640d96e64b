// The memory window's snapshot: a copy of the memory in key order, the
// orders of its four columns and the push of its ticks back to the store.
#include "core/memory/MemoryMap.h"
#include "desktop/ui/memory/CCalcMemorySnapshot.h"
#include "core/engine/EngineState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using Column = CCalcMemorySnapshot::Column;

struct Cell {
    std::u16string Name;
    double Value;
    int Include;
};

Tevra::CMemoryMap MemoryOf(const std::vector<Cell>& cells)
{
    Tevra::CMemoryMap memory;
    for (const Cell& cell : cells) {
        memory.GetOrCreate(cell.Name) = cell.Value;
        memory.SetInclude(cell.Name, cell.Include);
    }
    return memory;
}

// The names of the snapshot rows in order.
std::vector<std::u16string> NamesIn(const CCalcMemorySnapshot& snapshot, const std::vector<std::uint32_t>& order)
{
    std::vector<std::u16string> names;
    for (const std::uint32_t index : order)
        names.emplace_back(snapshot.name(index));
    return names;
}

std::string Utf8(const std::vector<std::u16string>& names)
{
    std::string text;
    for (const auto& name : names) {
        for (const char16_t unit : name)
            text += unit < 0x80 ? static_cast<char>(unit) : '?';
        text += ' ';
    }
    return text;
}

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Infinity = std::numeric_limits<double>::infinity();

// Key order of these cells: "10", "2", "Z", "a", "b", "q".
const std::vector<Cell> Cells = {
    {u"a", 3.0, 1}, {u"2", -1.0, 0}, {u"10", 3.0, 0}, {u"Z", NaN, 1}, {u"b", -Infinity, 0}, {u"q", 0.5, 1},
};

struct OrderRow {
    const char* Label;
    Column SortColumn;
    bool Ascending;
    std::vector<std::u16string> Names;
};

const OrderRow OrderRows[] = {
    // Ticks: unticked first when ascending, each group in snapshot order.
    {"IncludeAscending", CCalcMemorySnapshot::IncludeColumn, true, {u"10", u"2", u"b", u"Z", u"a", u"q"}},
    {"IncludeDescending", CCalcMemorySnapshot::IncludeColumn, false, {u"Z", u"a", u"q", u"10", u"2", u"b"}},
    {"NumberAscendingIsKeyOrder", CCalcMemorySnapshot::NumberColumn, true, {u"10", u"2", u"Z", u"a", u"b", u"q"}},
    {"NumberDescending", CCalcMemorySnapshot::NumberColumn, false, {u"q", u"b", u"a", u"Z", u"2", u"10"}},
    {"CellAscending", CCalcMemorySnapshot::CellColumn, true, {u"10", u"2", u"Z", u"a", u"b", u"q"}},
    {"CellDescending", CCalcMemorySnapshot::CellColumn, false, {u"q", u"b", u"a", u"Z", u"2", u"10"}},
    // Equal values keep snapshot order; not-a-number comes after every number.
    {"ValueAscending", CCalcMemorySnapshot::ValueColumn, true, {u"b", u"2", u"q", u"10", u"a", u"Z"}},
    {"ValueDescending", CCalcMemorySnapshot::ValueColumn, false, {u"Z", u"10", u"a", u"q", u"2", u"b"}},
};

TEST(MemorySnapshotOrder, EachColumnSortsByItsOwnRule)
{
    const Tevra::CMemoryMap memory = MemoryOf(Cells);
    CCalcMemorySnapshot snapshot;
    snapshot.rebuild(memory);
    for (const OrderRow& row : OrderRows) {
        const auto names = NamesIn(snapshot, snapshot.sortedOrder(row.SortColumn, row.Ascending));
        EXPECT_EQ(Utf8(names), Utf8(row.Names)) << row.Label;
    }
}

TEST(MemorySnapshotOrder, NamesCompareAsUtf16CodeUnits)
{
    // A character beyond the basic plane is a surrogate pair (0xD83D ...),
    // which comes before U+FF21; "ab" after its prefix "a".
    const Tevra::CMemoryMap memory =
        MemoryOf({{u"\uFF21", 1, 0}, {u"\U0001F600", 2, 0}, {u"ab", 3, 0}, {u"a", 4, 0}, {u"\u00e9", 5, 0}});
    CCalcMemorySnapshot snapshot;
    snapshot.rebuild(memory);
    const std::vector<std::u16string> expected = {u"a", u"ab", u"\u00e9", u"\U0001F600", u"\uFF21"};
    EXPECT_EQ(NamesIn(snapshot, snapshot.sortedOrder(CCalcMemorySnapshot::CellColumn, true)), expected);
    EXPECT_EQ(NamesIn(snapshot, snapshot.sortedOrder(CCalcMemorySnapshot::NumberColumn, true)), expected)
        << "the snapshot is in the store's key order";
}

TEST(MemorySnapshotOrder, ManyValuesThatAreNotNumbersSortWithoutFailing)
{
    std::vector<Cell> cells;
    for (int i = 0; i < 2000; ++i)
        cells.push_back({u"c" + std::u16string(1, static_cast<char16_t>(0x4E00 + i)), i % 3 == 0 ? NaN : i % 7, 0});
    const Tevra::CMemoryMap memory = MemoryOf(cells);
    CCalcMemorySnapshot snapshot;
    snapshot.rebuild(memory);
    for (const bool ascending : {true, false}) {
        const auto order = snapshot.sortedOrder(CCalcMemorySnapshot::ValueColumn, ascending);
        ASSERT_EQ(order.size(), cells.size());
        for (std::size_t i = 1; i < order.size(); ++i) {
            const double before = snapshot.value(order[i - 1]);
            const double after = snapshot.value(order[i]);
            const bool inOrder = std::isnan(before) || std::isnan(after)
                ? std::isnan(ascending ? after : before)
                : (ascending ? before <= after : before >= after);
            ASSERT_TRUE(inOrder) << "position " << i << (ascending ? " ascending" : " descending");
        }
    }
}

TEST(MemorySnapshotTicks, CopiesFlagsAndGivesThemBackByName)
{
    Tevra::CMemoryMap memory = MemoryOf(Cells);
    CCalcMemorySnapshot snapshot;
    snapshot.rebuild(memory);
    ASSERT_EQ(snapshot.count(), Cells.size());
    EXPECT_EQ(snapshot.includedCount(), 3u);

    snapshot.invertIncluded();
    EXPECT_EQ(snapshot.includedCount(), 3u);
    memory.GetOrCreate(u"new");  // a cell the snapshot does not know
    memory.SetInclude(u"new", 1);
    memory.SetInclude(u"q", 1);
    snapshot.pushIncluded(memory);
    struct Expected {
        std::u16string_view Name;
        int Include;
    };
    for (const Expected& cell : {Expected{u"10", 1}, Expected{u"2", 1}, Expected{u"Z", 0}, Expected{u"a", 0},
                                 Expected{u"b", 1}, Expected{u"q", 0}, Expected{u"new", 1}})
        EXPECT_EQ(memory.Find(cell.Name)->Include, cell.Include) << std::string(cell.Name.begin(), cell.Name.end());

    snapshot.clearIncluded();
    EXPECT_EQ(snapshot.includedCount(), 0u);
}

TEST(MemorySnapshotTicks, ValuesAreAllRowsOrTheTickedOnesInKeyOrder)
{
    const Tevra::CMemoryMap memory = MemoryOf({{u"c", 3, 1}, {u"a", 1, 0}, {u"b", 2, 1}, {u"d", 4, 0}});
    CCalcMemorySnapshot snapshot;
    snapshot.rebuild(memory);
    EXPECT_EQ(snapshot.values(false), (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(snapshot.values(true), (std::vector<double>{2, 3}));
}

TEST(MemorySnapshotTicks, PushingAfterCellsWereFreedSkipsThem)
{
    Tevra::CMemoryMap memory = MemoryOf({{u"a", 1, 1}, {u"b", 2, 1}, {u"c", 3, 0}});
    CCalcMemorySnapshot snapshot;
    snapshot.rebuild(memory);
    memory.FreeIncluded();
    snapshot.pushIncluded(memory);
    EXPECT_EQ(memory.Count(), 1u);
    EXPECT_EQ(memory.Find(u"c")->Include, 0);
    NCalculatorText::State().MemoryMap.Changed = false;
}

// The push gives the changed ticks by lookups, by position or by a walk over
// the names; each way leaves the store with the list's ticks.
TEST(MemorySnapshotTicks, EveryWayOfPushingGivesTheStoreTheTicks)
{
    struct Row {
        const char* label;
        std::size_t changedRows;  // ticks flipped since the rebuild
        bool addCell;             // a cell appears in the store before the push
        bool freeFirst;           // the first cell is freed before the push
    };
    const Row rows[] = {
        {"nothing changed", 0, false, false},           {"a few ticks", 3, false, false},
        {"many ticks, same cells", 300, false, false},  {"many ticks, a new cell", 300, true, false},
        {"many ticks, a cell freed", 300, false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        Tevra::CMemoryMap memory;
        for (int i = 0; i < 400; ++i) {
            const std::string digits = std::to_string(1000 + i);
            const std::u16string name = u"m" + std::u16string(digits.begin(), digits.end());
            memory.GetOrCreate(name) = i;
            memory.SetInclude(name, !row.freeFirst && i % 3 == 0 ? 1 : 0);
        }
        CCalcMemorySnapshot snapshot;
        snapshot.rebuild(memory);
        for (std::size_t i = 0; i < row.changedRows; ++i)
            snapshot.setIncluded(i, !snapshot.included(i));
        if (row.addCell)
            memory.GetOrCreate(u"m1000a");
        if (row.freeFirst) {
            memory.SetInclude(snapshot.name(0), 1);
            memory.FreeIncluded();
        }
        snapshot.pushIncluded(memory);
        for (std::size_t i = row.freeFirst ? 1 : 0; i < snapshot.count(); ++i) {
            const Tevra::MemoryCell* cell = memory.Find(snapshot.name(i));
            ASSERT_NE(cell, nullptr) << i;
            ASSERT_EQ(cell->Include, snapshot.included(i) ? 1 : 0) << "row " << i;
        }
        if (row.addCell) {
            EXPECT_EQ(memory.Find(u"m1000a")->Include, 0);
        }
        NCalculatorText::State().MemoryMap.Changed = false;
    }
}

}  // namespace
