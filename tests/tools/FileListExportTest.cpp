#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "tools/FileListExport.h"

namespace orbet {
namespace {

TEST(FileListExport, OnePathALineWithCrLf) {
    EXPECT_EQ(fileListText(QStringLiteral("/"), {"a.mp3", "b c.wav"}), QByteArray("/a.mp3\r\n/b c.wav\r\n"));
    EXPECT_EQ(fileListText(QStringLiteral("/m"), {"曲.mp3"}), QStringLiteral("/m/曲.mp3\r\n").toUtf8());
    EXPECT_TRUE(fileListText(QStringLiteral("/m"), {}).isEmpty());
}

TEST(FileListExport, EveryFileIncludesHiddenOnesAndReplacesTheTarget) {
    QTemporaryDir tmp;
    QDir d(tmp.path());
    for (const char* n : {"b.txt", ".hidden", "A.jpg"})
        test::writeAll(d.filePath(QString::fromLatin1(n)), "x");
    d.mkdir(QStringLiteral("sub"));
    EXPECT_EQ(everyFileOf(tmp.path()), (QStringList{".hidden", "A.jpg", "b.txt"}));
    const QString target = d.filePath(QStringLiteral("list"));
    test::writeAll(target, "old contents that must go");
    ASSERT_TRUE(writeFileList(target, tmp.path(), {"A.jpg"}));
    EXPECT_EQ(test::readAll(target), (tmp.path() + QStringLiteral("/A.jpg\r\n")).toUtf8());
    QString error;
    EXPECT_FALSE(writeFileList(d.filePath(QStringLiteral("missing/list")), tmp.path(), {}, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(FileListExport, AFullDiskKeepsTheOldListWhole) {
    test::SmallFileSystem fs(64);
    if (!fs.valid()) GTEST_SKIP() << fs.reason().toStdString();
    const QString target = fs.path() + QStringLiteral("/list.m3u");
    ASSERT_TRUE(test::writeAll(target, "/old/song.mp3\r\n"));
    fs.fill();
    QStringList names;
    for (int i = 0; i < 2000; ++i)
        names.append(QStringLiteral("a long file name number %1.mp3").arg(i));
    QString error;
    EXPECT_FALSE(writeFileList(target, QStringLiteral("/music"), names, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(test::readAll(target), "/old/song.mp3\r\n");
}

} // namespace
} // namespace orbet
