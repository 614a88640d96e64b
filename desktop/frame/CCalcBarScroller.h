// The scroll area around a fixed-size panel in its bar. It asks for the
// panel's whole size but can be made smaller, so that a docked bar never
// pushes the window beyond the screen: then it first offers the panel the
// room there is (a panel that can shrink does, down to what stays readable)
// and scrolls what is still left over.
#pragma once

#include <QScrollArea>

#include <functional>

class CCalcBarScroller final : public QScrollArea {
    Q_OBJECT

public:
    // fit is called with the room the panel has whenever that changes; it
    // may resize the panel. Empty: the panel keeps its size.
    using Fit = std::function<void(QSize room)>;

    explicit CCalcBarScroller(QWidget* panel, QWidget* parent = nullptr);

    void setFit(Fit fit);
    // Offers the panel the current room again (after the panel changed its
    // whole size, for example with a new font).
    void refit();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QSize room() const;

    Fit fit_;
};
