// The lexical layer of the string-splitting parser: normalisation of a
// statement, the bracket table with its "$n$" placeholders, the searches that
// find a splitting operator, and the literal and identifier tests. Positions
// count UTF-16 code units from 0.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace NCalculatorText {

// Contents of the bracket groups taken out of the statement being parsed,
// addressed by their placeholders. Cleared at the start of every statement.
inline std::vector<std::u16string> BracketTable;

// Trims, drops TAB/LF/CR, turns "[" "{" "]" "}" into round brackets, lowers
// A-Z. False (text rejected) when the text contains "$".
bool NormalizeStatement(std::u16string& text);

// Replaces the first top-level bracket group by its placeholder. False when
// no group was replaced.
bool ReduceBrackets(std::u16string& text);

// Replaces every top-level bracket group, left to right; the same result as
// calling ReduceBrackets until it returns false, in one pass.
void ReduceAllBrackets(std::u16string& text);

// Replaces a text that is exactly one placeholder by its bracket content.
bool ExpandPlaceholder(std::u16string& text);

// Position of the rightmost infix "+" (plus true) or "-" / U+2212 (plus
// false), skipping the signs of exponents; -1 when there is none.
int FindSignOperator(std::u16string_view text, bool plus);

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
