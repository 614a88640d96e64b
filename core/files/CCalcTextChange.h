// The change a calculation made to a text, found as the longest head and
// tail both texts share: what lies between them changed. Plain C++, so that
// the editor and the document agree on it without widgets.
#pragma once

#include <cstddef>
#include <string_view>

struct CCalcTextChange {
    std::size_t Position = 0;  // where the change starts, in both texts
    std::size_t Removed = 0;   // code units of the old text that changed
    std::size_t Inserted = 0;  // code units of the new text in their place

    static CCalcTextChange Between(std::u16string_view before, std::u16string_view after);

    bool isEmpty() const { return Removed == 0 && Inserted == 0; }

    // Where position of before stands in after: unchanged in front of the
    // change and moved along behind it. Inside it, statements (counted by
    // ";" from the change's start) are matched, and within its statement the
    // position keeps its place in front of what changed there, moves along
    // behind it, and goes behind the new text when it stood inside it.
    std::size_t mapByStatement(std::u16string_view before, std::u16string_view after, std::size_t position) const;
};
