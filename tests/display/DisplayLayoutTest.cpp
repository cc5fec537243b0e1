#include <gtest/gtest.h>

#include "display/DisplayLayout.h"

namespace orbet {
namespace {

TEST(DisplayLayout, PanesSitBelowTheBar) {
    // Window 9600 x 7200, bar at 3000, scroll bars 255 thick, one toolbar row.
    const DisplayLayout l = LayoutDisplay(9600, 7200, 3000, 255, 255, 1, 0, 0);
    const int height = 7200 - 3000 - 510 - 100 - 255 - 120;
    EXPECT_EQ(l.text, (TwipsRect{0, 3120, 9480, height}));
    EXPECT_EQ(l.web, l.text);
    EXPECT_EQ(l.media.top, 3120);
    EXPECT_EQ(l.frame, (TwipsRect{0, 3120, 9600 - 255 - 130 - 30, height}));
    EXPECT_EQ(l.hbar, (TwipsRect{0, 3120 + height, 9600 - 255 - 130, 255}));
    EXPECT_EQ(l.vbar, (TwipsRect{9600 - 255 - 130, 3120, 255, height}));
    // Two toolbar rows make the panes 255 shorter.
    const DisplayLayout two = LayoutDisplay(9600, 7200, 3000, 255, 255, 2, 0, 0);
    EXPECT_EQ(two.text.height, height - 255);
    EXPECT_EQ(two.frame.height, height - 255);
    EXPECT_EQ(two.web.height, height - 255);
}

TEST(DisplayLayout, ScrollRangesFollowThePicture) {
    const DisplayLayout small = LayoutDisplay(9600, 7200, 3000, 255, 255, 1, 1000, 1000);
    EXPECT_FALSE(small.horizontal.enabled);
    EXPECT_EQ(small.horizontal.maximum, 0);
    EXPECT_FALSE(small.vertical.enabled);

    const int frameWidth = 9600 - 255 - 130 - 30;
    const DisplayLayout wide = LayoutDisplay(9600, 7200, 3000, 255, 255, 1, frameWidth + 2000, 100);
    EXPECT_TRUE(wide.horizontal.enabled);
    EXPECT_EQ(wide.horizontal.maximum, 2000);
    EXPECT_EQ(wide.horizontal.largeStep, frameWidth + 2000);
    EXPECT_EQ(wide.horizontal.smallStep, (frameWidth + 2000) / 50);
    EXPECT_FALSE(wide.vertical.enabled);

    // Past 16 bits the whole extent still scrolls.
    const DisplayLayout huge = LayoutDisplay(9600, 7200, 3000, 255, 255, 1, 90000, 60000);
    EXPECT_EQ(huge.horizontal.maximum, 90000 - frameWidth);
    EXPECT_EQ(huge.vertical.maximum, 60000 - huge.frame.height);
}

TEST(DisplayLayout, VideoPlaysBelowTheMediaPanel) {
    const DisplayLayout l = LayoutDisplay(9600, 7200, 3000, 255, 255, 1, 0, 0);
    const int height = 7200 - 3000 - 510 - 100 - 255 - 120;
    // The panel (1140 high) sits at the frame's top; the video takes the rest.
    EXPECT_EQ(VideoArea(l, 1140), (TwipsRect{0, 1140, 9600 - 255 - 130 - 30, height - 1140}));
    // A frame shorter than the panel leaves no room rather than a negative one.
    const DisplayLayout low = LayoutDisplay(9600, 4200, 3000, 255, 255, 2, 0, 0);
    ASSERT_LT(low.frame.height, 1140);
    EXPECT_EQ(VideoArea(low, 1140).height, 0);
}

} // namespace
} // namespace orbet
