// The hyperbolic functions and their inverses, on plain numbers. The
// reciprocal and inverse functions are built from the library's functions
// with the guarded steps between them.
#pragma once

#include "core/engine/Node.h"

namespace NCalculatorText {

// sinh x
class CNodeSh final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// cosh x
class CNodeCh final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// tanh x
class CNodeTh final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// coth x = 1 / tanh x
class CNodeCth final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// sech x = 1 / cosh x; an overflowing cosh also warns of the underflow to 0
class CNodeSech final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// csch x = 1 / sinh x; an overflowing sinh also warns of the underflow to 0
class CNodeCsch final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// arsinh x = ln(x + sqrt(x*x + 1))
class CNodeArSh final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// arcosh x = ln(x + sqrt((x + 1)(x - 1))), x >= 1
class CNodeArCh final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// artanh x = ln((1 + x)/(1 - x)) / 2, |x| < 1
class CNodeArTh final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// arcoth x = ln((x + 1)/(x - 1)) / 2, |x| > 1
class CNodeArCth final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// arsech x = ln(1/x + sqrt((1/x + 1)(1/x - 1))), 0 < x <= 1
class CNodeArSch final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// arcsch x = ln(1/x + sqrt(1/x^2 + 1)), x != 0
class CNodeArCsch final : public CNode {
public:
    bool Evaluate(double& out) override;
};

}  // namespace NCalculatorText
