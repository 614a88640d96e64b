#include "engine/Scanner.h"

#include <algorithm>

namespace NCalculatorText {

namespace {

constexpr char16_t MinusSign = u'\u2212';

std::u16string Placeholder(std::size_t index)
{
    std::u16string text = u"$";
    const std::string digits = std::to_string(index);
    text.append(digits.begin(), digits.end());
    text.push_back(u'$');
    return text;
}

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Position of the bracket that closes the one at open, or npos.
std::size_t MatchingClose(std::u16string_view text, std::size_t open)
{
    int level = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        if (text[i] == u'(')
            ++level;
        else if (text[i] == u')' && --level == 0)
            return i;
    }
    return std::u16string_view::npos;
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
        if (c == u'\t' || c == u'\n' || c == u'\r')
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

bool ReduceBrackets(std::u16string& text)
{
    const std::size_t open = text.find(u'(');
    if (open == std::u16string::npos)
        return false;
    const std::size_t firstClose = text.find(u')');
    if (firstClose == std::u16string::npos || firstClose < open)
        return false;
    const std::size_t close = MatchingClose(text, open);
    if (close == std::u16string::npos)
        return false;
    BracketTable.push_back(text.substr(open + 1, close - open - 1));
    text.replace(open, close - open + 1, Placeholder(BracketTable.size() - 1));
    return true;
}

void ReduceAllBrackets(std::u16string& text)
{
    // After a group is replaced, the text before its placeholder holds no
    // bracket at all, so each further step only looks behind the last group.
    std::u16string result;
    std::size_t position = 0;
    bool changed = false;
    while (true) {
        const std::size_t open = text.find(u'(', position);
        const std::size_t firstClose = text.find(u')', position);
        if (open == std::u16string::npos || firstClose == std::u16string::npos || firstClose < open)
            break;
        const std::size_t close = MatchingClose(text, open);
        if (close == std::u16string::npos)
            break;
        BracketTable.push_back(text.substr(open + 1, close - open - 1));
        result.append(text, position, open - position);
        result += Placeholder(BracketTable.size() - 1);
        position = close + 1;
        changed = true;
    }
    if (!changed)
        return;
    result.append(text, position, std::u16string::npos);
    text = std::move(result);
}

bool ExpandPlaceholder(std::u16string& text)
{
    if (text.size() < 3 || text.front() != u'$')
        return false;
    const std::size_t second = text.find(u'$', 1);
    if (second != text.size() - 1)
        return false;
    std::size_t index = 0;
    for (std::size_t i = 1; i < second; ++i) {
        if (!IsDigit(text[i]))
            return false;
        index = index * 10 + static_cast<std::size_t>(text[i] - u'0');
        if (index >= BracketTable.size())
            return false;
    }
    if (second == 1 || index >= BracketTable.size())
        return false;
    text = BracketTable[index];
    return true;
}

int FindSignOperator(std::u16string_view text, bool plus)
{
    auto search = [text](char16_t candidate) {
        for (std::size_t p = text.size(); p-- > 0;) {
            if (text[p] != candidate)
                continue;
            if (p == 0)
                return -1;
            if (p >= 2 && text[p - 1] == u'e' && (IsDigit(text[p - 2]) || text[p - 2] == u'.'))
                continue;
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
