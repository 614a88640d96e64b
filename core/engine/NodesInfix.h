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
    // One term. The first term has no operator; a term that is a plain number
    // literal keeps its value here instead of a child node.
    struct Term {
        double Value = 0.0;
        std::uint32_t Child = 0;  // index into Children when not Literal
        std::uint8_t Operator = 0;
        bool Literal = false;
    };

    // The operator positions of the run, from left to right.
    std::vector<std::size_t> Splits(std::u16string_view text) const;
    bool EvaluateTerm(const Term& term, double& out);

    std::vector<Term> terms_;
};

// Whether text would parse as nothing but a number literal.
bool IsPlainNumberLiteral(std::u16string_view text);

}  // namespace NCalculatorText
