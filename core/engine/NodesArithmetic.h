// Numbers, the signs, roots, exponentials, logarithms and the constants pi
// and e. The infix operations are in NodesInfix.h.
#pragma once

#include "core/engine/Node.h"

namespace NCalculatorText {

// A number literal, converted once when it parses.
class CNodeNumber final : public CNode {
public:
    bool Parse() override;
    // A literal beyond the double range is an overflow.
    bool Evaluate(double& out) override;

    double Value = 0.0;
};

// The value of a number literal's text ("1.5e\u22123" reads as 1.5e-3).
double NumberLiteralValue(std::u16string_view literal);

// What a number literal of value evaluates to, with its report; CNodeNumber
// and the literal terms of an infix run share it.
bool EvaluateNumber(double value, double& out);

// A leading minus: flips the sign of all that follows it.
class CNodeChangeSign final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// -1, 0 or 1 by the sign of the argument; 0 for NaN.
class CNodeSign final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// The absolute value; a negative zero stays negative zero.
class CNodeAbs final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// The library's square root; a negative argument is a domain error.
class CNodeSqrt final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// e to the power of the argument.
class CNodeExp final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// The natural logarithm; passes through a logarithm already delivered by a
// gamma or factorial node directly beneath it.
class CNodeLn final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// The decimal logarithm.
class CNodeLg final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// The constant pi; touches no evaluation state.
class CNodePi final : public CNode {
public:
    bool Parse() override { return true; }
    bool Evaluate(double& out) override;
};

// The constant e; touches no evaluation state.
class CNodeE final : public CNode {
public:
    bool Parse() override { return true; }
    bool Evaluate(double& out) override;
};

inline constexpr double Pi = 3.141592653589793;
inline constexpr double HalfPi = 1.5707963267948966;

}  // namespace NCalculatorText
