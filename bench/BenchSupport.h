// Helpers shared by the benchmarks: generated calculation documents and the
// per-item counter.
#pragma once

#include <cstddef>
#include <string>

#include <benchmark/benchmark.h>

namespace TevraBench {

// A calculation document of count statements of the kinds a user writes
// (arithmetic, functions, stores and reads of memory, old results to
// replace, comments), one per line, separated by ";" and CR LF.
std::u16string GeneratedDocument(std::size_t count);

// A document of about targetUnits UTF-16 code units made of count short
// statements.
std::u16string DocumentOfSize(std::size_t count, std::size_t targetUnits);

// Shows, next to the time per iteration, the time per item (statement, term,
// cell): items are done per iteration.
inline void ReportTimePerItem(benchmark::State& state, double items, const char* name)
{
    state.counters[name] =
        benchmark::Counter(items, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace TevraBench
