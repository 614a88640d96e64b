#include "core/engine/NodesSeries.h"

#include "core/engine/Diagnostics.h"
#include "core/engine/EvaluationBudget.h"
#include "core/engine/Guarded.h"
#include "core/engine/EngineState.h"

#include <cassert>

namespace NCalculatorText {

namespace {

using Accumulate = bool (*)(double, double, double&);

// The loop shared by sums and products. The range always runs from the start
// towards the end whatever the sign of the step; the index advances by
// repeated addition. An index that stops advancing (i + s == i) would never
// reach the end, so it is a syntax error instead of an endless loop.
bool EvaluateSeries(CNode& node, int code, double start, Accumulate accumulate, double& out)
{
    assert(node.Children.size() == 1 && "a series has its argument as exactly one child");
    OperationScope scope(code);
    CNode* list = node.Children[0].get();
    const std::size_t count = list->Children.size();
    if (list->Kind() != KindList || (count != 4 && count != 5)) {
        Report(SyntaxError, 0.0);
        return State().CalculationOk;
    }
    double a = 0.0;
    double b = 0.0;
    double s = 1.0;
    if (!list->Children[1]->Evaluate(a) || !list->Children[2]->Evaluate(b))
        return false;
    if (count == 5 && !list->Children[3]->Evaluate(s))
        return false;
    if (b < a && s > 0)
        s = -s;
    if (b >= a && s < 0)
        s = -s;
    CNode* index = list->Children[0].get();
    if (index->Kind() != KindVariable) {
        Report(SyntaxError, 0.0);
        return State().CalculationOk;
    }
    if (s == 0.0) {
        Report(SyntaxError, 0.0);
        return State().CalculationOk;
    }

    CNode* body = list->Children[count - 1].get();
    auto* reference = dynamic_cast<CNodeVariableReference*>(index);
    if (reference == nullptr || reference->Target == nullptr) {
        Report(SyntaxError, 0.0);
        return State().CalculationOk;
    }
    CNodeVariable* variable = reference->Target;
    const bool ascending = b >= a;
    double accumulator = start;
    double i = a;
    // A body that fails without a report (a list where a value is expected)
    // fails the series too, rather than leaving a partial sum as the result.
    bool termsOk = true;
    while (ascending ? i <= b : i >= b) {
        // A series may have more terms than anyone could wait for: each is a
        // step of the run's work, and a cancel stops it.
        if (!TakeWork(1)) {
            termsOk = false;
            break;
        }
        variable->Value = i;
        variable->Unset = false;
        if (!body->Evaluate(out)) {
            termsOk = false;
            break;
        }
        if (!accumulate(accumulator, out, accumulator))
            break;
        const double next = i + s;
        if (next == i) {
            Report(SyntaxError, 0.0);
            break;
        }
        i = next;
    }
    if (State().CalculationOk)
        out = accumulator;
    variable->Value = 0.0;
    variable->Unset = true;
    return termsOk && State().CalculationOk;
}

}  // namespace

bool CNodeSum::Evaluate(double& out)
{
    return EvaluateSeries(*this, OpSeriesSum, 0.0, GuardedAdd, out);
}

bool CNodeProduct::Evaluate(double& out)
{
    return EvaluateSeries(*this, OpSeriesProduct, 1.0, GuardedMultiply, out);
}

}  // namespace NCalculatorText
