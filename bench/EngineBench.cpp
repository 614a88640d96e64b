// The engine on whole documents: a short mixed calculation, generated
// documents of growing size (the time per statement must stay flat), and a
// 1 MB document.
#include <string>

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "core/engine/Engine.h"

namespace {

void RunDocument(benchmark::State& state, const std::u16string& document, double statements)
{
    NCalculatorText::ResetProcessState();
    // A failing statement would stop the run early and flatter the figures.
    std::u16string trial = document;
    int trialCaret = -1;
    if (!NCalculatorText::ExecuteText(trial, trialCaret)) {
        state.SkipWithError("a statement of the document fails");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        std::u16string text = document;
        int caret = -1;
        state.ResumeTiming();
        const bool ok = NCalculatorText::ExecuteText(text, caret);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(text.data());
    }
    TevraBench::ReportTimePerItem(state, statements, "per_statement");
}

void MixedCalculation(benchmark::State& state)
{
    RunDocument(state, TevraBench::GeneratedDocument(40), 40);
}
BENCHMARK(MixedCalculation)->Unit(benchmark::kMicrosecond);

void CalculateAll(benchmark::State& state)
{
    const auto count = static_cast<std::size_t>(state.range(0));
    RunDocument(state, TevraBench::GeneratedDocument(count), static_cast<double>(count));
}
BENCHMARK(CalculateAll)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// 50,000 statements padded with comments to 1 MiB of text (as UTF-8; twice
// that in the program's UTF-16 files).
void CalculateAllOneMegabyte(benchmark::State& state)
{
    const std::u16string document = TevraBench::DocumentOfSize(50'000, 1 << 20);
    state.counters["characters"] = static_cast<double>(document.size());
    RunDocument(state, document, 50'000);
}
BENCHMARK(CalculateAllOneMegabyte)->Unit(benchmark::kMillisecond);

// The statement at the caret only, in the middle of a large document: the
// cost of finding it.
void CalculateAtCaret(benchmark::State& state)
{
    const std::u16string document = TevraBench::GeneratedDocument(static_cast<std::size_t>(state.range(0)));
    NCalculatorText::ResetProcessState();
    for (auto _ : state) {
        state.PauseTiming();
        std::u16string text = document;
        int caret = static_cast<int>(document.size() / 2);
        state.ResumeTiming();
        benchmark::DoNotOptimize(NCalculatorText::ExecuteText(text, caret));
    }
}
BENCHMARK(CalculateAtCaret)->Arg(1'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

}  // namespace
