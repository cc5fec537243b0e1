#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "navigation/FileListing.h"

namespace orbet {
namespace {

void touch(const QDir& dir, const QString& name) {
    QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
}

TEST(FileListing, PatternsAttributesAndOrder) {
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    for (const char* n : {"b.JPG", "a.jpeg", "C.bmp", "notes.txt", ".hidden.jpg", "noext", "x.jpg.bak"})
        touch(dir, QString::fromLatin1(n));
    dir.mkdir(QStringLiteral("sub.jpg"));

    const QString pictures = builtInFilterPattern(0);
    EXPECT_EQ(listFiles(tmp.path(), pictures, {}), (QStringList{"a.jpeg", "b.JPG", "C.bmp"}));
    AttributeFilter withHidden;
    withHidden.hidden = true;
    EXPECT_EQ(listFiles(tmp.path(), pictures, withHidden),
              (QStringList{".hidden.jpg", "a.jpeg", "b.JPG", "C.bmp"}));
    EXPECT_EQ(listFiles(tmp.path(), QStringLiteral("*.*"), {}).size(),
              6); // every file, with or without a dot
    EXPECT_EQ(listFiles(tmp.path(), QStringLiteral("?.bmp; no*"), {}),
              (QStringList{"C.bmp", "noext", "notes.txt"}));
    EXPECT_TRUE(listFiles(tmp.path() + "/missing", pictures, {}).isEmpty());
}

TEST(FileListing, SizeLabelSwitchesAt1024AndRoundsHalfUp) {
    EXPECT_EQ(BytesSizeText(1536), QStringLiteral("1.5KB"));
    EXPECT_EQ(BytesSizeText(1023), QStringLiteral("1023ﾊﾞｲﾄ"));
    EXPECT_EQ(BytesSizeText(1024), QStringLiteral("1KB"));
    EXPECT_EQ(BytesSizeText(1023999), QStringLiteral("1000KB"));
    EXPECT_EQ(BytesSizeText(1024000), QStringLiteral("1MB"));
    EXPECT_EQ(BytesSizeText(0), QStringLiteral("0ﾊﾞｲﾄ"));
    EXPECT_EQ(BytesSizeText(1029), QStringLiteral("1KB"));    // 1.0049 rounds down
    EXPECT_EQ(BytesSizeText(1034), QStringLiteral("1.01KB")); // 1.0098 rounds up
}

TEST(FileListing, InformationSizesSwitchAbove1000AndTruncate) {
    EXPECT_EQ(FSize(0), QStringLiteral(" 0byte"));
    EXPECT_EQ(FSize(1000), QStringLiteral(" 1000byte"));
    EXPECT_EQ(FSize(1001), QStringLiteral(" 0.97KB"));
    EXPECT_EQ(FSize(1536), QStringLiteral(" 1.5KB"));
    EXPECT_EQ(FSize(1000000001), QStringLiteral(" 0.93GB"));
    EXPECT_EQ(FSize(3 * 1024 * 1024), QStringLiteral(" 3MB"));
    EXPECT_EQ(FSize2(999), QStringLiteral(" 999KB"));
    EXPECT_EQ(FSize2(2560), QStringLiteral(" 2.5MB"));
    EXPECT_EQ(FSize2(2000000000), QStringLiteral(" 1.86TB"));
}

} // namespace
} // namespace orbet
