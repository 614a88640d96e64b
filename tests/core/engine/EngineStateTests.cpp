// The process-wide state is one object: a run changes it, one assignment puts
// every piece of it back, and a receiver scope hands the log back to the
// receiver it took it from.
#include "support/EngineTestSupport.h"

#include "core/engine/Diagnostics.h"
#include "core/engine/Engine.h"
#include "core/engine/EngineState.h"

#include <functional>
#include <string>
#include <vector>

namespace {

using EngineTests::CollectingLogReceiver;
using EngineTests::EngineTest;
using NCalculatorText::CEngineState;
using NCalculatorText::State;

// Each piece of the state: how to move it away from its start value, and how
// to tell that it is back there.
struct StatePiece {
    const char* Name;
    std::function<void(CEngineState&)> Change;
    std::function<bool(const CEngineState&)> AtStart;
};

const std::vector<StatePiece>& Pieces()
{
    static const std::vector<StatePiece> pieces = {
        {"LastResult", [](CEngineState& s) { s.LastResult = 2.5; },
         [](const CEngineState& s) { return s.LastResult == 0.0; }},
        {"AngleUnit", [](CEngineState& s) { s.AngleUnit = 2; }, [](const CEngineState& s) { return s.AngleUnit == 0; }},
        {"RandomGenerator", [](CEngineState& s) { s.RandomGenerator.Seed(7); },
         [](const CEngineState& s) {
             return s.RandomGenerator.u == NCalculatorText::CRandomGenerator{}.u &&
                 s.RandomGenerator.v == NCalculatorText::CRandomGenerator{}.v &&
                 s.RandomGenerator.w == NCalculatorText::CRandomGenerator{}.w;
         }},
        {"Seeded", [](CEngineState& s) { s.Seeded = true; }, [](const CEngineState& s) { return !s.Seeded; }},
        {"MemoryMap", [](CEngineState& s) { s.MemoryMap.GetOrCreate(u"cell") = 4.0; },
         [](const CEngineState& s) { return s.MemoryMap.Count() == 0; }},
        {"MemoryMap.Changed", [](CEngineState& s) { s.MemoryMap.Changed = true; },
         [](const CEngineState& s) { return !s.MemoryMap.Changed; }},
        {"CalcSettings", [](CEngineState& s) { s.CalcSettings.TrigonometricUnits = 2; },
         [](const CEngineState& s) {
             return s.CalcSettings.TrigonometricUnits == Tevra::CCalcSettings{}.TrigonometricUnits;
         }},
        {"CurrentOperation", [](CEngineState& s) { s.CurrentOperation = NCalculatorText::OpPower; },
         [](const CEngineState& s) { return s.CurrentOperation == NCalculatorText::OpNone; }},
        {"PreviousOperation", [](CEngineState& s) { s.PreviousOperation = NCalculatorText::OpPower; },
         [](const CEngineState& s) { return s.PreviousOperation == NCalculatorText::OpNone; }},
        {"CalculationOk", [](CEngineState& s) { s.CalculationOk = false; },
         [](const CEngineState& s) { return s.CalculationOk; }},
        {"LastReportCode", [](CEngineState& s) { s.LastReportCode = NCalculatorText::Overflow; },
         [](const CEngineState& s) { return s.LastReportCode == NCalculatorText::NoError; }},
        {"ReportedStatement",
         [](CEngineState& s) {
             s.ReportedStatement = {3, 4};
         },
         [](const CEngineState& s) { return !s.ReportedStatement.IsKnown(); }},
        {"BracketTable", [](CEngineState& s) { s.BracketTable.Assign(u"(1)+(2)"); },
         [](const CEngineState& s) { return s.BracketTable.Size() == 0; }},
        {"LogarithmDelivered", [](CEngineState& s) { s.LogarithmDelivered = true; },
         [](const CEngineState& s) { return !s.LogarithmDelivered; }},
        {"NestingLimit", [](CEngineState& s) { s.NestingLimit = 10; },
         [](const CEngineState& s) { return s.NestingLimit == NCalculatorText::MaxNestingDepth; }},
        {"ParseDepth", [](CEngineState& s) { s.ParseDepth = 10; },
         [](const CEngineState& s) { return s.ParseDepth == 0; }},
        {"WorkLeft", [](CEngineState& s) { s.WorkLeft = 10; },
         [](const CEngineState& s) { return s.WorkLeft == NCalculatorText::UnlimitedWork; }},
        {"WorkExhausted", [](CEngineState& s) { s.WorkExhausted = true; },
         [](const CEngineState& s) { return !s.WorkExhausted; }},
        {"CancelRequested", [](CEngineState& s) { s.CancelRequested = true; },
         [](const CEngineState& s) { return !s.CancelRequested; }},
        {"CancelSeen", [](CEngineState& s) { s.CancelSeen = true; },
         [](const CEngineState& s) { return !s.CancelSeen; }},
        {"CancelPollCount", [](CEngineState& s) { s.CancelPollCount = 10; },
         [](const CEngineState& s) { return s.CancelPollCount == 0; }},
    };
    return pieces;
}

TEST(EngineState, OneAssignmentPutsEveryPieceBack)
{
    CollectingLogReceiver log;
    for (const StatePiece& piece : Pieces())
        piece.Change(State());
    State().LogReceiver = &log;
    for (const StatePiece& piece : Pieces())
        EXPECT_FALSE(piece.AtStart(State())) << piece.Name << " did not change";

    State() = {};
    for (const StatePiece& piece : Pieces())
        EXPECT_TRUE(piece.AtStart(State())) << piece.Name;
    EXPECT_EQ(State().LogReceiver, nullptr);
}

TEST(EngineState, ResettingTheProcessKeepsTheLogsReceiver)
{
    CollectingLogReceiver log;
    for (const StatePiece& piece : Pieces())
        piece.Change(State());
    State().LogReceiver = &log;

    NCalculatorText::ResetProcessState();
    for (const StatePiece& piece : Pieces())
        EXPECT_TRUE(piece.AtStart(State())) << piece.Name;
    EXPECT_EQ(State().LogReceiver, &log);
    State() = {};
}

// A copy of the state is a snapshot: changing the state afterwards leaves it
// as it was, the cancel request included.
TEST(EngineState, ACopyIsASnapshot)
{
    State() = {};
    State().MemoryMap.GetOrCreate(u"a") = 1.0;
    State().CancelRequested = true;
    const CEngineState snapshot = State();
    State().MemoryMap.GetOrCreate(u"b") = 2.0;
    State().CancelRequested = false;
    EXPECT_EQ(snapshot.MemoryMap.Count(), 1u);
    EXPECT_TRUE(snapshot.CancelRequested);
    State() = {};
}

class LogReceiverScopes : public EngineTest {};

// Scopes nest: the inner one hands the log back to the outer one's receiver,
// and the outer one to the receiver that was there before it.
TEST_F(LogReceiverScopes, HandTheLogBackToThePreviousReceiver)
{
    CollectingLogReceiver outer;
    CollectingLogReceiver inner;
    {
        const NCalculatorText::LogReceiverScope outerScope(outer);
        {
            const NCalculatorText::LogReceiverScope innerScope(inner);
            Run(u"1/0");
        }
        EXPECT_EQ(State().LogReceiver, &outer);
        Run(u"ln(0)");
    }
    EXPECT_EQ(State().LogReceiver, &Log);
    EXPECT_FALSE(inner.Lines.empty());
    EXPECT_FALSE(outer.Lines.empty());
    EXPECT_TRUE(Log.Lines.empty());
}

// A receiver that took the log over meanwhile keeps it.
TEST_F(LogReceiverScopes, LeaveAReceiverThatTookOverInPlace)
{
    CollectingLogReceiver scoped;
    CollectingLogReceiver later;
    {
        const NCalculatorText::LogReceiverScope scope(scoped);
        State().LogReceiver = &later;
    }
    EXPECT_EQ(State().LogReceiver, &later);
}

}  // namespace
