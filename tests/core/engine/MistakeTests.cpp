// The hints beside failed and warned statements: each known mistake found at
// its spot with its suggested text, and never a hint, nor a changed record,
// for a statement that is written right.
#include "support/EngineTestSupport.h"

#include "core/engine/Mistakes.h"
#include "core/engine/Node.h"
#include "core/engine/Preview.h"
#include "core/engine/Random.h"
#include "core/engine/Scanner.h"
#include "core/formats/TextCodec.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace {

using namespace EngineTests;
namespace N = NCalculatorText;

// Keeps every record whole, its hint included.
class HintLog final : public N::ILogReceiver {
public:
    void Add(const N::LogRecord& record) override
    {
        Lines.push_back(RecordLine(record.Status, record.Context, record.Description));
        Hints.push_back(record.Hint);
    }
    void Clear() override
    {
        Lines.clear();
        Hints.clear();
    }
    std::vector<std::string> Lines;
    std::vector<N::StatementHint> Hints;
};

class MistakeTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        N::State().LogReceiver = &Hints;
    }

    // The hint of the first record of a run of text.
    N::StatementHint FirstHint(std::u16string text)
    {
        int caret = -1;
        N::ExecuteText(text, caret, N::AfterFailure::Continue);
        return Hints.Hints.empty() ? N::StatementHint{} : Hints.Hints.front();
    }

    HintLog Hints;
};

struct MistakeCase {
    std::u16string Text;
    N::Mistake Kind;
    std::string Hint;  // the whole hint line
    std::string Spot;  // the text at the spot
};

const std::vector<MistakeCase>& MistakeCases()
{
    using M = N::Mistake;
    static const std::vector<MistakeCase> cases = {
        // A sign right behind an operator.
        {u"2*-3", M::SignAfterOperator, "a sign cannot follow an operator; write 2*(-3)", "-"},
        {u"2^-1", M::SignAfterOperator, "a sign cannot follow an operator; write 2^(-1)", "-"},
        {u"sin(x)*-pi", M::SignAfterOperator, "a sign cannot follow an operator; write sin(x)*(-pi)", "-"},
        {u"1+-sqrt(4)", M::SignAfterOperator, "a sign cannot follow an operator; write 1+(-sqrt(4))", "-"},
        // A number or bracket right before a name or bracket.
        {u"2pi", M::ImplicitMultiplication,
         "a number or bracket cannot stand right before a name or bracket; write 2*pi", "pi"},
        {u"2(3)", M::ImplicitMultiplication,
         "a number or bracket cannot stand right before a name or bracket; write 2*(3)", "("},
        {u"(1+2)3", M::ImplicitMultiplication,
         "a number or bracket cannot stand right before a name or bracket; write (1+2)*3", "3"},
        {u"2 Mem[a]", M::ImplicitMultiplication,
         "a number or bracket cannot stand right before a name or bracket; write 2*Mem[a]", "Mem[a]"},
        {u"pi(2)", M::ImplicitMultiplication,
         "a number or bracket cannot stand right before a name or bracket; write pi*(2)", "("},
        // Characters the language does not have.
        {u"10%", M::PerCent, "there is no per cent sign; write 10/100", "%"},
        {u"2#3", M::UnknownCharacter, "\u201C#\u201D is not a character of calculations", "#"},
        {u"1$", M::UnknownCharacter, "\u201C$\u201D is not a character of calculations", "$"},
        // Brackets.
        {u"3*(4+", M::UnclosedBracket, "the bracket opened here is never closed; add \u201C)\u201D where it ends", "("},
        {u"3+4)", M::UnopenedBracket, "this bracket closes no bracket; remove it or open one before it", ")"},
        // Function names.
        {u"sin 30", M::FunctionWithoutBrackets, "sin needs its argument in brackets; write sin(30)", "sin"},
        {u"sin30", M::FunctionWithoutBrackets, "sin needs its argument in brackets; write sin(30)", "sin30"},
        {u"sin^2(x)", M::FunctionWithoutBrackets, "sin needs its argument in brackets; write sin(x)", "sin"},
        {u"rand()", M::KeywordWithBrackets, "rand takes no brackets; write rand", "rand()"},
        // Numbers.
        {u"1.5 .5", M::BlanksInNumber,
         "blanks are dropped, so \u201C1.5 .5\u201D reads as \u201C1.5.5\u201D; write one number or put an operator "
         "between them",
         "1.5 .5"},
        {u"1.2.3", M::MalformedNumber, "\u201C1.2.3\u201D is not a number; a number has at most one point", "1.2.3"},
        {u"2*3,5^", M::DecimalComma,
         "\u201C,\u201D separates list elements; the decimal point is \u201C.\u201D; write 3.5", ","},
        // Words.
        {u"arc", M::UnknownWord,
         "\u201C"
         "arc\u201D is not a name calculations know; did you mean arch?",
         "arc"},
        {u"sine(30)", M::UnknownWord, "\u201Csine\u201D is not a name calculations know; did you mean sin(...)?",
         "sine"},
        {u"2*quux", M::UnknownWord, "\u201Cquux\u201D is not a name calculations know", "quux"},
        // Operators and stores.
        {u"2*", M::MissingOperand, "\u201C*\u201D needs a value on each side", "*"},
        {u"*2", M::MissingOperand, "\u201C*\u201D needs a value on each side", "*"},
        {u"5->x", M::StoreTarget, "a value can only be stored in a memory cell; write 5->Mem[x]", "->"},
        {u"5->Mem[a]+1", M::StoreTarget, "a value can only be stored in a memory cell; write (5->Mem[a])+1", "+"},
        {u"memx", M::MemoryWithoutBrackets,
         "a word starting with \u201Cmem\u201D names a memory cell, whose name goes in brackets; write mem[x]", "memx"},
        // Memory cells never stored.
        {u"Mem[rnet]*2", M::UnsetCell, "Mem[rnet] has no value yet", "Mem[rnet]"},
        {u"5->Mem[rent]; Mem[rnet]*2", M::UnsetCell, "Mem[rnet] has no value yet; did you mean Mem[rent]?",
         "Mem[rnet]"},
        {u"5->Mem[a]; Mem[a]+Memory{ b }", M::UnsetCell, "Memory{ b } has no value yet", "Memory{ b }"},
        // Comments.
        {u"1+1; 2 /* note", M::UnclosedComment, "the comment opened here is never closed; end it with \u201C*/\u201D",
         "/*"},
    };
    return cases;
}

TEST_F(MistakeTest, EachKnownMistakeIsExplainedAtItsSpot)
{
    for (const MistakeCase& row : MistakeCases()) {
        SCOPED_TRACE("input: " + Readable(row.Text));
        const N::StatementHint hint = FirstHint(row.Text);
        EXPECT_EQ(hint.Kind, row.Kind);
        EXPECT_EQ(Readable(hint.Text), row.Hint);
        ASSERT_GE(hint.Start, 0);
        EXPECT_EQ(
            Readable(row.Text.substr(static_cast<std::size_t>(hint.Start), static_cast<std::size_t>(hint.Length))),
            row.Spot);
    }
}

TEST_F(MistakeTest, EveryRowOfTheTableHasACase)
{
    std::set<N::Mistake> covered;
    for (const MistakeCase& row : MistakeCases())
        covered.insert(row.Kind);
    covered.insert(N::Mistake::ListWithoutValue);  // the value pane's, below
    std::set<std::u16string_view> topics;
    for (const N::MistakeRow& row : N::MistakeTable()) {
        SCOPED_TRACE(Readable(row.Topic));
        EXPECT_TRUE(covered.contains(row.Kind)) << "no case for this row";
        EXPECT_TRUE(topics.insert(row.Topic).second) << "topic used twice";
        EXPECT_EQ(N::FindMistakeByTopic(row.Topic), &row);
        EXPECT_FALSE(row.Explanation.empty());
        EXPECT_FALSE(row.Help.empty());
    }
}

TEST_F(MistakeTest, TheRecordsKeepTheirTextsWhateverTheHint)
{
    const std::vector<std::pair<std::u16string, std::string>> rows = {
        {u"2*-3", SyntaxErrorRecord()},
        {u"Mem[rnet]*2", UnsetMemoryRecord()},
        {u"sin 30", UnsetIndexRecord()},
        {u"1 /* open", SyntaxErrorRecord()},
    };
    for (const auto& [text, record] : rows) {
        SCOPED_TRACE("input: " + Readable(text));
        FirstHint(text);
        EXPECT_EQ(Hints.Lines, std::vector<std::string>{record});
    }
}

TEST_F(MistakeTest, MathReportsGetNoHint)
{
    for (const std::u16string text : {u"ln(-1)", u"5/0", u"1e-200*1e-200", u"exp(1000)", u"(-2)^0.5"}) {
        SCOPED_TRACE("input: " + Readable(text));
        FirstHint(text);
        ASSERT_FALSE(Hints.Hints.empty());
        EXPECT_FALSE(Hints.Hints.front().IsKnown());
    }
}

TEST_F(MistakeTest, TheSeriesIndexIsNoUnknownWord)
{
    // Inside the series i has its value; the warning is about k alone.
    const N::StatementHint hint = FirstHint(u"sum(i,1,3,k*i)");
    EXPECT_EQ(hint.Kind, N::Mistake::UnknownWord);
    EXPECT_EQ(hint.Start, 10);
}

TEST(NearestCell, SuggestsTheClosestNameWithinTwoEdits)
{
    Tevra::CMemoryMap memory;
    for (const std::u16string name :
         {u"rent", u"rate", u"total", u"x", u"depreciationperyearofthemachine", u"abcdefgh"})
        memory.GetOrCreate(name) = 1.0;
    const std::vector<std::pair<std::u16string, std::u16string>> rows = {
        {u"rnet", u"rent"},   // two letters swapped
        {u"rents", u"rent"},  // one letter more
        {u"totl", u"total"},  // one letter less
        {u"rae", u"rate"},    // closer to rate than to rent
        {u"y", u""},          // a single letter is never a misspelling
        {u"balance", u""},    // nothing near
        {u"rent", u""},       // the cell itself is no suggestion
        {u"RNET", u"rent"},   // letters compared without case
        // Long names: two edits apart still found, three not.
        {u"depreciationperyaerofthemachine", u"depreciationperyearofthemachine"},
        {u"depreciationperyearofthemach", u""},
        {u"abcdefghij", u"abcdefgh"},  // two letters more
        {u"abcdefghijk", u""},         // three letters more
        {u"xbcdefgy", u"abcdefgh"},    // two letters changed
        {u"xbcdeygz", u""},            // three letters changed
    };
    for (const auto& [name, nearest] : rows) {
        SCOPED_TRACE(Readable(name));
        EXPECT_EQ(Readable(N::NearestCellName(name, memory)), Readable(nearest));
    }
}

TEST_F(MistakeTest, AListSaysItHasNoSingleValueInThePreview)
{
    const std::vector<std::tuple<std::u16string, std::string, int>> rows = {
        {u"3,5*2", "A list has no single value (did you mean 3.5?)", 1},
        {u"1, 2", "A list has no single value", 1},
        {u"x; 7,25", "A list has no single value (did you mean 7.25?)", 4},
    };
    for (const auto& [text, line, spot] : rows) {
        SCOPED_TRACE("input: " + Readable(text));
        const N::PreviewOutcome outcome = N::PreviewStatement(text, text.size());
        EXPECT_EQ(outcome.Outcome, N::PreviewOutcome::Kind::Failed);
        EXPECT_FALSE(outcome.Reported);
        EXPECT_EQ(outcome.Hint.Kind, N::Mistake::ListWithoutValue);
        EXPECT_EQ(Readable(outcome.Hint.Text), line);
        EXPECT_EQ(outcome.Hint.Start, spot);
    }
    // The argument list of a function is no such list.
    EXPECT_FALSE(N::PreviewStatement(u"j(0,1)", 1).Hint.IsKnown());
}

TEST_F(MistakeTest, ThePreviewShowsTheHintOfItsRecord)
{
    const std::u16string text = u"1; 2*-3";
    const N::PreviewOutcome outcome = N::PreviewStatement(text, text.size());
    ASSERT_TRUE(outcome.Reported);
    EXPECT_EQ(Readable(N::HintLine(outcome.Description, outcome.Hint)),
              "Syntax error: a sign cannot follow an operator; write 2*(-3)");
    EXPECT_EQ(outcome.Hint.Start, 5);
    EXPECT_TRUE(Hints.Lines.empty()) << "a preview logs nothing";
}

TEST_F(MistakeTest, ASeriesReadingAnEmptyCellOnEveryTermReadsTheStatementOnce)
{
    FirstHint(u"sum(i,1,1000,Mem[a])");
    ASSERT_EQ(Hints.Hints.size(), 1000u);
    for (const N::StatementHint& hint : Hints.Hints)
        EXPECT_EQ(hint, Hints.Hints.front());
}

// Every example of the help pages and the bundled examples.
std::vector<std::u16string> DocumentedTexts()
{
    const std::filesystem::path root = TEVRA_SOURCE_ROOT;
    std::vector<std::u16string> texts;
    auto read = [](const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    };
    for (const auto& entry : std::filesystem::directory_iterator(root / "resources/help")) {
        std::string html = read(entry.path());
        for (std::size_t at = 0; (at = html.find("<calc", at)) != std::string::npos;) {
            const std::size_t open = html.find('>', at) + 1;
            const std::size_t close = html.find("</calc>", open);
            std::string statement = html.substr(open, close - open);
            for (const auto& [entity, character] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}}) {
                for (std::size_t p; (p = statement.find(entity)) != std::string::npos;)
                    statement.replace(p, std::string_view(entity).size(), character);
            }
            texts.push_back(Tevra::Utf8ToUtf16(statement));
            at = close;
        }
    }
    for (const auto& entry : std::filesystem::directory_iterator(root / "examples"))
        texts.push_back(Tevra::Utf8ToUtf16(read(entry.path())));
    return texts;
}

TEST_F(MistakeTest, DocumentedExamplesRunTheSameWithAndWithoutHints)
{
    const std::vector<std::u16string> texts = DocumentedTexts();
    ASSERT_GT(texts.size(), 5u);
    for (const std::u16string& text : texts) {
        SCOPED_TRACE("text: " + Readable(text));
        std::vector<std::string> lines[2];
        std::u16string results[2];
        std::vector<N::StatementHint> hints;
        for (const bool explain : {true, false}) {
            N::State() = {};
            N::State().LogReceiver = &Hints;
            N::SeedRandomGenerator(1);
            N::State().Subject.Explain = explain;
            std::u16string run = text;
            int caret = -1;
            N::ExecuteText(run, caret, N::AfterFailure::Continue);
            lines[explain ? 0 : 1] = Hints.Lines;
            results[explain ? 0 : 1] = run;
            if (explain) {
                hints = Hints.Hints;
                continue;
            }
            for (const N::StatementHint& hint : Hints.Hints)
                EXPECT_FALSE(hint.IsKnown()) << "a hint without the pass";
        }
        EXPECT_EQ(lines[0], lines[1]);
        EXPECT_EQ(Readable(results[0]), Readable(results[1]));
        // Only statements the examples show failing get a hint.
        for (std::size_t k = 0; k < hints.size(); ++k) {
            if (hints[k].IsKnown()) {
                EXPECT_TRUE(lines[0][k].find("Syntax error") != std::string::npos ||
                            lines[0][k].find("Uninitialized") != std::string::npos)
                    << lines[0][k];
            }
        }
    }
}

TEST_F(MistakeTest, NoStatementThatParsesShowsASyntaxMistake)
{
    // The syntax pass is asked only after a failed parse; read any statement
    // that parses, it must find nothing there.
    std::vector<std::u16string> statements;
    for (const std::u16string& text : DocumentedTexts()) {
        std::u16string work = text;
        N::StripComments(work);
        std::size_t from = 0;
        while (from <= work.size()) {
            const std::size_t end = std::min(work.find(u';', from), work.size());
            std::u16string statement = work.substr(from, end - from);
            statement = statement.substr(0, statement.find(u'='));
            statements.push_back(statement);
            from = end + 1;
        }
    }
    for (const std::u16string extra : {u"2*(-3)",
                                       u"1 2",
                                       u"-1e-5-1",
                                       u"1e+5+2",
                                       u"3!",
                                       u"(2+1)!",
                                       u"sin(x)^2",
                                       u"mem[ my cell ]",
                                       u"5->mem[a]->mem[b]",
                                       u"(5->mem[a])+1",
                                       u"sum(j,1,2,j)*prod(y,1,2,y)",
                                       u"j(0,(1->mem[a]))",
                                       u"j(0,1)",
                                       u"sum(i,1,10,i^2)",
                                       u"e 5",
                                       u"\u03C0*\u221A(2)",
                                       u"2\u00D73\u22121",
                                       u"[1+2]*{3}",
                                       u"+5",
                                       u"rslt*2"})
        statements.emplace_back(extra);
    int checked = 0;
    for (const std::u16string& statement : statements) {
        N::CNode root;
        if (N::TrimWideSpace(statement).empty() || !N::ParseStatement(root, statement))
            continue;
        ++checked;
        SCOPED_TRACE("statement: " + Readable(statement));
        const auto hint = N::ExplainExpression(statement, {}, N::State().MemoryMap);
        EXPECT_FALSE(hint.has_value()) << Readable(hint ? hint->Text : u"");
    }
    EXPECT_GT(checked, 30);
}

}  // namespace

namespace {

TEST(UnsetCells, AreTheReadsNoStoreAboveFillsAndMemoryDoesNotHold)
{
    Tevra::CMemoryMap memory;
    memory.GetOrCreate(u"kept") = 1;
    memory.GetOrCreate(u"rent") = 2;
    const std::u16string text =
        u"Mem[kept]+Mem[a]; 5->Mem[b]; Mem[B]*MEM{c} // Mem[d]\n/* Mem[e] */ Mem[rnet]=7; Mem[f]->Mem[f]";
    std::vector<std::string> found;
    for (const N::StatementHint& hint : N::UnsetCellReferences(text, memory)) {
        found.push_back(EngineTests::Readable(
                            text.substr(static_cast<std::size_t>(hint.Start), static_cast<std::size_t>(hint.Length))) +
                        " | " + EngineTests::Readable(hint.Text));
    }
    const std::vector<std::string> expected = {
        "Mem[a] | Mem[a] has no value yet",
        "MEM{c} | MEM{c} has no value yet",
        "Mem[rnet] | Mem[rnet] has no value yet; did you mean Mem[rent]?",
        "Mem[f] | Mem[f] has no value yet",
    };
    EXPECT_EQ(found, expected);
}

TEST(MistakePass, ReadsAnyTextWithoutFailing)
{
    // Pieces of the language and of its mistakes, put together at random:
    // the pass must answer for each (the sanitizer build checks its reads).
    const std::vector<std::u16string> pieces = {u"2",   u"-", u"*",   u"(",      u")", u"[",  u"}",  u"mem",
                                                u"sin", u",", u"->",  u"%",      u" ", u"e",  u".",  u"!",
                                                u"pi",  u"^", u"sum", u"\u2212", u"$", u"x1", u"/*", u"memory"};
    const Tevra::CMemoryMap memory;
    std::uint32_t seed = 12345;
    for (int round = 0; round < 3000; ++round) {
        std::u16string text;
        const int count = 1 + round % 12;
        for (int k = 0; k < count; ++k) {
            seed = seed * 1664525u + 1013904223u;
            text += pieces[(seed >> 16) % pieces.size()];
        }
        for (const N::ReportCode code : {N::SyntaxError, N::Uninitialized}) {
            N::ExplainRequest request;
            request.Code = code;
            request.MemoryRead = round % 2 == 0;
            if (const auto hint = N::ExplainExpression(text, request, memory)) {
                EXPECT_GE(hint->Start, 0) << EngineTests::Readable(text);
                EXPECT_LE(static_cast<std::size_t>(hint->Start + hint->Length), text.size())
                    << EngineTests::Readable(text);
            }
        }
        N::ExplainList(text);
        N::UnsetCellReferences(text, memory);
    }
}

}  // namespace
