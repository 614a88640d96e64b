#include "core/engine/Mistakes.h"

#include "core/engine/EngineState.h"
#include "core/engine/LanguageNames.h"
#include "core/engine/Scanner.h"
#include "core/engine/TextTokens.h"
#include "core/memory/MemoryMap.h"

#include <algorithm>
#include <array>
#include <set>
#include <vector>

namespace NCalculatorText {

namespace {

// The table of known mistakes. A hint reads "explanation; suggestion" (a
// suggestion in brackets follows after a space).
constexpr std::array<MistakeRow, 18> Rows = {{
    {Mistake::SignAfterOperator, u"sign-after-operator", u"a sign cannot follow an operator", u"write {0}",
     u"A sign right behind an operator", u"2*-3",
     u"A \"-\" or \"+\" directly behind \"*\", \"/\", \"^\" or another sign is not read as the sign of what follows: "
     u"put the signed value in brackets, as in 2*(-3) or 2^(-1)."},
    {Mistake::ImplicitMultiplication, u"implicit-multiplication",
     u"a number or bracket cannot stand right before a name or bracket", u"write {0}",
     u"A number or bracket right before a name or bracket", u"2pi",
     u"Nothing is multiplied without its operator: write 2*pi for 2pi, 2*(3) for 2(3) and (1+2)*(3+4) for "
     u"(1+2)(3+4)."},
    {Mistake::PerCent, u"per-cent", u"there is no per cent sign", u"write {0}", u"The per cent sign", u"10%",
     u"A calculation has no \"%\": divide by 100, as in 10/100, or multiply by the fraction, as in 200*15/100."},
    {Mistake::UnknownCharacter, u"unknown-character", u"\u201C{0}\u201D is not a character of calculations", u"",
     u"A character calculations do not have", u"2#3",
     u"Outside the brackets of a memory cell's name, a calculation is made of digits, letters, blanks, brackets, "
     u"the operators + - * / ^ ! and the separators \",\" and \"->\" (with \u00D7, \u00F7 and \u2212 for *, / "
     u"and -, and the signs \u03C0, \u221A, \u0393, \u2211 and \u220F)."},
    {Mistake::UnclosedBracket, u"unclosed-bracket", u"the bracket opened here is never closed",
     u"add \u201C{0}\u201D where it ends", u"A bracket that is never closed", u"3*(4+5",
     u"Every opening bracket needs its closing one; the hint points at the bracket that stays open."},
    {Mistake::UnopenedBracket, u"unopened-bracket", u"this bracket closes no bracket",
     u"remove it or open one before it", u"A closing bracket without its opening one", u"3+4)",
     u"A closing bracket must follow the opening bracket it closes."},
    {Mistake::FunctionWithoutBrackets, u"function-without-brackets", u"{0} needs its argument in brackets",
     u"write {1}", u"A function name without brackets", u"sin 30",
     u"A function takes its argument in brackets right behind its name: sin(30), not sin 30. Without them, blanks "
     u"are dropped and sin 30 is the unknown name sin30, which counts as 0."},
    {Mistake::DecimalComma, u"decimal-comma",
     u"\u201C,\u201D separates list elements; the decimal point is \u201C.\u201D", u"write {0}", u"A decimal comma",
     u"3,5*2",
     u"Numbers take a point, never a comma: 3.5, not 3,5. A comma separates the elements of a list, which only "
     u"the Bessel functions and the series take."},
    {Mistake::BlanksInNumber, u"blanks-in-number", u"blanks are dropped, so \u201C{0}\u201D reads as \u201C{1}\u201D",
     u"write one number or put an operator between them", u"Blanks inside a number", u"1.5 .5",
     u"Blanks are dropped before a calculation is read: 2 3 is the number 23, and 1.5 .5 is 1.5.5, which is no "
     u"number."},
    {Mistake::MalformedNumber, u"malformed-number", u"\u201C{0}\u201D is not a number",
     u"a number has at most one point", u"A number with two points", u"1.2.3",
     u"A number has digits with at most one point among them and may end with an exponent such as e-5."},
    {Mistake::UnsetCell, u"unset-cell", u"{0} has no value yet", u"did you mean {1}?",
     u"A memory cell that was never stored", u"5->Mem[rent]; Mem[rnet]*2",
     u"Reading a memory cell that no statement has stored gives 0 and a warning. Store a value first, as in "
     u"5->Mem[rent], or check the name's spelling: the hint names the existing cell that is nearest."},
    {Mistake::UnknownWord, u"unknown-word", u"\u201C{0}\u201D is not a name calculations know", u"did you mean {1}?",
     u"An unknown word", u"arc",
     u"A word that is no function, constant or keyword is an index variable, which has a value only inside a "
     u"series such as sum(i,1,10,i^2); anywhere else it counts as 0 with a warning."},
    {Mistake::MissingOperand, u"missing-operand", u"\u201C{0}\u201D needs a value on each side", u"",
     u"An operator without its value", u"2*", u"Every operator needs the values it works on: 2*3, not 2* or *3."},
    {Mistake::StoreTarget, u"store-target", u"a value can only be stored in a memory cell", u"write {0}",
     u"A store into something other than a memory cell", u"5->x",
     u"The arrow stores into memory cells only, and the cell ends the store: 5->Mem[x]. To go on calculating "
     u"with the stored value, put the store in brackets: (5->Mem[x])+1."},
    {Mistake::MemoryWithoutBrackets, u"memory-without-brackets",
     u"a word starting with \u201Cmem\u201D names a memory cell, whose name goes in brackets", u"write {0}",
     u"A memory cell without brackets", u"memx",
     u"Every word that starts with mem is read as a memory cell: its name follows in brackets, as in Mem[x]."},
    {Mistake::KeywordWithBrackets, u"keyword-with-brackets", u"{0} takes no brackets", u"write {0}",
     u"A constant or keyword with brackets", u"rand()",
     u"The constants pi and e, the last result and the random keyword stand alone: rand, not rand()."},
    {Mistake::UnclosedComment, u"unclosed-comment", u"the comment opened here is never closed",
     u"end it with \u201C*/\u201D", u"A comment that is never closed", u"/* note",
     u"A comment that starts with /* runs until */; without it, everything behind it is comment."},
    {Mistake::ListWithoutValue, u"list-without-value", u"A list has no single value", u"(did you mean {0}?)",
     u"A list where one value is meant", u"3,5",
     u"A list such as 1,2,3 is no value on its own: it is only the argument of the Bessel functions and the "
     u"series. A statement that is a list gives no result and no log row."},
}};

constexpr char16_t MinusSign = u'\u2212';

enum class Kind { Number, Word, MemRef, Open, Close, Sign, Op, Bang, Comma, Arrow, Other };

struct Token {
    Kind What;
    std::size_t Start;
    std::size_t Length;
    bool BlankBefore;
    std::size_t End() const { return Start + Length; }
};

bool IsLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

char16_t Lowered(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return static_cast<char16_t>(c - u'A' + u'a');
    if (c == u'[' || c == u'{')
        return u'(';
    if (c == u']' || c == u'}')
        return u')';
    return c;
}

bool Contains(const std::vector<std::u16string_view>& names, std::u16string_view word)
{
    return std::find(names.begin(), names.end(), word) != names.end();
}

const std::vector<std::u16string_view>& Functions()
{
    static const std::vector<std::u16string_view> names = FunctionNameSpellings();
    return names;
}

const std::vector<std::u16string_view>& Keywords()
{
    static const std::vector<std::u16string_view> names = KeywordSpellings();
    return names;
}

// The edit distance of two names, letters compared without case, as far as
// a misspelling goes: any distance above two is given as three. Names differ
// by more than two in length are three apart at once, and a row of the table
// that has nothing within two ends the count, so that comparing a word with
// every function name costs little.
constexpr std::size_t FarApart = 3;

std::size_t EditDistance(std::u16string_view a, std::u16string_view b)
{
    const std::size_t gap = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
    if (gap >= FarApart)
        return FarApart;
    if (a.size() < b.size())
        std::swap(a, b);  // the row runs along the shorter name
    // Names as long as people write them fit the row on the stack.
    std::array<std::size_t, 80> shortRow{};
    std::vector<std::size_t> longRow;
    if (b.size() >= shortRow.size())
        longRow.resize(b.size() + 1);
    std::size_t* const row = longRow.empty() ? shortRow.data() : longRow.data();
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        std::size_t least = row[0];
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const std::size_t cost = Lowered(a[i - 1]) == Lowered(b[j - 1]) ? 0 : 1;
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + cost});
            least = std::min(least, row[j]);
            diagonal = above;
        }
        if (least >= FarApart)
            return FarApart;
    }
    return std::min(row[b.size()], FarApart);
}

// Near enough to be a misspelling: two edits at most, and fewer than the
// name has characters.
// Names longer than this are not compared: their misspellings are not
// guessed, and comparing them would cost the square of their length.
constexpr std::size_t LongestSpeltName = 64;
// The names stored in a text that a cell read is compared with, at most.
constexpr std::size_t MostStoredNamesCompared = 1000;

bool NearEnough(std::size_t distance, std::size_t length)
{
    return distance <= 2 && distance < length;
}

std::u16string Fill(std::u16string_view format, std::u16string_view first, std::u16string_view second)
{
    std::u16string text;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == u'{' && i + 2 < format.size() && format[i + 2] == u'}' &&
            (format[i + 1] == u'0' || format[i + 1] == u'1')) {
            text += format[i + 1] == u'0' ? first : second;
            i += 2;
            continue;
        }
        text += format[i];
    }
    return text;
}

StatementHint MakeHint(Mistake kind, std::size_t start, std::size_t length, std::u16string_view first = {},
                       std::u16string_view second = {}, bool suggest = true)
{
    const MistakeRow* row = FindMistake(kind);
    StatementHint hint;
    hint.Kind = kind;
    hint.Start = static_cast<std::int64_t>(start);
    hint.Length = static_cast<std::int64_t>(std::max<std::size_t>(length, 1));
    hint.Text = Fill(row->Explanation, first, second);
    if (suggest && !row->Suggestion.empty()) {
        hint.Text += row->Suggestion.front() == u'(' ? u" " : u"; ";
        hint.Text += Fill(row->Suggestion, first, second);
    }
    return hint;
}

// The statement read as a reader sees it, keeping the positions of the text.
class CStatementReading final {
public:
    explicit CStatementReading(std::u16string_view text) : text_(text), low_(text)
    {
        for (char16_t& c : low_)
            c = IsBlank(c) ? u' ' : Lowered(c);
        read();
        pair();
        // The index variables of the series in the statement have values.
        for (std::size_t k = 0; k + 3 < tokens_.size(); ++k) {
            const std::u16string_view word = lowered(tokens_[k]);
            if (isFunction(tokens_[k]) &&
                (word == u"sum" || word == u"prod" || word == u"\u2211" || word == u"\u220F") &&
                tokens_[k + 1].What == Kind::Open && tokens_[k + 2].What == Kind::Word &&
                tokens_[k + 3].What == Kind::Comma)
                bound_.push_back(lowered(tokens_[k + 2]));
        }
    }

    std::optional<StatementHint> syntaxMistake() const;
    std::optional<StatementHint> uninitialisedMistake(const ExplainRequest& request,
                                                      const Tevra::CMemoryMap& memory) const;
    std::optional<StatementHint> listMistake() const;

private:
    void read();
    void pair();

    std::u16string_view original(const Token& token) const { return text_.substr(token.Start, token.Length); }
    std::u16string_view lowered(const Token& token) const
    {
        return std::u16string_view(low_).substr(token.Start, token.Length);
    }
    std::u16string_view original(std::size_t from, std::size_t to) const { return text_.substr(from, to - from); }

    bool isFunction(const Token& token) const
    {
        return token.What == Kind::Word && Contains(Functions(), lowered(token));
    }
    bool isKeyword(const Token& token) const
    {
        return token.What == Kind::Word && Contains(Keywords(), lowered(token));
    }
    bool isBound(const Token& token) const { return token.What == Kind::Word && Contains(bound_, lowered(token)); }
    bool isMemoryWord(const Token& token) const
    {
        return token.What == Kind::Word && lowered(token).starts_with(u"mem");
    }
    // Ends a value: a number, a name, a cell, a closing bracket or "!".
    bool endsValue(const Token& token) const
    {
        return token.What == Kind::Number || (token.What == Kind::Word && !isFunction(token)) ||
            token.What == Kind::MemRef || token.What == Kind::Close || token.What == Kind::Bang;
    }
    bool startsValue(const Token& token) const
    {
        return token.What == Kind::Number || token.What == Kind::Word || token.What == Kind::MemRef ||
            token.What == Kind::Open;
    }

    // The value that ends with token index last (a bracket with the function
    // before it) or starts with token index first: the range of the text.
    std::size_t valueStartBefore(std::size_t last) const;
    std::size_t valueEndFrom(std::size_t first) const;
    // The cell name between a reference's brackets, trimmed and lowered.
    std::u16string cellName(const Token& reference) const;

    std::optional<StatementHint> tokenMistake(std::size_t k) const;
    std::optional<StatementHint> functionMistake(std::size_t k) const;

    std::u16string_view text_;
    std::u16string low_;
    std::vector<Token> tokens_;
    std::vector<std::size_t> partner_;        // the matching bracket's token, or npos
    std::vector<std::u16string_view> bound_;  // the index variables of series
    std::size_t strayClose_ = npos;
    std::size_t unclosedOpen_ = npos;

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
};

void CStatementReading::read()
{
    std::size_t i = 0;
    bool blank = false;
    while (i < low_.size()) {
        const char16_t c = low_[i];
        const char16_t next = i + 1 < low_.size() ? low_[i + 1] : u'\0';
        if (c == u' ' || IsWideSpace(c)) {
            blank = true;
            ++i;
            continue;
        }
        Token token{Kind::Other, i, 1, blank};
        blank = false;
        if (IsDigit(c) || c == u'.') {
            std::size_t end = i;
            while (end < low_.size() && (IsDigit(low_[end]) || low_[end] == u'.'))
                ++end;
            if (end < low_.size() && low_[end] == u'e') {
                std::size_t digits = end + 1;
                if (digits < low_.size() && (low_[digits] == u'+' || low_[digits] == u'-' || low_[digits] == MinusSign))
                    ++digits;
                if (digits < low_.size() && IsDigit(low_[digits])) {
                    end = digits;
                    while (end < low_.size() && IsDigit(low_[end]))
                        ++end;
                }
            }
            token = {Kind::Number, i, end - i, token.BlankBefore};
        } else if (IsLetter(c)) {
            std::size_t end = i + 1;
            while (end < low_.size() && (IsLetter(low_[end]) || IsDigit(low_[end])))
                ++end;
            token = {Kind::Word, i, end - i, token.BlankBefore};
            const std::u16string_view word = lowered(token);
            if (word == u"mem" || word == u"memory") {
                // A memory keyword and its bracket: the name inside is anything.
                std::size_t open = end;
                while (open < low_.size() && low_[open] == u' ')
                    ++open;
                if (open < low_.size() && low_[open] == u'(') {
                    std::size_t depth = 0;
                    std::size_t close = open;
                    for (; close < low_.size(); ++close) {
                        if (low_[close] == u'(')
                            ++depth;
                        else if (low_[close] == u')' && --depth == 0)
                            break;
                    }
                    if (close < low_.size())
                        token = {Kind::MemRef, i, close + 1 - i, token.BlankBefore};
                }
            }
        } else if (c == u'(') {
            token.What = Kind::Open;
        } else if (c == u')') {
            token.What = Kind::Close;
        } else if ((c == u'-' || c == MinusSign) && next == u'>') {
            token = {Kind::Arrow, i, 2, token.BlankBefore};
        } else if (c == u'+' || c == u'-' || c == MinusSign) {
            token.What = Kind::Sign;
        } else if (c == u'*' || c == u'/' || c == u'^' || c == u'\u00D7' || c == u'\u00F7') {
            token.What = Kind::Op;
        } else if (c == u'!') {
            token.What = Kind::Bang;
        } else if (c == u',') {
            token.What = Kind::Comma;
        } else if (c == u'\u03C0' || c == u'\u221A' || c == u'\u0393' || c == u'\u2211' || c == u'\u220F') {
            token.What = Kind::Word;
        }
        tokens_.push_back(token);
        i = token.End();
    }
}

void CStatementReading::pair()
{
    partner_.assign(tokens_.size(), npos);
    std::vector<std::size_t> open;
    for (std::size_t k = 0; k < tokens_.size(); ++k) {
        if (tokens_[k].What == Kind::Open) {
            open.push_back(k);
        } else if (tokens_[k].What == Kind::Close) {
            if (open.empty()) {
                if (strayClose_ == npos)
                    strayClose_ = k;
                continue;
            }
            partner_[k] = open.back();
            partner_[open.back()] = k;
            open.pop_back();
        }
    }
    if (!open.empty())
        unclosedOpen_ = open.front();
}

std::size_t CStatementReading::valueStartBefore(std::size_t last) const
{
    std::size_t first = last;
    if (tokens_[last].What == Kind::Close && partner_[last] != npos) {
        first = partner_[last];
        if (first > 0 && isFunction(tokens_[first - 1]))
            --first;
    }
    return tokens_[first].Start;
}

std::size_t CStatementReading::valueEndFrom(std::size_t first) const
{
    std::size_t last = first;
    if (isFunction(tokens_[first]) && first + 1 < tokens_.size() && tokens_[first + 1].What == Kind::Open)
        ++last;
    if (tokens_[last].What == Kind::Open && partner_[last] != npos)
        last = partner_[last];
    return tokens_[last].End();
}

std::u16string CStatementReading::cellName(const Token& reference) const
{
    const std::u16string_view whole = lowered(reference);
    const std::size_t open = whole.find(u'(');
    const std::u16string_view inside = whole.substr(open + 1, whole.size() - open - 2);
    return std::u16string(TrimWideSpace(inside));
}

std::optional<StatementHint> CStatementReading::functionMistake(std::size_t k) const
{
    const Token& token = tokens_[k];
    const bool hasNext = k + 1 < tokens_.size();
    if (hasNext && tokens_[k + 1].What == Kind::Open)
        return std::nullopt;
    std::u16string written(original(token));
    if (hasNext && (tokens_[k + 1].What == Kind::Number || tokens_[k + 1].What == Kind::Word))
        written += u"(" + std::u16string(original(tokens_[k + 1])) + u")";
    else
        written += u"(x)";
    return MakeHint(Mistake::FunctionWithoutBrackets, token.Start, token.Length, original(token), written);
}

std::optional<StatementHint> CStatementReading::tokenMistake(std::size_t k) const
{
    const Token& token = tokens_[k];
    const Token* previous = k > 0 ? &tokens_[k - 1] : nullptr;
    const Token* next = k + 1 < tokens_.size() ? &tokens_[k + 1] : nullptr;
    switch (token.What) {
    case Kind::Other: {
        if (low_[token.Start] == u'%') {
            std::u16string written = u"/100";
            if (previous != nullptr && endsValue(*previous))
                written = std::u16string(original(valueStartBefore(k - 1), previous->End())) + written;
            return MakeHint(Mistake::PerCent, token.Start, 1, written);
        }
        return MakeHint(Mistake::UnknownCharacter, token.Start, 1, original(token));
    }
    case Kind::Number:
        if (previous != nullptr && previous->What == Kind::Number && token.BlankBefore) {
            const std::u16string joined = std::u16string(lowered(*previous)) + std::u16string(lowered(token));
            if (!IsNumberText(joined))
                return MakeHint(Mistake::BlanksInNumber, previous->Start, token.End() - previous->Start,
                                original(previous->Start, token.End()), joined);
            return std::nullopt;
        }
        if (!IsNumberText(lowered(token)))
            return MakeHint(Mistake::MalformedNumber, token.Start, token.Length, original(token));
        break;
    case Kind::Word:
        if (isMemoryWord(token)) {
            const std::u16string_view word = original(token);
            const std::size_t keyword = lowered(token).starts_with(u"memory") ? 6 : 3;
            const std::u16string_view rest = word.substr(keyword);
            const std::u16string written =
                std::u16string(word.substr(0, keyword)) + u"[" + std::u16string(rest.empty() ? u"x" : rest) + u"]";
            return MakeHint(Mistake::MemoryWithoutBrackets, token.Start, token.Length, written);
        }
        if (isFunction(token) && !isBound(token))
            return functionMistake(k);
        if (next != nullptr && next->What == Kind::Open) {
            if (isKeyword(token)) {
                const std::size_t close = partner_[k + 1];
                if (close == k + 2)
                    return MakeHint(Mistake::KeywordWithBrackets, token.Start, tokens_[close].End() - token.Start,
                                    original(token));
                return MakeHint(Mistake::ImplicitMultiplication, next->Start, 1,
                                std::u16string(original(token)) + u"*" +
                                    std::u16string(original(next->Start, valueEndFrom(k + 1))));
            }
            std::u16string_view nearest;
            std::size_t best = FarApart;
            for (const std::u16string_view name : Functions()) {
                const std::size_t distance = EditDistance(lowered(token), name);
                if (NearEnough(distance, token.Length) && distance < best) {
                    best = distance;
                    nearest = name;
                }
            }
            return MakeHint(Mistake::UnknownWord, token.Start, token.Length, original(token),
                            std::u16string(nearest) + u"(...)", !nearest.empty());
        }
        break;
    case Kind::Sign:
        if (previous != nullptr && (previous->What == Kind::Op || previous->What == Kind::Sign)) {
            if (next == nullptr || !startsValue(*next))
                return MakeHint(Mistake::MissingOperand, previous->Start, previous->Length, original(*previous));
            std::u16string written;
            if (k >= 2 && endsValue(tokens_[k - 2]))
                written = original(valueStartBefore(k - 2), previous->End());
            else
                written = original(*previous);
            written += u"(" + std::u16string(original(token)) +
                std::u16string(original(next->Start, valueEndFrom(k + 1))) + u")";
            return MakeHint(Mistake::SignAfterOperator, token.Start, token.Length, written);
        }
        if (next == nullptr || next->What == Kind::Close || next->What == Kind::Comma || next->What == Kind::Arrow ||
            next->What == Kind::Op)
            return MakeHint(Mistake::MissingOperand, token.Start, token.Length, original(token));
        break;
    case Kind::Op:
        if (previous == nullptr || !endsValue(*previous) || next == nullptr ||
            (next->What != Kind::Sign && !startsValue(*next)))
            return MakeHint(Mistake::MissingOperand, token.Start, token.Length, original(token));
        break;
    case Kind::Comma:
        if (previous != nullptr && next != nullptr && previous->What == Kind::Number && next->What == Kind::Number &&
            !token.BlankBefore && !next->BlankBefore) {
            // Inside the argument of a function that takes a list, a comma
            // is what it should be.
            for (std::size_t open = k; open-- > 0;) {
                if (tokens_[open].What != Kind::Open || partner_[open] < k)
                    continue;
                if (open > 0 && isFunction(tokens_[open - 1]))
                    return std::nullopt;
            }
            const std::u16string written = std::u16string(original(*previous)) + u"." + std::u16string(original(*next));
            return MakeHint(Mistake::DecimalComma, token.Start, 1, written);
        }
        break;
    case Kind::Arrow: {
        const std::u16string value(original(0, token.Start));
        if (next == nullptr || next->What != Kind::MemRef) {
            const std::u16string name =
                next != nullptr && next->What == Kind::Word ? std::u16string(original(*next)) : u"x";
            return MakeHint(Mistake::StoreTarget, token.Start, token.Length,
                            std::u16string(TrimWideSpace(value)) + std::u16string(original(token)) + u"Mem[" + name +
                                u"]");
        }
        const Kind after = k + 2 < tokens_.size() ? tokens_[k + 2].What : Kind::Arrow;
        if (after != Kind::Arrow && after != Kind::Close && after != Kind::Comma) {
            const std::u16string written = u"(" + std::u16string(TrimWideSpace(original(0, next->End()))) + u")" +
                std::u16string(TrimWideSpace(text_.substr(next->End())));
            return MakeHint(Mistake::StoreTarget, tokens_[k + 2].Start, tokens_[k + 2].Length, written);
        }
        break;
    }
    default:
        break;
    }
    // A value right behind a value, with no operator between them.
    if (previous != nullptr && endsValue(*previous) && startsValue(token)) {
        const bool joinedName = previous->What == Kind::Word &&
            (token.What == Kind::Word || token.What == Kind::Number) && token.BlankBefore;
        const bool joinedNumber = previous->What == Kind::Number && token.What == Kind::Number;
        if (!joinedName && !joinedNumber) {
            const std::u16string written = std::u16string(original(valueStartBefore(k - 1), previous->End())) + u"*" +
                std::u16string(original(token.Start, valueEndFrom(k)));
            return MakeHint(Mistake::ImplicitMultiplication, token.Start, token.Length, written);
        }
    }
    return std::nullopt;
}

std::optional<StatementHint> CStatementReading::syntaxMistake() const
{
    if (strayClose_ != npos)
        return MakeHint(Mistake::UnopenedBracket, tokens_[strayClose_].Start, 1);
    if (unclosedOpen_ != npos)
        return MakeHint(Mistake::UnclosedBracket, tokens_[unclosedOpen_].Start, 1, u")");
    for (std::size_t k = 0; k < tokens_.size(); ++k) {
        if (auto hint = tokenMistake(k))
            return hint;
    }
    return std::nullopt;
}

std::optional<StatementHint> CStatementReading::uninitialisedMistake(const ExplainRequest& request,
                                                                     const Tevra::CMemoryMap& memory) const
{
    if (request.MemoryRead) {
        std::u16string wanted(TrimWideSpace(request.UnsetCell));
        for (char16_t& c : wanted)
            c = Lowered(c);
        for (const Token& token : tokens_) {
            if (token.What != Kind::MemRef)
                continue;
            const std::u16string name = cellName(token);
            if (!wanted.empty() ? name != wanted : memory.Find(name) != nullptr)
                continue;
            const std::u16string_view written = original(token);
            const std::u16string nearest = NearestCellName(name, memory);
            const std::size_t open = lowered(token).find(u'(');
            const std::u16string suggestion =
                std::u16string(written.substr(0, open + 1)) + nearest + std::u16string(1, written.back());
            return MakeHint(Mistake::UnsetCell, token.Start, token.Length, written, suggestion, !nearest.empty());
        }
        return std::nullopt;
    }
    for (std::size_t k = 0; k < tokens_.size(); ++k) {
        const Token& token = tokens_[k];
        if (token.What != Kind::Word || isKeyword(token) || isMemoryWord(token))
            continue;
        if (isFunction(token) && !isBound(token)) {
            if (auto hint = functionMistake(k))
                return hint;
            continue;
        }
        const std::u16string_view word = lowered(token);
        if (isBound(token))
            continue;
        // A function name run together with its argument: "sin30".
        for (const std::u16string_view name : Functions()) {
            if (word.size() > name.size() && word.starts_with(name) &&
                std::all_of(word.begin() + static_cast<std::ptrdiff_t>(name.size()), word.end(), IsDigit)) {
                const std::u16string_view written = original(token);
                const std::u16string suggestion = std::u16string(written.substr(0, name.size())) + u"(" +
                    std::u16string(written.substr(name.size())) + u")";
                return MakeHint(Mistake::FunctionWithoutBrackets, token.Start, token.Length,
                                written.substr(0, name.size()), suggestion);
            }
        }
        std::u16string_view nearest;
        std::size_t best = FarApart;
        for (const auto* names : {&Functions(), &Keywords()}) {
            for (const std::u16string_view name : *names) {
                const std::size_t distance = EditDistance(word, name);
                if (NearEnough(distance, word.size()) && distance < best) {
                    best = distance;
                    nearest = name;
                }
            }
        }
        return MakeHint(Mistake::UnknownWord, token.Start, token.Length, original(token), nearest, !nearest.empty());
    }
    return std::nullopt;
}

std::optional<StatementHint> CStatementReading::listMistake() const
{
    std::size_t depth = 0;
    for (std::size_t k = 0; k < tokens_.size(); ++k) {
        const Kind what = tokens_[k].What;
        if (what == Kind::Open)
            ++depth;
        else if (what == Kind::Close && depth > 0)
            --depth;
        if (what != Kind::Comma || depth != 0)
            continue;
        const Token& comma = tokens_[k];
        std::u16string meant;
        if (k > 0 && k + 1 < tokens_.size() && tokens_[k - 1].What == Kind::Number &&
            tokens_[k + 1].What == Kind::Number && !comma.BlankBefore && !tokens_[k + 1].BlankBefore)
            meant = std::u16string(original(tokens_[k - 1])) + u"." + std::u16string(original(tokens_[k + 1]));
        return MakeHint(Mistake::ListWithoutValue, comma.Start, 1, meant, {}, !meant.empty());
    }
    return std::nullopt;
}

}  // namespace

std::span<const MistakeRow> MistakeTable()
{
    return Rows;
}

const MistakeRow* FindMistake(Mistake kind)
{
    for (const MistakeRow& row : Rows) {
        if (row.Kind == kind)
            return &row;
    }
    return nullptr;
}

const MistakeRow* FindMistakeByTopic(std::u16string_view topic)
{
    for (const MistakeRow& row : Rows) {
        if (row.Topic == topic)
            return &row;
    }
    return nullptr;
}

std::optional<StatementHint> ExplainExpression(std::u16string_view expression, const ExplainRequest& request,
                                               const Tevra::CMemoryMap& memory)
{
    // A comment that never closes is the working copy's only comment left.
    const std::u16string_view trimmed = TrimWideSpace(expression);
    if (request.Code == SyntaxError && trimmed.starts_with(u"/*"))
        return MakeHint(Mistake::UnclosedComment, static_cast<std::size_t>(trimmed.data() - expression.data()), 2);
    const CStatementReading reading(expression);
    switch (request.Code) {
    case SyntaxError:
        return reading.syntaxMistake();
    case Uninitialized:
        return reading.uninitialisedMistake(request, memory);
    default:
        return std::nullopt;
    }
}

std::optional<StatementHint> ExplainList(std::u16string_view expression)
{
    return CStatementReading(expression).listMistake();
}

std::u16string NearestCellName(std::u16string_view name, const Tevra::CMemoryMap& memory)
{
    std::u16string nearest;
    if (name.size() > LongestSpeltName)
        return nearest;
    std::size_t best = FarApart;
    for (const auto& [cell, value] : memory) {
        const std::u16string_view candidate = cell;
        const std::size_t distance = EditDistance(name, candidate);
        if (NearEnough(distance, name.size()) && distance < best && candidate != name) {
            best = distance;
            nearest = candidate;
        }
    }
    return nearest;
}

std::vector<StatementHint> UnsetCellReferences(std::u16string_view text, const Tevra::CMemoryMap& memory)
{
    std::vector<StatementHint> found;
    std::set<std::u16string> stored;
    const std::vector<TextToken> tokens = TokensOf(text);
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        // keyword, bracket, name, bracket: the name's token is the third.
        if (tokens[k].Kind != TokenKind::MemoryName || k < 2 || tokens[k - 1].Kind != TokenKind::Bracket ||
            tokens[k - 2].Kind != TokenKind::Keyword)
            continue;
        std::u16string name(TrimWideSpace(text.substr(tokens[k].Start, tokens[k].Length)));
        // Cell names are compared as a calculation reads them: A to Z lowered.
        for (char16_t& c : name) {
            if (c >= u'A' && c <= u'Z')
                c = static_cast<char16_t>(c - u'A' + u'a');
        }
        const TextToken& keyword = tokens[k - 2];
        const bool store = k >= 3 && tokens[k - 3].Kind == TokenKind::Operator && tokens[k - 3].Length == 2;
        if (store) {
            stored.insert(std::move(name));
            continue;
        }
        if (memory.Find(name) != nullptr || stored.contains(name))
            continue;
        const bool closed = k + 1 < tokens.size() && tokens[k + 1].Kind == TokenKind::Bracket;
        const std::size_t end = closed ? tokens[k + 1].End() : tokens[k].End();
        const std::u16string_view written = text.substr(keyword.Start, end - keyword.Start);
        // The nearest name among the cells and the names stored above.
        std::u16string nearest = NearestCellName(name, memory);
        std::size_t best = nearest.empty() ? FarApart : EditDistance(name, nearest);
        std::size_t compared = 0;
        for (const std::u16string& other : stored) {
            if (name.size() > LongestSpeltName || ++compared > MostStoredNamesCompared)
                break;
            const std::size_t distance = EditDistance(name, other);
            if (NearEnough(distance, name.size()) && distance < best) {
                best = distance;
                nearest = other;
            }
        }
        const std::u16string_view opening = text.substr(keyword.Start, tokens[k].Start - keyword.Start);
        const std::u16string suggestion =
            std::u16string(opening) + nearest + (closed ? std::u16string(1, text[tokens[k + 1].Start]) : u"]");
        found.push_back(
            MakeHint(Mistake::UnsetCell, keyword.Start, end - keyword.Start, written, suggestion, !nearest.empty()));
    }
    return found;
}

StatementHint HintForReport(ReportCode code)
{
    ReportSubject& subject = State().Subject;
    if (!subject.Explain || subject.Start < 0 || (code != SyntaxError && code != Uninitialized))
        return {};
    ReportSubject::Memo& last = subject.Last;
    const int operation = State().CurrentOperation;
    if (last.Expression == subject.Expression.data() && last.Size == subject.Expression.size() && last.Code == code &&
        last.Operation == operation && last.Cell == subject.UnsetCell)
        return last.Hint;
    ExplainRequest request;
    request.Code = code;
    request.MemoryRead = operation == OpMemory;
    request.UnsetCell = subject.UnsetCell;
    StatementHint hint;
    if (auto found = ExplainExpression(subject.Expression, request, State().MemoryMap)) {
        hint = std::move(*found);
        hint.Start += subject.Start;
    }
    last = {
        subject.Expression.data(), subject.Expression.size(), code, operation, std::u16string(subject.UnsetCell), hint};
    return hint;
}

std::u16string HintLine(std::u16string_view description, const StatementHint& hint)
{
    return std::u16string(description) + u": " + hint.Text;
}

}  // namespace NCalculatorText
