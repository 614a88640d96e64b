// The dockable bars of the main frame, one row per bar. The frame creates,
// places, toggles, sizes, saves and restores every bar by looping over the
// rows; adding a bar is adding a row here and its panel's folder under ui/.
#pragma once

#include "desktop/frame/CCalcBar.h"
#include "desktop/services/CalcCommands.h"

#include <QPoint>

#include <span>
#include <string_view>

class CCalcMainFrame;
class QWidget;

namespace CalcBars {

// A bar's id is the id of the panel it hosts. The values are fixed: the stored
// layout keeps each bar's state under its id ("GUI/BarState-Bar133"), so a
// renumbered bar would lose the place the user gave it.
enum Id : int {
    Keypad = 102,
    Log = 133,
    Memory = 136,
    Statistics = 140,
};

// What a panel factory is given. The panel is created as a child of Bar; the
// frame gives the document, the settings notice and the command binding.
struct PanelContext {
    CCalcBar& Bar;
    CCalcMainFrame& Frame;
};

// Creates the bar's panel and wires it to the program. The panel's size hint
// at that moment is its initial size: the bar's three sizes and minimum.
using PanelFactory = QWidget* (*)(const PanelContext& context);

// Where a bar stands before any layout is stored: docked on an edge, or
// floating with its top-left at a point of the frame's client area (docking
// it then puts it on Area).
struct Placement {
    Qt::DockWidgetArea Area;
    bool Floating;
    QPoint FloatingAt;
};

constexpr Placement DockedOn(Qt::DockWidgetArea area)
{
    return {.Area = area, .Floating = false, .FloatingAt = QPoint()};
}

constexpr Placement FloatingAt(QPoint clientPoint, Qt::DockWidgetArea dockedOn = Qt::RightDockWidgetArea)
{
    return {.Area = dockedOn, .Floating = true, .FloatingAt = clientPoint};
}

struct Info {
    int Bar;
    std::string_view Title;
    CCalcBar::Sizing Sizing;
    CalcCommand::Id Toggle;  // the View command that shows and hides the bar
    Placement InitialPlacement;
    bool InitiallyVisible;
    PanelFactory CreatePanel;
};

// The program's bars, in the order they are docked: bars docked on the same
// edge stand in this order.
std::span<const Info> Bars();

}  // namespace CalcBars
