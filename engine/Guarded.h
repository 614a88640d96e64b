// The four guarded arithmetic steps: a double operation followed by the
// overflow, underflow and zero-divisor reports. They open no scope of their
// own, so a report names the node that calls them. Each returns CalculationOk.
#pragma once

#include "engine/Node.h"

namespace NCalculatorText {

bool GuardedAdd(double a, double b, double& out);
bool GuardedSubtract(double a, double b, double& out);
bool GuardedMultiply(double a, double b, double& out);
bool GuardedDivide(double a, double b, double& out);

// The evaluation frame of a node with one operand: enter the node's scope,
// evaluate the operand into out, transform it in place, leave the scope.
// False when the operand failed, otherwise CalculationOk.
template <typename Transform> bool EvaluateUnary(CNode& node, int code, double& out, Transform transform);

// The same for two operands: a and b are evaluated in order, then combined.
template <typename Combine> bool EvaluateBinary(CNode& node, int code, double& out, Combine combine);

}  // namespace NCalculatorText

#include "engine/Diagnostics.h"

#include <cassert>

namespace NCalculatorText {

template <typename Transform> bool EvaluateUnary(CNode& node, int code, double& out, Transform transform)
{
    assert(node.Children.size() == 1 && "a node of one operand has exactly one child once parsed");
    OperationScope scope(code);
    if (!node.Children[0]->Evaluate(out))
        return false;
    transform(out);
    return CalculationOk;
}

template <typename Combine> bool EvaluateBinary(CNode& node, int code, double& out, Combine combine)
{
    assert(node.Children.size() == 2 && "a node of two operands has exactly two children once parsed");
    OperationScope scope(code);
    double a = 0.0;
    double b = 0.0;
    if (!node.Children[0]->Evaluate(a) || !node.Children[1]->Evaluate(b))
        return false;
    combine(a, b, out);
    return CalculationOk;
}

}  // namespace NCalculatorText
