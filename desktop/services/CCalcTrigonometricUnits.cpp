#include "desktop/services/CCalcTrigonometricUnits.h"

#include "desktop/services/CCalcSettingsNotifier.h"
#include "desktop/services/QtText.h"

#include <array>

#include <QComboBox>
#include <QVBoxLayout>

namespace {

int ShownIndex(std::uint32_t units)
{
    return units < Tevra::UnitsNames.size() ? static_cast<int>(units) : 0;
}

}  // namespace

CCalcUnitsStep::CCalcUnitsStep(CCalcSettingsNotifier& settings, QObject* parent)
    : QObject(parent), settings_(settings), record_(settings.record())
{
    connect(&settings_, &CCalcSettingsNotifier::settingsChanged, this, &CCalcUnitsStep::refresh);
}

void CCalcUnitsStep::attachList(QComboBox* list)
{
    list->clear();
    for (const std::u16string_view entry : Tevra::UnitsNames)
        list->addItem(Tevra::ToQString(entry));
    list->setCurrentIndex(ShownIndex(record_.TrigonometricUnits));
    // activated() comes from the user only, so moving a list to follow the
    // other one never runs the step again.
    connect(list, &QComboBox::activated, this, &CCalcUnitsStep::choose);
    connect(this, &CCalcUnitsStep::unitsChanged, list, [list](int units) {
        if (list->currentIndex() != units)
            list->setCurrentIndex(units);
    });
}

void CCalcUnitsStep::choose(int index)
{
    if (index < 0 || index >= static_cast<int>(Tevra::UnitsNames.size()))
        return;
    record_.TrigonometricUnits = static_cast<std::uint32_t>(index);
    record_.Modified = true;
    settings_.announce();
}

void CCalcUnitsStep::refresh()
{
    emit unitsChanged(ShownIndex(record_.TrigonometricUnits));
}

CCalcTrigonometricUnits::CCalcTrigonometricUnits(CCalcUnitsStep& step, QWidget* parent)
    : QWidget(parent, Qt::Tool), list_(new QComboBox(this))
{
    setWindowTitle(QStringLiteral("Trigonometric function"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    step.attachList(list_);
    hide();
}

void CCalcTrigonometricUnits::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    emit visibilityChanged(true);
}

void CCalcTrigonometricUnits::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    emit visibilityChanged(false);
}
