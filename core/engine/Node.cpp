#include "core/engine/Node.h"

#include "core/engine/Diagnostics.h"
#include "core/engine/EngineStack.h"
#include "core/engine/EngineState.h"

namespace NCalculatorText {

void ResetParseDepth()
{
    State().ParseDepth = 0;
}

CNode::~CNode() = default;

bool CNode::Parse()
{
    for (std::u16string& operand : Operands) {
        if (!Dispatch(operand, this))
            return false;
        if (!ParseLastChild(this))
            return false;
    }
    return true;
}

bool CNode::ParseLastChild(CNode* parent)
{
    if (State().ParseDepth >= State().NestingLimit)
        return false;
    ++State().ParseDepth;
    const bool parsed = parent->Children.back()->Parse();
    --State().ParseDepth;
    return parsed;
}

bool CNode::Evaluate(double& out)
{
    if (Children.empty())
        return false;
    return Children.front()->Evaluate(out);
}

void CNode::CreateVariableTable()
{
    ownedVariables_ = std::make_unique<VariableTable>();
    Variables = ownedVariables_.get();
    OwnsVariables = true;
}

bool CNodeVector::Evaluate(double&)
{
    return false;
}

bool CNodeVariable::Evaluate(double& out)
{
    OperationScope scope(OpIndex);
    if (Unset)
        Report(Uninitialized, 0.0);
    out = Value;
    return State().CalculationOk;
}

}  // namespace NCalculatorText
