#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/AtomicWrite.h"
#include "support/TestSupport.h"

namespace orbet {
namespace {

using test::readAll;
using test::writeAll;

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

TEST(AtomicWrite, ReplacesWholeAndKeepsPermissionsAndLinks) {
    QTemporaryDir dir;
    const QString target = dir.filePath("picsys.ini");
    ASSERT_TRUE(writeAll(target, "old"));
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);

    ASSERT_TRUE(writeFileAtomically(target, "new contents"));
    EXPECT_EQ(readAll(target), "new contents");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(entries(dir.path()), QStringList{"picsys.ini"});

    // A settings file reached through the user's own link is written where
    // the link points, when the caller asks for that.
    const QString link = dir.filePath("link.ini");
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_TRUE(writeFileAtomically(link, "through the link", nullptr, LinkAtTarget::FollowOwn));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readAll(target), "through the link");
    // A link someone else placed is replaced even then; so is any link by
    // default. The file it pointed to keeps its bytes and its mode.
    ASSERT_EQ(::lchown(QFile::encodeName(link).constData(), 65534, 65534), 0);
    ASSERT_TRUE(writeFileAtomically(link, "beside", nullptr, LinkAtTarget::FollowOwn));
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readAll(link), "beside");
    const QString own = dir.filePath("own.ini");
    ASSERT_TRUE(QFile::link(target, own));
    // The file that replaces a link is a new one, with a new file's mode,
    // not the mode of the file the link pointed to.
    const mode_t mask = ::umask(022);
    const bool replaced = writeFileAtomically(own, "replaced");
    ::umask(mask);
    ASSERT_TRUE(replaced);
    EXPECT_FALSE(QFileInfo(own).isSymLink());
    ASSERT_EQ(::lstat(QFile::encodeName(own).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u); // 0666 less the umask; the target is 0640
    EXPECT_EQ(readAll(target), "through the link");
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    const QString other = dir.filePath("other.ini");
    ASSERT_TRUE(QFile::link(target, other));
    {
        // Permissions given by the caller are the new file's, whatever the old one had.
        AtomicWriter w(other);
        w.setPermissions(0751);
        ASSERT_TRUE(w.open() && w.write("x") && w.commit());
    }
    ASSERT_EQ(::lstat(QFile::encodeName(other).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0751u);
    EXPECT_TRUE(S_ISREG(st.st_mode));

    // Large outputs pass through the buffer in pieces of every size.
    AtomicWriter w(dir.filePath("big.bin"));
    ASSERT_TRUE(w.open());
    QByteArray expected;
    for (int i = 0; i < 40; ++i) {
        const QByteArray piece(i * 97 * 1024 % (3 << 20) + 1, char('a' + i % 26));
        expected += piece;
        ASSERT_TRUE(w.write(piece));
    }
    ASSERT_TRUE(w.commit());
    EXPECT_EQ(readAll(dir.filePath("big.bin")), expected);
}

TEST(AtomicWrite, FailuresLeaveTheOldFileAndNoLeftovers) {
    QTemporaryDir dir;
    const QString target = dir.filePath("list.txt");
    ASSERT_TRUE(writeAll(target, "old"));

    { // Abandoned before commit.
        AtomicWriter w(target);
        ASSERT_TRUE(w.open());
        ASSERT_TRUE(w.write("half"));
    }
    EXPECT_EQ(readAll(target), "old");
    EXPECT_EQ(entries(dir.path()), QStringList{"list.txt"});

    QString error;
    EXPECT_FALSE(writeFileAtomically(dir.filePath("missing/x.txt"), "x", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(writeFileAtomically(dir.path(), "x"));
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
}

TEST(AtomicWrite, FullDiskKeepsTheOldFile) {
    test::SmallFileSystem fs(64);
    if (!fs.valid()) GTEST_SKIP() << fs.reason().toStdString();
    const QString target = fs.path() + "/picsys.ini";
    ASSERT_TRUE(writeAll(target, "LastPath=/home\n"));
    fs.fill();

    QString error;
    EXPECT_FALSE(writeFileAtomically(target, QByteArray(8192, 'n'), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readAll(target), "LastPath=/home\n");
    EXPECT_EQ(entries(fs.path()), (QStringList{".filler", "picsys.ini"}));

    // Even a write that fits the buffer but not the disk fails at commit.
    QFile::remove(fs.path() + "/.filler");
    fs.fill();
    AtomicWriter w(target);
    if (w.open()) {
        EXPECT_TRUE(w.write("small"));
        EXPECT_FALSE(w.commit());
    }
    EXPECT_EQ(readAll(target), "LastPath=/home\n");
}

} // namespace
} // namespace orbet
