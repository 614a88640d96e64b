#include "core/files/Statistics.h"

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Texts = std::array<std::string, Tevra::StatisticsCount>;

Texts DisplayTexts(const std::vector<double>& values, std::string_view format = "%.20g")
{
    const auto results = Tevra::ComputeStatistics(values);
    Texts texts;
    for (std::size_t row = 0; row < Tevra::StatisticsCount; ++row)
        texts[row] = Tevra::StatisticsDisplayText(results, row, format);
    return texts;
}

struct StatisticsRow {
    const char* Label;
    std::vector<double> Values;
    Texts Expected;
};

void PrintTo(const StatisticsRow& row, std::ostream* out)
{
    *out << row.Label;
}

class StatisticsTexts : public testing::TestWithParam<StatisticsRow> {};

TEST_P(StatisticsTexts, ShowTheSixResultsInTableOrder)
{
    const Texts texts = DisplayTexts(GetParam().Values);
    for (std::size_t row = 0; row < Tevra::StatisticsCount; ++row)
        EXPECT_EQ(texts[row], GetParam().Expected[row]) << Tevra::StatisticsLabels[row];
}

const std::string Cannot = "Cannot be calculated";
const std::string Undefined = "Undefined";
const std::string TooBigPositive = "Overflow: too big positive number";
const std::string TooBigNegative = "Overflow: too big negative number";

INSTANTIATE_TEST_SUITE_P(
    Values, StatisticsTexts,
    testing::Values(StatisticsRow{"OneToFour",
                                  {1, 2, 3, 4},
                                  {"2.5", "1.6666666666666667407", "1.2909944487358055998", "1", "0",
                                   "-2.0775000000000001243"}},
                    StatisticsRow{"AllEqual", {7, 7, 7}, {"7", "0", "0", "0", Cannot, Cannot}},
                    StatisticsRow{"SkewedToTheRight", {1, 1, 1, 5}, {"2", "4", "2", "1.5", "0.75", "-1.6875"}},
                    StatisticsRow{"TwoHugeValuesOverflow",
                                  {1e308, 1e308},
                                  {TooBigPositive, Undefined, Undefined, TooBigPositive, Undefined, Undefined}},
                    StatisticsRow{"TwoHugeNegativeValuesOverflow",
                                  {-1e308, -1e308},
                                  {TooBigNegative, Undefined, Undefined, TooBigPositive, Undefined, Undefined}},
                    StatisticsRow{"SingleValue", {3}, {"3", Undefined, Undefined, "0", Undefined, Undefined}},
                    StatisticsRow{"NoValues", {}, {Undefined, Undefined, Undefined, Undefined, Undefined, Undefined}}),
    [](const auto& info) { return std::string(info.param.Label); });

TEST(StatisticsComputation, SkewnessAndKurtosisAreComputedOnlyForANonZeroVariance)
{
    const auto flat = Tevra::ComputeStatistics(std::vector<double>{2, 2});
    EXPECT_TRUE(flat.Computed[0] && flat.Computed[1] && flat.Computed[2] && flat.Computed[3]);
    EXPECT_FALSE(flat.Computed[4] || flat.Computed[5]);

    const auto spread = Tevra::ComputeStatistics(std::vector<double>{2, 3});
    EXPECT_TRUE(spread.Computed[4] && spread.Computed[5]);
}

TEST(StatisticsComputation, VarianceCorrectsTheRoundOffOfTheMean)
{
    // The mean of these is not exact in double precision; the S1 term takes
    // its error out of the sum of squares.
    const std::vector<double> values = {0.1, 0.2, 0.3};
    const auto results = Tevra::ComputeStatistics(values);
    const double mean = (0.1 + 0.2 + 0.3) / 3;
    double s1 = 0, s2 = 0;
    for (const double x : values) {
        s1 += x - mean;
        s2 += (x - mean) * (x - mean);
    }
    EXPECT_EQ(results.Value[1], (s2 - s1 * s1 / 3) / 2);
}

TEST(StatisticsDisplay, UpperCaseFormatWritesACapitalExponent)
{
    const std::vector<double> values = {1e20, 3e20};
    EXPECT_EQ(DisplayTexts(values, "%.20G")[0], "2E+020");
    EXPECT_EQ(DisplayTexts(values, "%.20g")[0], "2e+020");
    EXPECT_EQ(DisplayTexts(values, "%.20G")[3], "1E+020");
}

TEST(StatisticsDisplay, LabelsAreInDisplayOrder)
{
    const std::array<std::string_view, 6> labels = {"Mean (average)",    "Variance", "Standard deviation",
                                                    "Average deviation", "Skewness", "Kurtosis"};
    EXPECT_EQ(Tevra::StatisticsLabels, labels);
}

}  // namespace
