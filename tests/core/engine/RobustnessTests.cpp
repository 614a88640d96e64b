// Hostile and malformed texts: deep nesting, very long statements, unpaired
// surrogates, NUL characters and seeded random texts must all end in results
// or reports, never in a crash or a hang.
#include "support/EngineTestSupport.h"

#include <algorithm>
#include <random>
#include <set>

#include "core/memory/MemoryMap.h"
#include "core/engine/EngineState.h"

namespace EngineTests {
namespace {

class Robustness : public EngineTest {
protected:
    // What every execution must satisfy, whatever the text.
    void ExpectWellFormedOutcome(const std::u16string& input, int caret, const RunOutcome& outcome)
    {
        static const std::set<std::string> contexts = [] {
            std::set<std::string> names;
            for (int code = 0; code <= 46; ++code)
                names.insert(Readable(NCalculatorText::OperationName(code)));
            return names;
        }();
        SCOPED_TRACE("input: \"" + Readable(input) + "\" caret " + std::to_string(caret));
        if (outcome.Ok) {
            if (caret == -1) {
                EXPECT_EQ(outcome.Caret, static_cast<int>(outcome.Text.size()));
            } else {
                EXPECT_GE(outcome.Caret, 0);
                EXPECT_LE(outcome.Caret, static_cast<int>(outcome.Text.size()));
            }
        } else {
            // A failing run leaves the caret in place, within the text that
            // removing the old result may have shortened.
            EXPECT_EQ(outcome.Caret, std::min(caret, std::max(static_cast<int>(outcome.Text.size()), -1)));
        }
        for (std::size_t i = 0; i < Log.Lines.size(); ++i) {
            EXPECT_TRUE(Log.Statuses[i] == 0 || Log.Statuses[i] == 1) << Log.Lines[i];
            EXPECT_EQ(contexts.count(Readable(Log.Contexts[i])), 1U) << Log.Lines[i];
            if (outcome.Ok) {
                EXPECT_EQ(Log.Statuses[i], 0) << "error logged in a successful run: " << Log.Lines[i];
            }
        }
    }

    // An over-long or over-deep statement is refused as a syntax error.
    void ExpectRefused(const std::u16string& input, const char* what)
    {
        SCOPED_TRACE(what);
        const RunOutcome outcome = Run(input);
        EXPECT_FALSE(outcome.Ok);
        EXPECT_EQ(outcome.Records, std::vector<std::string>{SyntaxErrorRecord()});
        EXPECT_EQ(outcome.Caret, -1);
    }

    // A statement that is either computed correctly or refused.
    void ExpectValueOrRefusal(const std::u16string& input, const std::string& value, const char* what)
    {
        SCOPED_TRACE(what);
        const RunOutcome outcome = Run(input);
        if (outcome.Ok) {
            EXPECT_EQ(Readable(outcome.Text.substr(input.size())), "=" + value);
            EXPECT_TRUE(outcome.Records.empty());
        } else {
            EXPECT_EQ(outcome.Records, std::vector<std::string>{SyntaxErrorRecord()});
        }
    }
};

TEST_F(Robustness, DeepNestingIsRefusedOrComputed)
{
    const auto guard = static_cast<std::size_t>(NCalculatorText::MaxNestingDepth);
    ExpectValueOrRefusal(Repeat(u"(", 10000) + u"1" + Repeat(u")", 10000), "1", "10,000 nested brackets");
    ExpectValueOrRefusal(Repeat(u"[", 10000) + u"2" + Repeat(u"}", 10000), "2", "10,000 mixed brackets");
    ExpectValue(Repeat(u"-(", 10000) + u"1" + Repeat(u")", 10000), "1");
    ExpectValue(Repeat(u"sin(", 5000) + u"0" + Repeat(u")", 5000), "0");
    ExpectValue(Repeat(u"1^", 10000) + u"1", "1");
    ExpectRefused(Repeat(u"-(", guard) + u"1" + Repeat(u")", guard), "nested negations beyond the guard");
    ExpectRefused(Repeat(u"sin(", guard + 1) + u"0" + Repeat(u")", guard + 1), "nested functions beyond the guard");
    ExpectRefused(Repeat(u"sum(i,1,1,", guard / 2) + u"i" + Repeat(u")", guard / 2), "nested series beyond the guard");
}

TEST_F(Robustness, RealisticNestingIsComputed)
{
    ExpectValue(Repeat(u"-(", 500) + u"1" + Repeat(u")", 500), "1");
    ExpectValue(Repeat(u"sqrt(", 300) + u"1" + Repeat(u")", 300), "1");
    ExpectValue(Repeat(u"(", 1000) + u"3" + Repeat(u")", 1000), "3");
    ExpectValue(u"1" + Repeat(u"+1", 999), "1000");
    ExpectValue(u"1" + Repeat(u"*1", 999), "1");
}

TEST_F(Robustness, VeryLongStatementsAreComputed)
{
    ExpectValue(u"1" + Repeat(u"+1", 99999), "100000");
    ExpectValue(u"1" + Repeat(u"-1", 1 << 19), "-524287");
    ExpectFailure(Repeat(u"1", 1 << 20), {PositiveOverflow("Number")});
    ExpectValue(Repeat(u"x", 1 << 20), "0", {UnsetIndexRecord()});
}

TEST_F(Robustness, LongTextsEndWithAResultOrARefusal)
{
    const std::u16string comment = u"/*" + Repeat(u"x", 1 << 20) + u"*/ 2";
    const RunOutcome commented = Run(comment);
    ExpectWellFormedOutcome(u"a 1 MB comment", -1, commented);
    if (commented.Ok) {
        EXPECT_EQ(Readable(commented.Text.substr(comment.size())), "=2");
    }

    const std::u16string many = Repeat(u"1+1;", 5000);
    const RunOutcome outcome = Run(many);
    EXPECT_TRUE(outcome.Ok);
    EXPECT_EQ(outcome.Text, Repeat(u"1+1=2;", 5000));
    EXPECT_EQ(outcome.Caret, static_cast<int>(outcome.Text.size()));
}

TEST_F(Robustness, UnpairedSurrogatesAndNulCharacters)
{
    struct Row {
        std::u16string Text;
        bool Ok;
        std::u16string Result;  // the whole text after a successful run
    };
    const std::vector<Row> rows = {
        {u"1+\xD800", false, u""},
        {u"\xDC00", false, u""},
        {u"sin(\xDFFF)", false, u""},
        {u"\xD800\xD800\xDC00", false, u""},
        {u"1/*\xD800*/+1", true, u"1/*\xD800*/+1=2"},
        {u"5->mem[\xD800]", true, u"5->mem[\xD800]=5"},
        {u"mem[\xDBFF]", true, u"mem[\xDBFF]=0"},
        {std::u16string(u"1+1\0+2", 6), false, u""},
        {std::u16string(u"\0", 1), false, u""},
        {std::u16string(u"1/*\0*/+1", 8), true, std::u16string(u"1/*\0*/+1=2", 10)},
        {std::u16string(u"// \0\n3", 6), true, std::u16string(u"// \0\n3=3", 8)},
        {std::u16string(u"4->mem[a\0b]", 11), true, std::u16string(u"4->mem[a\0b]=4", 13)},
    };
    for (const Row& row : rows) {
        const RunOutcome outcome = Run(row.Text);
        ExpectWellFormedOutcome(row.Text, -1, outcome);
        SCOPED_TRACE("input: \"" + Readable(row.Text) + "\"");
        EXPECT_EQ(outcome.Ok, row.Ok);
        if (row.Ok) {
            EXPECT_EQ(Readable(outcome.Text), Readable(row.Result));
        } else {
            EXPECT_FALSE(outcome.Records.empty());
        }
    }
    EXPECT_NE(NCalculatorText::State().MemoryMap.Find(u"\xD800"), nullptr);
    EXPECT_NE(NCalculatorText::State().MemoryMap.Find(std::u16string(u"a\0b", 3)), nullptr);
}

// Short texts built from the language's own pieces, in random order.
TEST_F(Robustness, SeededTextsOfLanguagePiecesEndWell)
{
    const std::vector<std::u16string> pieces = {
        u"0",      u"1",      u"2",     u"5",      u".",       u"e",
        u"1e308",  u"1e-200", u"171",   u"1e17",   u"0.5",     u"+",
        u"-",      u"\u2212", u"*",     u"\u00D7", u"/",       u"\u00F7",
        u"^",      u"!",      u",",     u"(",      u")",       u"[",
        u"]",      u"{",      u"}",     u"->",     u"\u2212>", u"sin",
        u"ln",     u"lg",     u"gamma", u"\u0393", u"\u221A",  u"sech",
        u"arcosh", u"cth",    u"abs",   u"sign",   u"mem[a]",  u"mem[b]",
        u"memory", u"mem",    u"pi",    u"\u03C0", u"rslt",    u"x",
        u"i",      u"=",      u";",     u"//",     u"/*",      u"*/",
        u" ",      u"\n",     u"\t",    u"$",      u"$0$",     std::u16string(1, u'\0'),
        u"\xD800",
    };
    std::mt19937 generator(20240611);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(1, 14);
    for (int round = 0; round < 4000; ++round) {
        std::u16string text;
        const int count = length(generator);
        for (int i = 0; i < count; ++i)
            text += pieces[pick(generator)];
        int caret = -1;
        if (round % 4 == 3)
            caret = std::uniform_int_distribution<int>(0, static_cast<int>(text.size()))(generator);
        const RunOutcome outcome = Run(text, caret);
        ExpectWellFormedOutcome(text, caret, outcome);
        if (HasFailure())
            break;
    }
}

// Random UTF-16 code units, half of them from the language's characters.
TEST_F(Robustness, RandomCodeUnitsEndWell)
{
    const std::u16string language =
        u"0123456789.e+-*/^!()[]{},;=>  \n\t\r_abcxilngth\u2212\u00D7\u00F7\u03C0\u0393\u221A";
    std::mt19937 generator(7001);
    std::uniform_int_distribution<int> length(0, 24);
    std::uniform_int_distribution<std::size_t> fromLanguage(0, language.size() - 1);
    std::uniform_int_distribution<int> anyUnit(0, 0xFFFF);
    std::bernoulli_distribution languageUnit(0.5);
    for (int round = 0; round < 3000; ++round) {
        std::u16string text;
        const int count = length(generator);
        for (int i = 0; i < count; ++i)
            text +=
                languageUnit(generator) ? language[fromLanguage(generator)] : static_cast<char16_t>(anyUnit(generator));
        const RunOutcome outcome = Run(text);
        ExpectWellFormedOutcome(text, -1, outcome);
        if (HasFailure())
            break;
    }
}

}  // namespace
}  // namespace EngineTests
