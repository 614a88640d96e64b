#include "core/engine/NodesTrigonometric.h"

#include "core/engine/Engine.h"
#include "core/engine/Guarded.h"
#include "core/engine/MathLibrary.h"
#include "core/engine/NodesArithmetic.h"
#include "core/engine/EngineState.h"

#include <cmath>

namespace NCalculatorText {

namespace {

// Degrees and grads of a half turn; radians need no factor.
double UnitFactor()
{
    return State().AngleUnit == 1 ? 180.0 : (State().AngleUnit == 2 ? 200.0 : 0.0);
}

// x·pi first, then the division, so that 30 degrees is 30·pi/180.
bool ToRadians(double& x)
{
    const double factor = UnitFactor();
    if (factor == 0.0)
        return State().CalculationOk;
    if (GuardedMultiply(x, Pi, x))
        GuardedDivide(x, factor, x);
    return State().CalculationOk;
}

bool FromRadians(double& y)
{
    const double factor = UnitFactor();
    if (factor == 0.0)
        return State().CalculationOk;
    if (GuardedMultiply(y, factor, y))
        GuardedDivide(y, Pi, y);
    return State().CalculationOk;
}

// Direct functions: the argument in radians, then the computation.
template <typename Compute> bool EvaluateDirect(CNode& node, int code, double& out, Compute compute)
{
    return EvaluateUnary(node, code, out, [&](double& x) {
        if (ToRadians(x))
            compute(x);
    });
}

// Inverse functions: the computation, then the result in the user's unit.
template <typename Compute> bool EvaluateInverse(CNode& node, int code, double& out, Compute compute)
{
    return EvaluateUnary(node, code, out, [&](double& x) {
        compute(x);
        if (State().CalculationOk)
            FromRadians(x);
    });
}

// 1 / f(x), with a singularity quoting the argument where f(x) is exactly 0.
void Reciprocal(double& x, double (*function)(double))
{
    const double v = function(x);
    if (!State().CalculationOk)
        return;
    if (v == 0.0) {
        Report(Singularity, x);
        return;
    }
    GuardedDivide(1.0, v, x);
}

// arcsec and arccsc: the library's inverse of 1/x, defined for |x| >= 1.
void InverseOfReciprocal(double& x, double (*function)(double))
{
    if (x > -1.0 && x < 1.0) {
        Report(Domain, x);
        return;
    }
    if (GuardedDivide(1.0, x, x))
        x = function(x);
}

}  // namespace

bool CNodeSin::Evaluate(double& out)
{
    return EvaluateDirect(*this, OpSine, out, [](double& x) { x = LibSin(x); });
}

bool CNodeCos::Evaluate(double& out)
{
    return EvaluateDirect(*this, OpCosine, out, [](double& x) { x = LibCos(x); });
}

bool CNodeTg::Evaluate(double& out)
{
    return EvaluateDirect(*this, OpTangent, out, [](double& x) { x = LibTan(x); });
}

bool CNodeCtg::Evaluate(double& out)
{
    return EvaluateDirect(*this, OpCotangent, out, [](double& x) {
        const double y = HalfPi - x;
        x = y;
        if (!std::isfinite(y))
            Report(Overflow, y);
        if (State().CalculationOk)
            x = LibTan(y);
    });
}

bool CNodeSec::Evaluate(double& out)
{
    return EvaluateDirect(*this, OpSecant, out, [](double& x) { Reciprocal(x, LibCos); });
}

bool CNodeCosec::Evaluate(double& out)
{
    return EvaluateDirect(*this, OpCosecant, out, [](double& x) { Reciprocal(x, LibSin); });
}

bool CNodeArcSin::Evaluate(double& out)
{
    return EvaluateInverse(*this, OpArcsine, out, [](double& x) { x = LibAsin(x); });
}

bool CNodeArcCos::Evaluate(double& out)
{
    return EvaluateInverse(*this, OpArccosine, out, [](double& x) { x = LibAcos(x); });
}

bool CNodeArcTg::Evaluate(double& out)
{
    return EvaluateInverse(*this, OpArctangent, out, [](double& x) { x = LibAtan(x); });
}

bool CNodeArcCtg::Evaluate(double& out)
{
    return EvaluateInverse(*this, OpArccotangent, out, [](double& x) { x = HalfPi - LibAtan(x); });
}

bool CNodeArcSec::Evaluate(double& out)
{
    return EvaluateInverse(*this, OpArcsecant, out, [](double& x) { InverseOfReciprocal(x, LibAcos); });
}

bool CNodeArcCosec::Evaluate(double& out)
{
    return EvaluateInverse(*this, OpArccosecant, out, [](double& x) { InverseOfReciprocal(x, LibAsin); });
}

}  // namespace NCalculatorText
