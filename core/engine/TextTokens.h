// The pieces of a calculation text as a reader sees them: numbers, function
// names, keywords, memory cell names, operators, brackets, comments and the
// results written behind "=". For the editor's colours, its bracket matching
// and its name completion; the calculation itself never uses it.
//
// The scan reads the text from any point whose state it knows, so that only
// what is on the screen need be read. CTokenIndex keeps such points every few
// hundred characters, made as far as the text has been read, and forgets
// those an edit may have changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace NCalculatorText {

enum class TokenKind : std::uint8_t {
    Number,      // "12", "1.5e-3"
    Function,    // a function name or sign ("sin", "tg", "√", "∑")
    Keyword,     // "pi", "π", "e", the result, random and memory keywords
    MemoryName,  // the name between the brackets of a memory keyword
    Name,        // any other word: an index variable, or a misspelt name
    Operator,    // "+", "-", "*", "×", "/", "÷", "^", "!", ",", "->"
    Bracket,     // "(", ")", "[", "]", "{", "}"
    Separator,   // ";"
    Comment,     // "// ..." and "/* ... */"
    Result,      // the "=" of a statement and what follows it
};

struct TextToken {
    std::size_t Start = 0;
    std::size_t Length = 0;
    TokenKind Kind = TokenKind::Number;

    std::size_t End() const { return Start + Length; }
    friend bool operator==(const TextToken&, const TextToken&) = default;
};

// What the scan knows at a point between two tokens about the text before it.
struct TokenScanState {
    enum class Mode : std::uint8_t { Code, LineComment, BlockComment, MemoryName };
    Mode In = Mode::Code;
    // Behind a statement's "=": the rest up to ";" is its written result.
    bool AfterEquals = false;
    // A memory keyword was the last token: a bracket opens its cell name.
    bool ExpectMemoryBracket = false;
    // Inside a memory name: brackets opened within it, where it began and
    // the bracket that opened it.
    std::uint32_t NameDepth = 0;
    std::size_t NameStart = 0;
    char16_t NameOpen = u'[';

    friend bool operator==(const TokenScanState&, const TokenScanState&) = default;
};

struct TokenScanPoint {
    std::size_t Position = 0;
    TokenScanState State;
};

// A word or number longer than this is read as several, so that no token is
// longer than this or a comment's piece of the range read.
inline constexpr std::size_t LongestToken = 256;

// Reads the tokens from from.Position on, while they start before to, and
// appends them to tokens when it is given. Returns the point behind the last
// token read: at or behind to, or the end of the text. Comments and memory
// names are read in pieces that end at to.
TokenScanPoint ScanTokens(std::u16string_view text, TokenScanPoint from, std::size_t to,
                          std::vector<TextToken>* tokens);

// The tokens of a whole text, for tests and small texts.
std::vector<TextToken> TokensOf(std::u16string_view text);

// Scan points through a text, kept across edits. The text is passed on every
// call; it must be the text the index was told about through textChanged.
class CTokenIndex final {
public:
    // Distance between the points kept.
    static constexpr std::size_t Spacing = 512;

    // removed code units at position were replaced by added ones: the points
    // behind the change are forgotten and made again when needed.
    void textChanged(std::size_t position, std::size_t removed, std::size_t added);
    void clear();

    // Every token that overlaps from..to, whole (it may begin before from and
    // end behind to). Reads the text from the nearest point kept.
    std::vector<TextToken> tokens(std::u16string_view text, std::size_t from, std::size_t to);

    // The scan at position: exactly at it, when the position lies between
    // tokens or inside a comment or memory name; otherwise behind the token
    // that holds it.
    TokenScanPoint pointAt(std::u16string_view text, std::size_t position);

    std::size_t pointCount() const { return points_.size(); }

private:
    // Makes the points up to position; returns the nearest one at or before it.
    TokenScanPoint nearestPoint(std::u16string_view text, std::size_t position);

    std::vector<TokenScanPoint> points_{TokenScanPoint{}};
};

// The bracket that pairs with the bracket at position or, when there is none
// there, with the one just before it. Brackets pair within their statement,
// any opening one with any closing one, as a calculation pairs them; limit is
// how far the search goes either way.
struct BracketPair {
    std::size_t At = 0;       // the bracket next to the caret
    std::size_t Partner = 0;  // the one it pairs with
};
std::optional<BracketPair> MatchingBracket(std::u16string_view text, std::size_t position, CTokenIndex& index,
                                           std::size_t limit = 20000);

}  // namespace NCalculatorText
