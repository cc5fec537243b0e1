#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/FileAttributes.h"
#include "support/TestSupport.h"

namespace orbet {
namespace {

class FileAttributesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath("sub") && QDir(dir.path()).mkpath(".cache"));
        ASSERT_TRUE(test::writeAll(path("plain.txt"), "12345"));
        ASSERT_TRUE(test::writeAll(path(".profile"), {}));
    }
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

TEST(HiddenNames, DotRule) {
    EXPECT_TRUE(isHiddenName(".bashrc"));
    EXPECT_TRUE(isHiddenName("..double"));
    EXPECT_FALSE(isHiddenName("name.txt"));
    EXPECT_FALSE(isHiddenName("."));
    EXPECT_FALSE(isHiddenName(".."));
    EXPECT_FALSE(isHiddenName(""));
}

TEST_F(FileAttributesTest, HiddenFollowsTheNameOnly) {
    EXPECT_TRUE(attributesOf(path(".profile")).hidden);
    EXPECT_FALSE(attributesOf(path("plain.txt")).hidden);
    // A visible file inside a hidden folder is not hidden itself.
    ASSERT_TRUE(test::writeAll(path(".cache/inner.txt"), "x"));
    EXPECT_FALSE(attributesOf(path(".cache/inner.txt")).hidden);
    // A link's own name decides, not its target's.
    ASSERT_TRUE(QFile::link(path("plain.txt"), path(".link")));
    ASSERT_TRUE(QFile::link(path(".profile"), path("visible-link")));
    EXPECT_TRUE(attributesOf(path(".link")).hidden);
    EXPECT_FALSE(attributesOf(path("visible-link")).hidden);
}

TEST_F(FileAttributesTest, FoldersAndTrailingSeparators) {
    const Attributes sub = attributesOf(path("sub"));
    EXPECT_TRUE(sub.directory);
    EXPECT_FALSE(sub.hidden);
    const Attributes cache = attributesOf(path(".cache/"));
    EXPECT_TRUE(cache.directory);
    EXPECT_TRUE(cache.hidden);
    EXPECT_FALSE(attributesOf("/").hidden);
}

TEST_F(FileAttributesTest, SystemAndArchiveNeverSet) {
    for (const QString& name : {QStringLiteral("plain.txt"), QStringLiteral(".profile"), QStringLiteral("sub")}) {
        const Attributes a = attributesOf(path(name));
        EXPECT_FALSE(a.system);
        EXPECT_FALSE(a.archive);
        EXPECT_FALSE(a.readOnly) << "own temporary files are writable";
    }
}

TEST_F(FileAttributesTest, MissingPathHasNoAttributes) {
    EXPECT_EQ(attributesOf(path("missing")), Attributes{});
    EXPECT_EQ(attributesOf(""), Attributes{});
}

TEST_F(FileAttributesTest, ReadOnlyMeansTheUserCannotWrite) {
    ASSERT_TRUE(QFile::setPermissions(path("plain.txt"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    // The superuser may write whatever the permission bits say.
    EXPECT_EQ(attributesOf(path("plain.txt")).readOnly, ::geteuid() != 0);
}

TEST_F(FileAttributesTest, ExistenceAndFolders) {
    EXPECT_TRUE(existsAsFileOrFolder(path("plain.txt")));
    EXPECT_TRUE(existsAsFileOrFolder(path("sub")));
    EXPECT_FALSE(existsAsFileOrFolder(path("missing")));
    EXPECT_FALSE(existsAsFileOrFolder(""));
    EXPECT_TRUE(isFolder(path("sub")));
    EXPECT_FALSE(isFolder(path("plain.txt")));
    EXPECT_FALSE(isFolder(path("missing")));
    EXPECT_FALSE(isFolder(""));
}

TEST_F(FileAttributesTest, Lengths) {
    EXPECT_EQ(fileLength(path("plain.txt")), 5);
    EXPECT_EQ(fileLength(path(".profile")), 0);
    EXPECT_EQ(fileLength(path("sub")), 0);
    EXPECT_EQ(fileLength(path("missing")), -1);
    EXPECT_EQ(fileLength(""), -1);
    EXPECT_EQ(fileLength(test::testData("pictures/bmp/hopper.bmp")),
              QFile(test::testData("pictures/bmp/hopper.bmp")).size());
    EXPECT_GT(fileLength(test::testData("pictures/bmp/hopper.bmp")), 0);
}

}  // namespace
}  // namespace orbet
