// The process-wide random-number generator behind the "rand" keyword.
#pragma once

#include <cstdint>

namespace NCalculatorText {

struct CRandomGenerator {
    std::uint64_t u = 0;
    std::uint64_t v = 4101842887655102017ULL;
    std::uint64_t w = 1;

    std::uint64_t Next();
    void Seed(std::uint64_t j);
};

// Seeds the generator as the first random keyword of a run does: Seed(j), then
// Seed(Next()), and marks it seeded so that later keywords leave it alone.
void SeedRandomGenerator(std::uint64_t j);

// Milliseconds of a steady clock, cut to 32 bits: the default seed.
std::uint32_t TickCount();

// A number in [0, 1] from the next output of the generator.
double NextRandomValue();

}  // namespace NCalculatorText
