#include "core/memory/MemoryMap.h"

#include <cmath>
#include <cstdlib>
#include <iterator>

#include "core/formats/NumberFormat.h"

namespace Tevra {

namespace {

// The number part of an export line. Infinities and not-a-number have no
// number form the engine reads back, and "inf" or "nan" would read as
// something else; a number beyond the double range makes a reload fail with an
// overflow report instead of silently storing another value.
std::u16string ExportedNumber(double value)
{
    if (std::isnan(value))
        return u"-1e+999";
    if (std::isinf(value))
        return value > 0 ? u"1e+999" : u"-1e+999";
    return NCalculatorText::FormatNumberText(value, false);
}

}  // namespace

const MemoryCell* CMemoryMap::Find(std::u16string_view name) const
{
    const auto found = cells_.find(name);
    return found == cells_.end() ? nullptr : &found->second;
}

double& CMemoryMap::GetOrCreate(std::u16string_view name)
{
    auto position = cells_.lower_bound(name);
    if (position != cells_.end() && position->first == name)
        return position->second.Value;

    // A new cell before the cached position moves that position one place on;
    // the cached iterator itself stays valid across an insertion.
    if (cachedIndex_ != npos && name < std::u16string_view(cachedPosition_->first))
        ++cachedIndex_;
    position = cells_.emplace_hint(position, std::u16string(name), MemoryCell{});
    ++generation_;
    return position->second.Value;
}

void CMemoryMap::SetInclude(std::u16string_view name, std::int32_t flag)
{
    const auto found = cells_.find(name);
    if (found != cells_.end())
        found->second.Include = flag;
}

void CMemoryMap::SetIncludes(std::size_t count, const std::function<NamedFlag(std::size_t)>& flagOf)
{
    auto position = cells_.begin();
    for (std::size_t i = 0; i < count; ++i) {
        const auto [name, flag] = flagOf(i);
        // A name before the walk's position is either missing from memory
        // (it lies after the previous cell) or out of key order.
        const bool beforePosition = position == cells_.end() || name < std::u16string_view(position->first);
        if (beforePosition && position != cells_.begin() && name <= std::u16string_view(std::prev(position)->first))
            position = cells_.lower_bound(name);
        while (position != cells_.end() && std::u16string_view(position->first) < name)
            ++position;
        if (position != cells_.end() && position->first == name)
            position->second.Include = flag;
    }
}

void CMemoryMap::SetIncludesByPosition(const std::function<std::int32_t(std::size_t)>& flagOf)
{
    std::size_t index = 0;
    for (auto& [name, cell] : cells_)
        cell.Include = flagOf(index++);
}

MemoryCellView CMemoryMap::CellAt(std::size_t index) const
{
    if (index >= cells_.size())
        return {};

    // Walk from whichever known place is nearest: the first cell, the last
    // cell or the position the previous call ended at.
    auto position = cells_.begin();
    std::ptrdiff_t steps = static_cast<std::ptrdiff_t>(index);
    const std::ptrdiff_t fromEnd = static_cast<std::ptrdiff_t>(index) - static_cast<std::ptrdiff_t>(cells_.size());
    if (-fromEnd < steps) {
        position = cells_.end();
        steps = fromEnd;
    }
    if (cachedIndex_ != npos) {
        const std::ptrdiff_t fromCache = static_cast<std::ptrdiff_t>(index) - static_cast<std::ptrdiff_t>(cachedIndex_);
        if (std::abs(fromCache) < std::abs(steps)) {
            position = cachedPosition_;
            steps = fromCache;
        }
    }
    std::advance(position, steps);

    cachedIndex_ = index;
    cachedPosition_ = position;
    return MemoryCellView{position->first, position->second.Value, position->second.Include};
}

void CMemoryMap::FreeAll()
{
    Changed = true;
    ++generation_;
    cells_.clear();
    ForgetPosition();
}

void CMemoryMap::FreeIncluded()
{
    Changed = true;
    ++generation_;
    for (auto position = cells_.begin(); position != cells_.end();) {
        if (position->second.Include != 0)
            position = cells_.erase(position);
        else
            ++position;
    }
    ForgetPosition();
}

std::u16string CMemoryMap::ExportMemory(bool all) const
{
    std::u16string text(1, u'\uFEFF');
    for (const auto& [name, cell] : cells_) {
        if (!all && cell.Include == 0)
            continue;
        text += ExportedNumber(cell.Value);
        text += u"->Mem[";
        text += name;
        text += u"];\r\n";
    }
    return text;
}

}  // namespace Tevra
