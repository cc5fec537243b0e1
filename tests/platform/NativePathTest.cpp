#include <random>

#include <QFile>

#include <gtest/gtest.h>

#include "platform/FileAttributes.h"
#include "platform/NativePath.h"
#include "platform/Shell.h"
#include "support/TestSupport.h"

namespace orbet {
namespace {

// "a_日本.jpg" as Windows writes it (code page 932).
const QByteArray kSjisName("a_\x93\xfa\x96\x7b.jpg");

TEST(NativePath, EveryByteStringSurvivesTheEscapedForm) {
    for (int b = 0; b < 256; ++b) {
        const QByteArray one(1, char(b));
        EXPECT_EQ(toNative(fromNative(one)), one) << b;
        EXPECT_EQ(hasEscapedBytes(fromNative(one)), b >= 0x80) << b;
    }
    std::mt19937 random(19);
    for (int round = 0; round < 4000; ++round) {
        QByteArray bytes(int(random() % 24), '\0');
        for (char& c : bytes)
            c = char(random() % 4 == 0 ? 0x80 + random() % 0x80 : random() % 256);
        ASSERT_EQ(toNative(fromNative(bytes)), bytes) << bytes.toHex().constData();
    }
    // Encoded surrogates, overlong forms and code points past U+10FFFF are
    // not UTF-8: each of their bytes is escaped, so no two byte strings share
    // an escaped form.
    for (const QByteArray& bad :
         {QByteArray("\xed\xb2\x80"), QByteArray("\xc0\xaf"), QByteArray("\xf4\x90\x80\x80")}) {
        EXPECT_EQ(fromNative(bad).size(), bad.size());
        EXPECT_EQ(toNative(fromNative(bad)), bad);
    }
}

TEST(NativePath, ValidUtf8IsItsOwnEscapedForm) {
    for (const QString& text :
         {QStringLiteral("/tmp/写真/a b.jpg"), QStringLiteral("emoji 😀.txt"), QString()}) {
        EXPECT_EQ(fromNative(text.toUtf8()), text);
        EXPECT_EQ(toNative(text), text.toUtf8());
        EXPECT_FALSE(hasEscapedBytes(text));
        EXPECT_EQ(displayName(text), text);
        EXPECT_EQ(nativeFileUrl(text), QUrl::fromLocalFile(text));
    }
}

TEST(NativePath, DisplayReadsShiftJisElseShowsTheBytes) {
    EXPECT_EQ(displayName(fromNative(kSjisName)), QStringLiteral("a_日本.jpg"));
    // Half-width katakana are single bytes in code page 932.
    EXPECT_EQ(displayName(fromNative(QByteArray("\xb1\xb2.txt"))), QStringLiteral("ｱｲ.txt"));
    // "café" in Latin-1: é is a lead byte with nothing after it.
    EXPECT_EQ(displayName(fromNative(QByteArray("caf\xe9.txt"))), QStringLiteral("caf\\xE9.txt"));
    EXPECT_EQ(displayName(fromNative(QByteArray("x\xff\xfe"))), QStringLiteral("x\\xFF\\xFE"));
    // Component by component: a UTF-8 folder stays, a Shift_JIS one is read.
    const QByteArray path = "/写真/\x93\xfa\x96\x7b/caf\xe9";
    EXPECT_EQ(displayName(fromNative(path)), QStringLiteral("/写真/日本/caf\\xE9"));
}

TEST(NativePath, FileUrlsCarryTheBytesBothWays) {
    const QString held = fromNative("/tmp/" + kSjisName);
    const QUrl url = nativeFileUrl(held);
    EXPECT_EQ(url.scheme(), "file");
    EXPECT_EQ(url.toEncoded(), QByteArray("file:///tmp/a_%93%FA%96%7B.jpg"));
    EXPECT_EQ(pathFromFileUrl(url), held); // a dropped file arrives as such a URL
    EXPECT_EQ(pathFromFileUrl(QUrl::fromLocalFile(QStringLiteral("/tmp/写真 #1.jpg"))),
              QStringLiteral("/tmp/写真 #1.jpg"));

    std::vector<QUrl> opened;
    setDesktopOpener([&](const QUrl& u) {
        opened.push_back(u);
        return true;
    });
    EXPECT_TRUE(openWithDesktop(held));
    EXPECT_TRUE(openFolderWithDesktop(fromNative(QByteArray("/tmp/\xff"))));
    setDesktopOpener({});
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], url);
    EXPECT_EQ(opened[1].toEncoded(), QByteArray("file:///tmp/%FF"));
}

TEST(NativePath, FileOperationsReachTheNamedBytes) {
    test::ByteNamedFolder dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray folder = dir.nativePath();
    const QByteArray sjis = folder + kSjisName;
    const QByteArray latin = folder + "caf\xe9.txt";
    ASSERT_TRUE(dir.writeNative(kSjisName, sjis));
    ASSERT_TRUE(dir.writeNative("caf\xe9.txt", latin));
    const QString escaped = fromNative(sjis);
    const PathFacts facts = pathFacts(escaped);
    EXPECT_TRUE(facts.exists && facts.isFile && !facts.isDir);
    EXPECT_EQ(facts.size, sjis.size());
    EXPECT_EQ(fileLength(escaped), sjis.size());
    EXPECT_TRUE(existsAsFileOrFolder(escaped));
    EXPECT_FALSE(existsAsFileOrFolder(QString::fromUtf8(sjis))); // the lossy text names nothing

    QFile file;
    ASSERT_TRUE(openNative(file, escaped));
    EXPECT_EQ(file.readAll(), sjis); // the file's own path is its content: the right file was read
    file.close();

    // Renaming never replaces, and leaves the other file alone.
    const QString renamed = fromNative(folder + "a_\x93\xfa\x96\x7b.jpeg");
    EXPECT_FALSE(renameNativeNoReplace(escaped, fromNative(latin)));
    EXPECT_TRUE(renameNativeNoReplace(escaped, renamed));
    EXPECT_FALSE(pathFacts(escaped).exists);
    EXPECT_TRUE(pathFacts(renamed).exists);
    EXPECT_TRUE(removeNativeFile(renamed));
    EXPECT_FALSE(pathFacts(renamed).exists);
    EXPECT_TRUE(pathFacts(fromNative(latin)).exists);

    const QString sub = fromNative(folder + "\x83\x74\x83\x48\x83\x8b\x83\x5f"); // フォルダ
    EXPECT_TRUE(makeNativeFolder(sub));
    EXPECT_TRUE(isFolder(sub));
    EXPECT_EQ(displayName(sub), dir.path() + QStringLiteral("/フォルダ"));
}

} // namespace
} // namespace orbet
