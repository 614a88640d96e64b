// The expression tree: CParcer holds the parsing operations, CNode the data
// every node shares and the four virtual operations. Parsing is top-down and
// lazy: a node is created with the texts of its operands and turns each into
// a child when it parses; only a fully parsed tree is evaluated.
#pragma once

#include <cassert>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace NCalculatorText {

class CNode;
class CNodeVariable;

// Index variables visible to a subtree, by name. The table owns its variables.
using VariableTable = std::map<std::u16string, std::unique_ptr<CNodeVariable>, std::less<>>;

// Node kinds as Kind() reports them; series and Bessel nodes check shapes
// with it.
enum NodeKind : int {
    KindValue = 0,
    KindVariable = 1,
    KindList = 2,
};

class CParcer {
public:
    virtual ~CParcer() = default;
    virtual CNode* Self() = 0;

    // Turns one operand text into one new child of parent. The text is changed
    // in place (brackets taken out, spaces removed).
    bool Dispatch(std::u16string& text, CNode* parent);

    // The recognizers, in the order Dispatch tries them; the order is the
    // precedence of the language, loosest first.
    bool ParseList(std::u16string& text, CNode* parent);
    bool ParseStore(std::u16string& text, CNode* parent);
    bool ParseAdditive(std::u16string& text, CNode* parent);
    bool ParseNegation(std::u16string& text, CNode* parent);
    bool ParseMultiplicative(std::u16string& text, CNode* parent);
    bool ParsePower(std::u16string& text, CNode* parent);
    bool ParseFactorial(std::u16string& text, CNode* parent);
    bool ParseFunction(std::u16string& text, CNode* parent);
    bool ParseMemory(std::u16string& text, CNode* parent);
    bool ParseAtom(std::u16string& text, CNode* parent);
    bool ParseIdentifier(std::u16string& text, CNode* parent);
};

class CNode : public CParcer {
public:
    CNode() = default;
    CNode(const CNode&) = delete;
    CNode& operator=(const CNode&) = delete;
    ~CNode() override;

    CNode* Self() final { return this; }
    // Dispatches every operand text and parses the child it produced.
    virtual bool Parse();
    // Forwards to the first child; only the root of a statement uses it.
    virtual bool Evaluate(double& out);
    virtual int Kind() { return KindValue; }

    // Creates a node of kind T as the last child of this node, sharing this
    // node's variable table.
    template <typename T> T* AppendChild()
    {
        auto child = std::make_unique<T>();
        T* raw = child.get();
        raw->Variables = Variables;
        Children.push_back(std::move(child));
        return raw;
    }

    // Gives this node a new, empty variable table of its own.
    void CreateVariableTable();

    std::vector<std::u16string> Operands;
    std::vector<std::unique_ptr<CNode>> Children;
    VariableTable* Variables = nullptr;
    bool OwnsVariables = false;

protected:
    // Parses the last child after a recognizer appended it, counting the depth
    // of the tree so that no statement can exhaust the stack.
    static bool ParseLastChild(CNode* parent);

private:
    std::unique_ptr<VariableTable> ownedVariables_;
};

// A comma-separated list: the argument of series and Bessel functions. It is
// not a value; evaluated as one it fails without a report.
class CNodeVector final : public CNode {
public:
    bool Evaluate(double& out) override;
    int Kind() override { return KindList; }
};

// An index variable, held in a variable table and set by its series.
class CNodeVariable final : public CNode {
public:
    bool Parse() override { return true; }
    // Reads the value; an unset index warns and reads as 0.
    bool Evaluate(double& out) override;
    int Kind() override { return KindVariable; }

    bool Unset = true;
    double Value = 0.0;
};

// An identifier in the text, bound to its variable when it is created.
class CNodeVariableReference final : public CNode {
public:
    bool Parse() override { return Target != nullptr; }
    bool Evaluate(double& out) override
    {
        assert(Target && "a parsed reference is bound to its variable");
        return Target->Evaluate(out);
    }
    int Kind() override { return KindVariable; }

    CNodeVariable* Target = nullptr;
};

// Resets the parse depth counter at the start of a statement.
void ResetParseDepth();

}  // namespace NCalculatorText
