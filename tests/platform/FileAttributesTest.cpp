#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/FileAttributes.h"
#include "support/TestSupport.h"

namespace orbet {
namespace {

TEST(FileAttributes, HiddenFollowsTheOwnNameOnly) {
    EXPECT_TRUE(isHiddenName(".bashrc"));
    EXPECT_FALSE(isHiddenName("name.txt"));
    EXPECT_FALSE(isHiddenName("."));
    EXPECT_FALSE(isHiddenName(".."));

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid() && QDir(dir.path()).mkpath(".cache"));
    ASSERT_TRUE(test::writeAll(dir.filePath(".cache/inner.txt"), "x"));
    ASSERT_TRUE(QFile::link(dir.filePath(".cache/inner.txt"), dir.filePath("visible-link")));
    EXPECT_FALSE(attributesOf(dir.filePath(".cache/inner.txt")).hidden);
    EXPECT_FALSE(attributesOf(dir.filePath("visible-link")).hidden);
    const Attributes cache = attributesOf(dir.filePath(".cache/"));
    EXPECT_TRUE(cache.hidden && cache.directory);
    EXPECT_FALSE(cache.system || cache.archive || cache.readOnly);
    EXPECT_EQ(attributesOf(dir.filePath("missing")), Attributes{});
}

TEST(FileAttributes, ReadOnlyMeansTheUserCannotWrite) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid() && test::writeAll(dir.filePath("a.txt"), "x"));
    EXPECT_FALSE(attributesOf(dir.filePath("a.txt")).readOnly);
    ASSERT_TRUE(QFile::setPermissions(dir.filePath("a.txt"), QFile::ReadOwner | QFile::ReadGroup));
    // The superuser may write whatever the permission bits say.
    EXPECT_EQ(attributesOf(dir.filePath("a.txt")).readOnly, ::geteuid() != 0);
}

TEST(FileAttributes, ExistenceFoldersAndLengths) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid() && QDir(dir.path()).mkpath("sub"));
    ASSERT_TRUE(test::writeAll(dir.filePath("five.txt"), "12345"));
    EXPECT_TRUE(existsAsFileOrFolder(dir.filePath("five.txt")) && existsAsFileOrFolder(dir.filePath("sub")));
    EXPECT_FALSE(existsAsFileOrFolder(dir.filePath("missing")) || existsAsFileOrFolder(""));
    EXPECT_TRUE(isFolder(dir.filePath("sub")));
    EXPECT_FALSE(isFolder(dir.filePath("five.txt")) || isFolder(dir.filePath("missing")));
    EXPECT_EQ(fileLength(dir.filePath("five.txt")), 5);
    EXPECT_EQ(fileLength(dir.filePath("sub")), 0);
    EXPECT_EQ(fileLength(dir.filePath("missing")), -1);
    EXPECT_EQ(fileLength(""), -1);
    EXPECT_GT(fileLength(test::testData("pictures/bmp/hopper.bmp")), 0);
}

} // namespace
} // namespace orbet
