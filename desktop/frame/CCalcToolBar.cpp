#include "desktop/frame/CCalcToolBar.h"

#include "desktop/frame/CalcMenus.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QToolButton>

CCalcToolBar::CCalcToolBar(QWidget* parent) : QToolBar(QStringLiteral("Vossek Calculator"), parent)
{
    setObjectName(QStringLiteral("ToolBar"));
    setIconSize(QSize(16, 16));
    setAllowedAreas(Qt::AllToolBarAreas);
    connect(this, &QToolBar::orientationChanged, this, &CCalcToolBar::updateUnitsSlot);
}

void CCalcToolBar::populate(const std::function<QAction*(int)>& actionFor, QAction* unitsButton)
{
    for (const CalcCommand::Id id : CalcMenu::ToolBarLayout()) {
        if (id == CalcCommand::None) {
            addSeparator();
            continue;
        }
        if (id != CalcCommand::TrigonometricUnits) {
            addAction(actionFor(id));
            continue;
        }
        // The units slot: one widget holding the list and the button, showing
        // one of them by the toolbar's orientation.
        unitsSlot_ = new QWidget(this);
        auto* layout = new QHBoxLayout(unitsSlot_);
        layout->setContentsMargins(2, 0, 2, 0);
        unitsList_ = new QComboBox(unitsSlot_);
        unitsList_->setObjectName(QStringLiteral("UnitsList"));
        unitsList_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        unitsList_->setToolTip(unitsButton->toolTip());
        unitsList_->setStatusTip(unitsButton->statusTip());
        unitsButton_ = new QToolButton(unitsSlot_);
        unitsButton_->setDefaultAction(unitsButton);
        unitsButton_->setAutoRaise(true);
        unitsButton_->setIconSize(iconSize());
        layout->addWidget(unitsList_, 0, Qt::AlignVCenter);
        layout->addWidget(unitsButton_, 0, Qt::AlignCenter);
        addWidget(unitsSlot_);
    }
    updateUnitsSlot(orientation());
}

bool CCalcToolBar::showsUnitsList() const
{
    return unitsList_ && !unitsList_->isHidden();
}

void CCalcToolBar::updateUnitsSlot(Qt::Orientation orientation)
{
    if (!unitsSlot_)
        return;
    const bool horizontal = orientation == Qt::Horizontal;
    unitsList_->setVisible(horizontal);
    unitsButton_->setVisible(!horizontal);
    unitsSlot_->adjustSize();
    if (horizontal)
        emit unitsListShown();
}
