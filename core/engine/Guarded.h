// The four guarded arithmetic steps: a double operation followed by the
// overflow, underflow and zero-divisor reports. They open no scope of their
// own, so a report names the node that calls them. Each returns CalculationOk.
#pragma once

#include "core/engine/Node.h"

namespace NCalculatorText {

bool GuardedAdd(double a, double b, double& out);
bool GuardedSubtract(double a, double b, double& out);
bool GuardedMultiply(double a, double b, double& out);
bool GuardedDivide(double a, double b, double& out);

// The evaluation frame of a node with one operand: enter the node's scope,
// evaluate the operand into out, transform it in place, leave the scope.
// False when the operand failed, otherwise CalculationOk.
template <typename Transform> bool EvaluateUnary(CNode& node, int code, double& out, Transform transform);

}  // namespace NCalculatorText

#include "core/engine/Diagnostics.h"
#include "core/engine/EngineState.h"

#include <cassert>

namespace NCalculatorText {

template <typename Transform> bool EvaluateUnary(CNode& node, int code, double& out, Transform transform)
{
    assert(node.Children.size() == 1 && "a node of one operand has exactly one child once parsed");
    OperationScope scope(code);
    if (!node.Children[0]->Evaluate(out))
        return false;
    transform(out);
    return State().CalculationOk;
}

}  // namespace NCalculatorText
