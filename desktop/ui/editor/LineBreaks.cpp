#include "desktop/ui/editor/LineBreaks.h"

#include <QTextBoundaryFinder>

#include <array>
#include <string_view>

namespace Tevra {

namespace {

// Symbols of two characters that read as one.
constexpr std::array<std::u16string_view, 11> Digraphs{u"->", u"//", u"/*", u"*/", u"<=", u">=",
                                                       u"!=", u"==", u"<>", u"&&", u"||"};

// A letter, digit or "_": part of a name or a number.
bool IsNameCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c.isMark();
}

bool IsDigitOrPoint(QChar c)
{
    return (c >= u'0' && c <= u'9') || c == u'.';
}

bool IsSign(QChar c)
{
    return c == u'+' || c == u'-' || c == QChar(0x2212);
}

// Characters behind which a line may break when an operand follows.
bool IsBreakAfter(QChar c)
{
    static constexpr std::u16string_view Characters = u";,=+-*/^%<>&|)]}\u2212\u00d7\u00f7";
    return Characters.find(c.unicode()) != std::u16string_view::npos;
}

// Characters that never start a line: they belong to what stands before them.
bool IsNoBreakBefore(QChar c)
{
    static constexpr std::u16string_view Characters = u";,)]}!=";
    return Characters.find(c.unicode()) != std::u16string_view::npos;
}

bool IsClosingBracket(QChar c)
{
    return c == u')' || c == u']' || c == u'}';
}

// True when a comment's "//" or "/*" starts at text[at].
bool IsCommentStart(QStringView text, qsizetype at)
{
    return at + 1 < text.size() && text[at] == u'/' && (text[at + 1] == u'/' || text[at + 1] == u'*');
}

// The end of an operand: a sign behind it is a binary operator.
bool EndsOperand(QChar c)
{
    return IsNameCharacter(c) || c == u')' || c == u']' || c == u'}' || c == u'!' || c == u'.';
}

// True when text[at] is the sign of a number's exponent ("1.5e+3", "2.e-7").
bool IsExponentSign(QStringView text, qsizetype at)
{
    return at >= 2 && IsSign(text[at]) && (text[at - 1] == u'e' || text[at - 1] == u'E') &&
        IsDigitOrPoint(text[at - 2]) && at + 1 < text.size() && text[at + 1].isDigit();
}

bool IsDigraphAt(QStringView text, qsizetype at)
{
    for (std::u16string_view digraph : Digraphs) {
        if (text[at - 1].unicode() == digraph[0] && text[at].unicode() == digraph[1])
            return true;
    }
    return false;
}

// The sign before at is a binary operator: an operand ends right before it.
bool FollowsOperand(QStringView text, qsizetype sign)
{
    return sign > 0 && EndsOperand(text[sign - 1]);
}

}  // namespace

std::vector<bool> LineBreakOpportunities(QStringView text)
{
    const qsizetype size = text.size();
    std::vector<bool> breaks(static_cast<std::size_t>(size) + 1, false);
    breaks.front() = true;
    breaks.back() = true;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, text.data(), size);
    for (qsizetype at = finder.toNextBoundary(); at > 0 && at < size; at = finder.toNextBoundary())
        breaks[static_cast<std::size_t>(at)] = true;
    for (qsizetype at = 1; at < size; ++at) {
        const QChar before = text[at - 1];
        const QChar after = text[at];
        bool allowed = breaks[static_cast<std::size_t>(at)];
        // Behind a separator, an operator or a closing bracket, when an
        // operand or an opening bracket follows; a sign in front of an
        // operand is part of it.
        if (IsBreakAfter(before) && (IsNameCharacter(after) || after == u'(' || after == u'.')) {
            if (!IsSign(before) || FollowsOperand(text, at - 1))
                allowed = true;
        }
        // Behind a separator or an operator a signed operand may start the
        // next line.
        if (IsBreakAfter(before) && !IsSign(before) && !IsClosingBracket(before) && IsSign(after))
            allowed = true;
        // Blanks are left out of a statement, so "1 000" is one number.
        if (before.isSpace() && after.isDigit()) {
            qsizetype blank = at - 1;
            while (blank > 0 && text[blank - 1].isSpace() && text[blank - 1] != u'\n')
                --blank;
            if (blank > 0 && IsDigitOrPoint(text[blank - 1]))
                allowed = false;
        }
        // An operator stays on the line of its left operand.
        if (IsBreakAfter(after) && (!IsSign(after) || FollowsOperand(text, at)) && !before.isSpace())
            allowed = false;
        // A comment may start the next line, its marks whole.
        if (IsCommentStart(text, at) && before != u'/' && before != u'*')
            allowed = true;
        if (at >= 2 && IsCommentStart(text, at - 2))
            allowed = false;
        if (IsNameCharacter(before) && IsNameCharacter(after))
            allowed = false;  // a name or a number stays whole
        if (IsDigitOrPoint(before) && IsDigitOrPoint(after))
            allowed = false;
        if (IsExponentSign(text, at) || IsExponentSign(text, at - 1))
            allowed = false;
        if (IsDigraphAt(text, at) || IsNoBreakBefore(after) || after.isSpace())
            allowed = false;
        if (before == u'(' || before == u'[' || before == u'{')
            allowed = false;
        // A sign in front of an operand stays with it.
        if (IsSign(before) && !FollowsOperand(text, at - 1) && !after.isSpace())
            allowed = false;
        breaks[static_cast<std::size_t>(at)] = allowed;
    }
    return breaks;
}

}  // namespace Tevra
