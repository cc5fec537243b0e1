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
    int width = 0, height = 0;  // the size to take when resizeFirst
    TwipsRect mes;              // the panel of the upper controls
    TwipsRect label3;
    TwipsRect list1;
    TwipsRect text1;
    TwipsRect label2, combo1, command2, command3;
};
SearchLayout layoutSearchTool(int width, int height);

}  // namespace orbet
