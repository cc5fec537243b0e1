#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "display/GifAnimation.h"
#include "support/TestSupport.h"

namespace orbet {
namespace {

QString own(const char* name) {
    return QStringLiteral(ORBET_OWN_PICTURES "/") + QLatin1String(name);
}

TEST(GifAnimation, ShortDelaysCountAsBrowsersCountThem) {
    EXPECT_EQ(frameDelay(0), 100);
    EXPECT_EQ(frameDelay(10), 100);
    EXPECT_EQ(frameDelay(19), 100);
    EXPECT_EQ(frameDelay(20), 20);
    EXPECT_EQ(frameDelay(300), 300);
}

// Red for 300 ms, then blue with a delay of 0, looping for ever.
TEST(GifAnimation, PlaysTheFramesAtTheirDelaysAndLoops) {
    auto animation = GifAnimation::open(own("anim.gif"));
    ASSERT_TRUE(animation);
    EXPECT_EQ(animation->firstDelay(), 300);
    QImage frame;
    int delay = 0;
    ASSERT_TRUE(animation->next(frame, delay));
    EXPECT_EQ(frame.pixel(5, 5) | 0xff000000u, 0xff0000ffu);
    EXPECT_EQ(delay, 100);
    ASSERT_TRUE(animation->next(frame, delay)); // round again
    EXPECT_EQ(frame.pixel(5, 5) | 0xff000000u, 0xffff0000u);
    EXPECT_EQ(delay, 300);
    ASSERT_TRUE(animation->next(frame, delay));
    EXPECT_EQ(frame.pixel(5, 5) | 0xff000000u, 0xff0000ffu);
}

TEST(GifAnimation, StillAndBrokenFilesGiveNoAnimation) {
    EXPECT_FALSE(GifAnimation::open(test::testData(QStringLiteral("pictures/gif/hopper.gif"))));
    EXPECT_FALSE(GifAnimation::open(own("quad.png")));
    EXPECT_FALSE(GifAnimation::open(own("absent.gif")));
    QTemporaryDir dir;
    const QByteArray bytes = test::readAll(own("anim.gif"));
    for (qsizetype cut : {qsizetype(10), bytes.size() / 2, bytes.size() - 4}) {
        const QString path = dir.filePath(QStringLiteral("cut%1.gif").arg(cut));
        ASSERT_TRUE(test::writeAll(path, bytes.left(cut)));
        // Whatever can be shown is, and the end comes in a few steps.
        if (auto animation = GifAnimation::open(path)) {
            QImage frame;
            int delay = 0;
            int frames = 0;
            while (frames < 10 && animation->next(frame, delay))
                ++frames;
            EXPECT_GE(delay, 20);
        }
    }
}

// The second frame lies outside the picture's screen; the frame handed out
// is the screen's size, and the delay of 50 ms stands.
TEST(GifAnimation, FramesOutsideTheScreenAreClipped) {
    auto animation = GifAnimation::open(own("outside.gif"));
    ASSERT_TRUE(animation);
    EXPECT_EQ(animation->firstDelay(), 50);
    QImage frame;
    int delay = 0;
    if (animation->next(frame, delay)) {
        EXPECT_EQ(frame.size(), QSize(32, 24));
        EXPECT_EQ(delay, 50);
    }
}

} // namespace
} // namespace orbet
