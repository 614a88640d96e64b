#include "core/engine/Scanner.h"
#include "core/engine/EngineState.h"

#include <algorithm>

namespace NCalculatorText {

namespace {

constexpr char16_t MinusSign = u'\u2212';

void AppendPlaceholder(std::u16string& text, std::size_t index)
{
    text.push_back(u'$');
    const std::string digits = std::to_string(index);
    text.append(digits.begin(), digits.end());
    text.push_back(u'$');
}

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// The digit test shared by number literals and factorial operands, on a copy
// whose sign has already been handled.
bool IsUnsignedNumberText(std::u16string copy)
{
    const std::size_t c = copy.find(u'e');
    const bool hasExponent = c != std::u16string::npos;
    if (hasExponent) {
        if (c + 1 == copy.size())
            return false;
        const char16_t next = copy[c + 1];
        if (next == u'+' || next == u'-' || next == MinusSign)
            copy.erase(c, 2);
        else
            copy.erase(c, 1);
    }
    const std::size_t d = copy.find(u'.');
    if (d != std::u16string::npos) {
        if (hasExponent && d >= c)
            return false;
        copy.erase(d, 1);
    }
    return !copy.empty() && std::all_of(copy.begin(), copy.end(), IsDigit);
}

// The group a text that is exactly one placeholder stands for.
bool LonePlaceholderIndex(std::u16string_view text, std::size_t& index)
{
    if (text.size() < 3 || text.front() != u'$')
        return false;
    const std::size_t second = text.find(u'$', 1);
    if (second != text.size() - 1 || second == 1)
        return false;
    index = 0;
    for (std::size_t i = 1; i < second; ++i) {
        if (!IsDigit(text[i]))
            return false;
        index = index * 10 + static_cast<std::size_t>(text[i] - u'0');
        if (index >= State().BracketTable.Size())
            return false;
    }
    return true;
}

}  // namespace

std::u16string_view TrimWideSpace(std::u16string_view text)
{
    std::size_t end = text.size();
    while (end > 0 && IsWideSpace(text[end - 1]))
        --end;
    std::size_t start = 0;
    while (start < end && IsWideSpace(text[start]))
        ++start;
    return text.substr(start, end - start);
}

bool NormalizeStatement(std::u16string& text)
{
    const std::u16string_view trimmed = TrimWideSpace(text);
    std::u16string result;
    result.reserve(trimmed.size());
    for (char16_t c : trimmed) {
        // U+FEFF, the byte order mark, is no character of the text: the file
        // reader drops it from UTF-16 files, and a statement drops it too, so
        // that a memory cell's name never holds one that its file would lose.
        if (c == u'\t' || c == u'\n' || c == u'\r' || c == u'\uFEFF')
            continue;
        if (c == u'[' || c == u'{')
            c = u'(';
        else if (c == u']' || c == u'}')
            c = u')';
        else if (c == u'$')
            return false;
        else if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
        result.push_back(c);
    }
    text = std::move(result);
    return true;
}

bool CBracketTable::Assign(std::u16string statement)
{
    Clear();
    if (statement.size() >= UINT32_MAX)
        return false;
    std::vector<std::uint32_t> open;  // indexes of the groups not closed yet
    for (std::size_t i = 0; i < statement.size(); ++i) {
        if (statement[i] == u'(') {
            open.push_back(static_cast<std::uint32_t>(groups_.size()));
            groups_.push_back({static_cast<std::uint32_t>(i), 0, 0});
        } else if (statement[i] == u')') {
            if (open.empty()) {
                groups_.clear();
                return false;
            }
            Group& group = groups_[open.back()];
            open.pop_back();
            group.Close = static_cast<std::uint32_t>(i);
            group.Next = static_cast<std::uint32_t>(groups_.size());
        }
    }
    if (!open.empty()) {
        groups_.clear();
        return false;
    }
    statement_ = std::move(statement);
    return true;
}

void CBracketTable::Clear()
{
    statement_.clear();
    groups_.clear();
}

std::u16string CBracketTable::Reduce(std::size_t begin, std::size_t end, std::size_t first) const
{
    // No reserve: the range may hold far more nested text than the result.
    std::u16string text;
    std::size_t group = first;
    for (std::size_t i = begin; i < end; ++i) {
        const char16_t c = statement_[i];
        if (c == u'(') {
            AppendPlaceholder(text, group);
            i = groups_[group].Close;
            group = groups_[group].Next;
        } else if (c != u' ') {
            text.push_back(c);
        }
    }
    return text;
}

std::u16string CBracketTable::ReducedStatement() const
{
    return Reduce(0, statement_.size(), 0);
}

std::u16string CBracketTable::ReducedContent(std::size_t index) const
{
    const Group& group = groups_[index];
    return Reduce(group.Open + 1, group.Close, index + 1);
}

std::u16string_view CBracketTable::Content(std::size_t index) const
{
    const Group& group = groups_[index];
    return std::u16string_view(statement_).substr(group.Open + 1, group.Close - group.Open - 1);
}

bool ExpandPlaceholder(std::u16string& text)
{
    std::size_t index = 0;
    if (!LonePlaceholderIndex(text, index))
        return false;
    text = State().BracketTable.Content(index);
    return true;
}

bool ExpandPlaceholderReduced(std::u16string& text)
{
    std::size_t index = 0;
    if (!LonePlaceholderIndex(text, index))
        return false;
    text = State().BracketTable.ReducedContent(index);
    return true;
}

bool IsInfixSign(std::u16string_view text, std::size_t position)
{
    if (position == 0)
        return false;
    return !(position >= 2 && text[position - 1] == u'e' &&
             (IsDigit(text[position - 2]) || text[position - 2] == u'.'));
}

int FindSignOperator(std::u16string_view text, bool plus)
{
    auto search = [text](char16_t candidate) {
        for (std::size_t p = text.size(); p-- > 0;) {
            if (text[p] == candidate && IsInfixSign(text, p))
                return static_cast<int>(p);
        }
        return -1;
    };
    if (plus)
        return search(u'+');
    const int position = search(u'-');
    return position != -1 ? position : search(MinusSign);
}

int FindLastOf(std::u16string_view text, std::u16string_view pattern)
{
    if (pattern.empty() || pattern.size() > text.size())
        return -1;
    const std::size_t position = text.rfind(pattern);
    return position == std::u16string_view::npos ? -1 : static_cast<int>(position);
}

bool IsNumberText(std::u16string_view text)
{
    if (text.empty())
        return false;
    std::u16string copy(text);
    if (copy.front() == u'+' || copy.front() == u'-' || copy.front() == MinusSign)
        copy.erase(0, 1);
    return IsUnsignedNumberText(std::move(copy));
}

bool IsFactorialOperand(std::u16string_view text)
{
    std::u16string copy(text);
    const bool removedPlus = !copy.empty() && copy.front() == u'+';
    if (removedPlus)
        copy.erase(0, 1);
    if (copy == u"pi" || copy == u"\u03C0" || copy == u"e" || copy == u"result" || copy == u"rslt")
        return true;
    if (!removedPlus && !copy.empty() && (copy.front() == u'-' || copy.front() == MinusSign))
        copy.erase(0, 1);
    return IsUnsignedNumberText(std::move(copy));
}

bool IsIdentifierText(std::u16string_view text)
{
    auto isLetter = [](char16_t c) { return c == u'_' || (c >= u'a' && c <= u'z'); };
    if (text.empty() || !isLetter(text.front()))
        return false;
    return std::all_of(text.begin(), text.end(), [&](char16_t c) { return isLetter(c) || IsDigit(c); });
}

}  // namespace NCalculatorText
