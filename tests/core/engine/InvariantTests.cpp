// The engine's invariants that the parser guarantees and evaluation relies
// on: a node that breaks one stops at a messaged assert in the builds that
// keep assertions (the sanitizer and fuzzing builds) instead of reading past
// its children.
#include "support/EngineTestSupport.h"

#include "core/engine/NodesArithmetic.h"
#include "core/engine/NodesInfix.h"
#include "core/engine/NodesMemory.h"

namespace EngineTests {
namespace {

using namespace NCalculatorText;

class Invariants : public EngineTest {
protected:
    void SetUp() override
    {
#ifdef NDEBUG
        GTEST_SKIP() << "assertions are compiled out of this build";
#endif
        EngineTest::SetUp();
        GTEST_FLAG_SET(death_test_style, "threadsafe");
    }
};

TEST_F(Invariants, AnInfixRunWithoutItsTermsIsRefused)
{
    CNodeInfix run;
    run.AppendChild<CNodeNumber>();
    double out = 0;
    EXPECT_DEATH(run.Evaluate(out), "at least two terms");
}

TEST_F(Invariants, AUnaryNodeWithoutChildIsRefused)
{
    CNodeSqrt root;
    double out = 0;
    EXPECT_DEATH(root.Evaluate(out), "exactly one child");
}

TEST_F(Invariants, AStoreIntoSomethingOtherThanAMemoryCellIsRefused)
{
    CNodeStore store;
    store.AppendChild<CNodeNumber>();
    store.AppendChild<CNodeNumber>();
    double out = 0;
    EXPECT_DEATH(store.Evaluate(out), "target is a memory cell");
}

class ParsedTrees : public EngineTest {};

TEST_F(ParsedTrees, KeepTheInvariants)
{
    // What the parser builds passes every assert on the way.
    ExpectValue(u"2+3*sqrt(4)", "8");
    ExpectValue(u"(2+3)!->Mem[a]", "120");
    ExpectValue(u"Mem[a]/(-(-2))", "60");
    ExpectValue(u"1+2-3*4/2^2->Mem[b]->Mem[c]", "0");
    ExpectValue(u"sum(i,1,3,j(0,i)*0)+gamma(3)+y(1,1)*0", "2");
}

}  // namespace
}  // namespace EngineTests
