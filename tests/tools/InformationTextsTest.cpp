#include <QDir>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "tools/InformationTexts.h"

namespace orbet {
namespace {

TEST(InformationTexts, FileLinesSkipWhatCannotBeRead) {
    FileFacts f;
    f.path = QStringLiteral("/d/a.txt");
    f.type = QStringLiteral("plain text document");
    f.size = 1536;
    const QString text = fileInformationText(f);
    EXPECT_EQ(text, QStringLiteral("/d/a.txt\r\nファイル\r\nType:plain text document\r\nSize: 1.5KB"));

    // The three dates, each on its own line with its own label.
    f.created = QDateTime(QDate(2024, 1, 2), QTime(3, 4));
    f.modified = QDateTime(QDate(2024, 5, 6), QTime(7, 8));
    f.accessed = QDateTime(QDate(2024, 9, 10), QTime(11, 12));
    const QStringList lines = fileInformationText(f).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 7);
    const QLocale here = QLocale::system();
    EXPECT_EQ(lines[4], QStringLiteral("作成日時:　") + here.toString(f.created, QLocale::ShortFormat));
    EXPECT_EQ(lines[5], QStringLiteral("更新日時　:") + here.toString(f.modified, QLocale::ShortFormat));
    EXPECT_EQ(lines[6], QStringLiteral("アクセス日:") + here.toString(f.accessed, QLocale::ShortFormat));
    EXPECT_NE(lines[4], lines[5]);
}

TEST(InformationTexts, EveryDriveKindHasItsLabel) {
    DriveFacts drive;
    drive.letter = QStringLiteral("/media/stick");
    drive.fileSystem = QStringLiteral("vfat");
    const std::pair<int, QString> kinds[] = {
        {1, QStringLiteral("3.5インチフロッピードライブ")},
        {3, QStringLiteral("リモートメディアドライブ")},
        {4, QStringLiteral("CD-ROM")},
        {5, QString()},
        {0, QString()},
        {9, QString()},
    };
    for (const auto& [kind, label] : kinds) {
        drive.kind = kind;
        EXPECT_EQ(driveInformationText(drive).split(QStringLiteral("\r\n"))[1],
                  label + QStringLiteral("  vfat"))
            << kind;
    }
}

TEST(InformationTexts, FolderAndDriveTexts) {
    FolderFacts folder{QStringLiteral("pics"), QStringLiteral("/home/u/pics"), 1001,
                       QStringLiteral("folder")};
    EXPECT_EQ(folderInformationText(folder),
              QStringLiteral(
                  "　　　フォルダ名：pics\r\n　　　　　　パス：/home/u/pics\r\n　　　　　　Size： 0.97KB\r\n"
                  "　　　　　　Type：folder\r\n"));
    DriveFacts drive;
    drive.letter = QStringLiteral("/");
    drive.kind = 2;
    drive.fileSystem = QStringLiteral("ext4");
    drive.totalBytes = 2'500'000;
    drive.freeBytes = 12'000;
    drive.serial = -5;
    EXPECT_EQ(driveInformationText(drive),
              QStringLiteral(
                  "(/)\r\nハードディスクドライブ  ext4\r\n　　　全容量： 2.44MB\r\n　　空き容量： 12KB\r\n"
                  "シリアルＮＯ：-5\r\n　　　共有名："));
}

TEST(InformationTexts, FactsFromTheFileSystem) {
    QTemporaryDir tmp;
    QDir d(tmp.path());
    d.mkpath(QStringLiteral("sub/deeper"));
    test::writeAll(d.filePath(QStringLiteral("a.txt")), QByteArray(100, 'a'));
    test::writeAll(d.filePath(QStringLiteral("sub/deeper/b.bin")), QByteArray(50, 'b'));
    EXPECT_EQ(folderTreeSize(tmp.path()), 150);
    const FileFacts f = fileFacts(d.filePath(QStringLiteral("a.txt")));
    ASSERT_TRUE(f.size.has_value());
    EXPECT_EQ(*f.size, 100);
    EXPECT_TRUE(f.modified.isValid());
    EXPECT_FALSE(f.type.isEmpty());
    EXPECT_TRUE(folderFacts(QStringLiteral("/")).name.isEmpty()); // a volume root has no folder name
    EXPECT_EQ(driveFacts(tmp.path()).letter.isEmpty(), false);
}

} // namespace
} // namespace orbet
