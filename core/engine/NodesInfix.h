// The infix operations "+", "-", "*", "/" and "^". A run of one precedence
// level, such as "1+2-3+4", is one node that holds every term and evaluates
// them from left to right, so a sum of a million terms costs no stack and
// time in proportion to its length.
#pragma once

#include "core/engine/Node.h"

#include <cstdint>
#include <vector>

namespace NCalculatorText {

// The precedence levels that are runs of infix operations.
enum class InfixLevel : std::uint8_t {
    Additive,        // "+", "-" and U+2212
    Multiplicative,  // "*", U+00D7, "/" and U+00F7
    Power,           // "^"
};

// term (operator term)...: its only operand is the text of the whole run.
// Parsing splits it where the splitting at the rightmost operator, repeated
// on the left part, would split it, so the terms and the reports are the same
// as for a tree of two-operand nodes: each step opens the scope of its
// operator, evaluates its term and combines it with the value so far.
class CNodeInfix final : public CNode {
public:
    bool Parse() override;
    bool Evaluate(double& out) override;

    InfixLevel Level = InfixLevel::Additive;

private:
    // What a term holds: a plain number literal keeps its value instead of a
    // child node; a product or quotient of literals only ("2*1.5/3") keeps
    // them as a run of factors beside the terms, evaluated as its own node
    // would be, so that a long mixed chain costs no node per term.
    enum class TermKind : std::uint8_t { Literal, Node, Factors };

    // One term. The first term has no operator.
    struct Term {
        double Value = 0.0;
        std::uint32_t Child = 0;  // Node: index into Children; Factors: the first in factors_
        std::uint8_t Operator = 0;
        TermKind Kind = TermKind::Literal;
        std::uint16_t Count = 0;  // Factors: how many
    };

    // The operator positions of the run, from left to right.
    std::vector<std::size_t> Splits(std::u16string_view text) const;
    // Takes view as a run of literal factors when it is one; false leaves it
    // to a node of its own.
    bool ParseFactors(std::u16string_view view, Term& term);
    bool EvaluateTerm(const Term& term, double& out);
    // Evaluates terms from left to right, each step in the scope of its operator.
    bool EvaluateTerms(const Term* terms, std::size_t count, double& out);

    std::vector<Term> terms_;
    std::vector<Term> factors_;
};

// Whether text would parse as nothing but a number literal.
bool IsPlainNumberLiteral(std::u16string_view text);

}  // namespace NCalculatorText
