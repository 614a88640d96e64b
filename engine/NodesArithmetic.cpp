#include "engine/NodesArithmetic.h"

#include "engine/Guarded.h"
#include "engine/MathLibrary.h"
#include "engine/NumberFormat.h"

#include <cmath>

namespace NCalculatorText {

bool CNodeNumber::Parse()
{
    std::u16string literal = Operands.empty() ? std::u16string() : Operands.front();
    for (char16_t& c : literal) {
        if (c == u'\u2212')
            c = u'-';
    }
    Value = ParseNumber(literal);
    return true;
}

bool CNodeNumber::Evaluate(double& out)
{
    OperationScope scope(OpNumber);
    if (!std::isfinite(Value))
        Report(Overflow, Value);
    out = Value;
    return CalculationOk;
}

bool CNodePlus::Evaluate(double& out)
{
    return EvaluateBinary(*this, OpAddition, out, [](double a, double b, double& r) { GuardedAdd(a, b, r); });
}

bool CNodeMinus::Evaluate(double& out)
{
    return EvaluateBinary(*this, OpSubtraction, out, [](double a, double b, double& r) { GuardedSubtract(a, b, r); });
}

bool CNodeMul::Evaluate(double& out)
{
    return EvaluateBinary(*this, OpMultiplication, out,
                          [](double a, double b, double& r) { GuardedMultiply(a, b, r); });
}

bool CNodeDiv::Evaluate(double& out)
{
    return EvaluateBinary(*this, OpDivision, out, [](double a, double b, double& r) { GuardedDivide(a, b, r); });
}

bool CNodePow::Evaluate(double& out)
{
    return EvaluateBinary(*this, OpPower, out, [](double a, double b, double& r) { r = LibPow(a, b); });
}

bool CNodeChangeSign::Evaluate(double& out)
{
    return EvaluateUnary(*this, OpChangeSign, out, [](double& x) { x = -x; });
}

bool CNodeSign::Evaluate(double& out)
{
    return EvaluateUnary(*this, OpSign, out, [](double& x) { x = x < 0 ? -1.0 : (x > 0 ? 1.0 : 0.0); });
}

bool CNodeAbs::Evaluate(double& out)
{
    return EvaluateUnary(*this, OpAbs, out, [](double& x) {
        if (x < 0)
            x = -x;
    });
}

bool CNodeSqrt::Evaluate(double& out)
{
    return EvaluateUnary(*this, OpSquareRoot, out, [](double& x) { x = LibSqrt(x); });
}

bool CNodeExp::Evaluate(double& out)
{
    return EvaluateUnary(*this, OpExponent, out, [](double& x) { x = LibExp(x); });
}

bool CNodeLn::Evaluate(double& out)
{
    LogarithmDelivered = false;
    return EvaluateUnary(*this, OpNaturalLogarithm, out, [](double& x) {
        const bool delivered = LogarithmDelivered;
        LogarithmDelivered = false;
        if (!delivered)
            x = LibLog(x);
    });
}

bool CNodeLg::Evaluate(double& out)
{
    return EvaluateUnary(*this, OpDecimalLogarithm, out, [](double& x) { x = LibLog10(x); });
}

bool CNodePi::Evaluate(double& out)
{
    out = Pi;
    return true;
}

bool CNodeE::Evaluate(double& out)
{
    out = 2.718281828459045;
    return true;
}

}  // namespace NCalculatorText
