#include <gtest/gtest.h>

#include "platform/FileDialogFilter.h"

namespace orbet {
namespace {

TEST(FileDialogFilter, PairsBecomeQtFilters) {
    EXPECT_EQ(qtFilterText("desc|*.a;*.b|desc2|*.c"), "desc (*.a *.b);;desc2 (*.c)");
    EXPECT_EQ(qtNameFilters("すべて|*.*|Mixed|*.jpg;*.*"), (QStringList{"すべて (*)", "Mixed (*.jpg *)"}));
    EXPECT_EQ(qtFilterText("A| *.a ; ;*.b "), "A (*.a *.b)");
}

TEST(FileDialogFilter, IncompleteEntriesAreDropped) {
    EXPECT_EQ(qtFilterText(""), "");
    EXPECT_EQ(qtFilterText("Only a description"), "");
    EXPECT_EQ(qtFilterText("A|*.a|B"), "A (*.a)");
    EXPECT_EQ(qtFilterText("A||B|*.b"), "B (*.b)");
}

} // namespace
} // namespace orbet
