#include "cli/LineCompletion.h"

#include <algorithm>

#include "cli/options/SessionCommands.h"
#include "core/engine/EngineState.h"
#include "core/engine/NameCompletion.h"
#include "core/engine/TextTokens.h"

namespace Tevra::Cli {

namespace {

char16_t Lowered(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

// ":name" at the start of the line, or the FILE behind it.
LineCompletion CompleteCommand(std::u16string_view line, std::size_t caret)
{
    LineCompletion completion;
    std::size_t start = 0;
    while (start < line.size() && IsBlank(line[start]))
        ++start;
    std::size_t end = start;
    while (end < line.size() && !IsBlank(line[end]))
        ++end;
    if (caret <= end) {
        completion.Start = start;
        completion.End = end;
        const std::u16string_view typed = line.substr(start, caret - start);
        for (const SessionCommand& command : SessionCommands()) {
            const std::u16string name(command.Name.begin(), command.Name.end());
            if (name.starts_with(typed)) {
                completion.Names.push_back(name);
                completion.Inserts.push_back(name + u" ");
            }
        }
        return completion;
    }
    const std::u16string_view typedName = line.substr(start, end - start);
    for (const SessionCommand& command : SessionCommands()) {
        if (command.ArgumentIsFile && std::u16string(command.Name.begin(), command.Name.end()) == typedName)
            completion.FileName = true;
    }
    return completion;
}

}  // namespace

LineCompletion CompleteLine(std::u16string_view before, std::u16string_view line, std::size_t caret)
{
    caret = std::min(caret, line.size());
    if (before.empty()) {
        std::size_t first = 0;
        while (first < line.size() && IsBlank(line[first]))
            ++first;
        if (first < line.size() && line[first] == u':')
            return CompleteCommand(line, caret);
    }
    std::u16string text(before);
    text += line;
    NCalculatorText::CTokenIndex index;
    const NCalculatorText::CompletionContext context =
        NCalculatorText::FindCompletionContext(text, before.size() + caret, index);
    LineCompletion completion;
    if (context.What == NCalculatorText::CompletionContext::Kind::None || context.Start < before.size())
        return completion;
    completion.Start = context.Start - before.size();
    completion.End = context.End - before.size();
    for (const auto& candidate : NCalculatorText::CompletionCandidates(context, NCalculatorText::State().CalcSettings,
                                                                       NCalculatorText::State().MemoryMap)) {
        completion.Names.push_back(candidate.Name);
        completion.Inserts.push_back(candidate.Insert);
    }
    return completion;
}

std::u16string CommonStart(const std::vector<std::u16string>& inserts)
{
    if (inserts.empty())
        return {};
    std::size_t length = inserts.front().size();
    for (const std::u16string& insert : inserts) {
        std::size_t same = 0;
        while (same < length && same < insert.size() && Lowered(insert[same]) == Lowered(inserts.front()[same]))
            ++same;
        length = same;
    }
    return inserts.front().substr(0, length);
}

}  // namespace Tevra::Cli
