#include <gtest/gtest.h>

#include "platform/FileDialogFilter.h"

namespace orbet {
namespace {

TEST(FileDialogFilter, PairsBecomeQtFilters) {
    EXPECT_EQ(qtFilterText("desc|*.a;*.b|desc2|*.c"), "desc (*.a *.b);;desc2 (*.c)");
    EXPECT_EQ(qtNameFilters("テキスト|*.txt"), QStringList{"テキスト (*.txt)"});
}

TEST(FileDialogFilter, StarDotStarMeansEveryFile) {
    EXPECT_EQ(qtFilterText("すべてのファイル|*.*"), "すべてのファイル (*)");
    EXPECT_EQ(qtFilterText("Mixed|*.jpg;*.*"), "Mixed (*.jpg *)");
}

TEST(FileDialogFilter, BlanksAndEmptyPatternsAreDropped) {
    EXPECT_EQ(qtFilterText("A| *.a ; ;*.b "), "A (*.a *.b)");
    EXPECT_EQ(qtFilterText("A||B|*.b"), "B (*.b)");
}

TEST(FileDialogFilter, IncompleteFiltersGiveWhatIsWhole) {
    EXPECT_TRUE(qtNameFilters("").isEmpty());
    EXPECT_EQ(qtFilterText(""), "");
    EXPECT_TRUE(qtNameFilters("Only a description").isEmpty());
    EXPECT_EQ(qtFilterText("A|*.a|B"), "A (*.a)");
}

}  // namespace
}  // namespace orbet
