// The memory window's copy of the memory: one row per cell, in key order, as
// it stood at the last rebuild, with the row's tick. The list shows the rows
// in a sorted order of its own; a list row names its snapshot row by index,
// never by position. Plain C++: the window's model and the benchmarks use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Tevra {
class CMemoryMap;
}

class CCalcMemorySnapshot final {
public:
    // The columns the rows sort by, as the list shows them.
    enum Column { IncludeColumn = 0, NumberColumn, CellColumn, ValueColumn, ColumnCount };

    // Copies every cell of memory in key order: name, value and include flag.
    void rebuild(const Tevra::CMemoryMap& memory);
    void clear();

    std::size_t count() const { return rows_.size(); }
    std::u16string_view name(std::size_t index) const;
    double value(std::size_t index) const { return rows_[index].Value; }
    bool included(std::size_t index) const { return rows_[index].Include != 0; }
    void setIncluded(std::size_t index, bool included) { rows_[index].Include = included ? 1 : 0; }
    // Flips every row's tick / unticks every row.
    void invertIncluded();
    void clearIncluded();
    std::size_t includedCount() const;

    // Gives each row's include flag to the cell of its name, as SetInclude
    // does; cells freed since the rebuild are skipped. Only the flags that
    // changed since the rebuild or the last push are given: the cells hold
    // the others already, as nothing but this window changes them.
    void pushIncluded(Tevra::CMemoryMap& memory);

    // The values of every row, or of the ticked rows only, in snapshot order.
    std::vector<double> values(bool includedOnly) const;

    // The snapshot indexes in the order of column, ascending or descending:
    // include flag (unticked first), index, name (UTF-16 code units) or
    // value. Values that are not a number compare equal to each other and
    // after every number; rows that compare equal keep snapshot order.
    std::vector<std::uint32_t> sortedOrder(Column column, bool ascending) const;

    // Bytes the snapshot holds, rows and names (for the memory figures).
    std::size_t heapBytes() const;

private:
    struct Row {
        std::size_t NameOffset;
        double Value;
        std::uint32_t NameLength;
        std::uint8_t Include;  // the tick
        std::uint8_t Stored;   // the flag the cell holds (at the rebuild or the last push)
    };

    std::vector<Row> rows_;
    std::u16string names_;          // every name, one after the other
    std::uint64_t generation_ = 0;  // the memory's at the rebuild
};
