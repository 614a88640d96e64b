// Statements of any length: runs of infix operators, stores and factorials of
// any number of terms calculate from left to right with the same reports as
// short ones; real nesting is guarded against the stack, on any thread.
#include "support/EngineTestSupport.h"

#include <pthread.h>

#include "core/engine/EngineStack.h"
#include "core/memory/MemoryMap.h"
#include "core/engine/EngineState.h"

namespace EngineTests {
namespace {

using NCalculatorText::MaxNestingDepth;

class LongStatements : public EngineTest {};

TEST_F(LongStatements, ChainsOfEveryOperatorCalculateAtAnyLength)
{
    const std::vector<ValueCase> rows = {
        {u"1" + Repeat(u"+1", 2000), "2001"},
        {u"1" + Repeat(u"+1", 999999), "1000000"},
        {u"0" + Repeat(u"-1+2", 100000), "100000"},
        {u"0" + Repeat(u"\u22121", 100000), "-100000"},
        {u"1" + Repeat(u"*1", 300000), "1"},
        {u"1" + Repeat(u"*2/2", 100000), "1"},
        {u"3" + Repeat(u"\u00D72\u00F72", 100000), "3"},
        {u"1" + Repeat(u"^2", 300000), "1"},
        {u"2" + Repeat(u"*1.5", 3) + Repeat(u"+0", 100000), "6.75"},
        {Repeat(u"1 + ", 100000) + u"1", "100001"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

TEST_F(LongStatements, ChainsEvaluateFromLeftToRight)
{
    const std::vector<ValueCase> rows = {
        {u"8-3-2", "3"},
        {u"8/4/2", "1"},
        {u"2^3^2", "64"},
        {u"1e-5-1", "-0.99999000000000004551"},
        // A "-" hides every U+2212 to its left: "1-2\u22123" is 1-(2-3).
        {u"1-2\u22123", "2"},
        {u"1\u22122-3", "-4"},
        {u"2+3*4^2-1", "49"},
    };
    for (const ValueCase& row : rows)
        ExpectValue(row.Input, row.Value, row.Records);
}

// In a long chain every term reports in its own context, and the first error
// stops the chain: later terms are not evaluated.
TEST_F(LongStatements, ReportsInsideLongChainsAreThoseOfShortOnes)
{
    const std::u16string ones = Repeat(u"+1", 1500);
    const std::vector<FailureCase> failures = {
        {u"1" + ones + u"+mem[q]" + ones + u"+1/0" + ones + u"+mem[r]",
         {UnsetMemoryRecord(), Error("Division", "Operation has singularity at 0")}},
        {u"1" + ones + u"+1e308*10" + ones, {PositiveOverflow("Multiplication")}},
        {u"1e308" + Repeat(u"+1e308", 3000), {PositiveOverflow("Addition")}},
        {u"1" + Repeat(u"*1", 3000) + u"*1e400", {PositiveOverflow("Number")}},
        {u"2" + Repeat(u"^2", 3000), {PositiveOverflow("Power")}},
        {u"1" + ones + u"+", {SyntaxErrorRecord()}},
        {u"1" + ones + u"+2*-3" + ones, {SyntaxErrorRecord()}},
        {u"1" + ones + u"+(1,2)" + ones, {}},
    };
    for (const FailureCase& row : failures)
        ExpectFailure(row.Input, row.Records);
    ExpectValue(u"1e-200" + Repeat(u"*1e-200", 2) + Repeat(u"+1", 2000), "2000", {UnderflowToZero("Multiplication")});
    ExpectValue(u"x" + Repeat(u"+x", 2999), "0", std::vector<std::string>(3000, UnsetIndexRecord()));
}

TEST_F(LongStatements, StoresAndFactorialsOfAnyLength)
{
    std::u16string stores = u"5";
    for (int i = 0; i < 20000; ++i)
        stores += u"->mem[c" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) + u"]";
    ExpectValue(stores, "5");
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Count(), 26U);
    ExpectValue(u"(2)" + Repeat(u"!", 100000), "2");
    ExpectValue(u"ln((3)!!)", "6.579251212010101213");
    ExpectFailure(u"(3)" + Repeat(u"!", 100000), {PositiveOverflow("Factorial")});
}

TEST_F(LongStatements, NestingIsGuardedAtTheSameDepthForEveryConstruct)
{
    const auto depth = static_cast<std::size_t>(MaxNestingDepth);
    struct Row {
        std::u16string_view Open;
        std::u16string_view Core;
        std::u16string_view Close;
        std::size_t Deepest;  // the most levels that calculate
        std::string Value;
    };
    const std::vector<Row> rows = {
        {u"abs(", u"1", u")", depth - 1, "1"},
        {u"-(", u"1", u")", depth - 1, "-1"},
        {u"1*(", u"2", u")", depth - 1, "2"},
        {u"(", u"2", u")!", depth - 1, "2"},
        {u"sum(i,1,1,", u"i", u")", depth / 2 - 1, "1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("construct: " + Readable(row.Open) + "..." + Readable(row.Close));
        auto nested = [&row](std::size_t levels) {
            return Repeat(row.Open, levels) + std::u16string(row.Core) + Repeat(row.Close, levels);
        };
        ExpectValue(nested(row.Deepest), row.Value);
        ExpectFailure(nested(row.Deepest + 1), {SyntaxErrorRecord()});
    }
    // Bare brackets create no nodes: they nest as deep as memory allows.
    ExpectValue(Repeat(u"(", 16000) + u"1" + Repeat(u")", 16000), "1");
}

// What a thread started with a small stack reports back.
struct SmallStackRun {
    std::u16string Text;
    bool Ok = false;
    std::size_t StackLeft = 0;
};

void* CalculateOnSmallStack(void* argument)
{
    auto* run = static_cast<SmallStackRun*>(argument);
    run->StackLeft = NCalculatorText::StackLeftOnThisThread();
    int caret = -1;
    run->Ok = NCalculatorText::ExecuteText(run->Text, caret);
    return nullptr;
}

// A worker thread with far less stack than the deepest statement needs still
// calculates it, and its log reaches the receiver in order.
TEST_F(LongStatements, DeepStatementsCalculateOnAThreadWithASmallStack)
{
    const auto levels = static_cast<std::size_t>(MaxNestingDepth - 1);
    SmallStackRun run;
    run.Text = u"mem[q]; " + Repeat(u"-(", levels) + u"1" + Repeat(u")", levels) + u"; 1/0";
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, 256 * 1024), 0);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, CalculateOnSmallStack, &run), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);

    EXPECT_GT(run.StackLeft, 0U);
    EXPECT_LT(run.StackLeft, NCalculatorText::EngineStackSize);
    EXPECT_FALSE(run.Ok);
    EXPECT_EQ(Readable(run.Text.substr(run.Text.size() - 12)), "))))=-1; 1/0");
    EXPECT_EQ(Log.ClearCount, 1);
    EXPECT_EQ(Log.Lines,
              (std::vector<std::string>{UnsetMemoryRecord(), Error("Division", "Operation has singularity at 0")}));
    // Each record keeps its kind on the way from the helper thread.
    EXPECT_EQ(Log.Codes,
              (std::vector<NCalculatorText::ReportCode>{NCalculatorText::Uninitialized, NCalculatorText::Singularity}));
}

TEST_F(LongStatements, TheMainThreadHasRoomForTheDeepestStatement)
{
    // An optimised build calculates on the main thread's own stack.
#if defined(__OPTIMIZE__) && !defined(TEVRA_STACK_INSTRUMENTED)
    EXPECT_GE(NCalculatorText::StackLeftOnThisThread(), NCalculatorText::EngineStackSize);
#else
    EXPECT_GT(NCalculatorText::StackLeftOnThisThread(), 0U);
#endif
}

}  // namespace
}  // namespace EngineTests
