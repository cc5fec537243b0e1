#include <gtest/gtest.h>

#include "navigation/MiniChanger.h"

namespace orbet::test {
namespace {

TEST(MiniChanger, ResizeLimitsThenLayout) {
    EXPECT_TRUE(layoutMiniChanger(3000, 399, 300).resizeFirst);
    EXPECT_EQ(layoutMiniChanger(3000, 399, 300).height, 400);
    EXPECT_EQ(layoutMiniChanger(150, 399, 300).width, 150); // the height comes first
    EXPECT_EQ(layoutMiniChanger(150, 2000, 300).width, 200);
    const MiniChangerLayout l = layoutMiniChanger(4000, 5000, 300);
    EXPECT_FALSE(l.resizeFirst);
    EXPECT_EQ(l.combo, (TwipsRect{0, 0, 3900, 300}));
    EXPECT_EQ(l.list, (TwipsRect{0, 350, 3900, 4400}));
}

TEST(MiniChanger, DotDotIsTheParentExceptAtARoot) {
    EXPECT_EQ(miniChangerTarget(QStringLiteral(".."), QStringLiteral("/usr/share")), QStringLiteral("/usr/"));
    EXPECT_EQ(miniChangerTarget(QStringLiteral(".."), QStringLiteral("/usr")), QStringLiteral("/"));
    EXPECT_FALSE(miniChangerTarget(QStringLiteral(".."), QStringLiteral("/")));
    EXPECT_EQ(miniChangerTarget(QStringLiteral("/tmp/x"), QStringLiteral("/")), QStringLiteral("/tmp/x"));
}

} // namespace
} // namespace orbet::test
