#include "desktop/ui/keypad/ColorButtonPainting.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>

#include <algorithm>
#include <array>
#include <span>
#include <utility>

namespace Keypad {

namespace {

// The inset of a Vossek body from the button's edges: room for the glow rings.
constexpr qreal VossekInset = 3.0;
// The pressed glow, from the body outwards.
const QColor Warm(255, 192, 128);
const QColor WarmEnd(96, 64, 32);

// A glow of rings round a rounded shape: ring i (0 nearest the shape) is
// grown by offsets[i] and drawn in colours[i] with alphas[i].
struct Glow {
    std::span<const qreal> Offsets;
    std::span<const QColor> Colours;
    std::span<const int> Alphas;
};

void PaintRings(QPainter& painter, const QRectF& body, qreal radius, const Glow& glow)
{
    painter.setBrush(Qt::NoBrush);
    for (std::size_t i = 0; i < glow.Offsets.size(); ++i) {
        QColor colour = glow.Colours[std::min(i, glow.Colours.size() - 1)];
        colour.setAlpha(glow.Alphas[i]);
        painter.setPen(QPen(colour, 1.0));
        const qreal grow = glow.Offsets[i];
        const QRectF ring = body.adjusted(-grow, -grow, grow, grow);
        const qreal ringRadius = std::max<qreal>(0.5, radius + grow);
        painter.drawRoundedRect(ring, ringRadius, ringRadius);
    }
}

// Three rings just outside the shape, fading outwards.
void PaintThreeRingGlow(QPainter& painter, const QRectF& body, qreal radius, const QColor& colour,
                        std::array<int, 3> alphas)
{
    static constexpr std::array<qreal, 3> Offsets = {1.0, 2.0, 3.0};
    const std::array<QColor, 1> colours = {colour};
    PaintRings(painter, body, radius, {Offsets, colours, alphas});
}

// The perceived brightness of a colour, 0 to 1.
qreal Luminance(const QColor& colour)
{
    return (0.30 * colour.red() + 0.59 * colour.green() + 0.11 * colour.blue()) / 255.0;
}

// The colour between a and b, t of the way from a.
QColor Mix(const QColor& a, const QColor& b, qreal t)
{
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

void PaintCaption(QPainter& painter, const QRectF& area, const ButtonLook& look, const QColor& colour)
{
    painter.setFont(look.Font);
    painter.setPen(colour);
    painter.setBrush(Qt::NoBrush);
    painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, look.Caption);
}

// Disabled text, embossed: the light colour one pixel down and right, then
// the shadow colour.
void PaintEmbossedCaption(QPainter& painter, const QRect& area, const ButtonLook& look)
{
    PaintCaption(painter, area.translated(1, 1), look, look.Palette.color(QPalette::Light));
    PaintCaption(painter, area, look, look.Palette.color(QPalette::Dark));
}

// The classic style, made once and owned by the application.
const QStyle* ClassicStyle()
{
    static QPointer<QStyle> classic;
    if (!classic) {
        classic = QStyleFactory::create(QStringLiteral("windows"));
        if (classic)
            classic->setParent(qApp);
    }
    return classic;
}

QStyleOptionButton ButtonOption(const ButtonLook& look, const QWidget* widget)
{
    QStyleOptionButton option;
    if (widget)
        option.initFrom(widget);
    option.rect = look.Rect;
    option.palette = look.Palette;
    option.text = look.Caption;
    option.state = QStyle::State_None;
    if (look.Enabled)
        option.state |= QStyle::State_Enabled;
    if (look.Hovered && look.Enabled)
        option.state |= QStyle::State_MouseOver;
    option.state |= look.Pressed ? QStyle::State_Sunken : QStyle::State_Raised;
    if (look.Focused) {
        option.state |= QStyle::State_HasFocus;
        option.features |= QStyleOptionButton::DefaultButton;
    }
    return option;
}

}  // namespace

QColor Tint(const QColor& colour, qreal factor)
{
    const QColor hsl = colour.toHsl();
    const float lightness = std::min(1.0f, static_cast<float>(hsl.lightnessF() * factor));
    return QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), lightness, hsl.alphaF()).toRgb();
}

QRectF VossekBody(const QRect& rect)
{
    return QRectF(rect).adjusted(VossekInset, VossekInset, -VossekInset, -VossekInset);
}

qreal VossekBodyRadius(const QRect& rect)
{
    const QRectF body = VossekBody(rect);
    return std::max<qreal>(0.0, std::min(body.width(), body.height()) / 2.0);
}

void PaintVossek(QPainter& painter, const ButtonLook& look)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor face = look.Palette.color(QPalette::Button);
    painter.fillRect(look.Rect, face);

    QRectF body = VossekBody(look.Rect);
    const qreal radius = VossekBodyRadius(look.Rect);
    if (body.width() <= 0 || body.height() <= 0) {
        painter.restore();
        return;
    }

    // A soft diagonal shadow, only on a light face where it can be seen.
    const bool shadow = Luminance(face) > 0.5;
    if (shadow) {
        painter.setPen(Qt::NoPen);
        static constexpr std::array<std::pair<qreal, int>, 3> ShadowLayers = {{{3.0, 18}, {2.0, 26}, {1.0, 34}}};
        for (const auto& [offset, alpha] : ShadowLayers) {
            painter.setBrush(QColor(0, 0, 0, alpha));
            painter.drawRoundedRect(body.translated(offset, offset), radius, radius);
        }
    }

    if (look.Pressed)
        body.translate(0, 1);

    // The glow round the body: warm while pressed, orange while hovered, blue
    // with the focus, a faint blue otherwise on a dark face.
    if (look.Pressed) {
        // Six rings in all: three outside the body, fading from the warm
        // colour to the dark one, and three inside it (drawn after the body).
        static constexpr std::array<qreal, 3> Offsets = {1.0, 2.0, 3.0};
        static constexpr std::array<int, 3> Alphas = {200, 130, 70};
        const std::array<QColor, 3> colours = {Mix(Warm, WarmEnd, 0.35), Mix(Warm, WarmEnd, 0.7), WarmEnd};
        PaintRings(painter, body, radius, {Offsets, colours, Alphas});
    } else if (look.Hovered) {
        PaintThreeRingGlow(painter, body, radius, QColor(255, 160, 64), {220, 140, 70});
    } else if (look.Focused) {
        PaintThreeRingGlow(painter, body, radius, QColor(64, 128, 255), {210, 130, 60});
    } else if (!shadow) {
        PaintThreeRingGlow(painter, body, radius, QColor(40, 80, 160), {120, 70, 30});
    }

    // The capsule: lit from above, the upper half from the lightest tint
    // to the colour itself, the lower half from the colour into the dark
    // tint at the bottom edge.
    const QColor colour = look.Background;
    const QColor light = Tint(colour, 1.8);
    const QColor dark = Tint(colour, 0.4);
    const QColor gloss = Tint(colour, 2.0);
    QPainterPath capsule;
    capsule.addRoundedRect(body, radius, radius);
    const qreal middle = body.top() + body.height() / 2.0;
    QLinearGradient upper(0, body.top(), 0, middle);
    upper.setColorAt(0.0, light);
    upper.setColorAt(1.0, Mix(light, colour, 0.75));
    QLinearGradient lower(0, middle, 0, body.bottom());
    lower.setColorAt(0.0, colour);
    lower.setColorAt(0.7, colour);
    lower.setColorAt(1.0, Mix(colour, dark, 0.6));
    painter.setPen(Qt::NoPen);
    painter.save();
    painter.setClipPath(capsule);
    painter.fillRect(QRectF(body.left(), body.top(), body.width(), middle - body.top()), upper);
    painter.fillRect(QRectF(body.left(), middle, body.width(), body.bottom() - middle), lower);
    // A gloss along the top, narrower than the body.
    QColor glossTop = gloss;
    glossTop.setAlpha(150);
    QColor glossEnd = gloss;
    glossEnd.setAlpha(0);
    const QRectF glossArea = body.adjusted(radius / 2.0, 1.0, -radius / 2.0, -body.height() / 2.0);
    QLinearGradient glossGradient(0, glossArea.top(), 0, glossArea.bottom());
    glossGradient.setColorAt(0.0, glossTop);
    glossGradient.setColorAt(1.0, glossEnd);
    painter.setBrush(glossGradient);
    painter.drawRoundedRect(glossArea, glossArea.height() / 2.0, glossArea.height() / 2.0);
    painter.restore();

    if (look.Pressed) {
        static constexpr std::array<qreal, 3> InnerOffsets = {-2.5, -1.5, -0.5};
        static constexpr std::array<int, 3> InnerAlphas = {120, 180, 240};
        const std::array<QColor, 1> warm = {Warm};
        PaintRings(painter, body, radius, {InnerOffsets, warm, InnerAlphas});
    } else {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(colour, 1.0));
        painter.drawRoundedRect(body, radius, radius);
    }

    if (look.Enabled)
        PaintCaption(painter, body, look, look.Text);
    else
        PaintEmbossedCaption(painter, body.toAlignedRect(), look);
    painter.restore();
}

void PaintThemed(QPainter& painter, const ButtonLook& look, bool vista, const QStyle& style, const QWidget* widget)
{
    painter.save();
    QStyleOptionButton option = ButtonOption(look, widget);
    const QRect content = style.subElementRect(QStyle::SE_PushButtonContents, &option, widget);
    const QPoint shift = look.Pressed ? QPoint(style.pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, widget),
                                               style.pixelMetric(QStyle::PM_ButtonShiftVertical, &option, widget))
                                      : QPoint();

    if ((look.SystemBackground && look.SystemText) || !look.Enabled) {
        // The theme's own push button, caption and all.
        painter.fillRect(look.Rect, look.Palette.color(QPalette::Button));
        style.drawControl(QStyle::CE_PushButtonBevel, &option, &painter, widget);
        if (vista) {
            style.drawItemText(&painter, content.translated(shift), Qt::AlignCenter | Qt::TextSingleLine, look.Palette,
                               look.Enabled, look.Caption, QPalette::ButtonText);
        } else {
            PaintCaption(painter, content.translated(shift), look,
                         look.Enabled ? look.Text : look.Palette.color(QPalette::Disabled, QPalette::ButtonText));
        }
    } else {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillRect(look.Rect, look.Palette.color(QPalette::Button));
        const QRectF outer = QRectF(look.Rect).adjusted(0.5, 0.5, -1.5, -1.5);
        // A faint diagonal shadow.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 28));
        painter.drawRoundedRect(outer.translated(1, 1), 3, 3);

        if (look.SystemBackground) {
            // The theme's background with the button's own text colour.
            style.drawControl(QStyle::CE_PushButtonBevel, &option, &painter, widget);
        } else {
            const QColor colour = look.Pressed ? Tint(look.Background, 0.85) : look.Background;
            const QColor frame = look.Hovered ? look.Palette.color(QPalette::Highlight) : Tint(look.Background, 0.55);
            painter.setPen(QPen(frame, 1.0));
            painter.setBrush(colour);
            painter.drawRoundedRect(outer, 3, 3);
            const QRectF inner = outer.adjusted(1.5, 1.5, -1.5, -1.5);
            QLinearGradient shade(0, inner.top(), 0, inner.bottom());
            if (vista) {
                // Glass: a light upper half over the colour itself.
                shade.setColorAt(0.0, Tint(colour, 1.3));
                shade.setColorAt(0.49, Tint(colour, 1.15));
                shade.setColorAt(0.5, colour);
                shade.setColorAt(1.0, Tint(colour, 1.1));
            } else {
                shade.setColorAt(0.0, Tint(colour, 1.15));
                shade.setColorAt(1.0, colour);
            }
            painter.setPen(Qt::NoPen);
            painter.setBrush(shade);
            painter.drawRoundedRect(inner, 5, 5);
        }
        PaintCaption(painter, QRectF(content.translated(shift)), look, look.Text);
    }

    if (look.Focused) {
        QStyleOptionFocusRect focus;
        focus.initFrom(widget);
        focus.rect = look.Rect.adjusted(3, 3, -3, -3);
        focus.backgroundColor = look.Background;
        style.drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, widget);
    }
    painter.restore();
}

void PaintClassic(QPainter& painter, const ButtonLook& look, const QWidget* widget)
{
    painter.save();
    const QStyle* style = ClassicStyle();
    QRect face = look.Rect;
    painter.fillRect(face, look.Palette.color(QPalette::Button));
    const QColor shadow = look.Palette.color(QPalette::Dark);
    if (look.Focused) {
        // The default button's extra dark frame.
        painter.setPen(look.Palette.color(QPalette::Shadow));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(face.adjusted(0, 0, -1, -1));
        face.adjust(1, 1, -1, -1);
    }
    if (look.Pressed) {
        painter.fillRect(face, look.Background);
        painter.setPen(shadow);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(face.adjusted(0, 0, -1, -1));
    } else if (style) {
        QStyleOptionButton option = ButtonOption(look, widget);
        option.rect = face;
        option.features = QStyleOptionButton::None;
        option.state &= ~QStyle::State_HasFocus;
        option.palette.setColor(QPalette::Button, look.Background);
        if (!look.Enabled)
            option.palette.setColor(QPalette::Button, look.Palette.color(QPalette::Button));
        style->drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &painter, widget);
    }

    const QRect caption = look.Pressed ? face.translated(1, 1) : face;
    if (look.Enabled)
        PaintCaption(painter, caption, look, look.Text);
    else
        PaintEmbossedCaption(painter, caption, look);

    if (look.Focused && style) {
        QStyleOptionFocusRect focus;
        focus.initFrom(widget);
        focus.rect = look.Rect.adjusted(4, 4, -4, -4);
        focus.backgroundColor = look.Background;
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, widget);
    }
    painter.restore();
}

}  // namespace Keypad
