// Cancelling a calculation from outside: a statement that would run for ever
// stops, fails as an error does with one "Calculation cancelled" record, and
// leaves the results written before it.
#include "support/EngineTestSupport.h"

#include <cerrno>
#include <ctime>
#include <pthread.h>
#include <thread>

#include "core/engine/Cancel.h"
#include "core/engine/EngineStack.h"
#include "core/memory/MemoryMap.h"
#include "core/engine/EngineState.h"

namespace EngineTests {
namespace {

using NCalculatorText::AfterFailure;
using NCalculatorText::State;

std::string CancelRecord()
{
    return Error("None", "Calculation cancelled");
}

// A series of 10^16 terms: it would keep any machine busy for years.
const std::u16string Endless = u"sum(i,0e17,1e17,10,i)";

// Asks for the cancel the moment the calculation reports its first
// warning, so the request arrives in the middle of a statement at a place the
// test chooses ("Mem[q]" reads an unset cell and warns).
class CancellingLog final : public NCalculatorText::ILogReceiver {
public:
    explicit CancellingLog(CollectingLogReceiver& records) : records_(records) {}
    void Add(const NCalculatorText::LogRecord& record) override
    {
        records_.Add(record);
        State().CancelRequested = true;
    }
    void Clear() override { records_.Clear(); }

private:
    CollectingLogReceiver& records_;
};

// Asks for the cancel once the process has used a tenth of a second of
// processor time more than when the call began: the statements the tests put
// before a statement that never ends take microseconds, so by then the
// calculation is inside the one that never ends, however busy the machine is
// (waiting a fixed time instead could ask before the run reached it).
void RequestCancelOnceBusy()
{
    // Sleeps on the process's processor-time clock: it wakes when the
    // calculation has used that time, however long the machine takes to
    // give it.
    timespec until{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &until);
    until.tv_nsec += 100'000'000;
    if (until.tv_nsec >= 1'000'000'000) {
        until.tv_nsec -= 1'000'000'000;
        ++until.tv_sec;
    }
    while (clock_nanosleep(CLOCK_PROCESS_CPUTIME_ID, TIMER_ABSTIME, &until, nullptr) == EINTR) {}
    State().CancelRequested = true;
}

class Cancel : public EngineTest {
protected:
    void TearDown() override
    {
        State().CancelRequested = false;
        EngineTest::TearDown();
    }

    // Runs text while another thread asks for the cancel once the
    // calculation is busy. The run can only end because of the cancel.
    RunOutcome RunCancelledMeanwhile(std::u16string text, int caret = -1, AfterFailure after = AfterFailure::Stop)
    {
        std::thread canceller(RequestCancelOnceBusy);
        RunOutcome outcome;
        outcome.Caret = caret;
        outcome.Ok = NCalculatorText::ExecuteText(text, outcome.Caret, after);
        canceller.join();
        outcome.Text = std::move(text);
        outcome.Records = Log.Lines;
        return outcome;
    }
};

// Runs body on a new thread with room for the deepest statement on its own
// stack, and waits for it.
template <typename Body> void OnEngineSizedThread(Body body)
{
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, NCalculatorText::EngineStackSize + (1u << 20)), 0);
    pthread_t thread;
    const int started = pthread_create(
        &thread, &attributes,
        [](void* argument) -> void* {
            (*static_cast<Body*>(argument))();
            return nullptr;
        },
        &body);
    pthread_attr_destroy(&attributes);
    ASSERT_EQ(started, 0);
    pthread_join(thread, nullptr);
}

struct CancelCase {
    std::u16string Input;
    int Caret;
    std::u16string Text;
    int CaretAfter;
};

TEST_F(Cancel, AStatementThatWouldNeverEndStopsAndKeepsTheResultsBeforeIt)
{
    const std::vector<CancelCase> rows = {
        {Endless, -1, Endless, -1},
        {u"1+1; " + Endless + u"; 3", -1, u"1+1=2; " + Endless + u"; 3", -1},
        // Its old result goes, as a failing statement's does.
        {Endless + u" = 5 // old", -1, Endless + u"   // old", -1},
        {u"1; " + Endless + u"=7; 2", 4, u"1; " + Endless + u"; 2", 4},
        {u"prod(i,1,1e300,1+0*i)", -1, u"prod(i,1,1e300,1+0*i)", -1},
        {u"sum(j,1,1e9,sum(i,1,1e9,i))", -1, u"sum(j,1,1e9,sum(i,1,1e9,i))", -1},
        // The library takes half a minute over an order of two billion.
        {u"j(2000000000,1e5)", -1, u"j(2000000000,1e5)", -1},
        {u"1+y(-2000000000,3e9)", -1, u"1+y(-2000000000,3e9)", -1},
    };
    for (const CancelCase& row : rows) {
        SCOPED_TRACE("input: " + Readable(row.Input));
        State().CancelRequested = false;
        const RunOutcome outcome = RunCancelledMeanwhile(row.Input, row.Caret);
        EXPECT_FALSE(outcome.Ok);
        EXPECT_EQ(Readable(outcome.Text), Readable(row.Text));
        EXPECT_EQ(outcome.Caret, row.CaretAfter);
        EXPECT_EQ(outcome.Records, std::vector<std::string>{CancelRecord()});
    }
}

TEST_F(Cancel, ARequestMadeBeforeTheRunStopsItBeforeAnyStatement)
{
    State().CancelRequested = true;
    const RunOutcome outcome = Run(u"1+1; 2+2=9");
    EXPECT_FALSE(outcome.Ok);
    EXPECT_EQ(Readable(outcome.Text), "1+1; 2+2=9");
    EXPECT_EQ(outcome.Records, std::vector<std::string>{CancelRecord()});
    // The engine never clears the request: the next run stops too, until the
    // owner clears it.
    EXPECT_FALSE(Run(u"3").Ok);
    State().CancelRequested = false;
    const RunOutcome after = Run(u"3");
    EXPECT_TRUE(after.Ok);
    EXPECT_EQ(Readable(after.Text), "3=3");
    EXPECT_TRUE(after.Records.empty());
}

TEST_F(Cancel, EveryLoopOfTheEngineLooksAtTheRequest)
{
    // The request arrives with the warning of the first "Mem[q]"; without a
    // look at it inside the statement, each of these would succeed.
    struct Row {
        std::u16string Input;
        const char* Where;
    };
    const std::vector<Row> rows = {
        {u"sum(i,1,10,Mem[q])", "every series step"},
        {u"prod(i,1,3,sum(j,1,10,Mem[q]+1))", "a series inside a series"},
        {u"Mem[q]" + Repeat(u"+1", 10000), "a long chain of one operator"},
        {u"Mem[q]*(" + Repeat(u"1+", 9999) + u"1)", "a chain inside a chain"},
    };
    // The records must reach the log while the statement runs, so the rows
    // calculate on a thread whose own stack holds the engine: a run that goes
    // to the helper thread hands its records on only once it is over.
    CancellingLog cancelling(Log);
    NCalculatorText::State().LogReceiver = &cancelling;
    OnEngineSizedThread([&] {
        for (const Row& row : rows) {
            SCOPED_TRACE(row.Where);
            State().CancelRequested = false;
            std::u16string text = row.Input;
            int caret = -1;
            EXPECT_FALSE(NCalculatorText::ExecuteText(text, caret));
            EXPECT_EQ(Readable(text), Readable(row.Input)) << "no result is written";
            // One warning, then the cancel, reported once however many loops
            // see the request on the way out.
            EXPECT_EQ(Log.Lines, (std::vector<std::string>{UnsetMemoryRecord(), CancelRecord()}));
        }
    });
}

TEST_F(Cancel, StopsLoadingAFileThatGoesOnAfterFailures)
{
    const RunOutcome outcome =
        RunCancelledMeanwhile(u"1->Mem[a]; 1/0; " + Endless + u"; 2->Mem[b]", -1, AfterFailure::Continue);
    EXPECT_FALSE(outcome.Ok);
    EXPECT_EQ(outcome.Records,
              (std::vector<std::string>{Error("Division", "Operation has singularity at 0"), CancelRecord()}));
    EXPECT_NE(NCalculatorText::State().MemoryMap.Find(u"a"), nullptr);
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Find(u"b"), nullptr) << "nothing runs after the cancel";
}

TEST_F(Cancel, TheTextHandedOnInPiecesIsTheSameAsTheTextWrittenBack)
{
    // What a stream receives is what ExecuteText writes back.
    class Collect final : public NCalculatorText::ITextSink {
    public:
        void Append(std::u16string_view piece) override { Text += piece; }
        std::u16string Text;
    };
    const std::vector<std::pair<std::u16string, int>> rows = {
        {u"1+1 = 9; /* ; */ 2 // x\n; ;3=", -1}, {u"1;2;3", 2}, {u"1;1/0;3", -1}, {u"2;/* open", -1}, {u"", -1},
    };
    for (const auto& [input, caret] : rows) {
        SCOPED_TRACE("input: " + Readable(input));
        std::u16string text = input;
        int caretBack = caret;
        const bool okBack = NCalculatorText::ExecuteText(text, caretBack);
        Collect collected;
        int caretPieces = caret;
        const bool okPieces = NCalculatorText::ExecuteTextInto(input, caretPieces, collected);
        EXPECT_EQ(okPieces, okBack);
        EXPECT_EQ(caretPieces, caretBack);
        EXPECT_EQ(Readable(collected.Text), Readable(text));
    }
}

// The calculation of a thread with little stack runs on the engine's helper
// thread; the request reaches it there and its record comes back.
void* RunEndlessOnSmallStack(void* argument)
{
    auto* outcome = static_cast<RunOutcome*>(argument);
    std::u16string text = Endless;
    outcome->Caret = -1;
    outcome->Ok = NCalculatorText::ExecuteText(text, outcome->Caret);
    outcome->Text = text;
    return nullptr;
}

TEST_F(Cancel, ReachesACalculationOnTheHelperThread)
{
    RunOutcome outcome;
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, 256 * 1024), 0);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, RunEndlessOnSmallStack, &outcome), 0);
    pthread_attr_destroy(&attributes);
    RequestCancelOnceBusy();
    pthread_join(thread, nullptr);
    EXPECT_FALSE(outcome.Ok);
    EXPECT_EQ(Readable(outcome.Text), Readable(Endless));
    EXPECT_EQ(Log.Lines, std::vector<std::string>{CancelRecord()});
}

}  // namespace
}  // namespace EngineTests
