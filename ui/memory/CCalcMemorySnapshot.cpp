#include "ui/memory/CCalcMemorySnapshot.h"

#include "memory/MemoryMap.h"

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
        rows_.push_back(
            Row{names_.size(), static_cast<std::uint32_t>(cell.Name.size()), cell.Include != 0 ? 1 : 0, cell.Value});
        names_.append(cell.Name);
    }
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

void CCalcMemorySnapshot::pushIncluded(Tevra::CMemoryMap& memory) const
{
    memory.SetIncludes(rows_.size(), [this](std::size_t i) {
        return Tevra::CMemoryMap::NamedFlag{name(i), rows_[i].Include};
    });
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
    const auto compare = [this, column](std::uint32_t a, std::uint32_t b) {
        switch (column) {
        case IncludeColumn:
            return ThreeWay(rows_[a].Include, rows_[b].Include);
        case NumberColumn:
            return ThreeWay(a, b);
        case CellColumn:
            return ThreeWay(name(a).compare(name(b)), 0);
        case ValueColumn:
            return CompareValues(rows_[a].Value, rows_[b].Value);
        case ColumnCount:
            break;
        }
        return 0;
    };
    // Descending reverses every comparison; rows that compare equal stay in
    // snapshot order either way.
    const int direction = ascending ? 1 : -1;
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const int result = compare(a, b) * direction;
        return result != 0 ? result < 0 : a < b;
    });
    return order;
}

std::size_t CCalcMemorySnapshot::heapBytes() const
{
    return rows_.capacity() * sizeof(Row) + names_.capacity() * sizeof(char16_t);
}
