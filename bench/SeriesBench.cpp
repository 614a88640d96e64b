// Series sums through the engine, each next to a plain C++ loop doing the
// same arithmetic, as time per term.
#include <cmath>
#include <string>

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "core/engine/Engine.h"

namespace {

void RunSeries(benchmark::State& state, const std::u16string& statement, double terms)
{
    NCalculatorText::ResetProcessState();
    for (auto _ : state) {
        std::u16string text = statement;
        int caret = -1;
        benchmark::DoNotOptimize(NCalculatorText::ExecuteText(text, caret));
    }
    TevraBench::ReportTimePerItem(state, terms, "per_term");
}

void SeriesSumOfIndex(benchmark::State& state)
{
    RunSeries(state, u"sum(i,1,1e7,i)", 1e7);
}
BENCHMARK(SeriesSumOfIndex)->Unit(benchmark::kMillisecond);

void LoopSumOfIndex(benchmark::State& state)
{
    for (auto _ : state) {
        double sum = 0;
        for (double i = 1; i <= 1e7; i += 1) {
            sum += i;
            benchmark::DoNotOptimize(sum);
        }
    }
    TevraBench::ReportTimePerItem(state, 1e7, "per_term");
}
BENCHMARK(LoopSumOfIndex)->Unit(benchmark::kMillisecond);

void SeriesSumOfSine(benchmark::State& state)
{
    RunSeries(state, u"sum(i,1,1e6,sin(i))", 1e6);
}
BENCHMARK(SeriesSumOfSine)->Unit(benchmark::kMillisecond);

void LoopSumOfSine(benchmark::State& state)
{
    for (auto _ : state) {
        double sum = 0;
        for (double i = 1; i <= 1e6; i += 1) {
            sum += std::sin(i);
            benchmark::DoNotOptimize(sum);
        }
    }
    TevraBench::ReportTimePerItem(state, 1e6, "per_term");
}
BENCHMARK(LoopSumOfSine)->Unit(benchmark::kMillisecond);

}  // namespace
