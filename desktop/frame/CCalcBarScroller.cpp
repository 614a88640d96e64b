#include "desktop/frame/CCalcBarScroller.h"

#include <QScrollBar>

namespace {

// The least room a scrolled panel keeps: a row of keys and a scroll bar.
constexpr int LeastExtent = 48;

}  // namespace

CCalcBarScroller::CCalcBarScroller(QWidget* panel, QWidget* parent) : QScrollArea(parent)
{
    setObjectName(QStringLiteral("BarScroller"));
    setFrameShape(QFrame::NoFrame);
    // The panel keeps the size it takes itself; the keys inside it take
    // the focus, never the area around them.
    setWidgetResizable(false);
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidget(panel);
    setAccessibleName(panel->accessibleName());
}

void CCalcBarScroller::setFit(Fit fit)
{
    fit_ = std::move(fit);
    refit();
}

void CCalcBarScroller::refit()
{
    if (fit_)
        fit_(room());
    updateGeometry();
}

QSize CCalcBarScroller::room() const
{
    // The whole area, scroll bars or not: a panel that fits needs none, and
    // the room does not change when they come or go.
    return contentsRect().size();
}

QSize CCalcBarScroller::sizeHint() const
{
    const QWidget* panel = widget();
    if (panel == nullptr)
        return QScrollArea::sizeHint();
    const int frame = 2 * frameWidth();
    return panel->sizeHint().expandedTo(panel->minimumSize()) + QSize(frame, frame);
}

QSize CCalcBarScroller::minimumSizeHint() const
{
    const QSize whole = sizeHint();
    const int bar = horizontalScrollBar()->sizeHint().height();
    return {std::min(whole.width(), LeastExtent + bar), std::min(whole.height(), LeastExtent + bar)};
}

void CCalcBarScroller::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    if (fit_)
        fit_(room());
}
