// Factorial and gamma, computed by the program itself (exact products for
// integers, a Lanczos series otherwise, reflection for negative arguments),
// and the Bessel functions of integer order from the math library.
#pragma once

#include "core/engine/Node.h"

#include <cstdint>

namespace NCalculatorText {

// Postfix "!": x! = Γ(x + 1). Under a natural logarithm it delivers ln(x!).
// Count "!" in a row are one node that applies the factorial Count times.
class CNodeFactorial final : public CNode {
public:
    bool Evaluate(double& out) override;

    std::uint32_t Count = 1;
};

// Γ(x). Under a natural logarithm it delivers ln Γ(x).
class CNodeGamma final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// J(n, x): Bessel function of the first kind of integer order n.
class CNodeJ final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// Y(n, x): Bessel function of the second kind of integer order n.
class CNodeY final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// Γ(x) and ln Γ(x) for x > 0 by the Lanczos series (g = 607/128, 14 terms).
double LanczosGamma(double x);
double LanczosLogGamma(double x);

}  // namespace NCalculatorText
