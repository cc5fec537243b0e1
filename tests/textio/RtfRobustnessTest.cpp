#include <utility>

#include <QBuffer>

#include <gtest/gtest.h>

#include "RtfTestSupport.h"

namespace orbet {
namespace {

QString rawText(const QByteArray& rtf) {
    QTextDocument doc;
    EXPECT_TRUE(readRtf(rtf, doc));
    return doc.toRawText();
}

TEST(RtfRobustness, HundredThousandNestedGroups) {
    const int depth = 100000;
    const QByteArray rtf = "{\\rtf1 a" + QByteArray(depth, '{') + "deep" + QByteArray(depth, '}') + "after}";
    EXPECT_EQ(rawText(rtf), QStringLiteral("adeepafter"));

    // Formatting inside groups within the limit is still restored.
    EXPECT_EQ(rawText("{\\rtf1" + QByteArray(500, '{') + "\\b x" + QByteArray(500, '}') + "y}"),
              QStringLiteral("xy"));
    QTextDocument doc;
    ASSERT_TRUE(readRtf("{\\rtf1" + QByteArray(500, '{') + "\\b x" + QByteArray(500, '}') + "y}", doc));
    EXPECT_NE(test::formatOf(doc, QStringLiteral("y")).fontWeight(), QFont::Bold);
}

TEST(RtfRobustness, DestinationsBeyondTheDepthLimitAreStillSkipped) {
    const int depth = 3000;
    QByteArray rtf = "{\\rtf1 a";
    for (int i = 0; i < depth; ++i)
        rtf += "{\\*\\unknown ";
    rtf += "hidden" + QByteArray(depth, '}') + "{\\fonttbl" + QByteArray(2000, '{') + "\\f1 Name;" +
           QByteArray(2000, '}') + "}" + "b{" + QByteArray(1500, '{') + "{\\pict\\pngblip 89504e}" +
           QByteArray(1500, '}') + "}c}";
    EXPECT_EQ(rawText(rtf), QStringLiteral("abc"));
}

TEST(RtfRobustness, UnbalancedBraces) {
    EXPECT_EQ(rawText("{\\rtf1 a}}}} b"), QStringLiteral("a"));
    QTextDocument doc;
    ASSERT_TRUE(readRtf("{\\rtf1 {\\b a {\\i b", doc));
    EXPECT_EQ(doc.toRawText(), QStringLiteral("a b"));
    EXPECT_TRUE(test::formatOf(doc, QStringLiteral("b")).fontItalic());
    EXPECT_EQ(rawText("{\\rtf1 {\\fonttbl{\\f0 Arial;}"), QString());
    EXPECT_EQ(rawText("{\\rtf1 x{\\pict\\pngblip 89504e470d0a"), QStringLiteral("x"));
}

TEST(RtfRobustness, BadEscapes) {
    EXPECT_EQ(rawText("{\\rtf1 a\\'zzb\\'4 c\\'"), QStringLiteral("azzb4 c"));
    EXPECT_EQ(rawText("{\\rtf1\\ansicpg932 \\'82}"), QStringLiteral("\uFFFD"));
    EXPECT_EQ(rawText("{\\rtf1\\ansicpg99999 \\'e9}"), QStringLiteral("é"));
    EXPECT_EQ(
        rawText("{\\rtf1 \\u99999999999999999999?x\\fs-5 y\\uc-3\\u20320 z\\" + QByteArray(200, 'q') + " w}"),
        QStringLiteral("\uFFFDxy你zw"));
    EXPECT_EQ(rawText(QByteArray("{\\rtf1 a\0b\x01\x7F c}", 15)), QStringLiteral("ab\x7F c"));
}

TEST(RtfRobustness, HugeBinaryLengthsAreBoundedByTheInput) {
    EXPECT_EQ(rawText("{\\rtf1 a\\bin2147483647 xyz}"), QStringLiteral("a"));
    EXPECT_EQ(rawText("{\\rtf1 a\\bin99999999999999 xyz}"), QStringLiteral("a"));
    EXPECT_EQ(rawText("{\\rtf1 a\\bin-5 xyz}"), QStringLiteral("axyz"));
    EXPECT_EQ(rawText("{\\rtf1 a\\bin3 {}}b}"), QStringLiteral("ab"));
    EXPECT_EQ(rawText("{\\rtf1 x{\\pict\\pngblip\\bin999999999 \x89PNG}"), QStringLiteral("x"));
}

TEST(RtfRobustness, TruncatedAndCorruptPictures) {
    const QByteArray rtf = test::rtfFile("rtfjs_simplepng.rtf");
    const qsizetype start = rtf.indexOf("89504e47");
    ASSERT_GT(start, 0);
    for (qsizetype cut = start; cut < rtf.size(); cut += 211) {
        QTextDocument doc;
        EXPECT_TRUE(readRtf("{\\rtf1 before" + rtf.mid(0, cut).mid(6) + "}after}", doc));
        EXPECT_TRUE(doc.toRawText().startsWith(QStringLiteral("before")));
        EXPECT_TRUE(doc.toRawText().endsWith(QStringLiteral("after")));
    }
    QByteArray corrupt = rtf;
    for (qsizetype i = start + 40; i < corrupt.size() - 10; i += 7)
        corrupt[i] = 'f';
    QTextDocument doc;
    EXPECT_TRUE(readRtf(corrupt, doc));
    for (const char* kind : {"pngblip", "jpegblip", "dibitmap0", "emfblip", "wmetafile8", "macpict"}) {
        EXPECT_EQ(rawText(QByteArray("{\\rtf1{\\pict\\") + kind + " 0102030405}z}"), QStringLiteral("z"));
    }
}

TEST(RtfRobustness, PicturesBeyondTheMemoryBudgetAreLeftOut) {
    auto pngHex = [](int side) {
        QImage image(side, side, QImage::Format_Grayscale8);
        image.fill(0);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "png");
        return bytes.toHex();
    };
    // A few kilobytes of input may not become 70 MB of pixels; 16 MB is fine.
    for (const auto& [side, shown] : {std::pair{4200, 0u}, std::pair{2000, 1u}}) {
        QTextDocument doc;
        ASSERT_TRUE(readRtf("{\\rtf1{\\pict\\pngblip " + pngHex(side) + "}z}", doc));
        EXPECT_EQ(test::images(doc).size(), shown) << side;
        EXPECT_EQ(doc.toRawText().right(1), QStringLiteral("z"));
    }
    // Each picture shown is charged: of six 16 MB ones, four fit the 64 MB
    // the budget gives (and the little the input adds).
    QByteArray six;
    const QByteArray pict = "{\\pict\\pngblip " + pngHex(2000) + "}";
    for (int i = 0; i < 6; ++i)
        six += pict;
    QTextDocument doc;
    ASSERT_TRUE(readRtf("{\\rtf1" + six + "z}", doc));
    EXPECT_EQ(test::images(doc).size(), 4u);
}

TEST(RtfRobustness, ARefusedPictureIsChargedLikeAShownOne) {
    auto pngHex = [](int side) {
        QImage image(side, side, QImage::Format_Grayscale8);
        image.fill(0);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "png");
        return bytes.toHex();
    };
    // A picture too large for the budget takes what it claims all the same:
    // copies of it cannot each cost a try, and nothing after it shows.
    QTextDocument doc;
    ASSERT_TRUE(readRtf(
        "{\\rtf1{\\pict\\pngblip " + pngHex(4200) + "}{\\pict\\pngblip " + pngHex(2000) + "}z}", doc));
    EXPECT_EQ(test::images(doc).size(), 0u);

    // A metafile claims its natural size before it is drawn.
    int drawn = 0;
    RtfReadOptions options;
    options.decodeWmf = [&](const QByteArray&, qint64 budgetBytes, qint64* claimed) {
        *claimed = 40LL << 20;
        if (*claimed > budgetBytes) return QImage();
        ++drawn;
        return QImage(4, 4, QImage::Format_RGB32);
    };
    QTextDocument metafiles;
    const QByteArray pict = "{\\pict\\wmetafile8 010009000003}";
    ASSERT_TRUE(readRtf("{\\rtf1" + pict + pict + pict + "z}", metafiles, options));
    EXPECT_EQ(drawn, 1);
    EXPECT_EQ(test::images(metafiles).size(), 1u);
}

} // namespace
} // namespace orbet
