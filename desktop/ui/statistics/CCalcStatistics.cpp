#include "desktop/ui/statistics/CCalcStatistics.h"

#include "desktop/services/CalcHelpTopics.h"
#include "core/settings/CalcSettings.h"
#include "desktop/services/QtText.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

// The control id of each row's field, in the order of the labels.
constexpr std::array<int, Tevra::StatisticsCount> FieldIds = {1090, 1091, 1096, 1093, 1094, 1095};

// A field is wide enough for this text: a full-precision number with an
// exponent; longer texts scroll.
const QString FieldSample = QStringLiteral("-0.00000000000000000000E+000");

}  // namespace

CCalcStatistics::CCalcStatistics(const Tevra::CCalcSettings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings)
{
    CalcHelp::setTopic(this, CalcHelp::StatisticsBar);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    for (std::size_t row = 0; row < Tevra::StatisticsCount; ++row) {
        const QString text = Tevra::ToQString(Tevra::StatisticsLabels[row]);
        auto* label = new QLabel(text, this);
        auto* field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("Field%1").arg(FieldIds[row]));
        field->setReadOnly(true);
        field->setFrame(true);
        field->setAccessibleName(text);
        field->setMinimumWidth(field->fontMetrics().horizontalAdvance(FieldSample) + 12);
        label->setBuddy(field);
        const QString topic = CalcHelp::StatisticTopic(static_cast<int>(row));
        CalcHelp::setTopic(label, topic);
        CalcHelp::setTopic(field, topic);
        grid->addWidget(label, static_cast<int>(row), 0);
        grid->addWidget(field, static_cast<int>(row), 1);
        fields_[row] = field;
    }
}

void CCalcStatistics::ShowStatistics(std::span<const double> values)
{
    const Tevra::StatisticsResults results = Tevra::ComputeStatistics(values);
    for (std::size_t row = 0; row < Tevra::StatisticsCount; ++row) {
        fields_[row]->setText(Tevra::ToQString(
            Tevra::StatisticsDisplayText(results, row, settings_.NumberFormat(), settings_.ResultDigits())));
        // A text longer than the field shows from its start.
        fields_[row]->setCursorPosition(0);
    }
}
