#include "core/engine/Random.h"
#include "core/engine/EngineState.h"

#include <chrono>

namespace NCalculatorText {

std::uint64_t CRandomGenerator::Next()
{
    u = u * 2862933555777941757ULL + 7046029254386353087ULL;
    v ^= v >> 17;
    v ^= v << 31;
    v ^= v >> 8;
    w = 4294957665ULL * (w & 0xFFFFFFFFULL) + (w >> 32);
    std::uint64_t x = u ^ (u << 21);
    x ^= x >> 35;
    x ^= x << 4;
    return (x + v) ^ w;
}

void CRandomGenerator::Seed(std::uint64_t j)
{
    u = j ^ v;
    Next();
    v = u;
    Next();
    w = v;
    Next();
}

void SeedRandomGenerator(std::uint64_t j)
{
    State().RandomGenerator.Seed(j);
    const std::uint64_t r = State().RandomGenerator.Next();
    State().RandomGenerator.Seed(r);
    State().Seeded = true;
}

std::uint32_t TickCount()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

double NextRandomValue()
{
    const std::uint64_t r = State().RandomGenerator.Next();
    return static_cast<double>(r) * 5.421010862427522e-20;
}

}  // namespace NCalculatorText
