// Colours that read on the palette they are drawn on, light or dark: the
// contrast of two colours as the web's accessibility guidelines measure it,
// a colour moved in lightness until it reaches a contrast, and the colours of
// an SVG image moved so that every line of it stands out from a background.
#pragma once

#include <QByteArray>
#include <QColor>

class QPalette;

namespace Tevra {

// What text needs against its background, and what the lines of an icon need.
inline constexpr double TextContrast = 4.5;
inline constexpr double GraphicsContrast = 3.0;

// (L1 + 0.05) / (L2 + 0.05) of the relative luminances, the lighter above:
// from 1 (the same) to 21 (black on white). Transparency is not looked at.
double ContrastRatio(const QColor& a, const QColor& b);

// True for a palette whose text is drawn on a dark base.
bool IsDarkPalette(const QPalette& palette);

// colour itself when it has the contrast against background; otherwise the
// colour of the same hue made lighter (on a dark background) or darker (on a
// light one) as little as it takes, or white or black when no shade of its
// hue reaches it.
QColor ReadableOn(const QColor& colour, const QColor& background, double contrast);

// The SVG text with every "#rgb" and "#rrggbb" colour made ReadableOn a dark
// background at GraphicsContrast; on a light background, for which the
// images are drawn, the text unchanged unless none of its colours stands out.
// Other text is left as it is.
QByteArray ReadableSvg(const QByteArray& svg, const QColor& background);

}  // namespace Tevra
