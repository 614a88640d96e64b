// Where the main window opens: the centred default and the pull-back of
// stored rectangles onto the nearest work area.
#include "desktop/frame/FramePlacement.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <string>
#include <utility>
#include <vector>

using Tevra::ScreenRect;

namespace {

const ScreenRect FullHd{0, 0, 1920, 1040};

TEST(FramePlacement, DefaultIsCentredOnTheWorkArea)
{
    EXPECT_EQ(Tevra::DefaultFrameRect(FullHd), (ScreenRect{495, 245, 1425, 795}));
}

TEST(FramePlacement, ADefaultWindowThatNeedsMoreRoomOpensCentredAtItsMinimum)
{
    EXPECT_EQ(Tevra::DefaultFrameRect(FullHd, {1000, 640}), (ScreenRect{460, 200, 1460, 840}));
    EXPECT_EQ(Tevra::DefaultFrameRect(FullHd, {500, 300}), (ScreenRect{495, 245, 1425, 795}));
    EXPECT_EQ(Tevra::PlaceFrame(std::nullopt, std::span(&FullHd, 1), 0, {1000, 640}),
              (ScreenRect{460, 200, 1460, 840}));
}

TEST(FramePlacement, DefaultOnAWorkAreaSmallerThanTheWindowStaysInside)
{
    EXPECT_EQ(Tevra::DefaultFrameRect(ScreenRect{0, 0, 800, 500}), (ScreenRect{0, 0, 800, 500}));
    EXPECT_EQ(Tevra::DefaultFrameRect(ScreenRect{100, 30, 1124, 798}), (ScreenRect{147, 139, 1077, 689}));
}

TEST(FramePlacement, WithoutAScreenTheFallbackRectangleIsUsed)
{
    EXPECT_EQ(Tevra::DefaultFrameRect(std::nullopt), (ScreenRect{0, 25, 930, 575}));
    EXPECT_EQ(Tevra::PlaceFrame(std::nullopt, {}), (ScreenRect{0, 25, 930, 575}));
}

struct PullCase {
    const char* name;
    ScreenRect stored;
    ScreenRect expected;
};

TEST(FramePlacement, FarOffRectanglesArePulledBackKeepingTheirSize)
{
    const PullCase cases[] = {
        {"inside stays", {100, 100, 600, 500}, {100, 100, 600, 500}},
        {"right of the screen", {3000, 100, 3930, 650}, {990, 100, 1920, 650}},
        {"left of the screen", {-2000, 100, -1070, 650}, {0, 100, 930, 650}},
        {"below the screen", {100, 5000, 1030, 5550}, {100, 490, 1030, 1040}},
        {"top above by more than a caption", {100, -300, 1030, 250}, {100, 0, 1030, 550}},
        {"top above by less than a caption", {100, -10, 1030, 540}, {100, -10, 1030, 540}},
        {"wider than the screen, right of it", {5000, 0, 7500, 500}, {0, 0, 1920, 500}},
        {"far off in both directions", {100000, -100000, 100930, -99450}, {990, 0, 1920, 550}},
        {"at the far end of the coordinates",
         {INT_MAX - 1000, INT_MIN, INT_MAX - 70, INT_MIN + 550},
         {990, 0, 1920, 550}},
    };
    const std::vector<ScreenRect> screens{FullHd};
    for (const PullCase& row : cases)
        EXPECT_EQ(Tevra::PlaceFrame(row.stored, screens), row.expected) << row.name;
}

// The window grows a rectangle smaller than its minimum size from its left and
// top; the pull-back must see the grown rectangle, or a sliver stored at the
// far right comes back a sliver on the screen.
TEST(FramePlacement, TheMinimumSizeAppliesBeforeThePullBack)
{
    const PullCase cases[] = {
        {"one pixel wide at the far right", {99999, 100, 100000, 650}, {1620, 100, 1920, 650}},
        {"one pixel high below", {100, 99999, 1030, 100000}, {100, 840, 1030, 1040}},
        {"one pixel in both, far off", {99999, 99999, 100000, 100000}, {1620, 840, 1920, 1040}},
        {"large enough stays", {100, 100, 600, 500}, {100, 100, 600, 500}},
        {"at the far end of the coordinates", {INT_MAX - 1, 0, INT_MAX, 1}, {1620, 0, 1920, 200}},
    };
    const std::vector<ScreenRect> screens{FullHd};
    for (const PullCase& row : cases)
        EXPECT_EQ(Tevra::PlaceFrame(row.stored, screens, 0, {300, 200}), row.expected) << row.name;
}

TEST(FramePlacement, ShiftInsideMovesAsLittleAsItTakes)
{
    const PullCase cases[] = {
        {"inside stays", {100, 100, 600, 500}, {100, 100, 600, 500}},
        {"over the right edge", {1700, 100, 2200, 400}, {1420, 100, 1920, 400}},
        {"over the bottom edge", {100, 1000, 600, 1200}, {100, 840, 600, 1040}},
        {"over the top left corner", {-50, -20, 450, 280}, {0, 0, 500, 300}},
        {"wider than the screen keeps its left edge in sight", {100, 0, 2500, 300}, {0, 0, 2400, 300}},
    };
    for (const PullCase& row : cases)
        EXPECT_EQ(Tevra::ShiftInside(row.stored, FullHd), row.expected) << row.name;
}

TEST(FramePlacement, RectanglesWithoutUsableSizeGiveTheDefault)
{
    const ScreenRect unusable[] = {
        {100, 100, 100, 400},        // no width
        {500, 100, 100, 400},        // turned inside out
        {INT_MIN, 0, INT_MAX, 500},  // wider than any screen
        {0, 0, 5000000, 5000000},    // absurdly large
    };
    const std::vector<ScreenRect> screens{FullHd};
    for (const ScreenRect& stored : unusable)
        EXPECT_EQ(Tevra::PlaceFrame(stored, screens), (ScreenRect{495, 245, 1425, 795}));
}

TEST(FramePlacement, TheNearestOfSeveralScreensReceivesTheWindow)
{
    const std::vector<ScreenRect> screens{{0, 0, 1920, 1040}, {1920, 0, 3200, 1024}};
    // Mostly on the second screen: stays there.
    EXPECT_EQ(Tevra::PlaceFrame(ScreenRect{2000, 100, 2930, 650}, screens), (ScreenRect{2000, 100, 2930, 650}));
    // Beyond the second screen's right edge: pulled onto the second screen.
    EXPECT_EQ(Tevra::PlaceFrame(ScreenRect{4000, 100, 4930, 650}, screens), (ScreenRect{2270, 100, 3200, 650}));
    // Left of the first screen: pulled onto the first.
    EXPECT_EQ(Tevra::PlaceFrame(ScreenRect{-3000, 100, -2070, 650}, screens), (ScreenRect{0, 100, 930, 650}));
    // The default goes onto the primary screen.
    EXPECT_EQ(Tevra::PlaceFrame(std::nullopt, screens, 1), (ScreenRect{2095, 237, 3025, 787}));
}

}  // namespace

namespace {

// A work area of a screen of that many pixels, at a scale factor of the
// toolkit: the window's coordinates are the pixels divided by the factor.
ScreenRect WorkArea(int width, int height, double factor)
{
    return {0, 0, static_cast<int>(width / factor), static_cast<int>(height / factor)};
}

bool Inside(const ScreenRect& rect, const ScreenRect& work)
{
    return rect.Left >= work.Left && rect.Top >= work.Top && rect.Right <= work.Right && rect.Bottom <= work.Bottom;
}

TEST(FramePlacement, TheDefaultScalesWithTheScreensLogicalDpi)
{
    const ScreenRect uhd{0, 0, 3840, 2120};
    EXPECT_EQ(Tevra::DefaultFrameRect(uhd, {}, 1.0), (ScreenRect{1455, 785, 2385, 1335}));
    EXPECT_EQ(Tevra::DefaultFrameRect(uhd, {}, 2.0), (ScreenRect{990, 510, 2850, 1610}));
    EXPECT_EQ(Tevra::DefaultFrameRect(uhd, {}, 1.5), (ScreenRect{1222, 647, 2617, 1472}));
    // A scale no screen has is none.
    EXPECT_EQ(Tevra::DefaultFrameRect(uhd, {}, 0.0), (ScreenRect{1455, 785, 2385, 1335}));
    EXPECT_EQ(Tevra::DefaultFrameRect(uhd, {}, std::numeric_limits<double>::quiet_NaN()),
              (ScreenRect{1455, 785, 2385, 1335}));
}

TEST(FramePlacement, TheEditorGetsItsShareByAGrowingWindow)
{
    struct Row {
        const char* name;
        Tevra::FrameMinimum size;
        Tevra::FrameParts parts;
        Tevra::FrameMinimum expected;
    };
    const Row rows[] = {
        {"a share already reached stays", {930, 550}, {80, 100, 0}, {930, 550}},
        {"bars below: larger", {930, 550}, {80, 300, 0}, {1061, 628}},
        {"bars below and beside: larger still", {930, 550}, {80, 260, 250}, {1172, 693}},
        {"bars beside wider than the window: much larger", {930, 550}, {80, 260, 1000}, {2298, 1359}},
        {"bars beside beyond four times the size: wider first", {930, 550}, {80, 260, 3000}, {12000, 730}},
    };
    for (const Row& row : rows) {
        const Tevra::FrameMinimum grown = Tevra::SizeForEditorShare(row.size, row.parts);
        EXPECT_EQ(grown.Width, row.expected.Width) << row.name;
        EXPECT_EQ(grown.Height, row.expected.Height) << row.name;
        EXPECT_GE(Tevra::EditorShareOf(grown, row.parts), Tevra::EditorShare) << row.name;
    }
}

TEST(FramePlacement, TheRoomForBarsAboveKeepsTheEditorsShare)
{
    struct Row {
        const char* name;
        Tevra::FrameMinimum size;
        Tevra::FrameParts parts;
        int room;
    };
    const Row rows[] = {
        {"no bars beside: the rest of the share", {1000, 580}, {80, 0, 0}, 275},
        {"a bar beside: less", {1000, 580}, {80, 0, 400}, 125},
        {"a bar beside leaving less than the share: none", {1000, 580}, {80, 0, 600}, 0},
        {"no client area", {1000, 50}, {80, 0, 0}, 0},
    };
    for (const Row& row : rows) {
        const int room = Tevra::RoomForBarsAbove(row.size, row.parts);
        EXPECT_EQ(room, row.room) << row.name;
        if (room > 0) {
            Tevra::FrameParts parts = row.parts;
            parts.Above = room;
            EXPECT_GE(Tevra::EditorShareOf(row.size, parts), Tevra::EditorShare - 1e-9) << row.name;
        }
    }
}

// What the frame measures with its bars: the keypad and the log below the
// editor, the memory window beside it; with the keypad hidden, only the log
// below it. The least bars are what the bars give way to when the screen
// is short: the keypad scrolled, the log at its first three rows.
struct ShownBars {
    const char* name;
    Tevra::FrameParts parts;
    int leastAbove;
    Tevra::FrameMinimum minimum;
};

const ShownBars Shown[] = {
    {"all bars", {75, 300, 300}, 150, {520, 420}},
    {"keypad hidden", {75, 100, 300}, 100, {500, 300}},
    {"no bars", {75, 0, 0}, 0, {300, 200}},
};

TEST(FramePlacement, TheFirstStartLiesInsideEveryScreenAtEveryScale)
{
    const std::pair<int, int> screens[] = {{1280, 720}, {1366, 768}, {1600, 1000}, {3840, 2160}};
    for (const auto& [width, height] : screens) {
        for (const double factor : {1.0, 1.5, 2.0}) {
            for (const ShownBars& bars : Shown) {
                SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + " at " + std::to_string(factor) +
                             ", " + bars.name);
                const ScreenRect work = WorkArea(width, height, factor);
                const ScreenRect rect = Tevra::FirstStartRect(work, bars.minimum, 1.0, bars.parts);
                EXPECT_TRUE(Inside(rect, work));
                EXPECT_GE(rect.Width(), std::min(930, work.Width()));
                EXPECT_GE(rect.Height(), std::min(550, work.Height()));
                // The bars give way as far as they can: where that is far
                // enough, the editor has its share.
                const Tevra::FrameMinimum size{rect.Width(), rect.Height()};
                const int room = Tevra::RoomForBarsAbove(size, bars.parts);
                Tevra::FrameParts given = bars.parts;
                given.Above = std::min(bars.parts.Above, std::max(room, bars.leastAbove));
                if (room >= bars.leastAbove) {
                    EXPECT_GE(Tevra::EditorShareOf(size, given), Tevra::EditorShare - 1e-9);
                }
                // A screen as large as the default at 96 dpi needs no
                // giving way.
                if (work.Width() >= 1600 && work.Height() >= 1000) {
                    EXPECT_GE(Tevra::EditorShareOf(size, bars.parts), Tevra::EditorShare);
                }
            }
        }
    }
}

TEST(FramePlacement, TheFirstStartScalesWithTheLogicalDpi)
{
    const ScreenRect uhd{0, 0, 3840, 2120};
    const Tevra::FrameParts none{};
    EXPECT_EQ(Tevra::FirstStartRect(uhd, {}, 1.0, none), (ScreenRect{1455, 785, 2385, 1335}));
    EXPECT_EQ(Tevra::FirstStartRect(uhd, {}, 2.0, none), (ScreenRect{990, 510, 2850, 1610}));
    // Bars below and beside grow it from the scaled size, not from 930x550.
    const ScreenRect grown = Tevra::FirstStartRect(uhd, {}, 2.0, {150, 600, 600});
    EXPECT_GT(grown.Width(), 1860);
    EXPECT_GT(grown.Height(), 1100);
    EXPECT_GE(Tevra::EditorShareOf({grown.Width(), grown.Height()}, {150, 600, 600}), Tevra::EditorShare);
}

}  // namespace
