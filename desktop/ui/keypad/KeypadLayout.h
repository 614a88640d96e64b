// Where the 72 buttons stand and how large the panel and its bar are: a pure
// function of a few measured text sizes and the panel's margins and gaps.
#pragma once

#include <QRect>
#include <QSize>

#include <array>
#include <cstdint>
#include <string_view>

namespace Keypad {

// The measures the layout is made from, in pixels.
struct LayoutMeasures {
    int TemplateWidth = 0;   // W: the width of the template text in the keypad font
    int TemplateHeight = 0;  // H: its height
    int CommentWidth = 0;    // the width of "*/"
    int Margin = 0;          // m: the first button's distance from the panel's top and left edges
    int ColumnGap = 0;       // gx: between neighbouring columns of a block
    int RowGap = 0;          // gy: between rows
    int BlockGap = 0;        // G: between blocks
};

// The panel's margins and gaps at 96 dots per inch; Gaps() scales them.
inline constexpr int MarginAt96Dpi = 4;
inline constexpr int ColumnGapAt96Dpi = 3;
inline constexpr int RowGapAt96Dpi = 2;
inline constexpr int BlockGapAt96Dpi = 8;

// Measures with the margins and gaps for a screen of dpi dots per inch
// (96 when the screen reports nothing sensible) and the text sizes unset.
LayoutMeasures Gaps(int dpi);

// The text whose width every function and service button gets:
// "8Bkspace8" in lower case, "8ARCCOSEC8" in upper case with East names,
// "8ARCOTH8" in upper case with West names.
std::u16string_view TemplateText(std::uint32_t notation, bool upper);

struct Layout {
    std::array<QRect, 72> Buttons;  // by index in Buttons()
    QSize Panel;
    // The bar around the panel, docked along the top or bottom edge, along
    // the left or right edge, floating, and at least.
    QSize DockedHorizontally;
    QSize DockedVertically;
    QSize Floating;
    QSize Minimum;
};

// Lays the buttons out. The button height is 8/5 of the template text's
// height; the narrow buttons of the second and digit blocks are as wide as
// "*/" but never narrower than high. Sizes below one pixel count as one.
Layout LayOut(const LayoutMeasures& measures);

// The least a keypad is scaled to when it lacks room: its text stays at
// least this share of the chosen font's size and never below LeastPointSize.
inline constexpr double LeastScale = 0.7;
inline constexpr double LeastPointSize = 7.0;

// The scale (at most 1) at which a panel of size whole fits into room, but
// never below what keeps a font of pointSize readable; a panel that fits
// stays whole. Sizes without area give 1.
double FitScale(QSize whole, QSize room, double pointSize);

}  // namespace Keypad
