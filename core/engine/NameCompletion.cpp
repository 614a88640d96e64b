#include "core/engine/NameCompletion.h"

#include "core/settings/CalcSettings.h"
#include "core/engine/LanguageNames.h"
#include "core/memory/MemoryMap.h"

#include <algorithm>
#include <array>

namespace NCalculatorText {

namespace {

char16_t Lowered(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

char16_t Raised(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

std::u16string Lowered(std::u16string_view text)
{
    std::u16string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), [](char16_t c) { return Lowered(c); });
    return lowered;
}

bool StartsWithLowered(std::u16string_view name, std::u16string_view loweredPrefix)
{
    if (name.size() < loweredPrefix.size())
        return false;
    for (std::size_t i = 0; i < loweredPrefix.size(); ++i) {
        if (Lowered(name[i]) != loweredPrefix[i])
            return false;
    }
    return true;
}

bool IsAsciiWord(std::u16string_view name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char16_t c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
    });
}

bool IsOpening(char16_t c)
{
    return c == u'(' || c == u'[' || c == u'{';
}

bool IsClosing(char16_t c)
{
    return c == u')' || c == u']' || c == u'}';
}

bool IsBlankOrBreak(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

char16_t ClosingOf(char16_t open)
{
    switch (open) {
    case u'(':
        return u')';
    case u'{':
        return u'}';
    default:
        return u']';
    }
}

// The spelling of a keyword by its Format preference, or the same style in
// the other length ("Mem" and "Memory", "rslt" and "result") when only that
// one matches what is typed.
void AddKeyword(std::vector<CompletionCandidate>& candidates, const std::array<std::u16string_view, 6>& spellings,
                std::uint32_t format, std::u16string_view loweredPrefix, CompletionCandidate::Kind kind,
                std::u16string_view bracket)
{
    const std::size_t chosen = format < spellings.size() ? format : 0;
    for (const std::size_t index : {chosen, (chosen + 3) % spellings.size()}) {
        if (StartsWithLowered(spellings[index], loweredPrefix)) {
            const std::u16string name(spellings[index]);
            candidates.push_back({kind, name, name + std::u16string(bracket)});
            return;
        }
    }
}

std::vector<CompletionCandidate> NameCandidates(const CompletionContext& context, const Tevra::CCalcSettings& settings)
{
    std::vector<CompletionCandidate> candidates;
    const std::u16string prefix = Lowered(context.Prefix);
    if (prefix.empty())
        return candidates;
    const std::u16string_view functionBracket = context.BracketFollows ? u"" : settings.FunctionBracket();
    for (const std::u16string_view spelling : FunctionNameSpellings()) {
        if (!IsAsciiWord(spelling) || !StartsWithLowered(spelling, prefix))
            continue;
        std::u16string name(spelling);
        if (settings.NotationCase == 1)
            std::transform(name.begin(), name.end(), name.begin(), [](char16_t c) { return Raised(c); });
        candidates.push_back({CompletionCandidate::Kind::Function, name, name + std::u16string(functionBracket)});
    }
    AddKeyword(candidates, Tevra::MemoryKeywords, settings.FormatMemory, prefix,
               CompletionCandidate::Kind::MemoryKeyword, context.BracketFollows ? u"" : settings.MemoryBracket());
    AddKeyword(candidates, Tevra::ResultKeywords, settings.FormatResult, prefix, CompletionCandidate::Kind::Keyword,
               u"");
    AddKeyword(candidates, Tevra::RandomKeywords, settings.FormatRandom, prefix, CompletionCandidate::Kind::Keyword,
               u"");
    for (const std::u16string_view constant : {std::u16string_view(u"pi"), std::u16string_view(u"e")}) {
        if (StartsWithLowered(constant, prefix))
            candidates.push_back(
                {CompletionCandidate::Kind::Keyword, std::u16string(constant), std::u16string(constant)});
    }
    std::stable_sort(
        candidates.begin(), candidates.end(),
        [](const CompletionCandidate& a, const CompletionCandidate& b) { return Lowered(a.Name) < Lowered(b.Name); });
    candidates.erase(std::unique(candidates.begin(), candidates.end(),
                                 [](const CompletionCandidate& a, const CompletionCandidate& b) {
                                     return Lowered(a.Name) == Lowered(b.Name);
                                 }),
                     candidates.end());
    return candidates;
}

std::vector<CompletionCandidate> CellCandidates(const CompletionContext& context, const Tevra::CMemoryMap& memory,
                                                std::size_t most)
{
    std::vector<CompletionCandidate> candidates;
    const std::u16string prefix = Lowered(context.Prefix);
    const std::u16string closing = context.Closed ? std::u16string() : std::u16string(1, context.CloseBracket);
    // The map keeps its names in order, so the list comes out sorted.
    for (const auto& [name, cell] : memory) {
        if (candidates.size() >= most)
            break;
        if (StartsWithLowered(name, prefix))
            candidates.push_back({CompletionCandidate::Kind::MemoryCell, name, name + closing});
    }
    return candidates;
}

}  // namespace

CompletionContext FindCompletionContext(std::u16string_view text, std::size_t caret, CTokenIndex& index)
{
    CompletionContext context;
    caret = std::min(caret, text.size());
    const TokenScanPoint point = index.pointAt(text, caret);
    if (point.Position == caret && point.State.In == TokenScanState::Mode::MemoryName) {
        std::size_t start = std::min(point.State.NameStart, caret);
        while (start < caret && IsBlankOrBreak(text[start]))
            ++start;
        std::size_t end = caret;
        while (end < text.size() && !IsBlankOrBreak(text[end]) && !IsOpening(text[end]) && !IsClosing(text[end]) &&
               text[end] != u';')
            ++end;
        context.What = CompletionContext::Kind::MemoryCell;
        context.Start = start;
        context.End = end;
        context.Prefix = std::u16string(text.substr(start, caret - start));
        context.CloseBracket = ClosingOf(point.State.NameOpen);
        context.Closed = end < text.size() && IsClosing(text[end]);
        return context;
    }
    if (caret == 0)
        return context;
    for (const TextToken& token : index.tokens(text, caret - 1, std::min(caret + 1, text.size()))) {
        const bool word =
            token.Kind == TokenKind::Function || token.Kind == TokenKind::Keyword || token.Kind == TokenKind::Name;
        if (!word || token.Start >= caret || token.End() < caret || !IsAsciiWord(text.substr(token.Start, 1)) ||
            (text[token.Start] >= u'0' && text[token.Start] <= u'9'))
            continue;
        context.What = CompletionContext::Kind::Name;
        context.Start = token.Start;
        context.End = token.End();
        context.Prefix = std::u16string(text.substr(token.Start, caret - token.Start));
        context.BracketFollows = context.End < text.size() && IsOpening(text[context.End]);
        return context;
    }
    return context;
}

std::vector<CompletionCandidate> CompletionCandidates(const CompletionContext& context,
                                                      const Tevra::CCalcSettings& settings,
                                                      const Tevra::CMemoryMap& memory, std::size_t most)
{
    switch (context.What) {
    case CompletionContext::Kind::Name: {
        std::vector<CompletionCandidate> candidates = NameCandidates(context, settings);
        if (candidates.size() > most)
            candidates.resize(most);
        return candidates;
    }
    case CompletionContext::Kind::MemoryCell:
        return CellCandidates(context, memory, most);
    case CompletionContext::Kind::None:
        break;
    }
    return {};
}

}  // namespace NCalculatorText
