// The lexical layer of the string-splitting parser: normalisation of a
// statement, the bracket table with its "$n$" placeholders, the searches that
// find a splitting operator, and the literal and identifier tests. Positions
// count UTF-16 code units from 0.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace NCalculatorText {

// The bracket groups of the statement being parsed. The statement is kept once
// and every group is a range of it, paired when the statement is taken in, so
// that the table and every text made from it cost no more than a small
// multiple of the statement's length, however deep the brackets nest.
class CBracketTable final {
public:
    // Takes a normalised statement and pairs its brackets. False when they do
    // not pair up (a ")" before its "(" or a "(" never closed): no text with an
    // unpaired bracket can parse, as no recognizer accepts a bracket. Also
    // false for a statement whose positions do not fit 32 bits.
    bool Assign(std::u16string statement);
    void Clear();
    std::size_t Size() const { return groups_.size(); }

    // The statement as the recognizers see it: every top-level group replaced
    // by its placeholder "$n$", spaces removed.
    std::u16string ReducedStatement() const;
    // The content of group index seen the same way.
    std::u16string ReducedContent(std::size_t index) const;
    // The content of group index as written, spaces and inner brackets kept.
    std::u16string_view Content(std::size_t index) const;

private:
    struct Group {
        std::uint32_t Open;   // position of the "("
        std::uint32_t Close;  // position of the ")" that closes it
        std::uint32_t Next;   // index of the first group that opens after Close
    };

    // The range [begin, end) of the statement with the groups from first on
    // replaced; first must be the first group that opens at or after begin.
    std::u16string Reduce(std::size_t begin, std::size_t end, std::size_t first) const;

    std::u16string statement_;
    std::vector<Group> groups_;  // in the order of their "("
};

// Trims, drops TAB/LF/CR, turns "[" "{" "]" "}" into round brackets, lowers
// A-Z. False (text rejected) when the text contains "$".
bool NormalizeStatement(std::u16string& text);

// Replaces a text that is exactly one placeholder by its bracket content as
// written (a memory cell name).
bool ExpandPlaceholder(std::u16string& text);

// Replaces a text that is exactly one placeholder by its bracket content as
// the recognizers see it: a bare bracket parses like its content.
bool ExpandPlaceholderReduced(std::u16string& text);

// Position of the rightmost infix "+" (plus true) or "-" / U+2212 (plus
// false), skipping the signs of exponents; -1 when there is none. A "-"
// anywhere hides every U+2212: the latter is only looked for without the
// former.
int FindSignOperator(std::u16string_view text, bool plus);

// Whether the sign at position of text is an infix operator: not the first
// character and not the sign of an exponent ("1e-5", ".e+3").
bool IsInfixSign(std::u16string_view text, std::size_t position);

// Start of the last occurrence of pattern, or -1.
int FindLastOf(std::u16string_view text, std::u16string_view pattern);

bool IsNumberText(std::u16string_view text);
bool IsFactorialOperand(std::u16string_view text);
bool IsIdentifierText(std::u16string_view text);

// The characters the engine treats as blank around statements and results.
inline bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// The C library's wide white-space test in the "C" locale.
inline bool IsWideSpace(char16_t c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// text without the wide white space at either end.
std::u16string_view TrimWideSpace(std::u16string_view text);

}  // namespace NCalculatorText
