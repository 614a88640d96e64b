#include "desktop/ui/memory/CCalcMemorySnapshot.h"

#include "core/memory/MemoryMap.h"

#include <algorithm>
#include <cmath>
#include <numeric>

void CCalcMemorySnapshot::rebuild(const Tevra::CMemoryMap& memory)
{
    clear();
    const std::size_t cells = memory.Count();
    rows_.reserve(cells);
    // Consecutive positions cost constant time each in the store.
    for (std::size_t index = 0; index < cells; ++index) {
        const Tevra::MemoryCellView cell = memory.CellAt(index);
        const std::uint8_t include = cell.Include != 0 ? 1 : 0;
        rows_.push_back(Row{names_.size(), cell.Value, static_cast<std::uint32_t>(cell.Name.size()), include, include});
        names_.append(cell.Name);
    }
    generation_ = memory.Generation();
}

void CCalcMemorySnapshot::clear()
{
    rows_.clear();
    names_.clear();
}

std::u16string_view CCalcMemorySnapshot::name(std::size_t index) const
{
    const Row& row = rows_[index];
    return std::u16string_view(names_).substr(row.NameOffset, row.NameLength);
}

void CCalcMemorySnapshot::invertIncluded()
{
    for (Row& row : rows_)
        row.Include = row.Include != 0 ? 0 : 1;
}

void CCalcMemorySnapshot::clearIncluded()
{
    for (Row& row : rows_)
        row.Include = 0;
}

std::size_t CCalcMemorySnapshot::includedCount() const
{
    return static_cast<std::size_t>(
        std::count_if(rows_.begin(), rows_.end(), [](const Row& row) { return row.Include != 0; }));
}

void CCalcMemorySnapshot::pushIncluded(Tevra::CMemoryMap& memory)
{
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].Include != rows_[i].Stored)
            changed.push_back(i);
    }
    if (changed.empty())
        return;
    // A few changed ticks are looked up one by one. Many are given in one
    // walk: by position while the memory holds exactly the cells of the
    // rebuild, else by name.
    if (changed.size() <= rows_.size() / 64 + 16) {
        for (const std::size_t i : changed)
            memory.SetInclude(name(i), rows_[i].Include);
    } else if (memory.Generation() == generation_ && memory.Count() == rows_.size()) {
        memory.SetIncludesByPosition([this](std::size_t i) { return static_cast<std::int32_t>(rows_[i].Include); });
    } else {
        memory.SetIncludes(changed.size(), [&](std::size_t i) {
            return Tevra::CMemoryMap::NamedFlag{name(changed[i]), rows_[changed[i]].Include};
        });
    }
    for (Row& row : rows_)
        row.Stored = row.Include;
}

std::vector<double> CCalcMemorySnapshot::values(bool includedOnly) const
{
    std::vector<double> chosen;
    chosen.reserve(includedOnly ? includedCount() : rows_.size());
    for (const Row& row : rows_) {
        if (!includedOnly || row.Include != 0)
            chosen.push_back(row.Value);
    }
    return chosen;
}

namespace {

// -1, 0 or 1 as a is before, equal to or after b.
template <typename T> int ThreeWay(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Values compare as numbers; a value that is not a number is equal to any
// other such value and after every number. (Taking it as equal to every
// value would not be an order at all, and sorting by it could fail.)
int CompareValues(double a, double b)
{
    const bool aNumber = !std::isnan(a);
    const bool bNumber = !std::isnan(b);
    if (aNumber && bNumber)
        return ThreeWay(a, b);
    return ThreeWay(!aNumber, !bNumber);
}

}  // namespace

std::vector<std::uint32_t> CCalcMemorySnapshot::sortedOrder(Column column, bool ascending) const
{
    std::vector<std::uint32_t> order(rows_.size());
    std::iota(order.begin(), order.end(), 0u);
    switch (column) {
    case NumberColumn:
    case CellColumn:
        // The rows are in key order: the order of their indexes and, names
        // being unique, of their names.
        if (!ascending)
            std::reverse(order.begin(), order.end());
        return order;
    case IncludeColumn: {
        // One pass per group, each in snapshot order.
        auto next = order.begin();
        const std::uint8_t first = ascending ? 0 : 1;
        for (const std::uint8_t group : {first, static_cast<std::uint8_t>(1 - first)}) {
            for (std::uint32_t i = 0; i < rows_.size(); ++i) {
                if (rows_[i].Include == group)
                    *next++ = i;
            }
        }
        return order;
    }
    case ValueColumn:
    case ColumnCount:
        break;
    }
    // Descending reverses every comparison; rows that compare equal stay in
    // snapshot order either way.
    const int direction = ascending ? 1 : -1;
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const int result = CompareValues(rows_[a].Value, rows_[b].Value) * direction;
        return result != 0 ? result < 0 : a < b;
    });
    return order;
}

std::size_t CCalcMemorySnapshot::heapBytes() const
{
    return rows_.capacity() * sizeof(Row) + names_.capacity() * sizeof(char16_t);
}
