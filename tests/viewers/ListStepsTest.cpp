#include <vector>

#include <gtest/gtest.h>

#include "viewers/ListSteps.h"

namespace orbet::test {
namespace {

TEST(ListSteps, NextAndPreviousWrapAroundTheList) {
    // Five files: the fifth steps to the first, the first back to the fifth.
    EXPECT_EQ(nextIndex(5, 4), 0);
    EXPECT_EQ(previousIndex(5, 0), 4);
    EXPECT_EQ(nextIndex(5, 1), 2);
    EXPECT_EQ(previousIndex(5, 3), 2);
    // No selection: both go to the first file.
    EXPECT_EQ(nextIndex(5, -1), 0);
    EXPECT_EQ(previousIndex(5, -1), 0);
    // A selection left beyond a list that shrank lands inside it.
    EXPECT_EQ(nextIndex(3, 7), 0);
    EXPECT_EQ(previousIndex(3, 7), 2);
}

TEST(ListSteps, AnEmptyListDoesNothing) {
    EXPECT_FALSE(nextIndex(0, -1));
    EXPECT_FALSE(previousIndex(0, -1));
    EXPECT_FALSE(randomIndex(0, 0.5));
}

TEST(ListSteps, RandomWithOneFileAlwaysPicksIt) {
    for (double u : {0.0, 0.3, 0.999999})
        EXPECT_EQ(randomIndex(1, u), 0);
    EXPECT_EQ(randomIndex(4, 0.74), 2);
    EXPECT_EQ(randomIndex(4, 1.0), 3); // a source that reaches 1 stays inside
    const UniformSource source = seededUniformSource(7);
    const UniformSource again = seededUniformSource(7);
    std::vector<int> hits(4);
    for (int i = 0; i < 1000; ++i) {
        const double u = source();
        ASSERT_GE(u, 0.0);
        ASSERT_LT(u, 1.0);
        ASSERT_EQ(u, again());
        ++hits[*randomIndex(4, u)];
    }
    // Uniform: every entry of the list comes up.
    for (int h : hits)
        EXPECT_GT(h, 150);
}

} // namespace
} // namespace orbet::test
