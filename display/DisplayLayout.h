#pragma once

#include <cstdint>

#include "platform/ProgramState.h"

namespace orbet {

// A scroll bar's range for a picture in a frame. The toolkit's scroll bars
// are 32-bit, so pictures wider or taller than 32767 twips scroll over their
// whole extent.
struct ScrollRange {
    bool enabled = false;
    std::int32_t maximum = 0;
    std::int32_t largeStep = 0;
    std::int32_t smallStep = 0;
};

struct DisplayLayout {
    TwipsRect text;  // RT
    TwipsRect web;   // WB1, where RT is
    TwipsRect media; // MCC: only its left and top are set here
    TwipsRect frame; // BP
    TwipsRect hbar;  // YS
    TwipsRect vbar;  // TS
    ScrollRange horizontal;
    ScrollRange vertical;
};

// Places the display panes below the splitter bar for a window of outer size
// width x height with the bar at barTop; ysHeight and tsWidth are the scroll
// bars' thicknesses, toolbarRows 1 or 2, picture the loaded picture's size
// (0 x 0 when none).
DisplayLayout LayoutDisplay(int width, int height, int barTop, int ysHeight, int tsWidth, int toolbarRows,
                            int pictureWidth, int pictureHeight);

// Where a video plays, in the frame's own coordinates: the frame below the
// media panel (panelHeight high, placed at the frame's top), so the panel's
// buttons are never covered. Empty when the panel fills the frame.
TwipsRect VideoArea(const DisplayLayout& layout, int panelHeight);

} // namespace orbet
