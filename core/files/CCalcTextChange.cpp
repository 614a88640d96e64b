#include "core/files/CCalcTextChange.h"

#include <algorithm>

CCalcTextChange CCalcTextChange::Between(std::u16string_view before, std::u16string_view after)
{
    const std::size_t limit = std::min(before.size(), after.size());
    std::size_t prefix = 0;
    while (prefix < limit && before[prefix] == after[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < limit - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    return {prefix, before.size() - prefix - suffix, after.size() - prefix - suffix};
}

std::size_t CCalcTextChange::mapByStatement(std::u16string_view before, std::u16string_view after,
                                            std::size_t position) const
{
    position = std::min(position, before.size());
    if (position <= Position)
        return position;
    if (position >= Position + Removed)
        return position - Removed + Inserted;
    // Inside the change: the statement holding position, and the one of
    // the new text that as many ";" precede.
    const std::u16string_view changedBefore = before.substr(0, Position + Removed);
    const std::u16string_view changedAfter = after.substr(0, Position + Inserted);
    std::size_t statements = 0;
    std::size_t startBefore = Position;
    for (std::size_t i = Position; i < position; ++i) {
        if (before[i] == u';') {
            ++statements;
            startBefore = i + 1;
        }
    }
    std::size_t startAfter = Position;
    for (std::size_t i = Position; i < changedAfter.size() && statements > 0; ++i) {
        if (after[i] == u';') {
            --statements;
            startAfter = i + 1;
        }
    }
    if (statements > 0)
        return Position + Inserted;  // the statement is gone
    const auto statementEnd = [](std::u16string_view text, std::size_t start) {
        const std::size_t separator = text.find(u';', start);
        return separator == std::u16string_view::npos ? text.size() : separator;
    };
    const std::u16string_view statementBefore =
        changedBefore.substr(startBefore, statementEnd(changedBefore, startBefore) - startBefore);
    const std::u16string_view statementAfter =
        changedAfter.substr(startAfter, statementEnd(changedAfter, startAfter) - startAfter);
    // Within the statement as within a text: unchanged in its head, moved
    // along in its tail, behind the new text inside its own change.
    const CCalcTextChange own = Between(statementBefore, statementAfter);
    const std::size_t offset = position - startBefore;
    if (offset <= own.Position)
        return startAfter + offset;
    if (offset >= own.Position + own.Removed)
        return startAfter + offset - own.Removed + own.Inserted;
    return startAfter + own.Position + own.Inserted;
}
