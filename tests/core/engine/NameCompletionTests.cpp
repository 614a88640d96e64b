// Completion: what the caret stands in, and the names offered for it under
// the preferences that spell what the keypad inserts.
#include "support/EngineTestSupport.h"

#include "core/engine/NameCompletion.h"
#include "core/formats/NumberFormat.h"
#include "core/memory/MemoryMap.h"
#include "core/engine/EngineState.h"

namespace {

using namespace EngineTests;
using NCalculatorText::CompletionCandidate;
using NCalculatorText::CompletionContext;

struct ContextCase {
    std::u16string Text;  // "|" marks the caret
    CompletionContext::Kind What;
    std::string Prefix;
    std::string Replaced;  // Start..End
    bool Flag = false;     // BracketFollows for a name, Closed for a cell
};

TEST(NameCompletion, FindsTheWordOrCellNameAtTheCaret)
{
    using Kind = CompletionContext::Kind;
    const std::vector<ContextCase> cases = {
        {u"si|", Kind::Name, "si", "si"},
        {u"2*arc|", Kind::Name, "arc", "arc"},
        {u"si|n(1)", Kind::Name, "si", "sin", true},
        {u"x|", Kind::Name, "x", "x"},
        {u"12|", Kind::None, "", ""},
        {u"1e|", Kind::Name, "e", "e"},
        {u"1e5|", Kind::None, "", ""},
        {u"sin |", Kind::None, "", ""},
        {u"// si|", Kind::None, "", ""},
        {u"2 = si|", Kind::None, "", ""},
        {u"Mem[|", Kind::MemoryCell, "", ""},
        {u"Mem[ ab|", Kind::MemoryCell, "ab", "ab"},
        {u"mem(ab|cd) + 1", Kind::MemoryCell, "ab", "abcd", true},
        {u"memory{my c|", Kind::MemoryCell, "my c", "my c"},
        {u"mem[a]|", Kind::None, "", ""},
        {u"mem[a] + me|", Kind::Name, "me", "me"},
    };
    for (const ContextCase& test : cases) {
        SCOPED_TRACE("text: " + Readable(test.Text));
        std::u16string text = test.Text;
        const std::size_t caret = text.find(u'|');
        text.erase(caret, 1);
        NCalculatorText::CTokenIndex index;
        const CompletionContext context = NCalculatorText::FindCompletionContext(text, caret, index);
        EXPECT_EQ(context.What, test.What);
        if (context.What == Kind::None)
            continue;
        EXPECT_EQ(Readable(context.Prefix), test.Prefix);
        EXPECT_EQ(Readable(text.substr(context.Start, context.End - context.Start)), test.Replaced);
        EXPECT_EQ(context.What == Kind::Name ? context.BracketFollows : context.Closed, test.Flag);
    }
}

// "Name>Insert" for each candidate.
std::vector<std::string> Offered(const std::u16string& textWithCaret, const Tevra::CCalcSettings& settings)
{
    std::u16string text = textWithCaret;
    const std::size_t caret = text.find(u'|');
    text.erase(caret, 1);
    NCalculatorText::CTokenIndex index;
    const CompletionContext context = NCalculatorText::FindCompletionContext(text, caret, index);
    std::vector<std::string> offered;
    for (const CompletionCandidate& candidate :
         NCalculatorText::CompletionCandidates(context, settings, NCalculatorText::State().MemoryMap))
        offered.push_back(Readable(candidate.Name) + ">" + Readable(candidate.Insert));
    return offered;
}

struct CandidateCase {
    std::u16string Text;
    void (*Prefer)(Tevra::CCalcSettings&);
    std::vector<std::string> Offered;
};

void Defaults(Tevra::CCalcSettings&) {}
void Upper(Tevra::CCalcSettings& s)
{
    s.NotationCase = 1;
}
void CurlyFunctionsRoundMemory(Tevra::CCalcSettings& s)
{
    s.AppendFunctionWith = 2;
    s.AppendMemoryWith = 0;
}
void NoBrackets(Tevra::CCalcSettings& s)
{
    s.AppendFunction = 0;
    s.AppendMemory = 0;
}
void LongKeywords(Tevra::CCalcSettings& s)
{
    s.FormatMemory = 3;
    s.FormatResult = 5;
    s.FormatRandom = 1;
}

class NameCompletionTest : public EngineTest {};

TEST_F(NameCompletionTest, OffersNamesSpeltAsThePreferencesAsk)
{
    Run(u"1->mem[alpha]; 2->mem[alpine]; 3->mem[beta]; 4->Mem[ALSO]");
    const std::vector<CandidateCase> cases = {
        {u"sinh|", Defaults, {"sinh>sinh("}},
        {u"si|", Defaults, {"sign>sign(", "sin>sin(", "sinh>sinh("}},
        {u"tg|", Defaults, {"tg>tg("}},
        {u"ta|", Defaults, {"tan>tan(", "tanh>tanh("}},
        {u"SI|", Upper, {"SIGN>SIGN(", "SIN>SIN(", "SINH>SINH("}},
        {u"co|", CurlyFunctionsRoundMemory, {"cos>cos{", "cosec>cosec{", "cosh>cosh{", "cot>cot{", "coth>coth{"}},
        {u"lo|", NoBrackets, {"log>log"}},
        {u"me|", Defaults, {"Mem>Mem["}},
        {u"memo|", Defaults, {"Memory>Memory["}},
        {u"me|", LongKeywords, {"Memory>Memory["}},
        {u"me|", CurlyFunctionsRoundMemory, {"Mem>Mem("}},
        {u"re|", LongKeywords, {"RESULT>RESULT"}},
        {u"rs|", LongKeywords, {"RSLT>RSLT"}},
        {u"ra|", Defaults, {"Rand>Rand"}},
        {u"ra|", LongKeywords, {"rand>rand"}},
        {u"p|", Defaults, {"pi>pi", "prod>prod("}},
        {u"e|", Defaults, {"e>e", "exp>exp("}},
        {u"su|(", Defaults, {"sum>sum"}},
        {u"zz|", Defaults, {}},
        {u"mem[al|", Defaults, {"alpha>alpha]", "alpine>alpine]", "also>also]"}},
        {u"mem[AL|", Defaults, {"alpha>alpha]", "alpine>alpine]", "also>also]"}},
        {u"Mem(alp|", Defaults, {"alpha>alpha)", "alpine>alpine)"}},
        {u"mem{b|}", Defaults, {"beta>beta"}},
        {u"mem[|", Defaults, {"alpha>alpha]", "alpine>alpine]", "also>also]", "beta>beta]"}},
    };
    for (const CandidateCase& test : cases) {
        SCOPED_TRACE("text: " + Readable(test.Text));
        Tevra::CCalcSettings settings;
        test.Prefer(settings);
        EXPECT_EQ(Offered(test.Text, settings), test.Offered);
    }
}

TEST_F(NameCompletionTest, OffersBothNotationsOfEveryFunctionItKnows)
{
    const std::vector<std::string> arc = Offered(u"arcc|", Tevra::CCalcSettings{});
    EXPECT_EQ(arc,
              (std::vector<std::string>{"arccos>arccos(", "arccosec>arccosec(", "arccot>arccot(", "arccsc>arccsc(",
                                        "arcctg>arcctg("}));
}

TEST_F(NameCompletionTest, ListsAtMostTheCellsAskedFor)
{
    std::u16string stores;
    for (int i = 0; i < 500; ++i)
        stores += u"1->mem[c" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) +
            NCalculatorText::FormatNumberText(i) + u"];";
    Run(stores);
    NCalculatorText::CTokenIndex index;
    const std::u16string text = u"mem[c";
    const CompletionContext context = NCalculatorText::FindCompletionContext(text, text.size(), index);
    EXPECT_EQ(
        NCalculatorText::CompletionCandidates(context, Tevra::CCalcSettings{}, NCalculatorText::State().MemoryMap, 50)
            .size(),
        50u);
}

}  // namespace
