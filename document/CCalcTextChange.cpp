#include "document/CCalcTextChange.h"

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
    std::size_t statements = 0;
    std::size_t statementStart = Position;
    for (std::size_t i = Position; i < position; ++i) {
        if (before[i] == u';') {
            ++statements;
            statementStart = i + 1;
        }
    }
    const std::size_t end = Position + Inserted;
    std::size_t start = Position;
    for (std::size_t i = Position; i < end && statements > 0; ++i) {
        if (after[i] == u';') {
            --statements;
            start = i + 1;
        }
    }
    if (statements > 0)
        return end;
    const std::size_t separator = after.substr(0, end).find(u';', start);
    const std::size_t statementEnd = separator == std::u16string_view::npos ? end : separator;
    return std::min(start + (position - statementStart), statementEnd);
}
