#include "core/engine/NodesMemory.h"

#include "core/engine/Diagnostics.h"
#include "core/engine/Engine.h"
#include "core/engine/Random.h"
#include "core/engine/Scanner.h"
#include "core/memory/MemoryMap.h"
#include "core/engine/EngineState.h"

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
    const Tevra::MemoryCell* cell = NCalculatorText::State().MemoryMap.Find(CellName());
    if (cell == nullptr) {
        // The hint beside the warning names this cell.
        State().Subject.UnsetCell = CellName();
        Report(Uninitialized, 0.0);
        State().Subject.UnsetCell = {};
        out = 0.0;
    } else {
        out = cell->Value;
        NCalculatorText::State().MemoryMap.Changed = true;
    }
    return State().CalculationOk;
}

bool CNodeStore::Parse()
{
    if (Operands.size() != 1)
        return false;
    const std::u16string text = std::move(Operands.front());
    Operands.clear();
    // The pieces between the arrows: the value, then the targets in order.
    std::vector<std::size_t> pieces{0};
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if ((text[i] == u'-' || text[i] == u'\u2212') && text[i + 1] == u'>')
            pieces.push_back(i + 2);
    }
    std::u16string piece;
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        const std::size_t end = k + 1 < pieces.size() ? pieces[k + 1] - 2 : text.size();
        piece.assign(text, pieces[k], end - pieces[k]);
        const bool parsed = k == 0 ? Dispatch(piece, this) : ParseMemory(piece, this);
        if (!parsed || !ParseLastChild(this))
            return false;
    }
    return Children.size() >= 2;
}

bool CNodeStore::Evaluate(double& out)
{
    assert(Children.size() >= 2 && "a store has its value and at least one memory cell as children");
    if (!Children[0]->Evaluate(out))
        return false;
    for (std::size_t k = 1; k < Children.size(); ++k) {
        assert(dynamic_cast<const CNodeMemory*>(Children[k].get()) && "a store's target is a memory cell");
        const auto* target = static_cast<const CNodeMemory*>(Children[k].get());
        NCalculatorText::State().MemoryMap.GetOrCreate(target->CellName()) = out;
        NCalculatorText::State().MemoryMap.Changed = true;
    }
    return State().CalculationOk;
}

bool CNodeResult::Evaluate(double& out)
{
    out = State().LastResult;
    return true;
}

CNodeRandom::CNodeRandom()
{
    if (!State().Seeded)
        SeedRandomGenerator(TickCount());
}

bool CNodeRandom::Evaluate(double& out)
{
    out = NextRandomValue();
    return true;
}

}  // namespace NCalculatorText
