// The statistics bar: six rows, each a label and a read-only field, showing
// the mean, variance, standard deviation, average deviation, skewness and
// kurtosis of the values the memory window last chose. The fields are empty
// until the first computation and keep their texts until the next one: a
// later change of the memory or of the number format shows at the next
// computation, not at once.
#pragma once

#include <QWidget>

#include <array>
#include <span>

#include "core/files/Statistics.h"

class QLineEdit;

namespace Tevra {
struct CCalcSettings;
}

class CCalcStatistics final : public QWidget {
    Q_OBJECT

public:
    // settings gives the number format at each computation.
    explicit CCalcStatistics(const Tevra::CCalcSettings& settings, QWidget* parent = nullptr);

    // Computes the six results of values and writes their texts into the fields.
    void ShowStatistics(std::span<const double> values);

    // The field of a row, 0 to 5 in the order of the labels.
    QLineEdit* field(std::size_t row) const { return fields_[row]; }

private:
    const Tevra::CCalcSettings& settings_;
    std::array<QLineEdit*, Tevra::StatisticsCount> fields_{};
};
