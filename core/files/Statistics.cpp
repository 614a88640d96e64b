#include "core/files/Statistics.h"

#include <cmath>

#include "core/formats/NumberFormat.h"

namespace Tevra {

namespace {

enum StatisticsRow : std::size_t { Mean, Variance, StandardDeviation, AverageDeviation, Skewness, Kurtosis, RowCount };
static_assert(RowCount == StatisticsCount, "one row of the results per statistic");

}  // namespace

StatisticsResults ComputeStatistics(std::span<const double> values)
{
    const double n = static_cast<double>(values.size());

    double sum = 0.0;
    for (const double x : values)
        sum += x;
    const double mean = sum / n;

    double absolute = 0.0;
    double s1 = 0.0;
    double s2 = 0.0;
    double s3 = 0.0;
    double s4 = 0.0;
    for (const double x : values) {
        const double d = x - mean;
        absolute += std::fabs(d);
        s1 += d;
        s2 += d * d;
        s3 += d * d * d;
        s4 += d * d * d * d;
    }

    StatisticsResults results;
    // The S1 term corrects the round-off of the mean; it is zero in exact arithmetic.
    const double variance = (s2 - s1 * s1 / n) / (n - 1);
    const double deviation = std::sqrt(variance);
    results.Value[Mean] = mean;
    results.Value[Variance] = variance;
    results.Value[StandardDeviation] = deviation;
    results.Value[AverageDeviation] = absolute / n;
    results.Computed[Mean] = results.Computed[Variance] = true;
    results.Computed[StandardDeviation] = results.Computed[AverageDeviation] = true;

    // A variance that is not a number is not equal to 0: its moments show as undefined.
    if (variance != 0.0) {
        results.Value[Skewness] = s3 / (n * variance * deviation);
        results.Value[Kurtosis] = s4 / (n * variance * variance) - 3.0;
        results.Computed[Skewness] = results.Computed[Kurtosis] = true;
    }
    return results;
}

std::string StatisticsDisplayText(const StatisticsResults& results, std::size_t row, std::string_view numberFormat,
                                  int digits)
{
    if (row >= StatisticsCount || !results.Computed[row])
        return "Cannot be calculated";
    const double value = results.Value[row];
    if (std::isnan(value))
        return "Undefined";
    if (std::isinf(value))
        return value < 0 ? "Overflow: too big negative number" : "Overflow: too big positive number";
    return NCalculatorText::FormatNumber(value, numberFormat, digits);
}

}  // namespace Tevra
