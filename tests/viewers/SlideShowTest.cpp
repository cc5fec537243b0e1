#include <gtest/gtest.h>

#include "viewers/SlideShow.h"

namespace orbet::test {
namespace {

TEST(SlideShow, AnIntervalIsHeldToWhatTheOptionsDialogAccepts) {
    // A hand-edited settings file: nothing, a negative and a too short interval.
    EXPECT_EQ(slideInterval(0), 100);
    EXPECT_EQ(slideInterval(-500), 100);
    EXPECT_EQ(slideInterval(99), 100);
    EXPECT_EQ(slideInterval(100), 100);
    EXPECT_EQ(slideInterval(3000), 3000);
}

TEST(SlideShow, TicksKeepTheirOwnTimelineWhateverAStepTakes) {
    SlideSchedule s;
    s.start(1000, 500);
    EXPECT_EQ(s.dueMs(), 1500);
    // Steps of 30 and 480 ms are not added to the interval.
    EXPECT_EQ(s.afterStep(1530), 470);
    EXPECT_EQ(s.afterStep(2480), 20);
    // A step that ends late by up to one interval is made up at once.
    EXPECT_EQ(s.afterStep(3300), 0);
    EXPECT_EQ(s.dueMs(), 3000);
    EXPECT_EQ(s.afterStep(3500), 0);
    // The interval the show was started with is held as well.
    SlideSchedule quick;
    quick.start(0, 1);
    EXPECT_EQ(quick.dueMs(), 100);
}

TEST(SlideShow, AShowFallenBehindStartsAgainFromNow) {
    // A message box left open for 3 s at an interval of 0.5 s.
    SlideSchedule s;
    s.start(0, 500);
    EXPECT_EQ(s.afterStep(3500), 500);
    EXPECT_EQ(s.dueMs(), 4000);
    // Just more than one interval behind: again from now, no burst of steps.
    EXPECT_EQ(s.afterStep(5001), 500);
    EXPECT_EQ(s.dueMs(), 5501);
    // Exactly one interval behind is still caught up with.
    EXPECT_EQ(s.afterStep(6501), 0);
    EXPECT_EQ(s.dueMs(), 6001);
}

} // namespace
} // namespace orbet::test
