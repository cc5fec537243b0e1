#pragma once

#include "platform/ProgramState.h"

namespace orbet {

// Designed placements of the upper area, in twips.
namespace designed {
constexpr int kToolbarHeight = 420;
constexpr int kCombo2Top = 30, kComboHeight = 300;
constexpr int kCombo1Top = 420;
constexpr int kDrive1Top = 420, kDrive1Height = 300;
constexpr int kTreeTop = 780;
constexpr int kFile1Top = 390;
constexpr int kBarHeight = 100;
constexpr int kStatusHeight = 300;
constexpr int kWindowWidth = 9600, kWindowHeight = 7200;
constexpr int kBarTop = 3000;
} // namespace designed

// The resize rule's result for a window of outer size width x height with
// the splitter bar at barTop. The tree takes exactly the room above the bar,
// so repeated resizes never move the bar.
struct MainLayout {
    int width = 0, height = 0; // the window's size after the minimums
    int toolbarRows = 1;
    TwipsRect combo1, combo2, drive1, dir1, tree, file1, bytes, info, bar, mcc, display;
};

// labelLine is the height one line of the size and information labels needs
// in their font; the file list ends higher when three lines need more than
// the designed 495 twips, so the labels' lines are never cut.
MainLayout computeMainLayout(int width, int height, int barTop, int file1Height, int statusHeight,
                             int labelLine = 165);

// The smallest window the resize rule lets stand: 5190 wide and as high as
// the file list plus 3200. The window itself refuses to be made smaller.
struct TwipsSize {
    int width = 0, height = 0;
    bool operator==(const TwipsSize&) const = default;
};
TwipsSize minimumWindowSize(int file1Height);

} // namespace orbet

namespace orbet {

// Where the splitter bar comes to rest when released at y (twips inside the
// bar) after a grab at grabOffset: at least 1500 from the top, and kept
// 180 above the horizontal scroll bar once it reaches within 120 of it.
int splitterReleaseTop(int y, int grabOffset, int barTop, int scrollBarTop);

} // namespace orbet
