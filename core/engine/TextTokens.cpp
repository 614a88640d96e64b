#include "core/engine/TextTokens.h"

#include "core/engine/LanguageNames.h"

#include <algorithm>
#include <string>
#include <unordered_set>
#include <utility>

namespace NCalculatorText {

namespace {

constexpr char16_t MinusSign = u'\u2212';

struct NameSets {
    std::unordered_set<std::u16string_view> Functions;
    std::unordered_set<std::u16string_view> Keywords;
    std::unordered_set<std::u16string_view> MemoryKeywords;
};

const NameSets& Names()
{
    static const NameSets sets = [] {
        NameSets made;
        for (const std::u16string_view name : FunctionNameSpellings())
            made.Functions.insert(name);
        for (const std::u16string_view name : KeywordSpellings())
            made.Keywords.insert(name);
        for (const std::u16string_view name : MemoryKeywordSpellings())
            made.MemoryKeywords.insert(name);
        return made;
    }();
    return sets;
}

bool IsAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool IsOpening(char16_t c)
{
    return c == u'(' || c == u'[' || c == u'{';
}

bool IsClosing(char16_t c)
{
    return c == u')' || c == u']' || c == u'}';
}

bool IsSpace(char16_t c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r') || c == 0x00A0 || c == 0x3000 || (c >= 0x2000 && c <= 0x200A) ||
        c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0xFEFF;
}

bool IsOperator(char16_t c)
{
    static constexpr std::u16string_view Operators = u"+-*/^!,\u2212\u00D7\u00F7";
    return Operators.find(c) != std::u16string_view::npos;
}

// How a word reads, its letters lowered as a calculation lowers them.
TokenKind WordKind(std::u16string_view word, bool& memoryKeyword)
{
    memoryKeyword = false;
    if (word.size() > 8)
        return TokenKind::Name;  // no name of the language is longer
    std::u16string lowered(word);
    for (char16_t& c : lowered) {
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    }
    const NameSets& names = Names();
    if (names.MemoryKeywords.contains(lowered)) {
        memoryKeyword = true;
        return TokenKind::Keyword;
    }
    if (names.Functions.contains(lowered))
        return TokenKind::Function;
    if (names.Keywords.contains(lowered))
        return TokenKind::Keyword;
    return TokenKind::Name;
}

// The signs that are names on their own.
std::optional<TokenKind> SignKind(char16_t c)
{
    switch (c) {
    case u'\u03C0':
        return TokenKind::Keyword;
    case u'\u221A':
    case u'\u0393':
    case u'\u2211':
    case u'\u220F':
        return TokenKind::Function;
    default:
        return std::nullopt;
    }
}

// The length of the number at start: digits and points, then an exponent
// when digits follow the "e".
std::size_t NumberLength(std::u16string_view text, std::size_t start)
{
    std::size_t end = start;
    while (end < text.size() && (IsDigit(text[end]) || text[end] == u'.'))
        ++end;
    if (end < text.size() && (text[end] == u'e' || text[end] == u'E')) {
        std::size_t digits = end + 1;
        if (digits < text.size() && (text[digits] == u'+' || text[digits] == u'-' || text[digits] == MinusSign))
            ++digits;
        if (digits < text.size() && IsDigit(text[digits])) {
            end = digits;
            while (end < text.size() && IsDigit(text[end]))
                ++end;
        }
    }
    return end - start;
}

class CScanner {
public:
    CScanner(std::u16string_view text, TokenScanPoint from, std::size_t to, std::vector<TextToken>* tokens)
        : text_(text), position_(std::min(from.Position, text.size())), state_(from.State),
          to_(std::min(to, text.size())), tokens_(tokens)
    {
    }

    TokenScanPoint run()
    {
        while (position_ < to_) {
            switch (state_.In) {
            case TokenScanState::Mode::LineComment:
                lineComment();
                break;
            case TokenScanState::Mode::BlockComment:
                blockComment(position_);
                break;
            case TokenScanState::Mode::MemoryName:
                memoryName();
                break;
            case TokenScanState::Mode::Code:
                code();
                break;
            }
        }
        return {position_, state_};
    }

private:
    void emit(std::size_t start, std::size_t length, TokenKind kind)
    {
        if (tokens_ != nullptr && length > 0)
            tokens_->push_back({start, length, kind});
    }

    // A code token: in a written result it reads as part of the result.
    void emitCode(std::size_t start, std::size_t length, TokenKind kind)
    {
        emit(start, length, state_.AfterEquals ? TokenKind::Result : kind);
    }

    void lineComment()
    {
        const std::size_t lineFeed = text_.find(u'\n', position_);
        const std::size_t end = std::min(lineFeed == std::u16string_view::npos ? text_.size() : lineFeed, to_);
        emit(position_, end - position_, TokenKind::Comment);
        position_ = end;
        if (end == lineFeed)
            state_.In = TokenScanState::Mode::Code;
    }

    // Reads a block comment from position_ on, looking for its "*/" from
    // searchFrom: a comment that opens with "/*/" is already closed.
    void blockComment(std::size_t searchFrom)
    {
        const std::size_t limit = std::min(text_.size(), to_ + 1);
        std::size_t close = std::u16string_view::npos;
        if (searchFrom + 1 < limit) {
            const std::size_t found = text_.substr(0, limit).find(u"*/", searchFrom);
            close = found;
        }
        if (close == std::u16string_view::npos) {
            const std::size_t end = std::max(to_, position_);
            emit(position_, end - position_, TokenKind::Comment);
            position_ = end;
            state_.In = TokenScanState::Mode::BlockComment;
            return;
        }
        emit(position_, close + 2 - position_, TokenKind::Comment);
        position_ = close + 2;
        state_.In = TokenScanState::Mode::Code;
    }

    void memoryName()
    {
        std::size_t i = position_;
        while (i < to_) {
            const char16_t c = text_[i];
            if (c == u';' || (c == u'/' && i + 1 < text_.size() && (text_[i + 1] == u'/' || text_[i + 1] == u'*')))
                break;
            if (IsOpening(c)) {
                ++state_.NameDepth;
            } else if (IsClosing(c)) {
                if (state_.NameDepth == 0)
                    break;
                --state_.NameDepth;
            }
            ++i;
        }
        emit(position_, i - position_, TokenKind::MemoryName);
        position_ = i;
        if (i < to_) {
            // The name ended: at its closing bracket, a ";" or a comment.
            state_.In = TokenScanState::Mode::Code;
            state_.NameDepth = 0;
            if (i < text_.size() && IsClosing(text_[i])) {
                emitCode(i, 1, TokenKind::Bracket);
                position_ = i + 1;
            }
        }
    }

    void code()
    {
        const char16_t c = text_[position_];
        if (IsSpace(c)) {
            ++position_;
            return;
        }
        const bool expectedBracket = std::exchange(state_.ExpectMemoryBracket, false);
        const char16_t next = position_ + 1 < text_.size() ? text_[position_ + 1] : u'\0';
        if (c == u'/' && next == u'/') {
            state_.ExpectMemoryBracket = expectedBracket;  // a comment is blank
            state_.In = TokenScanState::Mode::LineComment;
            lineComment();
            return;
        }
        if (c == u'/' && next == u'*') {
            state_.ExpectMemoryBracket = expectedBracket;
            blockComment(position_ + 1);
            return;
        }
        const std::size_t start = position_;
        if (c == u';') {
            state_.AfterEquals = false;
            emit(start, 1, TokenKind::Separator);
            ++position_;
            return;
        }
        if (c == u'=') {
            state_.AfterEquals = true;
            emit(start, 1, TokenKind::Result);
            ++position_;
            return;
        }
        if (IsOpening(c) || IsClosing(c)) {
            emitCode(start, 1, TokenKind::Bracket);
            ++position_;
            if (expectedBracket && IsOpening(c) && !state_.AfterEquals) {
                state_.In = TokenScanState::Mode::MemoryName;
                state_.NameDepth = 0;
                state_.NameStart = position_;
                state_.NameOpen = c;
            }
            return;
        }
        if (IsDigit(c) || c == u'.') {
            const std::size_t length = std::min(NumberLength(text_, start), LongestToken);
            emitCode(start, length, TokenKind::Number);
            position_ += length;
            return;
        }
        if (IsAsciiLetter(c)) {
            std::size_t end = start + 1;
            while (end < text_.size() && end - start < LongestToken &&
                   (IsAsciiLetter(text_[end]) || IsDigit(text_[end])))
                ++end;
            bool memoryKeyword = false;
            const TokenKind kind = WordKind(text_.substr(start, end - start), memoryKeyword);
            emitCode(start, end - start, kind);
            state_.ExpectMemoryBracket = memoryKeyword && !state_.AfterEquals;
            position_ = end;
            return;
        }
        if ((c == u'-' || c == MinusSign) && next == u'>') {
            emitCode(start, 2, TokenKind::Operator);
            position_ += 2;
            return;
        }
        if (IsOperator(c)) {
            emitCode(start, 1, TokenKind::Operator);
            ++position_;
            return;
        }
        if (const auto kind = SignKind(c)) {
            emitCode(start, 1, *kind);
            ++position_;
            return;
        }
        ++position_;  // anything else is plain text
    }

    std::u16string_view text_;
    std::size_t position_;
    TokenScanState state_;
    std::size_t to_;
    std::vector<TextToken>* tokens_;
};

}  // namespace

TokenScanPoint ScanTokens(std::u16string_view text, TokenScanPoint from, std::size_t to, std::vector<TextToken>* tokens)
{
    return CScanner(text, from, to, tokens).run();
}

std::vector<TextToken> TokensOf(std::u16string_view text)
{
    std::vector<TextToken> tokens;
    ScanTokens(text, {}, text.size(), &tokens);
    return tokens;
}

void CTokenIndex::textChanged(std::size_t position, std::size_t /*removed*/, std::size_t /*added*/)
{
    // A token ending at a point may have looked a few characters ahead of
    // it (an exponent's "e+5", an arrow's ">"), so points that close to the
    // change go too.
    constexpr std::size_t LookAhead = 4;
    const auto firstStale = std::find_if(points_.begin() + 1, points_.end(), [position](const TokenScanPoint& point) {
        return point.Position + LookAhead > position;
    });
    points_.erase(firstStale, points_.end());
}

void CTokenIndex::clear()
{
    points_.assign(1, TokenScanPoint{});
}

TokenScanPoint CTokenIndex::nearestPoint(std::u16string_view text, std::size_t position)
{
    position = std::min(position, text.size());
    while (points_.back().Position + Spacing <= position) {
        const TokenScanPoint& last = points_.back();
        const TokenScanPoint next = ScanTokens(text, last, last.Position + Spacing, nullptr);
        if (next.Position <= last.Position)
            break;
        points_.push_back(next);
    }
    const auto after = std::upper_bound(points_.begin(), points_.end(), position,
                                        [](std::size_t p, const TokenScanPoint& point) { return p < point.Position; });
    return *(after - 1);
}

std::vector<TextToken> CTokenIndex::tokens(std::u16string_view text, std::size_t from, std::size_t to)
{
    std::vector<TextToken> scanned;
    const TokenScanPoint start = nearestPoint(text, from);
    ScanTokens(text, start, std::max(to, from), &scanned);
    std::vector<TextToken> overlapping;
    for (const TextToken& token : scanned) {
        if (token.End() > from && token.Start < to)
            overlapping.push_back(token);
    }
    return overlapping;
}

TokenScanPoint CTokenIndex::pointAt(std::u16string_view text, std::size_t position)
{
    return ScanTokens(text, nearestPoint(text, position), std::min(position, text.size()), nullptr);
}

std::optional<BracketPair> MatchingBracket(std::u16string_view text, std::size_t position, CTokenIndex& index,
                                           std::size_t limit)
{
    // The bracket at the caret, else the one before it.
    const std::size_t from = position > 0 ? position - 1 : 0;
    const std::vector<TextToken> near = index.tokens(text, from, std::min(position + 1, text.size()));
    const TextToken* bracket = nullptr;
    for (const TextToken& token : near) {
        if (token.Kind != TokenKind::Bracket)
            continue;
        if (token.Start == position)
            bracket = &token;
        else if (token.Start + 1 == position && bracket == nullptr)
            bracket = &token;
    }
    if (bracket == nullptr)
        return std::nullopt;
    const std::size_t at = bracket->Start;
    if (IsOpening(text[at])) {
        const std::vector<TextToken> after = index.tokens(text, at, std::min(text.size(), at + limit));
        std::size_t depth = 0;
        for (const TextToken& token : after) {
            if (token.Start < at)
                continue;
            if (token.Kind == TokenKind::Separator)
                break;
            if (token.Kind != TokenKind::Bracket)
                continue;
            if (IsOpening(text[token.Start])) {
                ++depth;
            } else if (--depth == 0) {
                return BracketPair{at, token.Start};
            }
        }
        return std::nullopt;
    }
    const std::vector<TextToken> before = index.tokens(text, at > limit ? at - limit : 0, at + 1);
    std::vector<std::size_t> open;
    for (const TextToken& token : before) {
        if (token.Start >= at)
            break;
        if (token.Kind == TokenKind::Separator) {
            open.clear();
        } else if (token.Kind == TokenKind::Bracket) {
            if (IsOpening(text[token.Start]))
                open.push_back(token.Start);
            else if (!open.empty())
                open.pop_back();
        }
    }
    if (open.empty())
        return std::nullopt;
    return BracketPair{at, open.back()};
}

}  // namespace NCalculatorText
