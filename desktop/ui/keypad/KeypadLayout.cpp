#include "desktop/ui/keypad/KeypadLayout.h"

#include "desktop/ui/keypad/KeypadButtons.h"

#include <algorithm>

namespace Keypad {

namespace {

// Keeps a measure in a range where no sum of the layout can overflow, so a
// font of any size gives a layout (a huge one, but a layout).
constexpr int LargestMeasure = 1 << 16;

int Sane(int value, int least)
{
    return std::clamp(value, least, LargestMeasure);
}

int Scaled(int at96Dpi, int dpi)
{
    return std::max(0, (at96Dpi * dpi + 48) / 96);
}

}  // namespace

LayoutMeasures Gaps(int dpi)
{
    if (dpi < 24 || dpi > 2400)
        dpi = 96;
    LayoutMeasures measures;
    measures.Margin = Scaled(MarginAt96Dpi, dpi);
    measures.ColumnGap = Scaled(ColumnGapAt96Dpi, dpi);
    measures.RowGap = Scaled(RowGapAt96Dpi, dpi);
    measures.BlockGap = Scaled(BlockGapAt96Dpi, dpi);
    return measures;
}

std::u16string_view TemplateText(std::uint32_t notation, bool upper)
{
    if (!upper)
        return u"8Bkspace8";
    return notation == 0 ? u"8ARCOTH8" : u"8ARCCOSEC8";
}

Layout LayOut(const LayoutMeasures& measures)
{
    const int W = Sane(measures.TemplateWidth, 1);
    const int h = std::max(1, Sane(measures.TemplateHeight, 1) * 8 / 5);
    const int w2 = std::max(Sane(measures.CommentWidth, 1), h);
    const int m = Sane(measures.Margin, 0);
    const int gx = Sane(measures.ColumnGap, 0);
    const int gy = Sane(measures.RowGap, 0);
    const int G = Sane(measures.BlockGap, 0);

    Layout layout;
    const auto buttons = Buttons();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const Button& button = buttons[i];
        const int r = button.Row;
        const int k = button.Column;
        const int y = m + r * (h + gy);
        QRect& rect = layout.Buttons[i];
        switch (button.Place) {
        case Block::Functions:
            rect = QRect(m + k * (W + gx), y, W, h);
            break;
        case Block::Second:
            rect = QRect(m + 6 * W + 5 * gx + G + k * (w2 + gx), y, w2, h);
            break;
        case Block::Digits:
            rect = QRect(m + 2 * (3 * W + 2 * gx + G) + (k + 2) * (w2 + gx), y, w2, h);
            break;
        case Block::Equals:
            rect = QRect(m + 2 * (3 * W + 3 * gx + G + w2) + k * (2 * w2 + 2 * gx), y, 2 * w2 + gx, h);
            break;
        case Block::Services:
            rect = QRect(m + 6 * W + 6 * w2 + 9 * gx + (k + 3) * G + k * W, y, W, h);
            break;
        }
    }
    layout.Panel = QSize(2 * m + 8 * W + 6 * w2 + 9 * gx + 4 * G, 2 * m + 6 * h + 5 * gy);
    layout.DockedHorizontally = layout.Panel + QSize(15, 10);
    layout.DockedVertically = layout.Panel + QSize(10, 15);
    layout.Floating = layout.Panel;
    layout.Minimum = layout.Panel + QSize(15, 15);
    return layout;
}

double FitScale(QSize whole, QSize room, double pointSize)
{
    if (whole.isEmpty() || room.isEmpty())
        return 1.0;
    const double fits = std::min(static_cast<double>(room.width()) / whole.width(),
                                 static_cast<double>(room.height()) / whole.height());
    if (fits >= 1.0)
        return 1.0;
    // A font without a point size (one set in pixels) keeps only the share.
    const double readable = pointSize > 0 ? std::max(LeastScale, LeastPointSize / pointSize) : LeastScale;
    return std::max(fits, std::min(readable, 1.0));
}

}  // namespace Keypad
