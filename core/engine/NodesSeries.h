// Series sums and products over an index variable.
#pragma once

#include "core/engine/Node.h"

namespace NCalculatorText {

// sum(i, a, b, [s,] body): the body added up for i from a towards b.
class CNodeSum final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// prod(i, a, b, [s,] body): the body multiplied up for i from a towards b.
class CNodeProduct final : public CNode {
public:
    bool Evaluate(double& out) override;
};

}  // namespace NCalculatorText
