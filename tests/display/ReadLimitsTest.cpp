#include <sys/stat.h>

#include <QString>

#include <gtest/gtest.h>

#include "display/ReadLimits.h"
#include "platform/NativePath.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

TEST(ReadLimits, OnlyTextWithALineOfThousandsOfCharactersIsLeftUnwrapped) {
    EXPECT_TRUE(wrapsWell(QString()));
    EXPECT_TRUE(wrapsWell(QStringLiteral("a short text\nof two lines")));
    EXPECT_TRUE(wrapsWell(QString(kLongestWrappedLine, u'x')));
    EXPECT_FALSE(wrapsWell(QString(kLongestWrappedLine + 1, u'x')));
    // Many lines, each short, are as long together as one long line: plain
    // text breaks at line feeds, rich text's plain form at paragraph ends.
    const QString line(3000, u'x');
    EXPECT_TRUE(wrapsWell(line + u'\n' + line + u'\n' + line));
    EXPECT_TRUE(wrapsWell(line + QChar::ParagraphSeparator + line));
    EXPECT_FALSE(wrapsWell(line + u'\n' + QString(kLongestWrappedLine + 1, u'y') + u'\n' + line));
}

TEST(ReadLimits, ATextIsReadByItsBytesUpToTheBound) {
    ByteNamedFolder dir;
    const QByteArray name("\x83\x65\x83\x58\x83\x67.txt"); // テスト.txt in code page 932
    ASSERT_TRUE(dir.writeNative(name, "0123456789"));
    const QString path = fromNative(dir.nativePath() + name);
    const auto whole = readBoundedText(path, 10);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->bytes, QByteArray("0123456789"));
    EXPECT_FALSE(whole->cut);
    const auto part = readBoundedText(path, 9);
    ASSERT_TRUE(part);
    EXPECT_EQ(part->bytes, QByteArray("012345678"));
    EXPECT_TRUE(part->cut);
    // Nothing for what is gone, a folder and a pipe (which would never end).
    EXPECT_FALSE(readBoundedText(fromNative(dir.nativePath() + "gone.txt")));
    ASSERT_TRUE(dir.makeFolderNative("folder.txt"));
    EXPECT_FALSE(readBoundedText(fromNative(dir.nativePath() + "folder.txt")));
    ASSERT_EQ(::mkfifo((dir.nativePath() + "pipe.txt").constData(), 0600), 0);
    EXPECT_FALSE(readBoundedText(fromNative(dir.nativePath() + "pipe.txt")));
    EXPECT_EQ(textCutMessage(), QStringLiteral("ファイルが大きいため、先頭の16MBだけを表示しています"));
}

} // namespace
} // namespace orbet::test
