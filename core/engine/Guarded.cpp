#include "core/engine/Guarded.h"
#include "core/engine/EngineState.h"

#include <cmath>

namespace NCalculatorText {

bool GuardedAdd(double a, double b, double& out)
{
    out = a + b;
    if (!std::isfinite(out))
        Report(Overflow, out);
    return State().CalculationOk;
}

bool GuardedSubtract(double a, double b, double& out)
{
    out = a - b;
    if (!std::isfinite(out))
        Report(Overflow, out);
    return State().CalculationOk;
}

bool GuardedMultiply(double a, double b, double& out)
{
    out = a * b;
    if (!std::isfinite(out)) {
        Report(Overflow, out);
        return State().CalculationOk;
    }
    if (out == 0.0 && a != 0.0 && b != 0.0)
        Report(Underflow, 0.0);
    return State().CalculationOk;
}

bool GuardedDivide(double a, double b, double& out)
{
    if (b == 0.0) {
        Report(Singularity, 0.0);
        return State().CalculationOk;
    }
    out = a / b;
    if (!std::isfinite(out)) {
        Report(Overflow, out);
        return State().CalculationOk;
    }
    if (out == 0.0 && a != 0.0)
        Report(Underflow, 0.0);
    return State().CalculationOk;
}

}  // namespace NCalculatorText
