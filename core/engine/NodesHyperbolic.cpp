#include "core/engine/NodesHyperbolic.h"

#include "core/engine/Guarded.h"
#include "core/engine/MathLibrary.h"
#include "core/engine/EngineState.h"

#include <cmath>

namespace NCalculatorText {

namespace {

// An unguarded step of the formulas: an infinite value is an overflow.
void CheckFinite(double value)
{
    if (!std::isfinite(value))
        Report(Overflow, value);
}

// sech and csch: 1 / f(x). When f overflows, the reciprocal is reported as
// the underflow to 0 that it is, after the library's overflow error.
void HyperbolicReciprocal(double& x, double (*function)(double))
{
    const double v = function(x);
    x = v;
    if (State().LastReportCode == Overflow) {
        Report(Underflow, 0.0);
        x = 0.0;
        return;
    }
    if (State().CalculationOk)
        GuardedDivide(1.0, v, x);
}

// ½·ln(a / b), the common tail of artanh and arcoth.
void HalfLogOfQuotient(double a, double b, double& x)
{
    if (!GuardedDivide(a, b, x))
        return;
    x = LibLog(x);
    if (State().CalculationOk)
        GuardedMultiply(0.5, x, x);
}

// Rejects |x| beyond (outside true) or within 1, and |x| = 1 as a pole.
bool CheckUnitBound(double x, bool domainOutside)
{
    const bool inDomainError = domainOutside ? (x < -1.0 || x > 1.0) : (x > -1.0 && x < 1.0);
    if (inDomainError) {
        Report(Domain, x);
        return false;
    }
    if (x == -1.0 || x == 1.0) {
        Report(Singularity, x);
        return false;
    }
    return true;
}

}  // namespace

bool CNodeCh::Evaluate(double& out)
{
    return EvaluateUnary(*this, OpHyperbolicCosine, out, [](double& x) { x = LibCosh(x); });
}

bool CNodeSh::Evaluate(double& out)
{
    return EvaluateUnary(*this, OpHyperbolicSine, out, [](double& x) { x = LibSinh(x); });
}

bool CNodeTh::Evaluate(double& out)
{
    return EvaluateUnary(*this, OpHyperbolicTangent, out, [](double& x) { x = LibTanh(x); });
}

bool CNodeCth::Evaluate(double& out)
{
    return EvaluateUnary(*this, OpHyperbolicCotangent, out, [](double& x) {
        const double t = LibTanh(x);
        if (State().CalculationOk)
            GuardedDivide(1.0, t, x);
    });
}

bool CNodeSech::Evaluate(double& out)
{
    return EvaluateUnary(*this, OpHyperbolicSecant, out, [](double& x) { HyperbolicReciprocal(x, LibCosh); });
}

bool CNodeCsch::Evaluate(double& out)
{
    return EvaluateUnary(*this, OpHyperbolicCosecant, out, [](double& x) { HyperbolicReciprocal(x, LibSinh); });
}

bool CNodeArCh::Evaluate(double& out)
{
    return EvaluateUnary(*this, OpArchyperbolicCosine, out, [](double& x) {
        if (x < 1.0) {
            Report(Domain, x);
            return;
        }
        const double t = 1.0 + x;
        CheckFinite(t);
        if (!State().CalculationOk)
            return;
        double d = 0.0;
        double p = 0.0;
        if (!GuardedSubtract(x, 1.0, d) || !GuardedMultiply(t, d, p))
            return;
        const double s = LibSqrt(p);
        if (GuardedAdd(x, s, x))
            x = LibLog(x);
    });
}

bool CNodeArSh::Evaluate(double& out)
{
    return EvaluateUnary(*this, OpArchyperbolicSine, out, [](double& x) {
        double q = 0.0;
        if (!GuardedMultiply(x, x, q))
            return;
        q = q + 1.0;
        CheckFinite(q);
        if (!State().CalculationOk)
            return;
        const double s = LibSqrt(q);
        if (GuardedAdd(x, s, x))
            x = LibLog(x);
    });
}

bool CNodeArTh::Evaluate(double& out)
{
    return EvaluateUnary(*this, OpArchyperbolicTangent, out, [](double& x) {
        if (!CheckUnitBound(x, true))
            return;
        double a = 0.0;
        double b = 0.0;
        if (GuardedAdd(1.0, x, a) && GuardedSubtract(1.0, x, b))
            HalfLogOfQuotient(a, b, x);
    });
}

bool CNodeArCth::Evaluate(double& out)
{
    return EvaluateUnary(*this, OpArchyperbolicCotangent, out, [](double& x) {
        if (!CheckUnitBound(x, false))
            return;
        double a = 0.0;
        double b = 0.0;
        if (GuardedAdd(x, 1.0, a) && GuardedSubtract(x, 1.0, b))
            HalfLogOfQuotient(a, b, x);
    });
}

bool CNodeArSch::Evaluate(double& out)
{
    return EvaluateUnary(*this, OpArchyperbolicSecant, out, [](double& x) {
        if (x < 0.0 || x > 1.0) {
            Report(Domain, x);
            return;
        }
        double r = 0.0;
        double a = 0.0;
        double b = 0.0;
        double p = 0.0;
        if (!GuardedDivide(1.0, x, r) || !GuardedAdd(r, 1.0, a) || !GuardedSubtract(r, 1.0, b) ||
            !GuardedMultiply(a, b, p))
            return;
        const double s = LibSqrt(p);
        if (GuardedAdd(r, s, x))
            x = LibLog(x);
    });
}

bool CNodeArCsch::Evaluate(double& out)
{
    return EvaluateUnary(*this, OpArchyperbolicCosecant, out, [](double& x) {
        double r = 0.0;
        double q = 0.0;
        if (!GuardedDivide(1.0, x, r) || !GuardedMultiply(r, r, q) || !GuardedAdd(q, 1.0, q))
            return;
        const double s = LibSqrt(q);
        if (State().CalculationOk && GuardedAdd(r, s, x))
            x = LibLog(x);
    });
}

}  // namespace NCalculatorText
