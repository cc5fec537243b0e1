#include "app/core/MainLayout.h"

#include <algorithm>

#include "app/core/StartupRules.h"
#include "platform/Numbers.h"

namespace orbet {

using namespace designed;

TwipsSize minimumWindowSize(int file1Height) {
    return {kMinWindowWidth, file1Height + 3200};
}

MainLayout computeMainLayout(int w, int h, int barTop, int file1Height, int statusHeight, int labelLine) {
    MainLayout l;
    const TwipsSize minimum = minimumWindowSize(file1Height);
    w = std::max(w, minimum.width);
    h = std::max(h, minimum.height);
    l.width = w;
    l.height = h;
    l.toolbarRows = w >= 8300 ? 1 : 2;

    const int dirWidth = int(num::intDiv(w, 2));
    const int driveWidth = int(num::intDiv(dirWidth, 2));
    l.drive1 = {0, kDrive1Top, driveWidth, kDrive1Height};
    l.combo1 = {0, kCombo1Top, dirWidth, kComboHeight};
    const int dirHeight = std::max(0, barTop - kDrive1Top - kDrive1Height);
    l.dir1 = {0, kDrive1Top + kDrive1Height, dirWidth, dirHeight};
    // The tree starts 60 twips below the drive list; taking its height from
    // the bar rather than from the folder list keeps the bar where it is.
    const int treeHeight = std::max(0, barTop - kTreeTop);
    l.tree = {0, kTreeTop, dirWidth, treeHeight};
    l.bar = {0, kTreeTop + treeHeight, w, kBarHeight};
    const int line = std::max(165, labelLine);
    const int labelsRoom = std::max(0, 3 * line - 495);
    l.file1 = {dirWidth + 50, kFile1Top, dirWidth - 150, std::max(0, dirHeight - 165 - labelsRoom)};
    l.bytes = {l.file1.left + 100, l.file1.top + l.file1.height, l.file1.width, line};
    l.info = {l.bytes.left, l.bytes.top + line, l.file1.width, 2 * line};
    l.mcc = {0, l.bar.top + kBarHeight, w, 600};
    l.combo2 = {0, kCombo2Top, w - 100, kComboHeight};
    const int displayTop = l.bar.top + kBarHeight;
    l.display = {0, displayTop, w, std::max(0, h - displayTop - statusHeight)};
    return l;
}

} // namespace orbet

namespace orbet {

int splitterReleaseTop(int y, int grabOffset, int barTop, int scrollBarTop) {
    int t = y - grabOffset + barTop;
    if (t < 1500) t = 1500;
    if (t > scrollBarTop - 120) t = scrollBarTop - 180;
    return t;
}

} // namespace orbet
