#include "display/DisplayLayout.h"

#include <algorithm>

namespace orbet {

namespace {

ScrollRange rangeFor(int picture, int frame) {
    ScrollRange r;
    if (picture <= frame) return r;
    r.enabled = true;
    r.maximum = picture - frame;
    r.largeStep = picture;
    r.smallStep = picture / 50;
    return r;
}

} // namespace

DisplayLayout LayoutDisplay(int w, int h, int t, int ysHeight, int tsWidth, int rows, int pictureWidth,
                            int pictureHeight) {
    DisplayLayout l;
    const int paneHeight = h - t - 2 * ysHeight - 100 - 255 * rows - 120;
    l.text = {0, t + 120, w - 120, paneHeight};
    l.web = l.text;
    l.media = {0, l.text.top, 0, 0};
    l.frame = {0, t + 120, w - tsWidth - 130, paneHeight};
    l.hbar = {0, l.frame.top + l.frame.height, l.frame.width, ysHeight};
    l.vbar = {0, 0, tsWidth, l.frame.height};
    l.frame.width -= 30;
    l.vbar.top = l.frame.top;
    l.vbar.left = l.frame.width + 30;
    l.horizontal = rangeFor(pictureWidth, l.frame.width);
    l.vertical = rangeFor(pictureHeight, l.frame.height);
    return l;
}

TwipsRect VideoArea(const DisplayLayout& l, int panelHeight) {
    const int top = std::max(0, l.media.top + panelHeight - l.frame.top);
    return {0, top, std::max(0, l.frame.width), std::max(0, l.frame.height - top)};
}

} // namespace orbet
