#include <gtest/gtest.h>

#include "plugins/FilterRules.h"
#include "plugins/UserFilterTable.h"

namespace orbet {
namespace {

TEST(FilterRules, PatternInThreeCases) {
    EXPECT_EQ(buildFilterPattern({"*.pic", "*.mag"}), QStringLiteral("*.PIC;*.pic;*.Pic;*.MAG;*.mag;*.Mag"));
    EXPECT_EQ(buildFilterPattern({"*.tar.GZ"}), QStringLiteral("*.TAR.GZ;*.tar.gz;*.Tar.Gz"));
    EXPECT_EQ(buildFilterPattern({}), QString());
}

TEST(FilterRules, MasksFromDroppedFiles) {
    EXPECT_EQ(maskForDroppedPath(QStringLiteral("/pics/cat.pic")), QStringLiteral("*.pic"));
    EXPECT_EQ(maskForDroppedPath(QStringLiteral("/a.b/file")), QStringLiteral("*.b/file"));
    EXPECT_EQ(maskForDroppedPath(QStringLiteral("/plain/file")), QStringLiteral("*/plain/file"));
    EXPECT_EQ(maskForDroppedPath(QString()), QStringLiteral("*.*"));
}

TEST(FilterRules, InputChecksAndLabels) {
    EXPECT_TRUE(isMaskInput(QStringLiteral("*.x")));
    EXPECT_FALSE(isMaskInput(QStringLiteral("x.*")));
    EXPECT_FALSE(isMaskInput(QStringLiteral("*")));
    EXPECT_FALSE(storableInFilterFile(QStringLiteral("a,b")));
    EXPECT_FALSE(storableInFilterFile(QStringLiteral("say \"x\"")));
    EXPECT_TRUE(storableInFilterFile(QStringLiteral("画像 *.pic;*.mag")));
    EXPECT_EQ(readingMethodLabel(QStringLiteral("3")), QStringLiteral("実行可能型"));
    EXPECT_EQ(readingMethodLabel(QStringLiteral("0")), QStringLiteral("ピクチャー形式"));
    EXPECT_EQ(readingMethodLabel(QStringLiteral("7")), QString());
    EXPECT_EQ(readingMethodLabel(QString()), QString());
}

TEST(FilterRules, FirstFreeRow) {
    UserFilterTable t;
    EXPECT_EQ(firstFreeRow(t), 0);
    t.row(0).name = FilterValue::ofText("a");
    t.row(2).name = FilterValue::ofText("c");
    EXPECT_EQ(firstFreeRow(t), 1);
    for (int r = 0; r < UserFilterTable::Rows; ++r)
        t.row(r).name = FilterValue::ofText("x");
    EXPECT_EQ(firstFreeRow(t), -1);
}

} // namespace
} // namespace orbet
