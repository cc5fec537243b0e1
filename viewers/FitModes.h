#pragma once

#include <optional>

#include "platform/ProgramState.h"

namespace orbet {

// How the full-screen window (and the minimum window's caller) places a
// picture. Two exclusive check marks choose it; with neither the picture
// keeps its natural size and scrolls.
enum class FitMode { Stretch, KeepRatio, Natural };
FitMode fitModeFor(bool autoSize, bool keepRatio);

// The scroll bars of the full-screen window are this thick (twips).
inline constexpr int kViewerBarThickness = 255;

struct ScrollRange {
    bool enabled = false;
    int maximum = 0;
    bool operator==(const ScrollRange&) const = default;
};

// Stretch and keep ratio place the picture in a rectangle of the screen and
// hide the scroll bars; natural size leaves the picture where it is.
struct FitPlacement {
    TwipsRect picture;
    bool barsVisible = false;
};
// Screen and picture sizes in twips. A picture without size gets an empty
// rectangle at the origin.
FitPlacement fitPicture(FitMode mode, int screenWidth, int screenHeight, int pictureWidth, int pictureHeight);

// Natural size, one direction: a picture no longer than the window less the
// bar needs no scrolling; a longer one scrolls over the difference.
ScrollRange naturalScroll(int pictureExtent, int windowExtent);

// The two scroll bars of the full-screen window along its bottom and right
// edges, and their large steps: the window's width and height, which a
// 16-bit step cannot hold above 32767 twips (the step then keeps its default).
struct ViewerBars {
    TwipsRect horizontal; // YS
    TwipsRect vertical;   // TS
    std::optional<int> horizontalLargeStep;
    std::optional<int> verticalLargeStep;
};
ViewerBars viewerBars(int windowWidth, int windowHeight);

} // namespace orbet
