// The checks the fuzz targets run on arbitrary bytes, shared by the libFuzzer
// programs and by the corpus test of the normal build, which feeds every
// checked-in input to the same function. A check returns an empty string, or
// what went wrong. Each check starts from fresh process state, so that an
// input gives the same run whatever came before it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace TevraFuzz {

// The work one input may do (series terms, Bessel orders: EvaluationBudget.h)
// before its run gives up, so that a series of an impractical term count ends
// at the same place on every run and on every machine.
inline constexpr std::uint64_t WorkPerInput = 1000;

// The longest input worth trying: the fuzz script passes it as -max_len.
// Longer texts only repeat what shorter ones reach, more slowly.
inline constexpr std::size_t LongestInput = 4096;

// The first two bytes choose the caret (0xFFFF: all statements), the rest is
// a UTF-16LE text. The run ends in results or records with a valid status
// and context, and a caret inside the resulting text.
std::string CheckCalculationText(std::string_view bytes);

// The bytes as a calculation or memory file: decoding and encoding again
// gives the same text; executing it ends; the memory saved afterwards,
// loaded into an empty memory, saves as the same file.
std::string CheckMemoryAndCalculationFile(std::string_view bytes);

// What a libFuzzer entry does with a check's answer: a fault is printed and
// ends the run, so that the fuzzer keeps the input.
inline int StopOnFault(const std::string& fault)
{
    if (!fault.empty()) {
        std::fprintf(stderr, "%s\n", fault.c_str());
        std::abort();
    }
    return 0;
}

}  // namespace TevraFuzz
