// The memory store at 100,000 cells: storing, exporting, listing by index
// and loading the exported file back.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "core/engine/Engine.h"
#include "core/files/MemoryFile.h"
#include "core/memory/MemoryMap.h"

namespace {

constexpr std::size_t CellCount = 100'000;

std::vector<std::u16string> CellNames()
{
    std::vector<std::u16string> names;
    names.reserve(CellCount);
    for (std::size_t i = 0; i < CellCount; ++i) {
        // Scattered, so that insertion does not always happen at one end.
        const std::string digits = std::to_string((i * 7919) % CellCount);
        names.emplace_back(u"cell");
        names.back().append(digits.begin(), digits.end());
    }
    return names;
}

Tevra::CMemoryMap FilledMap(const std::vector<std::u16string>& names)
{
    Tevra::CMemoryMap map;
    for (std::size_t i = 0; i < names.size(); ++i)
        map.GetOrCreate(names[i]) = static_cast<double>(i) / 7.0;
    return map;
}

void MemoryStore(benchmark::State& state)
{
    const auto names = CellNames();
    for (auto _ : state) {
        Tevra::CMemoryMap map = FilledMap(names);
        benchmark::DoNotOptimize(map.Count());
        state.PauseTiming();
        map.FreeAll();
        state.ResumeTiming();
    }
    TevraBench::ReportTimePerItem(state, CellCount, "per_cell");
}
BENCHMARK(MemoryStore)->Unit(benchmark::kMillisecond);

void MemoryExport(benchmark::State& state)
{
    const Tevra::CMemoryMap map = FilledMap(CellNames());
    for (auto _ : state) {
        const std::u16string text = map.ExportMemory(true);
        benchmark::DoNotOptimize(text.data());
    }
    TevraBench::ReportTimePerItem(state, CellCount, "per_cell");
}
BENCHMARK(MemoryExport)->Unit(benchmark::kMillisecond);

void MemoryListingByIndex(benchmark::State& state)
{
    const Tevra::CMemoryMap map = FilledMap(CellNames());
    for (auto _ : state) {
        double sum = 0;
        for (std::size_t i = 0; i < map.Count(); ++i)
            sum += map.CellAt(i).Value;
        benchmark::DoNotOptimize(sum);
    }
    TevraBench::ReportTimePerItem(state, CellCount, "per_cell");
}
BENCHMARK(MemoryListingByIndex)->Unit(benchmark::kMillisecond);

// The exported file of 100,000 cells executed as Load memory does.
void MemoryLoad(benchmark::State& state)
{
    const std::string bytes = Tevra::MemoryFileBytes(FilledMap(CellNames()), true);
    for (auto _ : state) {
        state.PauseTiming();
        NCalculatorText::ResetProcessState();
        state.ResumeTiming();
        benchmark::DoNotOptimize(Tevra::ExecuteFileBytes(bytes));
    }
    NCalculatorText::ResetProcessState();
    TevraBench::ReportTimePerItem(state, CellCount, "per_cell");
}
BENCHMARK(MemoryLoad)->Unit(benchmark::kMillisecond);

}  // namespace
