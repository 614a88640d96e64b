// Where the main window opens: the default rectangle centred on the primary
// work area, and the pull-back of a stored rectangle onto the nearest screen.
// Plain arithmetic on screen rectangles, so that it can be checked without a
// display. Right and bottom are exclusive: width = Right - Left.
#pragma once

#include <optional>
#include <span>

namespace Tevra {

struct ScreenRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const ScreenRect&) const = default;
};

inline constexpr int DefaultFrameWidth = 930;
inline constexpr int DefaultFrameHeight = 550;
// The default when no screen can be queried.
inline constexpr ScreenRect FallbackFrameRect{0, 25, 930, 575};
// Height of a small caption bar: a window whose top is this far above the
// work area cannot be grabbed any more and is pulled down.
inline constexpr int SmallCaptionHeight = 17;

// The smallest size the window takes, whatever it is given.
struct FrameMinimum {
    int Width = 0;
    int Height = 0;
};

// 930 by 550 at 96 dpi, times scale (the screen's logical dpi over 96),
// grown to wanted and to the window's minimum where those are larger (so that
// a window whose bars need more room still opens centred), centred in the
// work area and cut to it.
ScreenRect DefaultFrameRect(const std::optional<ScreenRect>& primaryWorkArea, FrameMinimum minimum = {},
                            double scale = 1.0, FrameMinimum wanted = {});

// The editor's part of the window's client area (below the menu and tool
// bars, above the status bar) on a first start.
inline constexpr double EditorShare = 0.45;

// What a window's parts other than the editor take: Chrome the menu, tool
// and status bars above and below the client area, Above the bars docked
// above or below the editor, Beside those docked left or right of it.
struct FrameParts {
    int ChromeHeight = 0;
    int Above = 0;
    int Beside = 0;
};

// The editor's share of the client area of a window of size.
double EditorShareOf(FrameMinimum size, const FrameParts& parts);

// size grown so that the editor gets share of the client area while the bars
// keep their sizes: wider and taller alike, in steps of a hundredth; wider
// first when the bars beside the editor leave it too narrow a part for any
// such size.
FrameMinimum SizeForEditorShare(FrameMinimum size, const FrameParts& parts, double share = EditorShare);

// How tall the bars docked above or below the editor may be, together, in
// a window of size for the editor to keep share of its client area (never
// below zero).
int RoomForBarsAbove(FrameMinimum size, const FrameParts& parts, double share = EditorShare);

// The rectangle of a first start on primaryWorkArea: the default 930 by 550
// at 96 dpi times scale, grown as far as the editor's share needs with the
// window's parts, then centred and cut to the work area (as DefaultFrameRect
// does with minimum). The bars then make room where the cut took it.
ScreenRect FirstStartRect(const std::optional<ScreenRect>& primaryWorkArea, FrameMinimum minimum, double scale,
                          const FrameParts& parts, double share = EditorShare);

// The work area that rect overlaps most, or the nearest one when it overlaps
// none. workAreas must not be empty.
const ScreenRect& NearestWorkArea(const ScreenRect& rect, std::span<const ScreenRect> workAreas);

// Moves rect onto workArea when it lies beyond one of its edges, keeping its
// size where the work area allows.
ScreenRect PullOntoWorkArea(ScreenRect rect, const ScreenRect& workArea, int captionHeight = SmallCaptionHeight);

// rect moved (not resized) as little as it takes to lie inside workArea, as
// far as it fits; its left and top edges stay in sight when it does not.
ScreenRect ShiftInside(ScreenRect rect, const ScreenRect& workArea);

// The whole placement: the stored rectangle (or the default when none is
// stored or it has no area), grown to the window's minimum size as the window
// will grow it (keeping its left and top), then pulled onto the nearest work
// area, so that a stored sliver of a window comes back whole and in sight.
// primaryIndex selects the primary screen in workAreas; an empty list means
// no screen.
ScreenRect PlaceFrame(const std::optional<ScreenRect>& stored, std::span<const ScreenRect> workAreas,
                      std::size_t primaryIndex = 0, FrameMinimum minimum = {});

}  // namespace Tevra
