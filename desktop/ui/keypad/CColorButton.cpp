#include "desktop/ui/keypad/CColorButton.h"

#include "desktop/ui/keypad/ColorButtonPainting.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

namespace {

bool IsHelpKey(const QKeyEvent* key)
{
    return key->key() == Qt::Key_F1 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

}  // namespace

CColorButton::CColorButton(int id, QWidget* parent) : QAbstractButton(parent), id_(id)
{
    setObjectName(QStringLiteral("KeypadButton%1").arg(id));
    // Reachable by Tab for the keyboard; a click leaves the focus where it
    // was, so the editor keeps its caret while the mouse composes.
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CColorButton::setBackgroundColour(QColor colour)
{
    background_ = colour;
    systemBackground_ = false;
    update();
}

void CColorButton::setTextColour(QColor colour)
{
    text_ = colour;
    systemText_ = false;
    update();
}

void CColorButton::setUseSystemBackground(bool on)
{
    systemBackground_ = on;
    update();
}

void CColorButton::setUseSystemText(bool on)
{
    systemText_ = on;
    update();
}

QColor CColorButton::shownBackground() const
{
    return systemBackground_ || !background_.isValid() ? palette().color(QPalette::Button) : background_;
}

QColor CColorButton::shownText() const
{
    return systemText_ || !text_.isValid() ? palette().color(QPalette::ButtonText) : text_;
}

void CColorButton::setDrawingStyle(Keypad::Style style, bool themeActive)
{
    style_ = style;
    theme_ = themeActive;
    update();
}

Keypad::Style CColorButton::paintingStyle() const
{
    if (style_ == Keypad::Style2000 && theme_)
        return Keypad::StyleVista;
    if ((style_ == Keypad::StyleXP || style_ == Keypad::StyleVista) && !theme_)
        return Keypad::StyleVossek;
    return style_;
}

QSize CColorButton::sizeHint() const
{
    // The keypad places every button itself; this is what it would need.
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(text()) + metrics.height(), metrics.height() * 8 / 5);
}

bool CColorButton::hitButton(const QPoint& pos) const
{
    if (paintingStyle() != Keypad::StyleVossek)
        return rect().contains(pos);
    QPainterPath body;
    const qreal radius = Keypad::VossekBodyRadius(rect());
    body.addRoundedRect(Keypad::VossekBody(rect()), radius, radius);
    return body.contains(QPointF(pos) + QPointF(0.5, 0.5));
}

void CColorButton::setHovered(bool hovered)
{
    if (hovered == hovered_)
        return;
    hovered_ = hovered;
    update();
}

void CColorButton::mouseMoveEvent(QMouseEvent* event)
{
    setHovered(hitButton(event->position().toPoint()));
    QAbstractButton::mouseMoveEvent(event);
}

void CColorButton::leaveEvent(QEvent* event)
{
    setHovered(false);
    QAbstractButton::leaveEvent(event);
}

void CColorButton::keyPressEvent(QKeyEvent* event)
{
    // The focused push button is the default one: Enter presses it.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        animateClick();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

bool CColorButton::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Enter:
        setHovered(hitButton(static_cast<QEnterEvent*>(event)->position().toPoint()));
        break;
    case QEvent::ShortcutOverride:
        // F1 is this button's help, not the frame's.
        if (IsHelpKey(static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress:
        if (IsHelpKey(static_cast<QKeyEvent*>(event))) {
            emit helpRequested(id_);
            return true;
        }
        break;
    case QEvent::QueryWhatsThis:
        // Every button has a help topic: "What's This?" mode offers it.
        event->accept();
        return true;
    case QEvent::WhatsThis:
        emit helpRequested(id_);
        return true;
    case QEvent::StyleChange:
    case QEvent::PaletteChange:
        update();
        break;
    default:
        break;
    }
    return QAbstractButton::event(event);
}

void CColorButton::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    Keypad::ButtonLook look;
    look.Rect = rect();
    look.Caption = text();
    look.Font = font();
    look.Background = shownBackground();
    look.Text = shownText();
    look.SystemBackground = systemBackground_;
    look.SystemText = systemText_;
    look.Hovered = hovered_ && isEnabled();
    look.Pressed = isDown();
    look.Focused = hasFocus();
    look.Enabled = isEnabled();
    look.Palette = palette();
    switch (paintingStyle()) {
    case Keypad::StyleVossek:
        Keypad::PaintVossek(painter, look);
        return;
    case Keypad::StyleXP:
    case Keypad::StyleVista:
        Keypad::PaintThemed(painter, look, paintingStyle() == Keypad::StyleVista, *style(), this);
        return;
    case Keypad::Style2000:
        Keypad::PaintClassic(painter, look, this);
        return;
    }
}
