// The tokens the editor colours: a table of statements, the scan from kept
// points agreeing with a scan of the whole text through edits, and bracket
// pairs.
#include "support/EngineTestSupport.h"

#include "core/engine/TextTokens.h"

#include <random>

namespace {

using namespace EngineTests;
using NCalculatorText::TextToken;
using NCalculatorText::TokenKind;

char KindLetter(TokenKind kind)
{
    switch (kind) {
    case TokenKind::Number:
        return 'N';
    case TokenKind::Function:
        return 'F';
    case TokenKind::Keyword:
        return 'K';
    case TokenKind::MemoryName:
        return 'M';
    case TokenKind::Name:
        return 'I';
    case TokenKind::Operator:
        return 'O';
    case TokenKind::Bracket:
        return 'B';
    case TokenKind::Separator:
        return 'S';
    case TokenKind::Comment:
        return 'C';
    case TokenKind::Result:
        return 'R';
    }
    return '?';
}

// "N:12 O:+ F:sin": each token's kind and text.
std::string Rendered(std::u16string_view text, const std::vector<TextToken>& tokens)
{
    std::string out;
    for (const TextToken& token : tokens) {
        if (!out.empty())
            out += ' ';
        out += KindLetter(token.Kind);
        out += ':';
        out += Readable(text.substr(token.Start, token.Length));
    }
    return out;
}

struct TokenCase {
    std::u16string Text;
    std::string Tokens;
};

TEST(TextTokens, ReadEveryPieceOfTheLanguage)
{
    const std::vector<TokenCase> cases = {
        {u"2+3", "N:2 O:+ N:3"},
        {u"1.5e-3*.5E+2", "N:1.5e-3 O:* N:.5E+2"},
        {u"2e", "N:2 K:e"},
        {u"1e+", "N:1 K:e O:+"},
        {u"sin(x)", "F:sin B:( I:x B:)"},
        {u"TG[pi]+ARCCOSEC{1}", "F:TG B:[ K:pi B:] O:+ F:ARCCOSEC B:{ N:1 B:}"},
        {u"sh(1)-ch(2)\u2212th(3)", "F:sh B:( N:1 B:) O:- F:ch B:( N:2 B:) O:\u2212 F:th B:( N:3 B:)"},
        {u"Rslt*RESULT/rand/Random", "K:Rslt O:* K:RESULT O:/ K:rand O:/ K:Random"},
        {u"\u03C0\u00D7\u221A(2)\u00F7\u0393(3)",
         "K:\u03C0 O:\u00D7 F:\u221A B:( N:2 B:) O:\u00F7 F:\u0393 B:( N:3 B:)"},
        {u"\u2211(i,1,3,i)", "F:\u2211 B:( I:i O:, N:1 O:, N:3 O:, I:i B:)"},
        {u"5->Mem[my cell]", "N:5 O:-> K:Mem B:[ M:my cell B:]"},
        {u"memory ( a(b) ) + 1", "K:memory B:( M: a(b)  B:) O:+ N:1"},
        {u"MEM{x}\u2212>mem(y)", "K:MEM B:{ M:x B:} O:\u2212> K:mem B:( M:y B:)"},
        {u"mem[a;b]", "K:mem B:[ M:a S:; I:b B:]"},
        {u"(mem)[a]", "B:( K:mem B:) B:[ I:a B:]"},
        {u"2+3 = 5; 4", "N:2 O:+ N:3 R:= R:5 S:; N:4"},
        {u"x = -1e+021 // old\n1;2", "I:x R:= R:- R:1e+021 C:// old R:1 S:; N:2"},
        {u"1 /* a; b */ + 2", "N:1 C:/* a; b */ O:+ N:2"},
        {u"/*/ 1", "C:/*/ N:1"},
        {u"1 /* open", "N:1 C:/* open"},
        {u"5! + gamma(3) + J(1,2)", "N:5 O:! O:+ F:gamma B:( N:3 B:) O:+ F:J B:( N:1 O:, N:2 B:)"},
        {u"sinus + arccosecx + mem1", "I:sinus O:+ I:arccosecx O:+ I:mem1"},
        {u"a $ \u00E4 b", "I:a I:b"},
    };
    for (const TokenCase& test : cases) {
        SCOPED_TRACE("text: " + Readable(test.Text));
        EXPECT_EQ(Rendered(test.Text, NCalculatorText::TokensOf(test.Text)), test.Tokens);
    }
}

// A text of a few thousand characters built of every kind of piece, with
// comments and memory names across lines.
std::u16string MixedText(std::mt19937& random, std::size_t pieces)
{
    static const std::vector<std::u16string> Pieces = {
        u"1+2*3", u" ",    u"\n", u";",  u"sin(", u")", u"Mem[",   u"]",   u"/*",        u"*/", u"//", u"=", u"1e+5",
        u"->",    u"rslt", u"x",  u"pi", u"{",    u"}", u"\u221A", u"2.5", u"cell name", u"(",  u"-",  u"/", u"*",
    };
    std::uniform_int_distribution<std::size_t> pick(0, Pieces.size() - 1);
    std::u16string text;
    for (std::size_t i = 0; i < pieces; ++i)
        text += Pieces[pick(random)];
    return text;
}

std::vector<TextToken> Overlapping(const std::vector<TextToken>& tokens, std::size_t from, std::size_t to)
{
    std::vector<TextToken> out;
    for (const TextToken& token : tokens) {
        if (token.End() > from && token.Start < to)
            out.push_back(token);
    }
    return out;
}

// Comments and memory names are read in pieces by a scan that stops inside
// them; joined up, the pieces of one token are the token.
std::vector<TextToken> Joined(std::vector<TextToken> tokens)
{
    std::vector<TextToken> out;
    for (const TextToken& token : tokens) {
        if (!out.empty() && out.back().End() == token.Start && out.back().Kind == token.Kind &&
            (token.Kind == TokenKind::Comment || token.Kind == TokenKind::MemoryName ||
             token.Kind == TokenKind::Number || token.Kind == TokenKind::Name))
            out.back().Length += token.Length;
        else
            out.push_back(token);
    }
    return out;
}

TEST(TextTokens, TheIndexReadsAnyStretchAsTheWholeTextDoes)
{
    std::mt19937 random(7);
    std::u16string text = MixedText(random, 3000);
    NCalculatorText::CTokenIndex index;
    std::uniform_int_distribution<std::size_t> where(0, 1);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        // Edit somewhere, then read a stretch somewhere.
        std::uniform_int_distribution<std::size_t> at(0, text.size());
        const std::size_t position = at(random);
        const std::size_t removed = std::min<std::size_t>(text.size() - position, where(random) * 7);
        const std::u16string inserted = MixedText(random, where(random) * 3 + 1);
        text.replace(position, removed, inserted);
        index.textChanged(position, removed, inserted.size());

        const std::vector<TextToken> whole = Joined(NCalculatorText::TokensOf(text));
        std::uniform_int_distribution<std::size_t> from(0, text.size());
        const std::size_t start = from(random);
        const std::size_t end = std::min(text.size(), start + 300);
        const std::vector<TextToken> expected = Overlapping(whole, start, end);
        // A piece read from a kept point may begin later than the whole token.
        const std::vector<TextToken> joined = Joined(index.tokens(text, start, end));
        ASSERT_EQ(joined.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(joined[i].Kind, expected[i].Kind) << i;
            EXPECT_EQ(std::max(joined[i].Start, start), std::max(expected[i].Start, start)) << i;
            EXPECT_EQ(std::min(joined[i].End(), end), std::min(expected[i].End(), end)) << i;
        }
    }
    EXPECT_GT(index.pointCount(), 1u);
}

struct BracketCase {
    std::u16string Text;
    std::size_t Caret;
    int At;  // -1: no pair
    int Partner;
};

TEST(TextTokens, BracketsPairWithinTheirStatement)
{
    const std::vector<BracketCase> cases = {
        {u"(1+2)", 0, 0, 4},       {u"(1+2)", 5, 4, 0},           {u"(1+2)", 2, -1, -1},   {u"sin((1))", 4, 4, 6},
        {u"sin((1))", 3, 3, 7},    {u"sin((1))", 8, 7, 3},        {u"[1+2}", 0, 0, 4},     {u"(1;2)", 0, -1, -1},
        {u"(1;2)", 5, -1, -1},     {u"(1 /* ) */ +2)", 0, 0, 13}, {u"mem[a(b)]", 3, 3, 8}, {u"mem[a(b)]", 6, -1, -1},
        {u"2+3 = (5)", 6, -1, -1}, {u"((1)", 0, -1, -1},
    };
    for (const BracketCase& test : cases) {
        SCOPED_TRACE("text: " + Readable(test.Text) + " caret " + std::to_string(test.Caret));
        NCalculatorText::CTokenIndex index;
        const auto pair = NCalculatorText::MatchingBracket(test.Text, test.Caret, index);
        if (test.At < 0) {
            EXPECT_FALSE(pair.has_value());
            continue;
        }
        ASSERT_TRUE(pair.has_value());
        EXPECT_EQ(pair->At, static_cast<std::size_t>(test.At));
        EXPECT_EQ(pair->Partner, static_cast<std::size_t>(test.Partner));
    }
}

TEST(TextTokens, ALongWordOrCommentIsReadInBoundedPieces)
{
    const std::u16string word(5000, u'x');
    const std::vector<TextToken> tokens = NCalculatorText::TokensOf(word);
    ASSERT_FALSE(tokens.empty());
    for (const TextToken& token : tokens)
        EXPECT_LE(token.Length, NCalculatorText::LongestToken);
    NCalculatorText::CTokenIndex index;
    const std::u16string comment = u"/*" + std::u16string(100000, u'c') + u"*/ 1";
    const auto near = index.tokens(comment, 60000, 60100);
    ASSERT_EQ(near.size(), 1u);
    EXPECT_EQ(near.front().Kind, TokenKind::Comment);
    const auto last = index.tokens(comment, comment.size() - 1, comment.size());
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last.front().Kind, TokenKind::Number);
}

}  // namespace
