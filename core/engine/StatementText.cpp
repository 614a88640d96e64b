#include "core/engine/StatementText.h"

#include "core/engine/Scanner.h"

#include <algorithm>

namespace NCalculatorText {

bool FindResultPlace(std::u16string_view statement, ResultPlace& place)
{
    const std::size_t equals = statement.rfind(u'=');
    if (equals != std::u16string_view::npos) {
        std::size_t value = equals + 1;
        while (value < statement.size() && IsBlank(statement[value]))
            ++value;
        place = {equals, value < statement.size() ? value : equals + 1};
        return true;
    }
    std::size_t end = statement.size();
    while (end > 0 && IsBlank(statement[end - 1]))
        --end;
    if (end == 0)
        return false;
    place = {end, end + 1};
    return true;
}

bool FindStatementAt(std::u16string_view work, std::size_t caret, StatementRange& statement)
{
    caret = std::min(caret, work.size());
    // A statement ending at the caret comes before one starting there.
    std::size_t inside = 0;
    if (caret > 0 && work[caret - 1] != u';')
        inside = caret - 1;
    else if (caret < work.size() && work[caret] != u';')
        inside = caret;
    else
        return false;
    const std::size_t separator = work.rfind(u';', inside);
    const std::size_t start = separator == std::u16string_view::npos ? 0 : separator + 1;
    const std::size_t end = std::min(work.find(u';', inside), work.size());
    statement = {start, end - start};
    return true;
}

StatementRange TrimmedStatement(std::u16string_view work, StatementRange statement)
{
    std::size_t first = statement.Start;
    std::size_t last = statement.Start + statement.Length;
    while (first < last && IsBlank(work[first]))
        ++first;
    while (last > first && IsBlank(work[last - 1]))
        --last;
    return {first, last - first};
}

}  // namespace NCalculatorText
