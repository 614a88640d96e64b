// The nodes that reach outside the expression: memory cells, the last
// result and random numbers.
#pragma once

#include "core/engine/Node.h"

namespace NCalculatorText {

// Mem[name]: reads a memory cell; a missing cell warns and reads as 0.
class CNodeMemory final : public CNode {
public:
    // The operand must be exactly one bracket placeholder; its trimmed content
    // becomes the cell name.
    bool Parse() override;
    bool Evaluate(double& out) override;

    const std::u16string& CellName() const { return Operands.front(); }
};

// value -> Mem[name] -> Mem[other]...: stores the value in each cell from
// left to right; the store's value is the value stored. Its only operand is
// the whole text; child 0 is the value, the others are the memory cells.
class CNodeStore final : public CNode {
public:
    bool Parse() override;
    bool Evaluate(double& out) override;
};

// Rslt: the value of the last statement that succeeded.
class CNodeResult final : public CNode {
public:
    bool Parse() override { return true; }
    bool Evaluate(double& out) override;
};

// Rand: a new random number in [0, 1] at every evaluation. The first one
// created in the process seeds the generator from the clock.
class CNodeRandom final : public CNode {
public:
    CNodeRandom();
    bool Parse() override { return true; }
    bool Evaluate(double& out) override;
};

}  // namespace NCalculatorText
