#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "navigation/FileListing.h"

namespace orbet {
namespace {

void touch(const QDir& dir, const QString& name) { QFile(dir.filePath(name)).open(QIODevice::WriteOnly); }

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
    EXPECT_EQ(listFiles(tmp.path(), pictures, withHidden), (QStringList{".hidden.jpg", "a.jpeg", "b.JPG", "C.bmp"}));
    EXPECT_EQ(listFiles(tmp.path(), QStringLiteral("*.*"), {}).size(), 6);  // every file, with or without a dot
    EXPECT_EQ(listFiles(tmp.path(), QStringLiteral("?.bmp; no*"), {}), (QStringList{"C.bmp", "noext", "notes.txt"}));
    EXPECT_TRUE(listFiles(tmp.path() + "/missing", pictures, {}).isEmpty());
}

TEST(FileListing, SizeTexts) {
    EXPECT_EQ(FSize(1536), QStringLiteral("1.5KB"));
    EXPECT_EQ(FSize(1023), QStringLiteral("1023ﾊﾞｲﾄ"));
    EXPECT_EQ(FSize(1023999), QStringLiteral("1000KB"));
    EXPECT_EQ(FSize(1024000), QStringLiteral("1MB"));
    EXPECT_EQ(FSize(0), QStringLiteral("0ﾊﾞｲﾄ"));
}

}  // namespace
}  // namespace orbet
