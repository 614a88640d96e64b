#include "core/memory/MemoryMap.h"

#include <cmath>
#include <functional>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Tevra::CMemoryMap;

std::vector<std::u16string> NamesByIndex(const CMemoryMap& map)
{
    std::vector<std::u16string> names;
    for (std::size_t i = 0; i < map.Count(); ++i)
        names.emplace_back(map.CellAt(i).Name);
    return names;
}

std::vector<std::u16string> NamesByIteration(const CMemoryMap& map)
{
    std::vector<std::u16string> names;
    for (const auto& [name, cell] : map)
        names.push_back(name);
    return names;
}

CMemoryMap MapOf(std::initializer_list<std::u16string_view> names)
{
    CMemoryMap map;
    double value = 1;
    for (const auto name : names)
        map.GetOrCreate(name) = value++;
    return map;
}

TEST(MemoryMapOrder, ComparesCodeUnitsUnsignedAndNotNumerically)
{
    const CMemoryMap map = MapOf({u"a", u"2", u"10", u"Z", u"ab", u"\u00e9", u"\U0001F600", u"\uFF21"});
    const std::vector<std::u16string> expected = {u"10", u"2", u"Z", u"a", u"ab", u"\u00e9", u"\U0001F600", u"\uFF21"};
    EXPECT_EQ(NamesByIteration(map), expected);
    EXPECT_EQ(NamesByIndex(map), expected);
}

TEST(MemoryMapCells, GetOrCreateInsertsAnUntickedZeroCellOnce)
{
    CMemoryMap map;
    EXPECT_EQ(map.Find(u"x"), nullptr);
    EXPECT_EQ(map.Count(), 0u);
    EXPECT_EQ(map.GetOrCreate(u"x"), 0.0);
    ASSERT_NE(map.Find(u"x"), nullptr);
    EXPECT_EQ(map.Find(u"x")->Include, 0);

    map.GetOrCreate(u"x") = 7.5;
    map.SetInclude(u"x", 1);
    EXPECT_EQ(map.GetOrCreate(u"x"), 7.5);
    EXPECT_EQ(map.Find(u"x")->Include, 1);
    EXPECT_EQ(map.Count(), 1u);
}

TEST(MemoryMapCells, FindAndSetIncludeNeverCreate)
{
    CMemoryMap map = MapOf({u"a"});
    map.SetInclude(u"b", 1);
    EXPECT_EQ(map.Find(u"b"), nullptr);
    EXPECT_EQ(map.Find(u"A"), nullptr);
    EXPECT_EQ(map.Count(), 1u);
}

TEST(MemoryMapCellAt, AnyVisitingOrderGivesTheCellsOfKeyOrder)
{
    CMemoryMap map;
    for (int i = 0; i < 50; ++i)
        map.GetOrCreate(u"c" + std::u16string(1, static_cast<char16_t>(u'A' + i))) = i;
    const std::vector<std::size_t> visits = {0, 49, 1, 48, 25, 24, 26, 10, 40, 3, 3, 0, 49};
    for (const std::size_t index : visits) {
        const auto cell = map.CellAt(index);
        EXPECT_EQ(cell.Name, u"c" + std::u16string(1, static_cast<char16_t>(u'A' + index))) << "index " << index;
        EXPECT_EQ(cell.Value, static_cast<double>(index)) << "index " << index;
    }
}

TEST(MemoryMapCellAt, ListingStaysRightWhenCellsAreAddedBetweenCalls)
{
    CMemoryMap map = MapOf({u"b", u"d", u"f"});
    EXPECT_EQ(map.CellAt(1).Name, u"d");
    map.GetOrCreate(u"a");  // before the cached position
    EXPECT_EQ(map.CellAt(1).Name, u"b");
    EXPECT_EQ(map.CellAt(2).Name, u"d");
    map.GetOrCreate(u"e");  // after it
    EXPECT_EQ(map.CellAt(3).Name, u"e");
    EXPECT_EQ(map.CellAt(4).Name, u"f");
    map.GetOrCreate(u"d");  // existing: nothing moves
    EXPECT_EQ(map.CellAt(2).Name, u"d");
}

TEST(MemoryMapCellAt, ListingStaysRightAfterFreeing)
{
    CMemoryMap map = MapOf({u"a", u"b", u"c", u"d"});
    map.SetInclude(u"b", 1);
    EXPECT_EQ(map.CellAt(3).Name, u"d");
    map.FreeIncluded();
    EXPECT_EQ(NamesByIndex(map), (std::vector<std::u16string>{u"a", u"c", u"d"}));
    map.FreeAll();
    map.GetOrCreate(u"z");
    EXPECT_EQ(map.CellAt(0).Name, u"z");
}

TEST(MemoryMapCellAt, IndexBeyondTheEndGivesAnEmptyView)
{
    const CMemoryMap map = MapOf({u"a"});
    const auto cell = map.CellAt(1);
    EXPECT_TRUE(cell.Name.empty());
    EXPECT_EQ(cell.Value, 0.0);
}

TEST(MemoryMapFree, FreeIncludedErasesOnlyTickedCellsAndKeepsOtherFlags)
{
    CMemoryMap map = MapOf({u"a", u"b", u"c"});
    map.SetInclude(u"a", 1);
    map.SetInclude(u"c", 1);
    map.FreeIncluded();
    EXPECT_EQ(NamesByIteration(map), (std::vector<std::u16string>{u"b"}));
    EXPECT_EQ(map.Find(u"b")->Include, 0);
}

TEST(MemoryMapFree, BothFreesSetTheChangedFlagEvenWhenNothingIsErased)
{
    CMemoryMap map = MapOf({u"a"});
    map.Changed = false;
    map.FreeIncluded();
    EXPECT_TRUE(map.Changed);
    EXPECT_EQ(map.Count(), 1u);

    map.Changed = false;
    map.FreeAll();
    EXPECT_TRUE(map.Changed);
    EXPECT_EQ(map.Count(), 0u);
    map.Changed = false;
}

struct ExportRow {
    const char* Label;
    std::u16string_view Name;
    double Value;
    std::u16string_view Line;
};

void PrintTo(const ExportRow& row, std::ostream* out)
{
    *out << row.Label;
}

class MemoryMapExportLine : public testing::TestWithParam<ExportRow> {};

TEST_P(MemoryMapExportLine, WritesOneStoreStatementPerCell)
{
    CMemoryMap map;
    map.GetOrCreate(GetParam().Name) = GetParam().Value;
    EXPECT_EQ(map.ExportMemory(true), u"\uFEFF" + std::u16string(GetParam().Line) + u"\r\n");
}

constexpr double Infinity = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Values, MemoryMapExportLine,
    testing::Values(ExportRow{"Fraction", u"x", 0.1, u"0.10000000000000000555->Mem[x];"},
                    ExportRow{"Integer", u"1", 2, u"2->Mem[1];"},
                    ExportRow{"SmallNegative", u"s", -1.5e-7, u"-1.4999999999999999321e-007->Mem[s];"},
                    ExportRow{"LargeStaysLowerCase", u"big", 1e21, u"1e+021->Mem[big];"},
                    ExportRow{"Zero", u"z", 0, u"0->Mem[z];"},
                    ExportRow{"NameKeptAsIs", u"Total Sum", 3, u"3->Mem[Total Sum];"},
                    ExportRow{"PositiveInfinityOverflowsOnReload", u"p", Infinity, u"1e+999->Mem[p];"},
                    ExportRow{"NegativeInfinityOverflowsOnReload", u"n", -Infinity, u"-1e+999->Mem[n];"},
                    ExportRow{"NotANumberOverflowsOnReload", u"q", std::nan(""), u"-1e+999->Mem[q];"}),
    [](const auto& info) { return std::string(info.param.Label); });

TEST(MemoryMapExport, EmptyStoreIsTheByteOrderMarkAlone)
{
    EXPECT_EQ(CMemoryMap{}.ExportMemory(true), u"\uFEFF");
    EXPECT_EQ(CMemoryMap{}.ExportMemory(false), u"\uFEFF");
}

TEST(MemoryMapExport, SelectedExportWritesOnlyTickedCellsInKeyOrder)
{
    CMemoryMap map = MapOf({u"2", u"10", u"a"});
    EXPECT_EQ(map.ExportMemory(true), u"\uFEFF2->Mem[10];\r\n1->Mem[2];\r\n3->Mem[a];\r\n");
    map.SetInclude(u"a", 1);
    map.SetInclude(u"10", 1);
    EXPECT_EQ(map.ExportMemory(false), u"\uFEFF2->Mem[10];\r\n3->Mem[a];\r\n");
}

struct SetIncludesRow {
    const char* Label;
    std::vector<std::u16string> Names;   // given in this order, each with flag 1
    std::vector<std::u16string> Ticked;  // the ticked cells afterwards
};

void PrintTo(const SetIncludesRow& row, std::ostream* out)
{
    *out << row.Label;
}

class MemoryMapSetIncludes : public testing::TestWithParam<SetIncludesRow> {};

TEST_P(MemoryMapSetIncludes, TicksExactlyTheNamedCellsThatExist)
{
    CMemoryMap map = MapOf({u"10", u"2", u"b", u"d", u"f"});
    const auto& names = GetParam().Names;
    map.SetIncludes(names.size(), [&](std::size_t i) { return CMemoryMap::NamedFlag{names[i], 1}; });
    std::vector<std::u16string> ticked;
    for (const auto& [name, cell] : map) {
        if (cell.Include != 0)
            ticked.push_back(name);
    }
    EXPECT_EQ(ticked, GetParam().Ticked);
    EXPECT_EQ(map.Count(), 5u) << "never creates a cell";
}

INSTANTIATE_TEST_SUITE_P(
    Names, MemoryMapSetIncludes,
    testing::Values(SetIncludesRow{"None", {}, {}},
                    SetIncludesRow{"AllInKeyOrder", {u"10", u"2", u"b", u"d", u"f"}, {u"10", u"2", u"b", u"d", u"f"}},
                    SetIncludesRow{"MissingNamesBetween", {u"a", u"b", u"c", u"e", u"f", u"g"}, {u"b", u"f"}},
                    SetIncludesRow{"MissingBeforeFirstAndAfterLast", {u"0", u"10", u"z"}, {u"10"}},
                    SetIncludesRow{"OutOfKeyOrder", {u"f", u"b", u"10", u"d"}, {u"10", u"b", u"d", u"f"}},
                    SetIncludesRow{"RepeatedName", {u"d", u"d", u"b"}, {u"b", u"d"}},
                    SetIncludesRow{"PrefixOfACell", {u"1", u"2"}, {u"2"}}),
    [](const auto& info) { return std::string(info.param.Label); });

TEST(MemoryMapSetIncludes, GivesEachCellItsOwnFlagAndKeepsTheListing)
{
    CMemoryMap map = MapOf({u"a", u"b", u"c"});
    map.SetInclude(u"b", 1);
    EXPECT_EQ(map.CellAt(2).Name, u"c");
    const std::vector<CMemoryMap::NamedFlag> flags = {{u"a", 1}, {u"b", 0}, {u"c", 1}};
    map.SetIncludes(flags.size(), [&](std::size_t i) { return flags[i]; });
    EXPECT_EQ(map.Find(u"a")->Include, 1);
    EXPECT_EQ(map.Find(u"b")->Include, 0);
    EXPECT_EQ(map.Find(u"c")->Include, 1);
    EXPECT_EQ(map.CellAt(1).Name, u"b");
}

TEST(MemoryMapSetIncludes, ByPositionGivesEachCellTheFlagOfItsPlace)
{
    CMemoryMap map = MapOf({u"b", u"a", u"c"});
    map.SetIncludesByPosition([](std::size_t i) { return i == 1 ? 0 : 1; });
    EXPECT_EQ(map.Find(u"a")->Include, 1);
    EXPECT_EQ(map.Find(u"b")->Include, 0);
    EXPECT_EQ(map.Find(u"c")->Include, 1);
}

TEST(MemoryMapGeneration, ChangesExactlyWhenCellsMayBeAddedOrErased)
{
    struct Row {
        const char* label;
        std::function<void(CMemoryMap&)> change;
        bool changes;
    };
    const Row rows[] = {
        {"a new cell", [](CMemoryMap& map) { map.GetOrCreate(u"new"); }, true},
        {"storing into a cell", [](CMemoryMap& map) { map.GetOrCreate(u"a") = 5; }, false},
        {"reading a cell", [](CMemoryMap& map) { map.Find(u"a"); }, false},
        {"ticking a cell", [](CMemoryMap& map) { map.SetInclude(u"a", 1); }, false},
        {"listing", [](CMemoryMap& map) { map.CellAt(1); }, false},
        {"freeing all", [](CMemoryMap& map) { map.FreeAll(); }, true},
        {"freeing the ticked cells", [](CMemoryMap& map) { map.FreeIncluded(); }, true},
    };
    for (const Row& row : rows) {
        CMemoryMap map = MapOf({u"a", u"b"});
        const auto before = map.Generation();
        row.change(map);
        EXPECT_EQ(map.Generation() != before, row.changes) << row.label;
    }
}

// A copy lists its own cells, whatever the map it was taken from remembered
// of its last listing and whatever happens to that map afterwards.
TEST(MemoryMapCopy, ListsItsOwnCells)
{
    const std::vector<std::u16string> names{u"a", u"b", u"c", u"d", u"e", u"f", u"g"};
    CMemoryMap source = MapOf({u"a", u"b", u"c", u"d", u"e", u"f", u"g"});
    EXPECT_EQ(source.CellAt(3).Name, u"d");  // the source remembers where "d" is
    CMemoryMap copied = source;
    CMemoryMap assigned = MapOf({u"z"});
    EXPECT_EQ(assigned.CellAt(0).Name, u"z");
    assigned = source;
    source.GetOrCreate(u"dd");
    // The cell next to "d" is the nearest way to position 4 from the last
    // listing: it must be the copy's own.
    EXPECT_EQ(copied.CellAt(4).Name, u"e");
    EXPECT_EQ(assigned.CellAt(4).Name, u"e");
    source.FreeAll();
    EXPECT_EQ(NamesByIndex(copied), names);
    EXPECT_EQ(NamesByIndex(assigned), names);
}

// Assigning cells to a map changes its generation, so that a window listing
// it sees a new listing even when the cells came from a map of the same age.
TEST(MemoryMapCopy, AssigningChangesTheGeneration)
{
    CMemoryMap target = MapOf({u"a"});
    const CMemoryMap source = MapOf({u"b"});
    const auto before = target.Generation();
    target = source;
    EXPECT_NE(target.Generation(), before);
    EXPECT_EQ(NamesByIndex(target), (std::vector<std::u16string>{u"b"}));
}

}  // namespace
