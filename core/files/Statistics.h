// Mean, variance, standard deviation, average deviation, skewness and kurtosis
// of a set of memory-cell values, and their display texts.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "core/formats/NumberFormat.h"

namespace Tevra {

inline constexpr std::size_t StatisticsCount = 6;

// Row labels, in display order.
inline constexpr auto StatisticsLabels = std::to_array<std::string_view>(
    {"Mean (average)", "Variance", "Standard deviation", "Average deviation", "Skewness", "Kurtosis"});
static_assert(StatisticsLabels.size() == StatisticsCount, "one label per statistics row");

struct StatisticsResults {
    std::array<double, StatisticsCount> Value{};
    std::array<bool, StatisticsCount> Computed{};
};

// Two passes over the values in double precision; skewness and kurtosis only
// when the variance is not zero.
StatisticsResults ComputeStatistics(std::span<const double> values);

// "Cannot be calculated", "Undefined", the two overflow texts, or the number
// in the given format ("%.20g" or "%.20G") with digits significant digits.
std::string StatisticsDisplayText(const StatisticsResults& results, std::size_t row, std::string_view numberFormat,
                                  int digits = NCalculatorText::FullDigits);

}  // namespace Tevra
