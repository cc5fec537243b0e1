#pragma once

#include "platform/ProgramState.h"

namespace orbet {

// Placement of the folder search tool's controls, in twips, for a client
// area of `width` x `height`. A size under the minimum asks for the minimum
// instead (the resize that follows lays the window out).
struct SearchLayout {
    static constexpr int kMinWidth = 5700;
    static constexpr int kMinHeight = 4500;
    bool resizeFirst = false;
    int width = 0, height = 0; // the size to take when resizeFirst
    TwipsRect mes;             // the panel of the upper controls
    TwipsRect label3;
    TwipsRect list1;
    TwipsRect text1;
    TwipsRect label2, combo1, command2, command3;
};
// What the controls' texts need in the window's font, in twips: a line of
// the status label, the width of "出力先" and of the output choice's longest
// item. The layout never gives less than its own sizes.
struct SearchMeasures {
    int lineHeight = 0;
    int label2Width = 0;
    int combo1Width = 0;
};
SearchLayout layoutSearchTool(int width, int height, const SearchMeasures& needs = {});

} // namespace orbet
