// The dispatcher and its recognizers. Each recognizer looks at a whole text and
// splits it at the rightmost occurrence of its operator, so the recognizer
// tried first binds loosest.
#include "core/engine/Cancel.h"
#include "core/engine/Node.h"

#include "core/engine/Engine.h"
#include "core/engine/LanguageNames.h"
#include "core/engine/NodesArithmetic.h"
#include "core/engine/NodesHyperbolic.h"
#include "core/engine/NodesInfix.h"
#include "core/engine/NodesMemory.h"
#include "core/engine/NodesSeries.h"
#include "core/engine/NodesGammaBessel.h"
#include "core/engine/NodesTrigonometric.h"
#include "core/engine/Scanner.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace NCalculatorText {

namespace {

using NodeFactory = CNode* (*)(CNode* parent);

template <typename T> CNode* Append(CNode* parent)
{
    return parent->AppendChild<T>();
}

struct FunctionName {
    std::u16string_view Name;
    NodeFactory Create;
};

// Every function name of the language, West and East spellings alike.
constexpr auto FunctionNames = std::to_array<FunctionName>({
    {u"sin", Append<CNodeSin>},
    {u"cos", Append<CNodeCos>},
    {u"tg", Append<CNodeTg>},
    {u"tan", Append<CNodeTg>},
    {u"ctg", Append<CNodeCtg>},
    {u"cot", Append<CNodeCtg>},
    {u"sec", Append<CNodeSec>},
    {u"csc", Append<CNodeCosec>},
    {u"cosec", Append<CNodeCosec>},
    {u"asin", Append<CNodeArcSin>},
    {u"arcsin", Append<CNodeArcSin>},
    {u"acos", Append<CNodeArcCos>},
    {u"arccos", Append<CNodeArcCos>},
    {u"atan", Append<CNodeArcTg>},
    {u"arctg", Append<CNodeArcTg>},
    {u"arctan", Append<CNodeArcTg>},
    {u"acot", Append<CNodeArcCtg>},
    {u"arcctg", Append<CNodeArcCtg>},
    {u"arccot", Append<CNodeArcCtg>},
    {u"asec", Append<CNodeArcSec>},
    {u"arcsec", Append<CNodeArcSec>},
    {u"acsc", Append<CNodeArcCosec>},
    {u"arccsc", Append<CNodeArcCosec>},
    {u"arccosec", Append<CNodeArcCosec>},
    {u"sh", Append<CNodeSh>},
    {u"sinh", Append<CNodeSh>},
    {u"ch", Append<CNodeCh>},
    {u"cosh", Append<CNodeCh>},
    {u"th", Append<CNodeTh>},
    {u"tanh", Append<CNodeTh>},
    {u"cth", Append<CNodeCth>},
    {u"coth", Append<CNodeCth>},
    {u"sech", Append<CNodeSech>},
    {u"csch", Append<CNodeCsch>},
    {u"arsh", Append<CNodeArSh>},
    {u"asinh", Append<CNodeArSh>},
    {u"arsinh", Append<CNodeArSh>},
    {u"arch", Append<CNodeArCh>},
    {u"acosh", Append<CNodeArCh>},
    {u"arcosh", Append<CNodeArCh>},
    {u"arth", Append<CNodeArTh>},
    {u"atanh", Append<CNodeArTh>},
    {u"artanh", Append<CNodeArTh>},
    {u"arcth", Append<CNodeArCth>},
    {u"acoth", Append<CNodeArCth>},
    {u"arcoth", Append<CNodeArCth>},
    {u"arsch", Append<CNodeArSch>},
    {u"asech", Append<CNodeArSch>},
    {u"arsech", Append<CNodeArSch>},
    {u"acsch", Append<CNodeArCsch>},
    {u"arcsch", Append<CNodeArCsch>},
    {u"ln", Append<CNodeLn>},
    {u"lg", Append<CNodeLg>},
    {u"log", Append<CNodeLg>},
    {u"exp", Append<CNodeExp>},
    {u"sqrt", Append<CNodeSqrt>},
    {u"\u221A", Append<CNodeSqrt>},
    {u"abs", Append<CNodeAbs>},
    {u"sign", Append<CNodeSign>},
    {u"gamma", Append<CNodeGamma>},
    {u"\u0393", Append<CNodeGamma>},
    {u"j", Append<CNodeJ>},
    {u"y", Append<CNodeY>},
    {u"sum", Append<CNodeSum>},
    {u"\u2211", Append<CNodeSum>},
    {u"prod", Append<CNodeProduct>},
    {u"\u220F", Append<CNodeProduct>},
});

// Keywords that stand alone as atoms.
constexpr auto Keywords = std::to_array<FunctionName>({
    {u"pi", Append<CNodePi>},
    {u"\u03C0", Append<CNodePi>},
    {u"e", Append<CNodeE>},
    {u"rslt", Append<CNodeResult>},
    {u"result", Append<CNodeResult>},
    {u"rand", Append<CNodeRandom>},
    {u"random", Append<CNodeRandom>},
});

template <std::size_t N> NodeFactory FindName(const std::array<FunctionName, N>& table, std::u16string_view name)
{
    const auto found =
        std::find_if(table.begin(), table.end(), [name](const FunctionName& f) { return f.Name == name; });
    return found == table.end() ? nullptr : found->Create;
}

// Appends a node made by create with the given operand texts.
CNode* AppendWithOperands(CNode* parent, NodeFactory create, std::initializer_list<std::u16string> operands)
{
    CNode* node = create(parent);
    node->Operands.assign(operands.begin(), operands.end());
    return node;
}

// Appends a node that parses a whole run of one level's operators.
bool AppendInfix(CNode* parent, InfixLevel level, std::u16string& text)
{
    auto* node = parent->AppendChild<CNodeInfix>();
    node->Level = level;
    node->Operands.push_back(std::move(text));
    return true;
}

bool ContainsAnyOf(std::u16string_view text, std::u16string_view characters)
{
    return text.find_first_of(characters) != std::u16string_view::npos;
}

}  // namespace

bool CParcer::Dispatch(std::u16string& text, CNode* parent)
{
    using Recognizer = bool (CParcer::*)(std::u16string&, CNode*);
    static constexpr std::array<Recognizer, 11> Recognizers = {
        &CParcer::ParseList,           &CParcer::ParseStore, &CParcer::ParseAdditive,   &CParcer::ParseNegation,
        &CParcer::ParseMultiplicative, &CParcer::ParsePower, &CParcer::ParseFactorial,  &CParcer::ParseFunction,
        &CParcer::ParseMemory,         &CParcer::ParseAtom,  &CParcer::ParseIdentifier,
    };
    // Parsing a statement of megabytes takes a moment; it can be cancelled too.
    if (CancelledSoon())
        return false;
    // Texts under parse hold no brackets and no spaces: the bracket table
    // gave every group its placeholder when the statement was taken in.
    while (true) {
        for (const Recognizer recognizer : Recognizers) {
            if ((this->*recognizer)(text, parent))
                return true;
        }
        // A bare placeholder: parse its content as if the brackets were not there.
        if (text.size() >= 3 && ExpandPlaceholderReduced(text))
            continue;
        return false;
    }
}

// list := element "," element ...; runs of commas count as one.
bool CParcer::ParseList(std::u16string& text, CNode* parent)
{
    if (text.find(u',') == std::u16string::npos)
        return false;
    CNode* list = parent->AppendChild<CNodeVector>();
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(u',', start);
        if (end == std::u16string::npos)
            end = text.size();
        if (end > start)
            list->Operands.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

// store := value "->" memory ["->" memory]...; the last arrow splits, so the
// value is stored from left to right.
bool CParcer::ParseStore(std::u16string& text, CNode* parent)
{
    if (FindLastOf(text, u"->") < 0 && FindLastOf(text, u"\u2212>") < 0)
        return false;
    parent->AppendChild<CNodeStore>()->Operands.push_back(std::move(text));
    return true;
}

// additive := term (("+" | "-") term)..., split at the rightmost infix sign.
bool CParcer::ParseAdditive(std::u16string& text, CNode* parent)
{
    if (FindSignOperator(text, true) < 0 && FindSignOperator(text, false) < 0)
        return false;
    return AppendInfix(parent, InfixLevel::Additive, text);
}

// negation := "-" rest; applies to all that follows.
bool CParcer::ParseNegation(std::u16string& text, CNode* parent)
{
    if (text.empty() || (text.front() != u'-' && text.front() != u'\u2212'))
        return false;
    AppendWithOperands(parent, Append<CNodeChangeSign>, {text.substr(1)});
    return true;
}

// multiplicative := factor (("*" | "/") factor)..., split at the rightmost.
bool CParcer::ParseMultiplicative(std::u16string& text, CNode* parent)
{
    if (!ContainsAnyOf(text, u"*\u00D7/\u00F7"))
        return false;
    return AppendInfix(parent, InfixLevel::Multiplicative, text);
}

// power := factor ("^" factor)..., split at the last "^" (left to right).
bool CParcer::ParsePower(std::u16string& text, CNode* parent)
{
    if (text.find(u'^') == std::u16string::npos)
        return false;
    return AppendInfix(parent, InfixLevel::Power, text);
}

// factorial := operand "!"..., on a number, pi, e, the result or a bracket;
// "(3)!!" is the factorial of 3!, and a run of "!" is one node that applies
// the factorial once per "!".
bool CParcer::ParseFactorial(std::u16string& text, CNode* parent)
{
    if (text.size() < 2 || text.back() != u'!')
        return false;
    std::size_t count = 1;
    if (text.find(u'$') == std::u16string::npos) {
        if (!IsFactorialOperand(std::u16string_view(text).substr(0, text.size() - 1)))
            return false;
    } else {
        // Each shorter text still ends with "!" and holds the placeholder, so
        // it would be taken here again.
        count = text.size() - 1 - text.find_last_not_of(u'!');
    }
    auto* node = parent->AppendChild<CNodeFactorial>();
    node->Count = static_cast<std::uint32_t>(count);
    text.resize(text.size() - count);
    node->Operands.push_back(std::move(text));
    return true;
}

// function := name placeholder ...; the bracket is required.
bool CParcer::ParseFunction(std::u16string& text, CNode* parent)
{
    const std::size_t dollar = text.find(u'$');
    if (dollar == std::u16string::npos || dollar < 1 || dollar > 8)
        return false;
    const NodeFactory create = FindName(FunctionNames, std::u16string_view(text).substr(0, dollar));
    if (create == nullptr)
        return false;
    AppendWithOperands(parent, create, {text.substr(dollar)});
    return true;
}

// memory := ("mem" | "memory") placeholder.
bool CParcer::ParseMemory(std::u16string& text, CNode* parent)
{
    if (text.size() < 3 || text.compare(0, 3, u"mem") != 0)
        return false;
    const bool longForm = text.size() >= 6 && text.compare(0, 6, u"memory") == 0;
    AppendWithOperands(parent, Append<CNodeMemory>, {text.substr(longForm ? 6 : 3)});
    return true;
}

// atom := ["+"] keyword | number literal.
bool CParcer::ParseAtom(std::u16string& text, CNode* parent)
{
    if (text.empty())
        return false;
    std::u16string_view copy = text;
    if (copy.front() == u'+')
        copy.remove_prefix(1);
    if (const NodeFactory create = FindName(Keywords, copy)) {
        AppendWithOperands(parent, create, {std::u16string(copy)});
        return true;
    }
    if (!IsNumberText(text))
        return false;
    AppendWithOperands(parent, Append<CNodeNumber>, {text});
    return true;
}

// identifier := letter (letter | digit)*: an index variable, bound by name in
// the nearest variable table, which is created on the parent when missing.
bool CParcer::ParseIdentifier(std::u16string& text, CNode* parent)
{
    if (!IsIdentifierText(text))
        return false;
    auto* reference = parent->AppendChild<CNodeVariableReference>();
    if (parent->Variables == nullptr) {
        parent->CreateVariableTable();
        reference->Variables = parent->Variables;
    }
    auto found = parent->Variables->find(text);
    if (found == parent->Variables->end()) {
        auto variable = std::make_unique<CNodeVariable>();
        variable->Variables = parent->Variables;
        found = parent->Variables->emplace(text, std::move(variable)).first;
    }
    reference->Target = found->second.get();
    return true;
}

std::vector<std::u16string_view> FunctionNameSpellings()
{
    std::vector<std::u16string_view> names;
    for (const FunctionName& function : FunctionNames)
        names.push_back(function.Name);
    return names;
}

std::vector<std::u16string_view> KeywordSpellings()
{
    std::vector<std::u16string_view> names;
    for (const FunctionName& keyword : Keywords)
        names.push_back(keyword.Name);
    return names;
}

std::vector<std::u16string_view> MemoryKeywordSpellings()
{
    // As ParseMemory reads them.
    return {u"mem", u"memory"};
}

bool IsPlainNumberLiteral(std::u16string_view text)
{
    // The recognizers before the atom's decline a number text unless it
    // holds an infix sign or starts with a minus.
    if (text.empty() || text.front() == u'-' || text.front() == u'\u2212')
        return false;
    if (FindSignOperator(text, true) >= 0 || FindSignOperator(text, false) >= 0)
        return false;
    const std::u16string_view bare = text.front() == u'+' ? text.substr(1) : text;
    return FindName(Keywords, bare) == nullptr && IsNumberText(text);
}

namespace {

// The names of a table grouped by the node they make, in table order.
template <std::size_t N> std::vector<NameGroup> GroupNames(const std::array<FunctionName, N>& table)
{
    std::vector<NameGroup> groups;
    std::vector<NodeFactory> factories;
    for (const FunctionName& entry : table) {
        const auto found = std::find(factories.begin(), factories.end(), entry.Create);
        if (found == factories.end()) {
            factories.push_back(entry.Create);
            groups.push_back({entry.Name});
        } else {
            groups[static_cast<std::size_t>(found - factories.begin())].push_back(entry.Name);
        }
    }
    return groups;
}

}  // namespace

std::vector<NameGroup> FunctionNameGroups()
{
    return GroupNames(FunctionNames);
}

std::vector<NameGroup> KeywordNameGroups()
{
    return GroupNames(Keywords);
}

}  // namespace NCalculatorText
