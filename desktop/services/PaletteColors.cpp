#include "desktop/services/PaletteColors.h"

#include <QPalette>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace Tevra {

namespace {

double Linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) + 0.0722 * Linear(rgb.blueF());
}

// Below this luminance a background is dark: black on it has less contrast
// than white.
constexpr double DarkLuminance = 0.18;

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b)
{
    const double first = Luminance(a);
    const double second = Luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

bool IsDarkPalette(const QPalette& palette)
{
    return Luminance(palette.color(QPalette::Base)) < Luminance(palette.color(QPalette::Text));
}

QColor ReadableOn(const QColor& colour, const QColor& background, double contrast)
{
    if (ContrastRatio(colour, background) >= contrast)
        return colour;
    // Towards white on a dark background, towards black on a light one: the
    // contrast grows with each step, so the first shade that has it is the
    // nearest.
    const bool lighten = Luminance(background) < DarkLuminance;
    const QColor hsl = colour.toHsl();
    const int alpha = colour.alpha();
    for (int step = 1; step <= 100; ++step) {
        const double lightness = lighten ? hsl.lightnessF() + (1.0 - hsl.lightnessF()) * step / 100.0
                                         : hsl.lightnessF() * (100 - step) / 100.0;
        QColor shade = QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), static_cast<float>(lightness));
        shade.setAlpha(alpha);
        if (ContrastRatio(shade, background) >= contrast)
            return shade.toRgb();
    }
    QColor extreme = lighten ? QColor(Qt::white) : QColor(Qt::black);
    extreme.setAlpha(alpha);
    return extreme;
}

QByteArray ReadableSvg(const QByteArray& svg, const QColor& background)
{
    static const QRegularExpression Colour(QStringLiteral("#([0-9a-fA-F]{6}|[0-9a-fA-F]{3})\\b"));
    const QString text = QString::fromUtf8(svg);
    // The images are drawn for light windows: their light fills are paper
    // and glass, not lines to be darkened, as long as some line of the image
    // stands out. An image with none is darkened as a whole.
    if (Luminance(background) >= DarkLuminance) {
        for (auto match = Colour.globalMatch(text); match.hasNext();) {
            if (ContrastRatio(QColor(match.next().captured()), background) >= GraphicsContrast)
                return svg;
        }
    }
    QString result;
    result.reserve(text.size());
    qsizetype copied = 0;
    for (auto match = Colour.globalMatch(text); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        result += QStringView(text).mid(copied, found.capturedStart() - copied);
        const QColor readable = ReadableOn(QColor(found.captured()), background, GraphicsContrast);
        result += readable.name(QColor::HexRgb);
        copied = found.capturedEnd();
    }
    result += QStringView(text).mid(copied);
    return result.toUtf8();
}

}  // namespace Tevra
