// Long and deep statements: chains of terms and nested brackets must cost
// time and memory in proportion to their length. Each benchmark reports the
// time per term or character, and the peak of memory the run holds per
// character, counted by the replaced operator new below.
#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>
#include <string>

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "core/engine/Engine.h"

namespace {

std::atomic<std::size_t> LiveBytes{0};
std::atomic<std::size_t> PeakBytes{0};

void CountAllocation(void* block)
{
    const std::size_t live = LiveBytes += malloc_usable_size(block);
    std::size_t peak = PeakBytes.load();
    while (live > peak && !PeakBytes.compare_exchange_weak(peak, live)) {}
}

}  // namespace

// The replacements pair malloc with free themselves; the compiler cannot see
// that operator delete here only ever frees what operator new got from malloc.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size)
{
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr)
        throw std::bad_alloc();
    CountAllocation(block);
    return block;
}

void operator delete(void* block) noexcept
{
    if (block == nullptr)
        return;
    LiveBytes -= malloc_usable_size(block);
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    operator delete(block);
}

#pragma GCC diagnostic pop

namespace {

// Runs statement as a whole text; reports time and peak memory per unit
// (term or character) of the statement.
void RunStatement(benchmark::State& state, const std::u16string& statement, double units, const char* unit)
{
    NCalculatorText::ResetProcessState();
    std::u16string trial = statement;
    int trialCaret = -1;
    if (!NCalculatorText::ExecuteText(trial, trialCaret)) {
        state.SkipWithError("the statement fails");
        return;
    }
    std::size_t peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::u16string text = statement;
        const std::size_t before = LiveBytes.load();
        PeakBytes = before;
        int caret = -1;
        state.ResumeTiming();
        benchmark::DoNotOptimize(NCalculatorText::ExecuteText(text, caret));
        state.PauseTiming();
        peak = PeakBytes.load() - before;
        text = std::u16string();
        state.ResumeTiming();
    }
    TevraBench::ReportTimePerItem(state, units, unit);
    state.counters["peak_bytes_per_character"] = static_cast<double>(peak) / static_cast<double>(statement.size());
    state.counters["peak_bytes_per_unit"] = static_cast<double>(peak) / units;
    state.counters["characters"] = static_cast<double>(statement.size());
}

// head, then piece written count times, then tail.
std::u16string Repeated(std::u16string_view head, std::u16string_view piece, std::size_t count,
                        std::u16string_view tail = {})
{
    std::u16string text(head);
    text.reserve(head.size() + piece.size() * count + tail.size());
    for (std::size_t i = 0; i < count; ++i)
        text += piece;
    text += tail;
    return text;
}

// "1+1+...+1" with range(0) terms: the time per term must stay flat.
void ChainOfSums(benchmark::State& state)
{
    const auto terms = static_cast<std::size_t>(state.range(0));
    RunStatement(state, Repeated(u"1", u"+1", terms - 1), static_cast<double>(terms), "per_term");
}
BENCHMARK(ChainOfSums)->Arg(1'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// Ten million characters of "1+1+...": the plain chain the next one is held to.
void PlainChainOfTenMillionCharacters(benchmark::State& state)
{
    constexpr std::size_t terms = 5'000'000;
    RunStatement(state, Repeated(u"1", u"+1", terms - 1), static_cast<double>(terms), "per_term");
}
BENCHMARK(PlainChainOfTenMillionCharacters)->Unit(benchmark::kMillisecond)->Iterations(3);

// Ten million characters of "1+2*1+2*1...": sums of products of literals,
// each product a term of the sum; within twice the plain chain's time.
void ProductChainOfTenMillionCharacters(benchmark::State& state)
{
    constexpr std::size_t products = 2'500'000;
    RunStatement(state, Repeated(u"1", u"+2*1", products - 1, u"+2"), static_cast<double>(products), "per_term");
}
BENCHMARK(ProductChainOfTenMillionCharacters)->Unit(benchmark::kMillisecond)->Iterations(3);

// A mixed chain of sums, products, quotients and powers of decimal numbers.
void MixedChain(benchmark::State& state)
{
    const auto groups = static_cast<std::size_t>(state.range(0));
    RunStatement(state, Repeated(u"0.5", u"+2.25*1.5/3^1-0.75", groups), static_cast<double>(groups * 5 + 1),
                 "per_term");
}
BENCHMARK(MixedChain)->Arg(200)->Arg(200'000)->Unit(benchmark::kMillisecond);

// range(0) brackets around a number: no nodes, but every level's content is
// taken out of its bracket.
void NestedBrackets(benchmark::State& state)
{
    const auto depth = static_cast<std::size_t>(state.range(0));
    const std::u16string statement = Repeated({}, u"(", depth, u"1") + Repeated({}, u")", depth);
    RunStatement(state, statement, static_cast<double>(statement.size()), "per_character");
}
BENCHMARK(NestedBrackets)->Arg(1'000)->Arg(4'000)->Arg(16'000)->Unit(benchmark::kMillisecond);

// A document of about 1 MB made of 32 statements of 16,000 nested brackets.
void DocumentOfNestedBrackets(benchmark::State& state)
{
    const std::u16string statement = Repeated({}, u"(", 16'000, u"1") + Repeated({}, u")", 16'000, u";\r\n");
    const std::u16string document = Repeated({}, statement, 32);
    RunStatement(state, document, static_cast<double>(document.size()), "per_character");
}
BENCHMARK(DocumentOfNestedBrackets)->Unit(benchmark::kMillisecond);

// Nested function calls at the nesting guard.
void NestedCallsAtTheGuard(benchmark::State& state)
{
    const auto depth = static_cast<std::size_t>(NCalculatorText::MaxNestingDepth - 1);
    const std::u16string statement = Repeated({}, u"abs(", depth, u"1") + Repeated({}, u")", depth);
    RunStatement(state, statement, static_cast<double>(statement.size()), "per_character");
}
BENCHMARK(NestedCallsAtTheGuard)->Unit(benchmark::kMillisecond);

}  // namespace
