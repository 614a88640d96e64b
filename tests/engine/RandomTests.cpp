// The random-number generator: its sequence from a known seed, computed here
// step by step, and the values the random keyword draws from it.
#include "EngineTestSupport.h"

#include <cstdint>

#include "engine/NumberFormat.h"
#include "engine/Random.h"

namespace EngineTests {
namespace {

using NCalculatorText::CRandomGenerator;
using NCalculatorText::RandomGenerator;

// The generator written out from its five steps, to check the engine's
// against: a multiplicative congruential part, a xor-shift part and a
// multiply-with-carry part, combined.
struct ReferenceGenerator {
    std::uint64_t u = 0;
    std::uint64_t v = 4101842887655102017ULL;
    std::uint64_t w = 1;

    std::uint64_t Next()
    {
        u = u * 2862933555777941757ULL + 7046029254386353087ULL;
        v = v ^ (v >> 17);
        v = v ^ (v << 31);
        v = v ^ (v >> 8);
        w = 4294957665ULL * (w & 0xFFFFFFFFULL) + (w >> 32);
        std::uint64_t x = u ^ (u << 21);
        x = x ^ (x >> 35);
        x = x ^ (x << 4);
        return (x + v) ^ w;
    }

    void Seed(std::uint64_t j)
    {
        u = j ^ v;
        Next();
        v = u;
        Next();
        w = v;
        Next();
    }

    // What the first random keyword of a process does with the tick count.
    void SeedOnce(std::uint64_t tick)
    {
        Seed(tick);
        Seed(Next());
    }

    double NextValue() { return static_cast<double>(Next()) * 5.421010862427522e-20; }
};

class Random : public EngineTest {};

TEST_F(Random, StartsFromTheFixedState)
{
    const CRandomGenerator fresh;
    EXPECT_EQ(fresh.u, 0U);
    EXPECT_EQ(fresh.v, 4101842887655102017ULL);
    EXPECT_EQ(fresh.w, 1U);
    EXPECT_EQ(RandomGenerator.u, 0U);
    EXPECT_EQ(RandomGenerator.v, 4101842887655102017ULL);
    EXPECT_EQ(RandomGenerator.w, 1U);
    EXPECT_FALSE(NCalculatorText::Seeded);
}

TEST_F(Random, SequenceWithoutSeedFollowsTheFiveSteps)
{
    CRandomGenerator engine;
    ReferenceGenerator reference;
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(engine.Next(), reference.Next()) << "output " << i;
}

TEST_F(Random, SequenceFromKnownSeeds)
{
    for (const std::uint64_t seed : {0ULL, 1ULL, 12345ULL, 4294967295ULL, 0xFFFFFFFFFFFFFFFFULL}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        CRandomGenerator engine;
        ReferenceGenerator reference;
        engine.Seed(seed);
        reference.Seed(seed);
        EXPECT_EQ(engine.u, reference.u);
        EXPECT_EQ(engine.v, reference.v);
        EXPECT_EQ(engine.w, reference.w);
        for (int i = 0; i < 100; ++i)
            ASSERT_EQ(engine.Next(), reference.Next()) << "output " << i;
    }
}

TEST_F(Random, SeedKeepsTheCurrentXorShiftState)
{
    // Seeding twice with the same value from different states differs,
    // because v is not reset before it is mixed in.
    CRandomGenerator first;
    first.Seed(7);
    CRandomGenerator second;
    second.Next();
    second.Seed(7);
    EXPECT_NE(first.Next(), second.Next());
}

TEST_F(Random, KeywordDrawsFromTheSeededGenerator)
{
    NCalculatorText::SeedRandomGenerator(42);
    EXPECT_TRUE(NCalculatorText::Seeded);
    ReferenceGenerator reference;
    reference.SeedOnce(42);

    const double first = reference.NextValue();
    ExpectValue(u"rand", NCalculatorText::FormatNumber(first));
    const double second = reference.NextValue();
    const double third = reference.NextValue();
    ExpectValue(u"random+RAND", NCalculatorText::FormatNumber(second + third));
    const double a = reference.NextValue();
    const double b = reference.NextValue();
    const double c = reference.NextValue();
    ExpectValue(u"sum(i,1,3,rand)", NCalculatorText::FormatNumber(a + b + c));
}

TEST_F(Random, FirstKeywordSeedsOnceAndLaterOnesDoNot)
{
    EXPECT_FALSE(NCalculatorText::Seeded);
    const Evaluation first = Evaluate(u"rand");
    ASSERT_TRUE(first.Ok);
    EXPECT_TRUE(NCalculatorText::Seeded);
    // From here the sequence is fixed: copy the state and predict.
    CRandomGenerator copy = RandomGenerator;
    const double expected = static_cast<double>(copy.Next()) * 5.421010862427522e-20;
    ExpectValue(u"rand", NCalculatorText::FormatNumber(expected));
}

TEST_F(Random, ValuesLieInTheUnitIntervalAndDiffer)
{
    NCalculatorText::SeedRandomGenerator(2024);
    for (int i = 0; i < 200; ++i) {
        const Evaluation evaluation = Evaluate(u"rand");
        ASSERT_TRUE(evaluation.Ok);
        const double value = ValueOf(evaluation);
        EXPECT_GE(value, 0.0);
        EXPECT_LE(value, 1.0);
    }
    const Evaluation difference = Evaluate(u"rand-rand");
    ASSERT_TRUE(difference.Ok);
    EXPECT_NE(difference.Value, "0");
}

TEST_F(Random, KeywordOpensNoOperation)
{
    NCalculatorText::SeedRandomGenerator(1);
    ExpectFailure(u"rand/0", {Error("Division", "Operation has singularity at 0")});
}

}  // namespace
}  // namespace EngineTests
