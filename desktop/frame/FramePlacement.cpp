#include "desktop/frame/FramePlacement.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace Tevra {

namespace {

// Centres length in [low, high), then keeps it inside where it fits.
void CentreSpan(int low, int high, int length, int& start, int& end)
{
    start = low + (high - low - length) / 2;  // division truncates toward zero
    start = std::max(start, low);
    end = start + length;
    end = std::min(end, high);
}

std::int64_t OverlapArea(const ScreenRect& a, const ScreenRect& b)
{
    const std::int64_t width = std::int64_t{std::min(a.Right, b.Right)} - std::max(a.Left, b.Left);
    const std::int64_t height = std::int64_t{std::min(a.Bottom, b.Bottom)} - std::max(a.Top, b.Top);
    return width > 0 && height > 0 ? width * height : 0;
}

// Squared distance between the closest points of two rectangles (in double:
// the squares of far-off coordinates do not fit 64 bits when added).
double GapSquared(const ScreenRect& a, const ScreenRect& b)
{
    const auto dx = static_cast<double>(
        std::max<std::int64_t>({0, std::int64_t{b.Left} - a.Right, std::int64_t{a.Left} - b.Right}));
    const auto dy = static_cast<double>(
        std::max<std::int64_t>({0, std::int64_t{b.Top} - a.Bottom, std::int64_t{a.Top} - b.Bottom}));
    return dx * dx + dy * dy;
}

// No real screen has a side longer than this; it keeps the arithmetic below
// far from overflow.
constexpr int LargestSide = 1 << 20;

// A usable window size: positive, and not beyond any real screen.
bool HasUsableSize(const ScreenRect& rect)
{
    const std::int64_t width = std::int64_t{rect.Right} - rect.Left;
    const std::int64_t height = std::int64_t{rect.Bottom} - rect.Top;
    return width > 0 && height > 0 && width <= LargestSide && height <= LargestSide;
}

}  // namespace

ScreenRect DefaultFrameRect(const std::optional<ScreenRect>& primaryWorkArea, FrameMinimum minimum, double scale,
                            FrameMinimum wanted)
{
    if (!primaryWorkArea)
        return FallbackFrameRect;
    const ScreenRect& work = *primaryWorkArea;
    // A scale no screen reports (zero, negative, not a number) is none.
    if (!(scale >= 0.25 && scale <= 16))
        scale = 1;
    const int scaledWidth = static_cast<int>(std::lround(DefaultFrameWidth * scale));
    const int scaledHeight = static_cast<int>(std::lround(DefaultFrameHeight * scale));
    // Beyond any real screen a minimum is no size to centre.
    const int width = std::clamp(std::max({minimum.Width, wanted.Width, scaledWidth}), 1, LargestSide);
    const int height = std::clamp(std::max({minimum.Height, wanted.Height, scaledHeight}), 1, LargestSide);
    ScreenRect rect;
    CentreSpan(work.Left, work.Right, width, rect.Left, rect.Right);
    CentreSpan(work.Top, work.Bottom, height, rect.Top, rect.Bottom);
    return rect;
}

double EditorShareOf(FrameMinimum size, const FrameParts& parts)
{
    const double clientWidth = size.Width;
    const double clientHeight = size.Height - parts.ChromeHeight;
    if (clientWidth <= 0 || clientHeight <= 0)
        return 0;
    const double editor = std::max(0.0, clientWidth - parts.Beside) * std::max(0.0, clientHeight - parts.Above);
    return editor / (clientWidth * clientHeight);
}

FrameMinimum SizeForEditorShare(FrameMinimum size, const FrameParts& parts, double share)
{
    if (!(share > 0 && share < 1) || EditorShareOf(size, parts) >= share)
        return size;
    // The window grows in both directions alike, keeping its proportions,
    // until the editor has its share; so a bar beside the editor widens it
    // and a bar below makes it taller, neither alone.
    constexpr int Steps = 300;  // up to four times the size
    for (int step = 1; step <= Steps; ++step) {
        const double factor = 1.0 + step / 100.0;
        const FrameMinimum grown{static_cast<int>(std::ceil(size.Width * factor)),
                                 static_cast<int>(std::ceil(size.Height * factor))};
        if (EditorShareOf(grown, parts) >= share)
            return grown;
    }
    // Bars that leave the editor no share at any such size: the window
    // widens until the editor has three quarters of the width and grows
    // as tall as it then takes.
    const double wider = std::ceil(parts.Beside / 0.25);
    size.Width = static_cast<int>(std::min<double>(std::max<double>(size.Width, wider), LargestSide));
    const double widthPart = size.Width > 0 ? 1.0 - static_cast<double>(parts.Beside) / size.Width : 0;
    if (widthPart <= share)
        return size;
    const double heightPart = share / widthPart;
    // clientHeight - Above >= heightPart * clientHeight
    const double clientHeight = std::ceil(parts.Above / (1.0 - heightPart));
    const double height = std::min<double>(clientHeight + parts.ChromeHeight, LargestSide);
    size.Height = std::max(size.Height, static_cast<int>(height));
    return size;
}

int RoomForBarsAbove(FrameMinimum size, const FrameParts& parts, double share)
{
    const double clientWidth = size.Width;
    const double clientHeight = size.Height - parts.ChromeHeight;
    if (clientWidth <= 0 || clientHeight <= 0 || !(share > 0 && share < 1))
        return std::max(0, static_cast<int>(clientHeight));
    const double widthPart = std::max(0.0, 1.0 - parts.Beside / clientWidth);
    if (widthPart <= 0)
        return 0;
    // clientHeight - above >= share / widthPart * clientHeight
    const double editorHeight = std::min(1.0, share / widthPart) * clientHeight;
    return std::max(0, static_cast<int>(std::floor(clientHeight - editorHeight)));
}

ScreenRect FirstStartRect(const std::optional<ScreenRect>& primaryWorkArea, FrameMinimum minimum, double scale,
                          const FrameParts& parts, double share)
{
    if (!(scale >= 0.25 && scale <= 16))
        scale = 1;
    const FrameMinimum scaled{static_cast<int>(std::lround(DefaultFrameWidth * scale)),
                              static_cast<int>(std::lround(DefaultFrameHeight * scale))};
    return DefaultFrameRect(primaryWorkArea, minimum, scale, SizeForEditorShare(scaled, parts, share));
}

const ScreenRect& NearestWorkArea(const ScreenRect& rect, std::span<const ScreenRect> workAreas)
{
    const ScreenRect* best = &workAreas.front();
    std::int64_t bestOverlap = -1;
    for (const ScreenRect& area : workAreas) {
        const std::int64_t overlap = OverlapArea(rect, area);
        if (overlap > bestOverlap) {
            best = &area;
            bestOverlap = overlap;
        }
    }
    if (bestOverlap > 0)
        return *best;
    double bestGap = std::numeric_limits<double>::infinity();
    for (const ScreenRect& area : workAreas) {
        const double gap = GapSquared(rect, area);
        if (gap < bestGap) {
            best = &area;
            bestGap = gap;
        }
    }
    return *best;
}

ScreenRect PullOntoWorkArea(ScreenRect rect, const ScreenRect& work, int captionHeight)
{
    if (!HasUsableSize(rect))
        return rect;
    const int width = rect.Width();
    const int height = rect.Height();
    if (rect.Left >= work.Right) {
        rect.Right = work.Right;
        rect.Left = std::max(work.Right - width, work.Left);
    } else if (rect.Right <= work.Left) {
        rect.Left = work.Left;
        rect.Right = std::min(work.Left + width, work.Right);
    }
    if (rect.Top >= work.Bottom) {
        rect.Bottom = work.Bottom;
        rect.Top = std::max(work.Bottom - height, work.Top);
    } else if (std::int64_t{rect.Top} + captionHeight <= work.Top) {
        rect.Top = work.Top;
        rect.Bottom = std::min(work.Top + height, work.Bottom);
    }
    return rect;
}

ScreenRect ShiftInside(ScreenRect rect, const ScreenRect& work)
{
    if (!HasUsableSize(rect))
        return rect;
    const int width = rect.Width();
    const int height = rect.Height();
    rect.Left = std::max(std::min(rect.Left, work.Right - width), work.Left);
    rect.Top = std::max(std::min(rect.Top, work.Bottom - height), work.Top);
    rect.Right = rect.Left + width;
    rect.Bottom = rect.Top + height;
    return rect;
}

ScreenRect PlaceFrame(const std::optional<ScreenRect>& stored, std::span<const ScreenRect> workAreas,
                      std::size_t primaryIndex, FrameMinimum minimum)
{
    std::optional<ScreenRect> primary;
    if (!workAreas.empty())
        primary = workAreas[std::min(primaryIndex, workAreas.size() - 1)];
    const ScreenRect fallback = DefaultFrameRect(primary, minimum);
    // A stored rectangle without area, turned inside out or of absurd size is
    // no placement.
    ScreenRect rect = stored && HasUsableSize(*stored) ? *stored : fallback;
    // Grown within the coordinates, so that a rectangle at their far end
    // moves left or up instead of wrapping round.
    constexpr std::int64_t Largest = std::numeric_limits<int>::max();
    if (rect.Width() < minimum.Width) {
        rect.Right = static_cast<int>(std::min<std::int64_t>(std::int64_t{rect.Left} + minimum.Width, Largest));
        rect.Left = rect.Right - std::max(minimum.Width, 0);
    }
    if (rect.Height() < minimum.Height) {
        rect.Bottom = static_cast<int>(std::min<std::int64_t>(std::int64_t{rect.Top} + minimum.Height, Largest));
        rect.Top = rect.Bottom - std::max(minimum.Height, 0);
    }
    if (workAreas.empty())
        return rect;
    return PullOntoWorkArea(rect, NearestWorkArea(rect, workAreas));
}

}  // namespace Tevra
