// A dockable bar hosting one panel. A resizable bar remembers three sizes,
// docked horizontally (top or bottom edge), docked vertically (left or right
// edge) and floating, and takes the matching one whenever it moves between
// them. The sizes persist in the group "GUI/BarState-Bar<id>".
#pragma once

#include "desktop/frame/CCalcBarScroller.h"

#include <QDockWidget>
#include <QPoint>
#include <QSize>

#include <optional>

class QMainWindow;
class QSettings;

class CCalcBar final : public QDockWidget {
    Q_OBJECT

public:
    enum class Sizing { Fixed, Resizable };
    enum SizeSlot { Horizontal = 0, Vertical, Floating, SlotCount };

    // id is the panel's id (133 for the log); title is the caption.
    CCalcBar(int id, const QString& title, Sizing sizing, QMainWindow* frame);

    int id() const { return id_; }
    Sizing sizing() const { return sizing_; }
    // Puts panel into the bar. The panel's current size hint is its initial
    // size: a resizable bar takes it for all three slots and as its own
    // minimum; a fixed bar shows its panel at that size, in a scroll area
    // that lets the bar be smaller where the screen is short of room.
    void setPanel(QWidget* panel);
    // The panel (widget() is the scroll area around a fixed panel).
    QWidget* panel() const { return panel_; }
    // How a fixed bar's panel shrinks when its room is short (see
    // CCalcBarScroller); a resizable bar ignores it. May be set before the
    // panel is.
    void setPanelFit(CCalcBarScroller::Fit fit);

    QSize slotSize(SizeSlot slot) const { return sizes_[slot]; }
    void setSlotSize(SizeSlot slot, QSize size);

    // "GUI/BarState-Bar<id>": HorizontalX, HorizontalY, VerticalX, VerticalY,
    // FloatingX, FloatingY. Stored sizes below the minimum are raised to it.
    QString settingsGroup() const;
    void loadSizes(QSettings& settings);
    void saveSizes(QSettings& settings) const;

    // Gives the bar the size of the slot that matches where it is now.
    void applySlotSize();

    // A floating bar first shows with its top-left at clientPoint of the
    // frame, unless the point is forgotten before (a restored layout places
    // the bar itself).
    void placeFloatingAt(QPoint clientPoint) { floatingPoint_ = clientPoint; }
    void forgetFloatingPoint() { floatingPoint_.reset(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    SizeSlot currentSlot() const;
    void scheduleApply();

    int id_;
    Sizing sizing_;
    QMainWindow* frame_;
    QWidget* panel_ = nullptr;
    CCalcBarScroller* scroller_ = nullptr;
    CCalcBarScroller::Fit fit_;  // until the panel is set
    QSize minimum_;
    QSize sizes_[SlotCount];
    bool moving_ = false;  // between a change of place and the size that goes with it
    std::optional<QPoint> floatingPoint_;
};
