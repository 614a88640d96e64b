// The user's named memory cells: one process-wide ordered store.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace Tevra {

struct MemoryCell {
    double Value = 0.0;
    std::int32_t Include = 0;  // the tick in the memory window: 0 or 1
};

// A cell as a listing sees it: the name, the value and the include flag.
struct MemoryCellView {
    std::u16string_view Name;
    double Value = 0.0;
    std::int32_t Include = 0;
};

// Cells ordered by their names, compared as unsigned UTF-16 code units, unit by
// unit ("10" before "2", "Z" before "a", a prefix before the longer name).
class CMemoryMap final {
public:
    using Container = std::map<std::u16string, MemoryCell, std::less<>>;

    CMemoryMap() = default;
    // A copy lists its own cells: the position remembered for CellAt points
    // into the cells it was taken from, so the copy starts without one.
    CMemoryMap(const CMemoryMap& other) : cells_(other.cells_), generation_(other.generation_), Changed(other.Changed)
    {
    }
    CMemoryMap& operator=(const CMemoryMap& other)
    {
        if (this != &other) {
            cells_ = other.cells_;
            generation_ = std::max(generation_, other.generation_) + 1;
            Changed = other.Changed;
            ForgetPosition();
        }
        return *this;
    }
    CMemoryMap(CMemoryMap&&) noexcept = default;
    CMemoryMap& operator=(CMemoryMap&&) noexcept = default;
    ~CMemoryMap() = default;

    // The cell with this name, or null. Never creates a cell.
    const MemoryCell* Find(std::u16string_view name) const;

    // The value of the named cell, inserting a cell with value 0 and include
    // flag 0 when there is none.
    double& GetOrCreate(std::u16string_view name);

    // Sets the include flag of the named cell; nothing when it does not exist.
    void SetInclude(std::u16string_view name, std::int32_t flag);

    // SetInclude for many cells: flagOf(i), for i below count, gives a name
    // and its flag. Names given in key order cost one walk over the cells
    // (a listing's names, pushed back); a name out of order is looked up.
    using NamedFlag = std::pair<std::u16string_view, std::int32_t>;
    void SetIncludes(std::size_t count, const std::function<NamedFlag(std::size_t)>& flagOf);

    // SetInclude for every cell by its position in key order: flagOf(i) is
    // the flag of the cell CellAt(i) names. One walk over the cells.
    void SetIncludesByPosition(const std::function<std::int32_t(std::size_t)>& flagOf);

    std::size_t Count() const { return cells_.size(); }

    // Changes whenever cells may have been added or erased: while it stays
    // the same, so do the cells and their positions.
    std::uint64_t Generation() const { return generation_; }

    // The cell at position index in key order. Consecutive positions cost
    // constant time each, so a full listing by index stays linear.
    MemoryCellView CellAt(std::size_t index) const;

    // Erase every cell / every ticked cell; both set Changed.
    void FreeAll();
    void FreeIncluded();

    // The memory as memory-file text: U+FEFF, then one store statement per
    // cell, "%.20g->Mem[name];" and CR LF. With all false only ticked cells.
    std::u16string ExportMemory(bool all) const;

    Container::const_iterator begin() const { return cells_.begin(); }
    Container::const_iterator end() const { return cells_.end(); }

private:
    Container cells_;
    std::uint64_t generation_ = 0;

public:
    // Set whenever cells were read, stored or freed; taken (read and cleared)
    // by whoever tells the windows that list them.
    bool Changed = false;

private:
    void ForgetPosition() const { cachedIndex_ = npos; }

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    mutable std::size_t cachedIndex_ = npos;
    mutable Container::const_iterator cachedPosition_;
};

}  // namespace Tevra
