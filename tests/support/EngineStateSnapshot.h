// A copy of every piece of the process-wide state a statement can touch, to
// compare before and after something that must leave no trace.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <utility>

#include "core/engine/EngineState.h"

namespace EngineTests {

// Every piece of process-wide state a statement can touch.
struct EngineState {
    double LastResult;
    int AngleUnit;
    int CurrentOperation;
    int PreviousOperation;
    bool CalculationOk;
    int LastReportCode;
    NCalculatorText::ILogReceiver* LogReceiver;
    bool LogarithmDelivered;
    NCalculatorText::StatementSpan Reported;
    std::uint64_t WorkLeft;
    bool WorkExhausted;
    bool CancelRequested;
    bool CancelSeen;
    std::uint32_t CancelPollCount;
    bool MemoryChanged;
    std::map<std::u16string, std::pair<double, std::int32_t>> Cells;
    std::tuple<std::uint64_t, std::uint64_t, std::uint64_t> Random;
    bool Seeded;
    std::size_t BracketGroups;

    static EngineState Now()
    {
        namespace N = NCalculatorText;
        EngineState state{N::State().LastResult,
                          N::State().AngleUnit,
                          N::State().CurrentOperation,
                          N::State().PreviousOperation,
                          N::State().CalculationOk,
                          N::State().LastReportCode,
                          N::State().LogReceiver,
                          N::State().LogarithmDelivered,
                          N::State().ReportedStatement,
                          N::State().WorkLeft,
                          N::State().WorkExhausted,
                          N::State().CancelRequested.load(),
                          N::State().CancelSeen,
                          N::State().CancelPollCount,
                          NCalculatorText::State().MemoryMap.Changed,
                          {},
                          {N::State().RandomGenerator.u, N::State().RandomGenerator.v, N::State().RandomGenerator.w},
                          N::State().Seeded,
                          N::State().BracketTable.Size()};
        for (const auto& [name, cell] : NCalculatorText::State().MemoryMap)
            state.Cells[name] = {cell.Value, cell.Include};
        return state;
    }
    friend bool operator==(const EngineState&, const EngineState&) = default;
};

}  // namespace EngineTests
