// Positions and stretches of the editor's text. A position counts UTF-16 code
// units from the start of the text (a character beyond the basic plane is
// two); a range runs from Start up to, not including, End. The engine's text
// functions count the same code units as std::size_t in a std::u16string_view:
// Tevra::ToU16View() (QtText.h), IndexOf() and PositionOf() cross over.
#pragma once

#include "desktop/services/QtText.h"

#include <QString>

#include <algorithm>
#include <cstddef>
#include <string_view>

// A position in the text; the text's own index type, spelled for what it is.
using CTextPosition = int;

struct CTextRange {
    CTextPosition Start = 0;
    CTextPosition End = 0;

    // The range between two positions given in either order (a selection's
    // anchor and caret).
    static constexpr CTextRange Between(CTextPosition a, CTextPosition b) { return {std::min(a, b), std::max(a, b)}; }
    // The range of length code units from start.
    static constexpr CTextRange Span(CTextPosition start, int length) { return {start, start + length}; }

    constexpr int length() const { return End - Start; }
    constexpr bool isEmpty() const { return Start == End; }
    // True for the positions from Start to End, both ends included (where a
    // caret stands at or in the range).
    constexpr bool touches(CTextPosition position) const { return position >= Start && position <= End; }
    // True for the positions strictly inside the range.
    constexpr bool surrounds(CTextPosition position) const { return position > Start && position < End; }
    // The range kept within a text of size code units.
    constexpr CTextRange clampedTo(int size) const
    {
        const CTextPosition start = std::clamp(Start, 0, size);
        return {start, std::clamp(End, start, size)};
    }
    // The same range moved by offset.
    constexpr CTextRange movedBy(int offset) const { return {Start + offset, End + offset}; }

    friend constexpr bool operator==(const CTextRange&, const CTextRange&) = default;
};

// The size of a text (or of a piece inserted into it) as a position count.
inline int TextLength(const QString& text)
{
    return static_cast<int>(text.size());
}

// The part of text in range.
inline QString TextIn(const QString& text, CTextRange range)
{
    return text.mid(range.Start, range.length());
}

// A position as the engine counts it (a negative one is the text's start),
// and back.
constexpr std::size_t IndexOf(CTextPosition position)
{
    return position < 0 ? 0 : static_cast<std::size_t>(position);
}
constexpr CTextPosition PositionOf(std::size_t index)
{
    return static_cast<CTextPosition>(index);
}
