// The main toolbar, built from the frame's toolbar layout. Its 21st
// slot (index 20) holds the trigonometric-units list while the toolbar lies
// horizontally, and a button that shows or hides the units tool window while
// it is docked on the left or right edge.
#pragma once

#include <QToolBar>

#include <functional>

class QComboBox;
class QToolButton;

class CCalcToolBar final : public QToolBar {
    Q_OBJECT

public:
    static constexpr int UnitsSlotIndex = 20;

    explicit CCalcToolBar(QWidget* parent = nullptr);

    // Adds the buttons of the layout table; actionFor gives the frame's action
    // of a command id. The units slot gets unitsButton (checkable) as the
    // button it shows while vertical.
    void populate(const std::function<QAction*(int)>& actionFor, QAction* unitsButton);

    QComboBox* unitsList() const { return unitsList_; }
    // True while the list is shown (horizontal), false while the button is.
    bool showsUnitsList() const;

signals:
    // The toolbar turned horizontal: the tool window must be hidden.
    void unitsListShown();

private:
    void updateUnitsSlot(Qt::Orientation orientation);

    QWidget* unitsSlot_ = nullptr;
    QComboBox* unitsList_ = nullptr;
    QToolButton* unitsButton_ = nullptr;
};
