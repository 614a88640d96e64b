// The four drawings of a keypad button. Each paints the whole button from
// what it is given, so a button's paint is one call; Qt paints widgets off
// screen and copies the result in one step.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QString>

class QPainter;
class QStyle;
class QWidget;

namespace Keypad {

// One button at the moment it is painted.
struct ButtonLook {
    QRect Rect;
    QString Caption;
    QFont Font;
    QColor Background;  // already the system colour when the button uses it
    QColor Text;
    bool SystemBackground = false;
    bool SystemText = false;
    bool Hovered = false;
    bool Pressed = false;
    bool Focused = false;  // focused, or the dialog's default button
    bool Enabled = true;
    QPalette Palette;  // the system colours
};

// The body of a Vossek button, inset 3 pixels from its edges: the area that
// answers the pointer, a capsule with corners as round as it is high.
QRectF VossekBody(const QRect& rect);
// The corner radius of that body.
qreal VossekBodyRadius(const QRect& rect);

// Vossek: anti-aliased vector drawing with shadow, glow rings and a capsule
// body shaded with three tints of the background colour.
void PaintVossek(QPainter& painter, const ButtonLook& look);
// XP and Vista: the style's push button when the button shows the system's
// colours (or is disabled), else rounded rectangles shaded from the
// background colour. widget gives the style its context.
void PaintThemed(QPainter& painter, const ButtonLook& look, bool vista, const QStyle& style, const QWidget* widget);
// 2000: the classic push-button frame filled with the background colour.
void PaintClassic(QPainter& painter, const ButtonLook& look, const QWidget* widget);

// A colour with its HSL lightness multiplied by factor, capped at 1.
QColor Tint(const QColor& colour, qreal factor);

}  // namespace Keypad
