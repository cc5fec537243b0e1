#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "tools/FileOperations.h"

namespace orbet {
namespace {

TEST(FileOperations, CopyProtectionIsExactCase) {
    EXPECT_TRUE(isCopyProtected(QStringLiteral("/a/setup.INI")));
    EXPECT_TRUE(isCopyProtected(QStringLiteral("/a/run.bat")));
    EXPECT_TRUE(isCopyProtected(QStringLiteral("/a/mini")));  // no dot, still ends in "ini"
    EXPECT_FALSE(isCopyProtected(QStringLiteral("/a/setup.Ini")));
    EXPECT_FALSE(isCopyProtected(QStringLiteral("/a/x.txt")));
}

TEST(FileOperations, CopyReplacesAndAFailureKeepsTheTarget) {
    QTemporaryDir tmp;
    QDir d(tmp.path());
    test::writeAll(d.filePath("src"), "new contents");
    test::writeAll(d.filePath("dst"), "old");
    ASSERT_TRUE(copyFileReplacing(d.filePath("src"), d.filePath("dst")));
    EXPECT_EQ(test::readAll(d.filePath("dst")), QByteArray("new contents"));
    QString error;
    EXPECT_FALSE(copyFileReplacing(d.filePath("missing"), d.filePath("dst"), &error));
    EXPECT_EQ(test::readAll(d.filePath("dst")), QByteArray("new contents"));
    EXPECT_FALSE(copyFileReplacing(d.filePath("src"), d.filePath("no/such/folder/dst"), &error));
    EXPECT_EQ(d.entryList(QDir::Files | QDir::Hidden).size(), 2);  // no stray temporary files
}

TEST(FileOperations, TreesCopyAndDelete) {
    QTemporaryDir tmp;
    QDir d(tmp.path());
    d.mkpath("S/inner");
    test::writeAll(d.filePath("S/a.txt"), "fresh");
    test::writeAll(d.filePath("S/inner/b.txt"), "b");
    d.mkpath("D");
    test::writeAll(d.filePath("D/a.txt"), "kept");
    EXPECT_EQ(missingFolders(d.filePath("D/x/y")), (QStringList{d.filePath("D/x"), d.filePath("D/x/y")}));

    ASSERT_TRUE(copyFolderTree(d.filePath("S"), d.filePath("D"), false));
    EXPECT_EQ(test::readAll(d.filePath("D/a.txt")), QByteArray("kept"));
    EXPECT_EQ(test::readAll(d.filePath("D/inner/b.txt")), QByteArray("b"));
    ASSERT_TRUE(copyFolderTree(d.filePath("S"), d.filePath("D"), true));
    EXPECT_EQ(test::readAll(d.filePath("D/a.txt")), QByteArray("fresh"));
    QString error;
    EXPECT_FALSE(copyFolderTree(d.filePath("S"), d.filePath("S/inner/copy"), true, &error));  // never into itself

    ASSERT_TRUE(removeFolderTree(d.filePath("D")));
    EXPECT_FALSE(QFileInfo::exists(d.filePath("D")));
    EXPECT_FALSE(removeFolderTree(QStringLiteral("/"), &error));
}

}  // namespace
}  // namespace orbet
