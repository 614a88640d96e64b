#include "engine/NodesMemory.h"

#include "engine/Diagnostics.h"
#include "engine/Engine.h"
#include "engine/Random.h"
#include "engine/Scanner.h"
#include "memory/MemoryMap.h"

#include <cassert>

namespace NCalculatorText {

bool CNodeMemory::Parse()
{
    if (Operands.empty())
        return false;
    std::u16string& name = Operands.front();
    if (name.size() < 3 || !ExpandPlaceholder(name))
        return false;
    name = std::u16string(TrimWideSpace(name));
    return true;
}

bool CNodeMemory::Evaluate(double& out)
{
    OperationScope scope(OpMemory);
    const Tevra::MemoryCell* cell = Tevra::MemoryMap.Find(CellName());
    if (cell == nullptr) {
        Report(Uninitialized, 0.0);
        out = 0.0;
    } else {
        out = cell->Value;
        Tevra::MemoryChanged = true;
    }
    return CalculationOk;
}

bool CNodeStore::Parse()
{
    if (Operands.size() != 2)
        return false;
    if (!Dispatch(Operands[0], this) || !ParseLastChild(this))
        return false;
    if (!ParseMemory(Operands[1], this))
        return false;
    return ParseLastChild(this);
}

bool CNodeStore::Evaluate(double& out)
{
    assert(Children.size() == 2 && "a store has its value and its memory cell as children");
    assert(dynamic_cast<const CNodeMemory*>(Children[1].get()) && "a store's target is a memory cell");
    if (!Children[0]->Evaluate(out))
        return false;
    const auto* target = static_cast<const CNodeMemory*>(Children[1].get());
    Tevra::MemoryMap.GetOrCreate(target->CellName()) = out;
    Tevra::MemoryChanged = true;
    return CalculationOk;
}

bool CNodeResult::Evaluate(double& out)
{
    out = LastResult;
    return true;
}

CNodeRandom::CNodeRandom()
{
    if (!Seeded)
        SeedRandomGenerator(TickCount());
}

bool CNodeRandom::Evaluate(double& out)
{
    out = NextRandomValue();
    return true;
}

}  // namespace NCalculatorText
