#include "core/engine/NodesInfix.h"

#include "core/engine/Cancel.h"
#include "core/engine/Diagnostics.h"
#include "core/engine/Guarded.h"
#include "core/engine/MathLibrary.h"
#include "core/engine/NodesArithmetic.h"
#include "core/engine/Scanner.h"
#include "core/engine/EngineState.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <iterator>
#include <limits>

namespace NCalculatorText {

namespace {

bool Power(double base, double exponent, double& out)
{
    out = LibPow(base, exponent);
    return State().CalculationOk;
}

// One infix operator: its character, its level, the operation its reports
// name and the guarded step that combines the value so far with a term.
struct InfixOperation {
    char16_t Character;
    InfixLevel Level;
    int Code;
    bool (*Combine)(double, double, double&);
};

constexpr auto InfixOperations = std::to_array<InfixOperation>({
    {u'+', InfixLevel::Additive, OpAddition, GuardedAdd},
    {u'-', InfixLevel::Additive, OpSubtraction, GuardedSubtract},
    {u'\u2212', InfixLevel::Additive, OpSubtraction, GuardedSubtract},
    {u'*', InfixLevel::Multiplicative, OpMultiplication, GuardedMultiply},
    {u'\u00D7', InfixLevel::Multiplicative, OpMultiplication, GuardedMultiply},
    {u'/', InfixLevel::Multiplicative, OpDivision, GuardedDivide},
    {u'\u00F7', InfixLevel::Multiplicative, OpDivision, GuardedDivide},
    {u'^', InfixLevel::Power, OpPower, Power},
});

std::uint8_t OperationIndex(char16_t c, InfixLevel level)
{
    const auto found =
        std::find_if(InfixOperations.begin(), InfixOperations.end(),
                     [c, level](const InfixOperation& o) { return o.Character == c && o.Level == level; });
    return static_cast<std::uint8_t>(found == InfixOperations.end() ? InfixOperations.size()
                                                                    : std::distance(InfixOperations.begin(), found));
}

// Walks a text from its end towards its start and finds, below a limit that
// only ever decreases, the rightmost infix sign of one kind; every character
// is looked at once over all searches.
class CSignSearch final {
public:
    CSignSearch(std::u16string_view text, char16_t sign) : text_(text), sign_(sign), end_(text.size()) {}

    // The rightmost infix sign below limit, or -1.
    std::ptrdiff_t Before(std::size_t limit)
    {
        end_ = std::min(end_, limit);
        for (; end_ > 0; --end_) {
            const std::size_t position = end_ - 1;
            if (text_[position] == sign_ && IsInfixSign(text_, position))
                return static_cast<std::ptrdiff_t>(position);
        }
        return -1;
    }

private:
    std::u16string_view text_;
    char16_t sign_;
    std::size_t end_;  // positions from here on have been passed
};

// How many factors the runs of a sum's terms can hold at most: the terms
// between splits with n multiplicative operators hold n + 1 each. Reserved at
// once, the factors never move while a long chain fills them.
std::size_t FactorsAtMost(std::u16string_view text, const std::vector<std::size_t>& splits)
{
    std::size_t factors = 0;
    std::size_t operators = 0;
    std::size_t next = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || (next < splits.size() && i == splits[next])) {
            factors += operators > 0 ? operators + 1 : 0;
            operators = 0;
            ++next;
        } else if (OperationIndex(text[i], InfixLevel::Multiplicative) < InfixOperations.size()) {
            ++operators;
        }
    }
    return factors;
}

}  // namespace

std::vector<std::size_t> CNodeInfix::Splits(std::u16string_view text) const
{
    std::vector<std::size_t> splits;
    if (Level != InfixLevel::Additive) {
        // Every operator of the level splits, the rightmost first.
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (OperationIndex(text[i], Level) < InfixOperations.size())
                splits.push_back(i);
        }
        return splits;
    }
    // The additive split of a text, then of the text left of it, and so on:
    // the rightmost infix "+" or "-", where a "-" anywhere on the left hides
    // every U+2212.
    CSignSearch plus(text, u'+');
    CSignSearch minus(text, u'-');
    CSignSearch minusSign(text, u'\u2212');
    std::size_t limit = text.size();
    while (true) {
        const std::ptrdiff_t p = plus.Before(limit);
        std::ptrdiff_t m = minus.Before(limit);
        if (m < 0)
            m = minusSign.Before(limit);
        const std::ptrdiff_t split = std::max(p, m);
        if (split < 0)
            break;
        splits.push_back(static_cast<std::size_t>(split));
        limit = static_cast<std::size_t>(split);
    }
    std::reverse(splits.begin(), splits.end());
    return splits;
}

bool CNodeInfix::ParseFactors(std::u16string_view view, Term& term)
{
    // Only where the text would become a run of products and quotients of
    // literals: nothing an earlier recognizer takes (a list, a store, a sum
    // or a negation), and a child that may still be as deep as that.
    if (Level != InfixLevel::Additive || view.find_first_of(u",>+-\u2212") != std::u16string_view::npos ||
        State().ParseDepth >= State().NestingLimit)
        return false;
    // Each factor ends at the next multiplicative operator or at the end,
    // and carries the operator before it (none for the first).
    const std::size_t first = factors_.size();
    const auto refuse = [this, first] {
        factors_.resize(first);
        return false;
    };
    std::size_t start = 0;
    std::uint8_t before = 0;
    for (std::size_t i = 0; i <= view.size(); ++i) {
        const std::uint8_t operation = i < view.size() ? OperationIndex(view[i], InfixLevel::Multiplicative)
                                                       : static_cast<std::uint8_t>(InfixOperations.size());
        if (i < view.size() && operation >= InfixOperations.size())
            continue;
        const std::u16string_view factor = view.substr(start, i - start);
        if (!IsPlainNumberLiteral(factor) || factors_.size() - first >= std::numeric_limits<std::uint16_t>::max())
            return refuse();
        Term literal;
        literal.Value = NumberLiteralValue(factor);
        literal.Operator = before;
        factors_.push_back(literal);
        before = operation;
        start = i + 1;
    }
    if (factors_.size() - first < 2)
        return refuse();
    term.Kind = TermKind::Factors;
    term.Child = static_cast<std::uint32_t>(first);
    term.Count = static_cast<std::uint16_t>(factors_.size() - first);
    return true;
}

bool CNodeInfix::Parse()
{
    if (Operands.size() != 1)
        return false;
    const std::u16string text = std::move(Operands.front());
    Operands.clear();
    const std::vector<std::size_t> splits = Splits(text);
    if (splits.empty())
        return false;
    terms_.reserve(splits.size() + 1);
    if (Level == InfixLevel::Additive)
        factors_.reserve(FactorsAtMost(text, splits));
    std::u16string piece;
    for (std::size_t k = 0; k <= splits.size(); ++k) {
        const std::size_t start = k == 0 ? 0 : splits[k - 1] + 1;
        const std::size_t end = k == splits.size() ? text.size() : splits[k];
        const std::u16string_view view = std::u16string_view(text).substr(start, end - start);
        Term term;
        if (k > 0)
            term.Operator = OperationIndex(text[splits[k - 1]], Level);
        if (IsPlainNumberLiteral(view)) {
            term.Value = NumberLiteralValue(view);
        } else if (!ParseFactors(view, term)) {
            piece.assign(view);
            if (!Dispatch(piece, this) || !ParseLastChild(this))
                return false;
            term.Kind = TermKind::Node;
            term.Child = static_cast<std::uint32_t>(Children.size() - 1);
        }
        terms_.push_back(term);
    }
    return true;
}

bool CNodeInfix::EvaluateTerm(const Term& term, double& out)
{
    switch (term.Kind) {
    case TermKind::Literal:
        return EvaluateNumber(term.Value, out);
    case TermKind::Factors:
        assert(term.Child + term.Count <= factors_.size() && "a run of factors lies within the factors");
        return EvaluateTerms(&factors_[term.Child], term.Count, out);
    case TermKind::Node:
        break;
    }
    assert(term.Child < Children.size() && "a term of an infix run is a literal or one of its children");
    return Children[term.Child]->Evaluate(out);
}

bool CNodeInfix::Evaluate(double& out)
{
    assert(terms_.size() >= 2 && "an infix run has at least two terms once parsed");
    return EvaluateTerms(terms_.data(), terms_.size(), out);
}

bool CNodeInfix::EvaluateTerms(const Term* terms, std::size_t count, double& out)
{
    double value = 0.0;
    for (std::size_t k = 1; k < count; ++k) {
        if (CancelledSoon())
            return false;
        const InfixOperation& operation = InfixOperations[terms[k].Operator];
        OperationScope scope(operation.Code);
        if (k == 1 && !EvaluateTerm(terms[0], value))
            return false;
        double operand = 0.0;
        if (!EvaluateTerm(terms[k], operand))
            return false;
        if (!operation.Combine(value, operand, value))
            return false;
    }
    out = value;
    return true;
}

}  // namespace NCalculatorText
