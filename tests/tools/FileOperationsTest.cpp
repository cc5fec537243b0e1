#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "support/TmpfsMount.h"
#include "tools/FileOperations.h"

namespace orbet {
namespace {

TEST(FileOperations, CopyProtectionIsExactCase) {
    EXPECT_TRUE(isCopyProtected(QStringLiteral("/a/setup.INI")));
    EXPECT_TRUE(isCopyProtected(QStringLiteral("/a/run.bat")));
    EXPECT_TRUE(isCopyProtected(QStringLiteral("/a/mini"))); // no dot, still ends in "ini"
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
    EXPECT_EQ(d.entryList(QDir::Files | QDir::Hidden).size(), 2); // no stray temporary files
}

TEST(FileOperations, AReadOnlyFileIsWriteProtectedEvenForTheSuperuser) {
    QTemporaryDir tmp;
    const QString file = QDir(tmp.path()).filePath("locked");
    test::writeAll(file, "x");
    EXPECT_FALSE(isWriteProtected(file));
    QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther); // 0444
    EXPECT_TRUE(isWriteProtected(file));
    EXPECT_FALSE(isWriteProtected(QDir(tmp.path()).filePath("missing")));
}

TEST(FileOperations, TypedDestinationsBecomeOneAbsoluteFolder) {
    const QString home = QDir::homePath();
    EXPECT_EQ(resolveDestination(QStringLiteral("~/backup"), QStringLiteral("/w")), home + "/backup");
    EXPECT_EQ(resolveDestination(QStringLiteral("~"), QStringLiteral("/w")), home);
    EXPECT_EQ(resolveDestination(QStringLiteral("backup/x"), QStringLiteral("/w")),
              QStringLiteral("/w/backup/x"));
    EXPECT_EQ(resolveDestination(QStringLiteral("  /d/e/ "), QStringLiteral("/w")), QStringLiteral("/d/e"));
    EXPECT_EQ(resolveDestination(QStringLiteral("../s"), QStringLiteral("/w/v")), QStringLiteral("/w/s"));
    EXPECT_TRUE(resolveDestination(QStringLiteral("   "), QStringLiteral("/w")).isEmpty());
}

TEST(FileOperations, InsideTheSourceIsSeenThroughLinks) {
    QTemporaryDir tmp;
    QDir d(tmp.path());
    d.mkpath("S/inner");
    QFile::link(d.filePath("S"), d.filePath("L"));
    EXPECT_TRUE(isSameOrInside(d.filePath("S"), d.filePath("S")));
    EXPECT_TRUE(isSameOrInside(d.filePath("S/inner/not/yet"), d.filePath("S")));
    EXPECT_TRUE(isSameOrInside(d.filePath("L/new"), d.filePath("S")));
    EXPECT_FALSE(isSameOrInside(d.filePath("Sister"), d.filePath("S")));
    EXPECT_EQ(treeCopyTarget(d.filePath("S"), QStringLiteral("/")), QStringLiteral("/S"));
}

TEST(FileOperations, TreeCopyReportsEachFileAndKeepsWhatItCannotReplace) {
    QTemporaryDir tmp;
    QDir d(tmp.path());
    d.mkpath("S/inner");
    test::writeAll(d.filePath("S/a.txt"), "fresh");
    test::writeAll(d.filePath("S/inner/b.txt"), "b");
    test::writeAll(d.filePath("S/clash"), "a file where the target has a folder");
    d.mkpath("D/clash");
    test::writeAll(d.filePath("D/a.txt"), "kept");
    EXPECT_EQ(missingFolders(d.filePath("D/x/y")), (QStringList{d.filePath("D/x"), d.filePath("D/x/y")}));

    TreeCopyReport r = copyFolderTree(d.filePath("S"), d.filePath("D"), false);
    EXPECT_EQ(r.copied, QStringList{d.filePath("D/inner/b.txt")});
    r.kept.sort();
    EXPECT_EQ(r.kept, (QStringList{d.filePath("D/a.txt"), d.filePath("D/clash")}));
    EXPECT_TRUE(r.failed.isEmpty());
    EXPECT_EQ(test::readAll(d.filePath("D/a.txt")), QByteArray("kept"));
    r = copyFolderTree(d.filePath("S"), d.filePath("D"), true);
    EXPECT_TRUE(r.copied.contains(d.filePath("D/a.txt")));
    EXPECT_EQ(r.failed, QStringList{d.filePath("D/clash")}); // one failure does not stop the rest
    EXPECT_EQ(test::readAll(d.filePath("D/a.txt")), QByteArray("fresh"));
}

TEST(FileOperations, AFullDiskLeavesTheOldDestinationFileWhole) {
    QTemporaryDir tmp;
    test::SmallFileSystem disk(64);
    if (!disk.valid()) GTEST_SKIP() << disk.reason().toStdString();
    QDir d(tmp.path());
    d.mkpath("S");
    test::writeAll(d.filePath("S/big.bin"), QByteArray(200 * 1024, 'n'));
    test::writeAll(d.filePath("S/small.txt"), "s");
    const QString old = QDir(disk.path()).filePath("big.bin");
    test::writeAll(old, "old contents");
    const TreeCopyReport r = copyFolderTree(d.filePath("S"), disk.path(), true);
    EXPECT_EQ(r.failed, QStringList{old});
    EXPECT_EQ(r.copied, QStringList{QDir(disk.path()).filePath("small.txt")});
    EXPECT_EQ(test::readAll(old), QByteArray("old contents"));
}

TEST(FileOperations, TreeDeleteNeverCrossesAMountOrFollowsALink) {
    QTemporaryDir tmp;
    QDir d(tmp.path());
    d.mkpath("F/sub");
    d.mkpath("outside");
    test::writeAll(d.filePath("F/sub/a.txt"), "a");
    test::writeAll(d.filePath("F/ro.txt"), "r");
    QFile::setPermissions(d.filePath("F/ro.txt"), QFile::ReadOwner);
    test::writeAll(d.filePath("outside/keep.txt"), "k");
    QFile::link(d.filePath("outside"), d.filePath("F/link"));

    // Without a mount below, everything goes, read-only files included; the
    // folder a link points to stays.
    TreeRemoveReport plain = removeFolderTree(d.filePath("F"));
    EXPECT_TRUE(plain.removed());
    EXPECT_FALSE(QFileInfo::exists(d.filePath("F")));
    EXPECT_EQ(test::readAll(d.filePath("outside/keep.txt")), QByteArray("k"));

    d.mkpath("G/sub");
    test::writeAll(d.filePath("G/sub/a.txt"), "a");
    test::TmpfsMount stick(d.filePath("G/sub/stick"));
    if (!stick.valid()) GTEST_SKIP() << stick.reason().toStdString();
    test::writeAll(d.filePath("G/sub/stick/photo.jpg"), "precious");
    EXPECT_EQ(removeRefusal(d.filePath("G/sub/stick")), RemoveRefusal::VolumeRoot);
    const TreeRemoveReport r = removeFolderTree(d.filePath("G"));
    EXPECT_FALSE(r.removed());
    EXPECT_EQ(r.mounts, QStringList{d.filePath("G/sub/stick")});
    EXPECT_TRUE(r.failed.isEmpty());
    EXPECT_EQ(test::readAll(d.filePath("G/sub/stick/photo.jpg")), QByteArray("precious"));
    EXPECT_FALSE(QFileInfo::exists(d.filePath("G/sub/a.txt")));
}

TEST(FileOperations, VolumeRootsAndTheHomeFolderAreRefused) {
    QTemporaryDir tmp;
    const QByteArray savedHome = qgetenv("HOME");
    const QString home = QDir(tmp.path()).filePath("home/user");
    QDir().mkpath(home);
    qputenv("HOME", QFile::encodeName(home));
    EXPECT_EQ(removeRefusal(home), RemoveRefusal::Home);
    EXPECT_EQ(removeRefusal(QDir(tmp.path()).filePath("home")),
              RemoveRefusal::Home); // it holds the home folder
    EXPECT_EQ(removeFolderTree(home).refusal, RemoveRefusal::Home);
    qputenv("HOME", savedHome);
    EXPECT_TRUE(QFileInfo(home).isDir());
    EXPECT_EQ(removeRefusal(QStringLiteral("/")), RemoveRefusal::VolumeRoot);
    EXPECT_EQ(removeFolderTree(QStringLiteral("/")).refusal, RemoveRefusal::VolumeRoot);
    EXPECT_EQ(removeRefusal(home + "/pics"), RemoveRefusal::None);
}

} // namespace
} // namespace orbet
