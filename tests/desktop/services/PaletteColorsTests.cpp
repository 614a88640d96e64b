// Colours that read on light and dark palettes: the contrast measure, the
// shade found for a colour that lacks it, the editor's highlighting colours,
// the toolbar's and windows' icons, and the frame of an unticked box.
#include "desktop/services/CCalcPaletteIcon.h"
#include "desktop/services/CCalcReadableStyle.h"
#include "desktop/services/PaletteColors.h"
#include "desktop/ui/editor/CCalcHighlighter.h"
#include "desktop/ui/editor/CCalcResultsMargin.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/ui/log/CCalcLog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDirIterator>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QStyleOption>

#include <gtest/gtest.h>

#include <functional>

namespace {

// The palettes a user may have: light, grey, dark and nearly black.
struct NamedPalette {
    const char* name;
    QColor window;
    QColor base;
    QColor text;
};

const NamedPalette Palettes[] = {
    {"white", QColor(0xef, 0xef, 0xef), QColor(0xff, 0xff, 0xff), QColor(0x00, 0x00, 0x00)},
    {"light grey", QColor(0xd6, 0xd6, 0xd6), QColor(0xe8, 0xe8, 0xe8), QColor(0x20, 0x20, 0x20)},
    {"dark", QColor(0x35, 0x35, 0x35), QColor(0x2a, 0x2a, 0x2a), QColor(0xff, 0xff, 0xff)},
    {"dark grey", QColor(0x3c, 0x3f, 0x41), QColor(0x45, 0x49, 0x4a), QColor(0xbb, 0xbb, 0xbb)},
    {"black", QColor(0x10, 0x10, 0x10), QColor(0x00, 0x00, 0x00), QColor(0xe0, 0xe0, 0xe0)},
};

QPalette MakePalette(const NamedPalette& named)
{
    QPalette palette;
    palette.setColor(QPalette::Window, named.window);
    palette.setColor(QPalette::Base, named.base);
    palette.setColor(QPalette::Text, named.text);
    palette.setColor(QPalette::WindowText, named.text);
    palette.setColor(QPalette::Button, named.window);
    palette.setColor(QPalette::ButtonText, named.text);
    palette.setColor(QPalette::Mid, named.window.darker(130));
    return palette;
}

// Sets the application's palette for the length of a scope.
class PaletteScope {
public:
    explicit PaletteScope(const QPalette& palette) : saved_(QApplication::palette())
    {
        QApplication::setPalette(palette);
    }
    ~PaletteScope() { QApplication::setPalette(saved_); }
    PaletteScope(const PaletteScope&) = delete;
    PaletteScope& operator=(const PaletteScope&) = delete;

private:
    QPalette saved_;
};

TEST(PaletteColors, ContrastIsMeasuredAsTheGuidelinesDo)
{
    struct Row {
        QColor a;
        QColor b;
        double ratio;
    };
    const Row rows[] = {
        {Qt::black, Qt::white, 21.0},
        {Qt::white, Qt::black, 21.0},
        {QColor(0x77, 0x77, 0x77), Qt::white, 4.48},
        {QColor(0x76, 0x76, 0x76), Qt::white, 4.54},
        {QColor(0xff, 0x00, 0x00), Qt::white, 4.0},
        {QColor(0x12, 0x34, 0x56), QColor(0x12, 0x34, 0x56), 1.0},
    };
    for (const Row& row : rows)
        EXPECT_NEAR(Tevra::ContrastRatio(row.a, row.b), row.ratio, 0.01) << row.a.name().toStdString();
}

TEST(PaletteColors, AColourLackingContrastIsMovedInLightnessOnly)
{
    const QColor colours[] = {QColor(0x4a, 0x55, 0x60), QColor(0x3d, 0x6f, 0xb6), QColor(0xff, 0xff, 0x00),
                              QColor(0x80, 0x80, 0x80), QColor(0x00, 0x00, 0x00), QColor(0xff, 0xff, 0xff)};
    for (const NamedPalette& named : Palettes) {
        for (const QColor& colour : colours) {
            for (const double wanted : {Tevra::GraphicsContrast, Tevra::TextContrast}) {
                const QColor readable = Tevra::ReadableOn(colour, named.base, wanted);
                EXPECT_GE(Tevra::ContrastRatio(readable, named.base), wanted)
                    << named.name << " " << colour.name().toStdString();
                if (Tevra::ContrastRatio(colour, named.base) >= wanted) {
                    EXPECT_EQ(readable, colour) << "a colour that reads is kept";
                } else if (colour.hslSaturation() > 0 && readable != QColor(Qt::white) &&
                           readable != QColor(Qt::black)) {
                    EXPECT_NEAR(readable.hslHue(), colour.hslHue(), 2) << "the hue stays";
                }
            }
        }
    }
}

TEST(PaletteColors, EveryHighlightingColourReadsOnLightAndDarkBases)
{
    using NCalculatorText::TokenKind;
    const TokenKind kinds[] = {TokenKind::Number,   TokenKind::Function, TokenKind::Keyword, TokenKind::MemoryName,
                               TokenKind::Operator, TokenKind::Comment,  TokenKind::Result};
    for (const NamedPalette& named : Palettes) {
        const QPalette palette = MakePalette(named);
        for (const TokenKind kind : kinds) {
            const QColor colour = CCalcHighlighter::ColorOf(kind, palette);
            ASSERT_TRUE(colour.isValid());
            EXPECT_GE(Tevra::ContrastRatio(colour, named.base), Tevra::TextContrast)
                << named.name << ", kind " << static_cast<int>(kind) << ": " << colour.name().toStdString();
        }
    }
}

// Every other colour the editor, its results margin and the log draw text
// or lines in: text at the contrast text needs, lines at the contrast of
// graphics, on every palette (the placeholder colour see-through, as the
// toolkit derives it from the text).
TEST(PaletteColors, EveryMarkAndRecordColourReadsOnLightAndDarkBases)
{
    using Style = CCalcView::MarkStyle;
    struct Row {
        const char* name;
        std::function<QColor(const QPalette&)> colour;
        double contrast;
        bool darkOnly = false;  // light palettes keep the log's own red and blue
    };
    const Row rows[] = {
        {"error underline", [](const QPalette& p) { return CCalcView::markColor(Style::ErrorUnderline, p); },
         Tevra::GraphicsContrast},
        {"warning underline", [](const QPalette& p) { return CCalcView::markColor(Style::WarningUnderline, p); },
         Tevra::GraphicsContrast},
        {"hint spot", [](const QPalette& p) { return CCalcView::markColor(Style::Spot, p); }, Tevra::GraphicsContrast},
        {"name without a value", [](const QPalette& p) { return CCalcView::markColor(Style::DottedUnderline, p); },
         Tevra::GraphicsContrast},
        {"margin value", [](const QPalette& p) { return CCalcResultsMargin::valueColor(false, p); },
         Tevra::TextContrast},
        {"margin failure", [](const QPalette& p) { return CCalcResultsMargin::valueColor(true, p); },
         Tevra::TextContrast},
        {"log error", [](const QPalette& p) { return CCalcLog::recordColor(true, p); }, Tevra::TextContrast, true},
        {"log warning", [](const QPalette& p) { return CCalcLog::recordColor(false, p); }, Tevra::TextContrast, true},
    };
    for (const NamedPalette& named : Palettes) {
        QPalette palette = MakePalette(named);
        QColor placeholder = named.text;
        placeholder.setAlpha(128);
        palette.setColor(QPalette::PlaceholderText, placeholder);
        for (const Row& row : rows) {
            if (row.darkOnly && !Tevra::IsDarkPalette(palette))
                continue;
            const QColor colour = row.colour(palette);
            ASSERT_TRUE(colour.isValid()) << row.name;
            EXPECT_EQ(colour.alpha(), 255) << row.name;
            EXPECT_GE(Tevra::ContrastRatio(colour, named.base), row.contrast)
                << named.name << ", " << row.name << ": " << colour.name().toStdString();
        }
    }
    // The errors stay red and the warnings blue, on dark bases too; light
    // bases keep pure red and blue.
    for (const NamedPalette& named : Palettes) {
        const QPalette palette = MakePalette(named);
        if (!Tevra::IsDarkPalette(palette)) {
            EXPECT_EQ(CCalcLog::recordColor(true, palette), QColor(255, 0, 0)) << named.name;
            EXPECT_EQ(CCalcLog::recordColor(false, palette), QColor(0, 0, 255)) << named.name;
        }
        const QColor error = CCalcLog::recordColor(true, palette);
        const QColor warning = CCalcLog::recordColor(false, palette);
        EXPECT_GT(error.red(), error.blue()) << named.name;
        EXPECT_GT(warning.blue(), warning.red()) << named.name;
    }
}

TEST(PaletteColors, OnlyColoursOfAnImageChange)
{
    const QByteArray svg = R"(<svg><path stroke="#4a5560" fill="#FFF" id="a#1"/></svg>)";
    const QByteArray dark = Tevra::ReadableSvg(svg, QColor(0x35, 0x35, 0x35));
    EXPECT_TRUE(dark.startsWith(R"(<svg><path stroke="#)"));
    EXPECT_TRUE(dark.endsWith(R"(" id="a#1"/></svg>)")) << dark.toStdString();
    EXPECT_FALSE(dark.contains("#4a5560")) << "a dark line is made lighter on a dark background";
    EXPECT_TRUE(dark.contains("#ffffff")) << "white reads on dark already";
    EXPECT_EQ(Tevra::ReadableSvg(svg, Qt::white), svg) << "the images are drawn for light windows";
    const QByteArray pale = R"(<svg><path stroke="#f0e0a0" fill="#ffffff"/></svg>)";
    EXPECT_NE(Tevra::ReadableSvg(pale, QColor(0xd6, 0xd6, 0xd6)), pale) << "an image without a line that reads";
}

// The share of an image's solid pixels that stand out from background.
double ReadableShare(const QImage& image, const QColor& background)
{
    int solid = 0;
    int readable = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() < 255)
                continue;
            ++solid;
            if (Tevra::ContrastRatio(pixel, background) >= Tevra::GraphicsContrast - 0.01)
                ++readable;
        }
    }
    return solid == 0 ? 0.0 : static_cast<double>(readable) / solid;
}

TEST(PaletteColors, EveryIconReadsOnLightAndDarkWindows)
{
    QStringList icons;
    for (QDirIterator it(QStringLiteral(":/icons"), {QStringLiteral("*.svg")}); it.hasNext();)
        icons.append(it.next());
    ASSERT_GE(icons.size(), 20) << "the program's icons are in the resources";
    for (const NamedPalette& named : Palettes) {
        const PaletteScope scope(MakePalette(named));
        for (const QString& path : icons) {
            if (path.contains(QStringLiteral("application-x-")) ||
                path.endsWith(QStringLiteral("calculator-tevra.svg")))
                continue;  // the program's and its files' own images, shown by the desktop
            const QImage image = Tevra::PaletteIcon(path).pixmap(QSize(32, 32)).toImage();
            EXPECT_GE(ReadableShare(image, named.window), 0.2) << named.name << " " << path.toStdString();
        }
    }
}

TEST(PaletteColors, AnUntickedBoxHasAFrameThatReads)
{
    for (const NamedPalette& named : Palettes) {
        if (!Tevra::IsDarkPalette(MakePalette(named)))
            continue;  // styles draw readable boxes on light palettes
        CCalcReadableStyle style(QStringLiteral("Fusion"));
        QCheckBox box(QStringLiteral("Include"));
        box.setStyle(&style);
        box.setPalette(MakePalette(named));
        box.resize(box.sizeHint());
        const QImage image = box.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        QStyleOptionButton option;
        option.initFrom(&box);
        const QRect indicator = style.subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box);
        int readable = 0;
        for (int y = indicator.top(); y <= indicator.bottom(); ++y) {
            for (int x = indicator.left(); x <= indicator.right(); ++x) {
                if (Tevra::ContrastRatio(image.pixelColor(x, y), named.base) >= Tevra::GraphicsContrast)
                    ++readable;
            }
        }
        // At least the four sides of the box.
        EXPECT_GE(readable, 4 * (indicator.width() - 2)) << named.name;
    }
}

}  // namespace
