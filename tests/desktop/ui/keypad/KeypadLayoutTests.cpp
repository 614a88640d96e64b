// The keypad's layout function: rectangles, panel and bar sizes for known
// measures, and the properties every layout has.
#include "desktop/ui/keypad/KeypadButtons.h"
#include "desktop/ui/keypad/KeypadLayout.h"

#include <gtest/gtest.h>

namespace {

QRect RectOf(const Keypad::Layout& layout, int id)
{
    return layout.Buttons[static_cast<std::size_t>(Keypad::ButtonIndex(id).value_or(0))];
}

Keypad::LayoutMeasures Measures(int W, int H, int comment, int m = 6, int gx = 4, int gy = 4, int G = 10)
{
    return {W, H, comment, m, gx, gy, G};
}

struct RectRow {
    int id;
    const char* name;
    QRect rect;
};

// W 70, H 20 (button height 32), "*/" 20 wide (narrow buttons 32, as high),
// margin 6, gaps 4 and 4, block gap 10.
const RectRow KnownRects[] = {
    {1028, "sin, first function", QRect(6, 6, 70, 32)},
    {1030, "ctg, end of the first row", QRect(376, 6, 70, 32)},
    {1036, "n!, row 2", QRect(376, 78, 70, 32)},
    {1126, "sign, last function", QRect(376, 186, 70, 32)},
    {1048, "pi, second block", QRect(456, 6, 32, 32)},
    {1049, "e", QRect(492, 6, 32, 32)},
    {1066, "*/, last of the second block", QRect(492, 150, 32, 32)},
    {1018, "+, first of the digits", QRect(534, 6, 32, 32)},
    {1009, "3", QRect(642, 6, 32, 32)},
    {1064, ";, last of the digits", QRect(642, 114, 32, 32)},
    {1001, "=, under the digits", QRect(534, 150, 68, 32)},
    {1062, "= all", QRect(606, 150, 68, 32)},
    {1051, "Clear, service", QRect(684, 6, 70, 32)},
    {1071, "; enter", QRect(684, 114, 70, 32)},
    {1061, "Rslt, second service column", QRect(764, 6, 70, 32)},
    {1070, "Mem, last", QRect(764, 114, 70, 32)},
};

TEST(KeypadLayout, KnownMeasuresGiveKnownRectangles)
{
    const Keypad::Layout layout = Keypad::LayOut(Measures(70, 20, 20));
    for (const RectRow& row : KnownRects)
        EXPECT_EQ(RectOf(layout, row.id), row.rect) << row.name;
    EXPECT_EQ(layout.Panel, QSize(840, 224));
    EXPECT_EQ(layout.DockedHorizontally, QSize(855, 234));
    EXPECT_EQ(layout.DockedVertically, QSize(850, 239));
    EXPECT_EQ(layout.Floating, QSize(840, 224));
    EXPECT_EQ(layout.Minimum, QSize(855, 239));
}

TEST(KeypadLayout, NarrowButtonsAreAsWideAsTheCommentMarkButNeverNarrowerThanHigh)
{
    struct Row {
        int H;
        int comment;
        int height;
        int width;
    };
    for (const Row row : {Row{20, 20, 32, 32}, Row{10, 20, 16, 20}, Row{10, 5, 16, 16}, Row{21, 40, 33, 40}}) {
        const Keypad::Layout layout = Keypad::LayOut(Measures(70, row.H, row.comment));
        EXPECT_EQ(RectOf(layout, 1048).size(), QSize(row.width, row.height)) << row.H << " " << row.comment;
        EXPECT_EQ(RectOf(layout, 1001).width(), 2 * row.width + 4);
    }
}

TEST(KeypadLayout, ButtonsNeverOverlapAndStayInsideThePanel)
{
    for (const Keypad::LayoutMeasures& measures :
         {Measures(70, 20, 20), Measures(100, 17, 12, 0, 0, 0, 0), Measures(1, 1, 1, 1, 1, 1, 1),
          Measures(300, 60, 30, 12, 8, 8, 20), Measures(0, -5, -3, -1, -1, -1, -1)}) {
        const Keypad::Layout layout = Keypad::LayOut(measures);
        const QRect panel(QPoint(0, 0), layout.Panel);
        for (std::size_t i = 0; i < layout.Buttons.size(); ++i) {
            EXPECT_FALSE(layout.Buttons[i].isEmpty()) << i;
            EXPECT_TRUE(panel.contains(layout.Buttons[i])) << i;
            for (std::size_t j = i + 1; j < layout.Buttons.size(); ++j)
                EXPECT_FALSE(layout.Buttons[i].intersects(layout.Buttons[j])) << i << " and " << j;
        }
    }
}

TEST(KeypadLayout, TemplateTextFollowsNotationAndCase)
{
    EXPECT_EQ(Keypad::TemplateText(0, false), u"8Bkspace8");
    EXPECT_EQ(Keypad::TemplateText(1, false), u"8Bkspace8");
    EXPECT_EQ(Keypad::TemplateText(1, true), u"8ARCCOSEC8");
    EXPECT_EQ(Keypad::TemplateText(0, true), u"8ARCOTH8");
}

TEST(KeypadLayout, GapsScaleWithTheScreen)
{
    struct Row {
        int dpi;
        int margin;
        int column;
        int row;
        int block;
    };
    for (const Row row : {Row{96, 4, 3, 2, 8}, Row{192, 8, 6, 4, 16}, Row{144, 6, 5, 3, 12}, Row{0, 4, 3, 2, 8},
                          Row{-30, 4, 3, 2, 8}, Row{100000, 4, 3, 2, 8}}) {
        const Keypad::LayoutMeasures gaps = Keypad::Gaps(row.dpi);
        EXPECT_EQ(gaps.Margin, row.margin) << row.dpi;
        EXPECT_EQ(gaps.ColumnGap, row.column) << row.dpi;
        EXPECT_EQ(gaps.RowGap, row.row) << row.dpi;
        EXPECT_EQ(gaps.BlockGap, row.block) << row.dpi;
    }
}

TEST(KeypadLayout, HugeMeasuresGiveALayoutWithoutOverflow)
{
    const Keypad::Layout layout =
        Keypad::LayOut(Measures(1 << 30, 1 << 30, 1 << 30, 1 << 30, 1 << 30, 1 << 30, 1 << 30));
    EXPECT_GT(layout.Panel.width(), 0);
    EXPECT_GT(layout.Panel.height(), 0);
}

}  // namespace

namespace {

TEST(KeypadLayout, ThePanelShrinksToItsRoomButStaysReadable)
{
    struct Row {
        const char* name;
        QSize whole;
        QSize room;
        double pointSize;
        double scale;
    };
    const Row rows[] = {
        {"room enough: whole", {800, 200}, {900, 250}, 8, 1.0},
        {"exactly its size: whole", {800, 200}, {800, 200}, 8, 1.0},
        {"short in height", {800, 200}, {900, 180}, 10, 0.9},
        {"short in width", {800, 200}, {720, 500}, 10, 0.9},
        {"the shorter side counts", {800, 200}, {760, 180}, 10, 0.9},
        {"far too short: the least share", {800, 200}, {100, 50}, 20, Keypad::LeastScale},
        {"a small font keeps its points", {800, 200}, {100, 50}, 8, 7.0 / 8.0},
        {"a font at the least size stays", {800, 200}, {100, 50}, 7, 1.0},
        {"a font in pixels only keeps the share", {800, 200}, {100, 50}, 0, Keypad::LeastScale},
        {"no room yet: whole", {800, 200}, {0, 0}, 8, 1.0},
        {"no panel: whole", {0, 0}, {100, 50}, 8, 1.0},
    };
    for (const Row& row : rows)
        EXPECT_DOUBLE_EQ(Keypad::FitScale(row.whole, row.room, row.pointSize), row.scale) << row.name;
}

}  // namespace
