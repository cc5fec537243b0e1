#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "tools/FileOperations.h"

namespace orbet {
namespace {

constexpr uid_t kOtherUser = 65534; // nobody

QByteArray bytes(const QString& path) {
    return QFile::encodeName(path);
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    return ::lstat(bytes(path).constData(), &st) == 0 ? st.st_mode & 07777 : mode_t(-1);
}

// A folder every user may write (as /tmp or a shared drop folder), with a
// victim's private file outside it and links placed in it by another user.
class SharedFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        QDir(tmp_.path()).mkpath("shared");
        QDir(tmp_.path()).mkpath("victim/docs");
        ASSERT_EQ(::chmod(bytes(shared()).constData(), 0777), 0);
        ASSERT_TRUE(test::writeAll(victim("secret.txt"), "secret"));
        ASSERT_EQ(::chmod(bytes(victim("secret.txt")).constData(), 0600), 0);
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(test::writeAll(victim("docs/" + QString::number(i)), "doc"));
    }
    QString shared(const QString& name = {}) const { return QDir(tmp_.path() + "/shared").filePath(name); }
    QString victim(const QString& name) const { return QDir(tmp_.path() + "/victim").filePath(name); }
    QString path(const QString& name) const { return QDir(tmp_.path()).filePath(name); }
    // A link as another user leaves it: owned by them.
    void plant(const QString& target, const QString& link) {
        ASSERT_EQ(::symlink(bytes(target).constData(), bytes(link).constData()), 0);
        ASSERT_EQ(::lchown(bytes(link).constData(), kOtherUser, kOtherUser), 0);
    }
    void expectVictimUntouched() {
        EXPECT_EQ(test::readAll(victim("secret.txt")), QByteArray("secret"));
        EXPECT_EQ(modeOf(victim("secret.txt")), mode_t(0600));
        EXPECT_EQ(QDir(victim("docs")).entryList(QDir::Files).size(), 5);
    }

    QTemporaryDir tmp_;
};

TEST_F(SharedFolder, ACopyReplacesAPlantedLinkInsteadOfWritingThroughIt) {
    ASSERT_TRUE(test::writeAll(path("photo.jpg"), "JPEG bytes"));
    ASSERT_EQ(::chmod(bytes(path("photo.jpg")).constData(), 0644), 0);
    plant(victim("secret.txt"), shared("photo.jpg"));

    QString error;
    ASSERT_TRUE(copyFileReplacing(path("photo.jpg"), shared("photo.jpg"), &error)) << error.toStdString();
    EXPECT_FALSE(QFileInfo(shared("photo.jpg")).isSymLink());
    EXPECT_EQ(test::readAll(shared("photo.jpg")), QByteArray("JPEG bytes"));
    EXPECT_EQ(modeOf(shared("photo.jpg")), mode_t(0644));
    expectVictimUntouched();
    EXPECT_EQ(QDir(shared()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no leftovers
}

TEST_F(SharedFolder, AFolderCopyWithOverwriteReplacesPlantedLinksAtEveryLevel) {
    QDir(path("S")).mkpath("sub");
    ASSERT_TRUE(test::writeAll(path("S/photo.jpg"), "top"));
    ASSERT_TRUE(test::writeAll(path("S/sub/a.txt"), "below"));
    QDir(shared()).mkpath("sub");
    plant(victim("secret.txt"), shared("photo.jpg"));
    plant(victim("secret.txt"), shared("sub/a.txt"));

    const TreeCopyReport r = copyFolderTree(path("S"), shared(), true);
    EXPECT_TRUE(r.failed.isEmpty());
    EXPECT_EQ(r.copied.size(), 2);
    EXPECT_EQ(test::readAll(shared("photo.jpg")), QByteArray("top"));
    EXPECT_EQ(test::readAll(shared("sub/a.txt")), QByteArray("below"));
    expectVictimUntouched();

    // A planted link where the copy needs a folder is not entered either.
    QDir(path("T")).mkpath("docs");
    ASSERT_TRUE(test::writeAll(path("T/docs/0"), "overwritten"));
    plant(victim("docs"), shared("docs"));
    const TreeCopyReport t = copyFolderTree(path("T"), shared(), true);
    EXPECT_EQ(t.failed, QStringList{shared("docs")});
    expectVictimUntouched();
    EXPECT_EQ(test::readAll(victim("docs/0")), QByteArray("doc"));

    // Nor a destination folder that is another user's link.
    plant(victim("docs"), shared("drop"));
    const TreeCopyReport d = copyFolderTree(path("T"), shared("drop"), true);
    EXPECT_EQ(d.failed, QStringList{shared("drop")});
    EXPECT_EQ(test::readAll(victim("docs/0")), QByteArray("doc"));
}

TEST_F(SharedFolder, ACopyKeepsTheSourcePermissionsUnderANewName) {
    ASSERT_TRUE(test::writeAll(path("tool.sh"), "#!/bin/sh\n"));
    ASSERT_EQ(::chmod(bytes(path("tool.sh")).constData(), 0750), 0);
    ASSERT_TRUE(copyFileReplacing(path("tool.sh"), shared("renamed.sh")));
    EXPECT_EQ(modeOf(shared("renamed.sh")), mode_t(0750));

    // Over an existing file the copy takes the source's permissions, not the
    // old file's.
    ASSERT_TRUE(test::writeAll(shared("old.sh"), "old"));
    ASSERT_EQ(::chmod(bytes(shared("old.sh")).constData(), 0604), 0);
    ASSERT_TRUE(copyFileReplacing(path("tool.sh"), shared("old.sh")));
    EXPECT_EQ(modeOf(shared("old.sh")), mode_t(0750));
    EXPECT_EQ(test::readAll(shared("old.sh")), QByteArray("#!/bin/sh\n"));
}

// The racer swaps a subfolder between the delete's check and its descent.
TEST_F(SharedFolder, ATreeDeleteRacedWithALinkDeletesNothingElsewhere) {
    QDir(shared()).mkpath("tree/sub");
    ASSERT_TRUE(test::writeAll(shared("tree/sub/a.txt"), "a"));
    ASSERT_TRUE(test::writeAll(shared("tree/top.txt"), "t"));
    QStringList seen;
    const TreeRemoveReport r = removeFolderTree(shared("tree"), [&](const QString& folder) {
        seen << folder;
        if (folder != shared("tree/sub")) return;
        ASSERT_EQ(::rename(bytes(folder).constData(), bytes(shared("moved")).constData()), 0);
        plant(victim("docs"), folder);
    });
    EXPECT_EQ(seen, QStringList{shared("tree/sub")});
    EXPECT_FALSE(r.removed());
    EXPECT_EQ(r.failed, QStringList{shared("tree/sub")});
    EXPECT_FALSE(QFileInfo::exists(shared("tree/top.txt")));
    expectVictimUntouched();
}

TEST_F(SharedFolder, ATreeDeleteRacedWithAnotherFolderLeavesThatFolderWhole) {
    QDir(shared()).mkpath("tree/sub/deeper");
    ASSERT_TRUE(test::writeAll(shared("tree/sub/deeper/a.txt"), "a"));
    const TreeRemoveReport r = removeFolderTree(shared("tree"), [&](const QString& folder) {
        if (folder != shared("tree/sub")) return;
        // Someone else's folder moved in under the checked name.
        ASSERT_EQ(::rename(bytes(folder).constData(), bytes(shared("moved")).constData()), 0);
        ASSERT_EQ(::rename(bytes(victim("docs")).constData(), bytes(folder).constData()), 0);
    });
    EXPECT_EQ(r.failed, QStringList{shared("tree/sub")});
    EXPECT_EQ(QDir(shared("tree/sub")).entryList(QDir::Files).size(), 5);

    // Without a racer every level goes, the hook seeing each folder once.
    QDir(shared()).mkpath("plain/a/b");
    ASSERT_TRUE(test::writeAll(shared("plain/a/b/c.txt"), "c"));
    QStringList seen;
    EXPECT_TRUE(removeFolderTree(shared("plain"), [&](const QString& f) { seen << f; }).removed());
    EXPECT_EQ(seen, (QStringList{shared("plain/a"), shared("plain/a/b")}));
    EXPECT_FALSE(QFileInfo::exists(shared("plain")));
}

// Each folder is held open only while it is worked on: a deep tree must not
// run the program out of descriptors.
TEST_F(SharedFolder, TreeCopiesAndDeletesGiveBackEveryFolderTheyOpen) {
    const auto openDescriptors = [] {
        return QDir(QStringLiteral("/proc/self/fd"))
            .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
            .size();
    };
    QDir(path("S")).mkpath("a/b/c");
    QDir(path("S")).mkpath("d");
    ASSERT_TRUE(test::writeAll(path("S/a/b/c/x.txt"), "x"));
    ASSERT_TRUE(test::writeAll(path("S/d/y.txt"), "y"));
    const auto before = openDescriptors();
    EXPECT_EQ(copyFolderTree(path("S"), shared("T"), true).copied.size(), 2);
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_TRUE(removeFolderTree(shared("T")).removed());
    EXPECT_EQ(openDescriptors(), before);
}

} // namespace
} // namespace orbet
