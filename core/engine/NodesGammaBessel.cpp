#include "core/engine/NodesGammaBessel.h"

#include "core/engine/Diagnostics.h"
#include "core/engine/EvaluationBudget.h"
#include "core/engine/MathLibrary.h"
#include "core/engine/NodesArithmetic.h"
#include "core/engine/EngineState.h"

#include <array>
#include <cassert>
#include <cmath>
#include <limits>

namespace NCalculatorText {

namespace {

constexpr double LanczosShift = 5.2421875;
constexpr double LanczosLeading = 0.9999999999999971;
constexpr double LanczosScale = 2.5066282746310007;
constexpr std::array<double, 14> LanczosCoefficients = {
    57.15623566586292,       -59.59796035547549,     14.136097974741746,     -0.4919138160976202,
    3.399464998481189e-05,   4.652362892704858e-05,  -9.837447530487956e-05, 0.0001580887032249125,
    -0.00021026444172410488, 0.00021743961811521265, -0.0001643181065367639, 8.441822398385275e-05,
    -2.6190838401581408e-05, 3.6899182659531625e-06,
};

// The largest integers whose factorial and gamma value are computed, and the
// largest factorial a double holds exactly.
constexpr double LargestFactorial = 170.0;
constexpr double LargestGammaArgument = 171.0;
constexpr double LargestExactFactorial = 22.0;

constexpr double Infinity = std::numeric_limits<double>::infinity();

double LanczosSeries(double x)
{
    double s = LanczosLeading;
    double y = x;
    for (const double c : LanczosCoefficients) {
        y = y + 1.0;
        s = s + c / y;
    }
    return s;
}

bool IsInteger(double x)
{
    return std::floor(x) == x;
}

// Reports that a negative gamma value has no real logarithm, in the context of
// the enclosing logarithm, quoting -pi / (y · sin(pi·y)).
void ReportNegativeGammaUnderLogarithm(double w)
{
    State().PreviousOperation = State().CurrentOperation;
    State().CurrentOperation = OpNaturalLogarithm;
    Report(Domain, -Pi / w);
}

// ln Γ(y) for a negative non-integer y by reflection; false when Γ(y) < 0.
bool LogGammaOfNegative(double y, double& out)
{
    const double s = LibSin(Pi * y);
    const double w = s * y;
    if (s < 0) {
        ReportNegativeGammaUnderLogarithm(w);
        return false;
    }
    out = LibLog(Pi / (-w)) - LanczosLogGamma(-y);
    return true;
}

// A logarithm of a gamma value grows without bound with the argument and
// passes every double near 2.5e305: that is an overflow like any other.
void CheckLogarithmFinite(double value)
{
    if (!std::isfinite(value))
        Report(Overflow, value);
}

// The scope of a gamma or factorial node: remembers whether its nearest
// enclosing operation is a natural logarithm, and tells that logarithm when
// the node delivered ln of its value instead of the value.
class LogarithmHandshake final {
public:
    LogarithmHandshake() : underLogarithm_(State().CurrentOperation == OpNaturalLogarithm) {}
    bool UnderLogarithm() const { return underLogarithm_; }
    void Delivered() const { State().LogarithmDelivered = underLogarithm_; }

private:
    bool underLogarithm_;
};

}  // namespace

double LanczosGamma(double x)
{
    const double t = x + LanczosShift;
    // From x = 141.7 on the power alone passes every double, although Γ(x)
    // itself does so only above 171.62. There the power is taken in two
    // halves with the exponential and the series between them; below, and
    // where even that overflows, the steps are the plain ones.
    if (!std::isfinite(std::pow(t, x + 0.5))) {
        const double half = std::pow(t, (x + 0.5) / 2);
        const double value = ((half * std::exp(-t)) * LanczosScale) * LanczosSeries(x) / x * half;
        if (std::isfinite(value))
            return value;
    }
    const double p = LibPow(t, x + 0.5);
    const double e = LibExp(-t);
    const double q = p * e;
    const double s = LanczosSeries(x);
    return (q * LanczosScale) * s / x;
}

double LanczosLogGamma(double x)
{
    const double t = x + LanczosShift;
    const double a = (x + 0.5) * LibLog(t) - t;
    const double s = LanczosSeries(x);
    return a + LibLog(LanczosScale * s / x);
}

bool CNodeGamma::Evaluate(double& out)
{
    assert(Children.size() == 1 && "gamma has exactly one child once parsed");
    const LogarithmHandshake handshake;
    OperationScope scope(OpGammaFunction);
    if (!Children[0]->Evaluate(out))
        return false;
    const double x = out;
    if (x < 1.0 && IsInteger(x)) {
        Report(Singularity, x);
        return State().CalculationOk;
    }
    if (x > 0.0) {
        if (handshake.UnderLogarithm()) {
            out = LanczosLogGamma(x);
            CheckLogarithmFinite(out);
        } else if (!IsInteger(x)) {
            out = LanczosGamma(x);
        } else if (x > LargestGammaArgument) {
            out = Infinity;
            Report(Overflow, Infinity);
        } else {
            double p = 1.0;
            for (double f = 2.0; f < x; f = f + 1.0)
                p = p * f;
            out = p;
        }
    } else if (handshake.UnderLogarithm()) {
        if (!LogGammaOfNegative(x, out))
            return State().CalculationOk;
        CheckLogarithmFinite(out);
    } else {
        const double g = LanczosGamma(-x);
        const double s = LibSin(Pi * x);
        out = -Pi / (s * (x * g));
    }
    if (State().CalculationOk)
        handshake.Delivered();
    return State().CalculationOk;
}

namespace {

// One factorial applied to value in place, as one "!" node does it inside the
// scope of the run. Returns CalculationOk; when it succeeds it tells an
// enclosing logarithm whether ln of the value was delivered.
bool ApplyFactorial(double& value, bool underLogarithm)
{
    const double x = value;
    if (x < 0.0 && IsInteger(x)) {
        Report(Singularity, x);
        return State().CalculationOk;
    }
    if (underLogarithm) {
        const double y = x + 1.0;
        value = y;
        if (y > 0.0)
            value = LanczosLogGamma(y);
        else if (!LogGammaOfNegative(y, value))
            return State().CalculationOk;
        CheckLogarithmFinite(value);
    } else if (!IsInteger(x)) {
        const double y = x + 1.0;
        value = y;
        if (y > 0.0) {
            value = LanczosGamma(y);
        } else {
            const double g = LanczosGamma(-y);
            value = -Pi / (LibSin(Pi * y) * (g * y));
        }
    } else {
        if (x > LargestFactorial) {
            value = Infinity;
            Report(Overflow, Infinity);
            return State().CalculationOk;
        }
        double p = 1.0;
        for (double f = 2.0; f <= x; f = f + 1.0)
            p = p * f;
        if (x > LargestExactFactorial)
            Report(PartialLoss, p);
        value = p;
    }
    if (State().CalculationOk)
        State().LogarithmDelivered = underLogarithm;
    return State().CalculationOk;
}

}  // namespace

bool CNodeFactorial::Evaluate(double& out)
{
    // Only the outermost "!" of a run can stand directly under a logarithm;
    // the inner ones stand under a factorial.
    assert(Children.size() == 1 && "a factorial has exactly one child once parsed");
    const LogarithmHandshake handshake;
    OperationScope scope(OpFactorial);
    if (!Children[0]->Evaluate(out))
        return false;
    for (std::uint32_t level = 1; level <= Count; ++level) {
        if (!ApplyFactorial(out, level == Count && handshake.UnderLogarithm()))
            return false;
    }
    return true;
}

namespace {

// The common frame of J and Y: a two-element list of an integral order and
// the argument.
bool EvaluateBessel(CNode& node, int code, double& out, double (*function)(int, double))
{
    assert(node.Children.size() == 1 && "a Bessel function has its argument as exactly one child");
    OperationScope scope(code);
    CNode* list = node.Children[0].get();
    if (list->Kind() != KindList || list->Children.size() != 2) {
        Report(SyntaxError, 0.0);
        return State().CalculationOk;
    }
    double n = 0.0;
    if (!list->Children[0]->Evaluate(n))
        return false;
    // Orders must be integers of the 32-bit range.
    if (std::floor(n) != n || n < -2147483648.0 || n > 2147483647.0) {
        Report(SyntaxError, 0.0);
        return State().CalculationOk;
    }
    if (!list->Children[1]->Evaluate(out))
        return false;
    if (!TakeWork(static_cast<std::uint64_t>(std::fabs(n))))
        return false;
    out = function(static_cast<int>(n), out);
    return State().CalculationOk;
}

}  // namespace

bool CNodeJ::Evaluate(double& out)
{
    return EvaluateBessel(*this, OpBesselFirstKind, out, LibBesselJ);
}

bool CNodeY::Evaluate(double& out)
{
    return EvaluateBessel(*this, OpBesselSecondKind, out, LibBesselY);
}

}  // namespace NCalculatorText
