#include "core/engine/NodesArithmetic.h"

#include "core/engine/Guarded.h"
#include "core/engine/MathLibrary.h"
#include "core/formats/NumberFormat.h"
#include "core/engine/EngineState.h"

#include <cmath>

namespace NCalculatorText {

double NumberLiteralValue(std::u16string_view literal)
{
    std::u16string text(literal);
    for (char16_t& c : text) {
        if (c == u'\u2212')
            c = u'-';
    }
    return ParseNumber(text);
}

bool EvaluateNumber(double value, double& out)
{
    OperationScope scope(OpNumber);
    if (!std::isfinite(value))
        Report(Overflow, value);
    out = value;
    return State().CalculationOk;
}

bool CNodeNumber::Parse()
{
    Value = Operands.empty() ? 0.0 : NumberLiteralValue(Operands.front());
    return true;
}

bool CNodeNumber::Evaluate(double& out)
{
    return EvaluateNumber(Value, out);
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
    State().LogarithmDelivered = false;
    return EvaluateUnary(*this, OpNaturalLogarithm, out, [](double& x) {
        const bool delivered = State().LogarithmDelivered;
        State().LogarithmDelivered = false;
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
