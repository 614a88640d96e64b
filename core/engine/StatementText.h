// How the statement loop reads a statement of the working copy (the text with
// its comments blanked): where its old "=" and result lie, which statement a
// caret belongs to, and the part of it that is more than blanks. Shared by
// the engine entry and the preview, so that both choose the same statement.
#pragma once

#include <cstddef>
#include <string_view>

namespace NCalculatorText {

// A stretch of the working copy: its start and length, in UTF-16 code units.
struct StatementRange {
    std::size_t Start = 0;
    std::size_t Length = 0;
};

// Where the old "=" and result of a statement lie and where the new ones go:
// the expression is the first ResultMark characters; the value is written
// ValueOffset characters into the statement.
struct ResultPlace {
    std::size_t ResultMark = 0;
    std::size_t ValueOffset = 0;
};

// False for a blank statement, which is skipped.
bool FindResultPlace(std::u16string_view statement, ResultPlace& place);

// The statement a caret belongs to, as the statement loop chooses it: the
// first one whose start through end (both included) holds the caret. False
// when the caret stands between two separators or in a text without
// statements. Looks only at the statement's own stretch of the text.
bool FindStatementAt(std::u16string_view work, std::size_t caret, StatementRange& statement);

// The statement without the blanks at either end; comments are blank in the
// working copy, so they are left out too. Empty (at the statement's start)
// for a blank statement.
StatementRange TrimmedStatement(std::u16string_view work, StatementRange statement);

}  // namespace NCalculatorText
