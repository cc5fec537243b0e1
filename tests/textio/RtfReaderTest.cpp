#include <QBuffer>
#include <QRegularExpression>
#include <QTextBlock>

#include <gtest/gtest.h>

#include "RtfTestSupport.h"

namespace orbet {
namespace {

using test::blockOf;
using test::formatOf;
using test::images;
using test::rtfFile;

QString rawText(const QByteArray& rtf, const RtfReadOptions& options = {}) {
    QTextDocument doc;
    EXPECT_TRUE(readRtf(rtf, doc, options));
    return doc.toRawText();
}

QStringList paragraphs(const QTextDocument& doc) {
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        out << b.text();
    return out;
}

QByteArray hexPicture(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes.toHex();
}

TEST(RtfReader, JapaneseWordDocument) {
    QTextDocument doc;
    ASSERT_TRUE(readRtf(rtfFile("rtfjs_japanese-single-double-byte.rtf"), doc));
    const QString text = doc.toRawText();

    const QTextCharFormat heading = formatOf(doc, QStringLiteral("Changing Keyboard language layout"));
    EXPECT_EQ(heading.fontWeight(), QFont::Bold);
    EXPECT_EQ(heading.fontPointSize(), 12.0);
    const QTextCharFormat body = formatOf(doc, QStringLiteral("Double-byte Hiragana input mode"));
    EXPECT_NE(body.fontWeight(), QFont::Bold);
    EXPECT_EQ(body.fontPointSize(), 10.0);
    EXPECT_EQ(body.fontFamilies().toStringList(), QStringList{QStringLiteral("Times New Roman")});
    const QTextCharFormat kana = formatOf(doc, QStringLiteral("（全角ひらがな）"));
    EXPECT_EQ(kana.fontFamilies().toStringList(), QStringList{QStringLiteral("ＭＳ 明朝")});

    EXPECT_TRUE(text.contains(QStringLiteral("ｺﾝﾄﾛｰﾙ ﾊﾟﾈﾙ ｜ｷｰﾎﾞｰﾄﾞ ｜言語")));
    EXPECT_TRUE(text.contains(QStringLiteral("あ  a\tかka\tさsa")));
    EXPECT_FALSE(text.contains(QStringLiteral("I18n testing"))); // the page header
    EXPECT_FALSE(text.contains(QStringLiteral("PBrush")));
    EXPECT_FALSE(text.contains(QChar(QChar::ReplacementCharacter)));

    // The picture frame shows its PNG once, at its goal size (twips / 15).
    const auto pictures = images(doc);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].width(), 166.0);
    EXPECT_EQ(pictures[0].height(), 137.0);
    EXPECT_EQ(test::imageResource(doc, pictures[0]).size(), QSize(159, 130));
    EXPECT_FALSE(doc.isUndoAvailable());
    EXPECT_TRUE(doc.isUndoRedoEnabled());
}

TEST(RtfReader, CodePage932WithNecExtensionsAndColours) {
    QTextDocument doc;
    ASSERT_TRUE(readRtf(rtfFile("testNecCharacters.rtf"), doc));
    EXPECT_TRUE(doc.toRawText().contains(QStringLiteral("Set時に表層10㎜ほどムーニング　pallet底のRoll")));
    const QTextCharFormat latin = formatOf(doc, QStringLiteral("BLC U=>L"));
    EXPECT_EQ(latin.foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(latin.fontPointSize(), 8.5);
    EXPECT_EQ(latin.fontFamilies().toStringList(), QStringList{QStringLiteral("MS Sans Serif")});
    const QTextCharFormat japanese = formatOf(doc, QStringLiteral("で"));
    EXPECT_EQ(japanese.foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(japanese.fontPointSize(), 9.0);
    EXPECT_EQ(japanese.fontFamilies().toStringList(), QStringList{QStringLiteral("MS UI Gothic")});
}

TEST(RtfReader, FontCharsetsAndCodePagesDecideTheBytes) {
    EXPECT_TRUE(rawText(rtfFile("testJapaneseJisEncoding.rtf")).contains(QStringLiteral("中國")));
    EXPECT_TRUE(rawText(rtfFile("testJapaneseUtf8Encoding.rtf")).contains(QStringLiteral("中國")));
    QTextDocument doc;
    ASSERT_TRUE(readRtf(rtfFile("testMultiByteHex.rtf"), doc));
    EXPECT_TRUE(doc.toRawText().contains(QStringLiteral("お元気ですか？")));
    EXPECT_EQ(formatOf(doc, QStringLiteral("お元気")).fontFamilies().toStringList(),
              QStringList{QStringLiteral("ＭＳ Ｐゴシック")});

    const QByteArray fonts =
        "{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset128 Mincho;}{\\f2\\fcharset204 Cyr;}"
        "{\\f3\\fcharset1\\cpg1253 Greek;}}";
    EXPECT_EQ(
        rawText("{\\rtf1\\ansi\\ansicpg932" + fonts + "\\f1 \\'83A\\'82\\'a0\\f0 \\'e9\\f2 \\'cf\\f3 \\'e1}"),
        QStringLiteral("アあéПα"));
    // Without a font of its own the document's code page applies; a lead
    // byte cut short by the end of its run is one replacement character.
    EXPECT_EQ(rawText("{\\rtf1\\ansi\\ansicpg932 \\'93\\'fa{\\b \\'82}x}"), QStringLiteral("日\uFFFDx"));
    EXPECT_EQ(rawText("{\\rtf1\\ansi\\ansicpg1251 \\'cf}"), QStringLiteral("П"));
    EXPECT_EQ(rawText("{\\rtf1\\mac \\'8e}"), QStringLiteral("é"));
}

TEST(RtfReader, UnicodeEscapesSkipTheirFallback) {
    EXPECT_EQ(rawText(rtfFile("unicode.rtf")),
              QStringLiteral("“hi”‘hi’\uF0B7αä") + QChar(QChar::ParagraphSeparator));
    const QString poo = rawText(rtfFile("rtfjs_pile-of-poo.rtf"));
    EXPECT_TRUE(poo.contains(QStringLiteral("Iñtërnâtiônàlizætiøn☃💩")));
    EXPECT_TRUE(
        rawText(rtfFile("testNegativeUnicode.rtf")).contains(QStringLiteral("F700\uF700\uF701\uF702")));
    EXPECT_TRUE(rawText(rtfFile("testUnicode.rtf")).contains(QStringLiteral("Արամ")));

    EXPECT_EQ(rawText("{\\rtf1\\uc0\\u20320\\u22909 x}"), QStringLiteral("你好x"));
    EXPECT_EQ(rawText("{\\rtf1\\uc2\\u20320\\'c4\\'e3x\\u22909 ab\\b c}"), QStringLiteral("你x好c"));
    EXPECT_EQ(rawText("{\\rtf1{\\uc3\\u20320}abc}"), QStringLiteral("你abc"));
    EXPECT_EQ(rawText("{\\rtf1\\u20320 \r\nabc}"), QStringLiteral("你bc"));
    EXPECT_EQ(rawText("{\\rtf1\\u-10179?x\\u70000?\\u-9047?}"), QStringLiteral("\uFFFDx\uFFFD\uFFFD"));
}

TEST(RtfReader, CharacterFormats) {
    QTextDocument doc;
    ASSERT_TRUE(readRtf("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                        "{\\b bold}{\\i ital}{\\ul under\\ulnone none}{\\strike gone}{\\fs40 big}"
                        "{\\super up}{\\sub down}{\\cf1\\highlight2 red on blue}{\\cb1 back}"
                        "{\\b\\i\\ul\\fs30 x\\plain plain}{\\v hidden}{\\b0 normal}}",
                        doc));
    EXPECT_EQ(doc.toRawText(), QStringLiteral("bolditalundernonegonebigupdownred on bluebackxplainnormal"));
    EXPECT_EQ(formatOf(doc, QStringLiteral("bold")).fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatOf(doc, QStringLiteral("ital")).fontItalic());
    EXPECT_TRUE(formatOf(doc, QStringLiteral("under")).fontUnderline());
    EXPECT_FALSE(formatOf(doc, QStringLiteral("none")).fontUnderline());
    EXPECT_TRUE(formatOf(doc, QStringLiteral("gone")).fontStrikeOut());
    EXPECT_EQ(formatOf(doc, QStringLiteral("big")).fontPointSize(), 20.0);
    EXPECT_EQ(formatOf(doc, QStringLiteral("up")).verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(formatOf(doc, QStringLiteral("down")).verticalAlignment(), QTextCharFormat::AlignSubScript);
    const QTextCharFormat coloured = formatOf(doc, QStringLiteral("red on"));
    EXPECT_EQ(coloured.foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(coloured.background().color(), QColor(0, 0, 255));
    EXPECT_EQ(formatOf(doc, QStringLiteral("back")).background().color(), QColor(255, 0, 0));
    const QTextCharFormat plain = formatOf(doc, QStringLiteral("plain"));
    EXPECT_FALSE(plain.fontItalic() || plain.fontUnderline() || plain.fontWeight() == QFont::Bold);
    EXPECT_EQ(plain.fontPointSize(), 12.0);
}

TEST(RtfReader, ColourTableWithAutomaticEntries) {
    QTextDocument doc;
    ASSERT_TRUE(readRtf(rtfFile("rtfjs_colors.rtf"), doc));
    EXPECT_FALSE(formatOf(doc, QStringLiteral("Normal Line 1")).hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_FALSE(formatOf(doc, QStringLiteral("Normal Line 1")).hasProperty(QTextFormat::BackgroundBrush));
    EXPECT_EQ(formatOf(doc, QStringLiteral("Colored Line")).foreground().color(), QColor(0, 255, 0));
    EXPECT_EQ(formatOf(doc, QStringLiteral("Highlighted Line")).background().color(), QColor(255, 0, 0));
    const QTextCharFormat both = formatOf(doc, QStringLiteral("Colored & Highlighted"));
    EXPECT_EQ(both.foreground().color(), QColor(255, 255, 255));
    EXPECT_EQ(both.background().color(), QColor(0, 0, 255));
}

TEST(RtfReader, ParagraphsAlignmentIndentsAndBreaks) {
    QTextDocument doc;
    ASSERT_TRUE(readRtf("{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 Mincho;}}\\f0"
                        "\\pard\\qc \\'92\\'86\\'89\\'9b\\par"
                        "\\pard\\qr\\li720\\ri360\\fi-360\\sb240\\sa120 \\'89\\'45\\line two\\par"
                        "\\pard\\qj just\\tab ified\\page next\\par\\pard left\\~end\\\n"
                        "\\emdash\\bullet\\lquote\\rdblquote}",
                        doc));
    EXPECT_EQ(paragraphs(doc), (QStringList{QStringLiteral("中央"), QStringLiteral("右\u2028two"),
                                            QStringLiteral("just\tified"), QStringLiteral("next"),
                                            QStringLiteral("left\u00A0end"), QStringLiteral("—•‘”")}));
    EXPECT_EQ(blockOf(doc, QStringLiteral("中央")).alignment(), Qt::AlignHCenter);
    const QTextBlockFormat right = blockOf(doc, QStringLiteral("右"));
    EXPECT_EQ(right.alignment(), Qt::AlignRight);
    EXPECT_EQ(right.leftMargin(), 48.0);
    EXPECT_EQ(right.rightMargin(), 24.0);
    EXPECT_EQ(right.textIndent(), -24.0);
    EXPECT_EQ(right.topMargin(), 16.0);
    EXPECT_EQ(right.bottomMargin(), 8.0);
    EXPECT_EQ(blockOf(doc, QStringLiteral("just")).alignment(), Qt::AlignJustify);
    EXPECT_EQ(blockOf(doc, QStringLiteral("just")).pageBreakPolicy(), QTextFormat::PageBreak_Auto);
    EXPECT_EQ(blockOf(doc, QStringLiteral("next")).pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
    EXPECT_EQ(blockOf(doc, QStringLiteral("left")).alignment(), Qt::AlignLeft);

    QTextDocument word;
    ASSERT_TRUE(readRtf(rtfFile("rtfjs_wmf-and-emf.rtf"), word));
    EXPECT_EQ(blockOf(word, QStringLiteral("ROLES & RESPONSIBILITIES")).alignment(), Qt::AlignHCenter);
    EXPECT_EQ(blockOf(word, QStringLiteral("process validates that")).alignment(), Qt::AlignJustify);
}

TEST(RtfReader, TablesReadAsText) {
    QTextDocument simple;
    ASSERT_TRUE(readRtf(rtfFile("table_simple.rtf"), simple));
    EXPECT_TRUE(paragraphs(simple).contains(QStringLiteral("A \tB \tC \tD ")));
    EXPECT_TRUE(paragraphs(simple).contains(QStringLiteral("E \tF \tG \tH ")));

    QTextDocument nested;
    ASSERT_TRUE(readRtf(rtfFile("table_nested.rtf"), nested));
    EXPECT_TRUE(paragraphs(nested).contains(QStringLiteral("Deep A\tDeep B")));
    EXPECT_TRUE(paragraphs(nested).contains(QStringLiteral("Outside table")));
    EXPECT_FALSE(nested.toRawText().contains(QStringLiteral("FALLBACK")));

    QTextDocument empty;
    ASSERT_TRUE(
        readRtf("{\\rtf1\\trowd\\cellx1\\cellx2\\cellx3\\intbl\\cell\\cell C\\cell\\row after}", empty));
    EXPECT_EQ(paragraphs(empty), (QStringList{QStringLiteral("\t\tC"), QStringLiteral("after")}));
}

TEST(RtfReader, DestinationsThatAreNotBodyText) {
    const QByteArray png = hexPicture(QImage(4, 3, QImage::Format_RGB32), "png");
    int metafileCalls = 0;
    RtfReadOptions options;
    options.decodeWmf = [&](const QByteArray&, qint64, qint64*) {
        ++metafileCalls;
        return QImage(2, 2, QImage::Format_RGB32);
    };
    QTextDocument doc;
    ASSERT_TRUE(readRtf("{\\rtf1{\\info{\\title T}{\\author A}}{\\stylesheet{\\s1 Heading;}}{\\header H}"
                        "{\\footnote F}{\\*\\unknown U}{\\*\\generator G;}a"
                        "{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}b"
                        "{\\*\\shppict{\\pict{\\*\\picprop P}\\pngblip " +
                            png + "}}{\\nonshppict{\\pict\\wmetafile8 0100090000}}c}",
                        doc, options));
    EXPECT_EQ(doc.toRawText(), QStringLiteral("alinkb\uFFFCc"));
    EXPECT_EQ(images(doc).size(), 1u);
    EXPECT_EQ(metafileCalls, 0);

    // A shape shows its picture or its text box; only a shape with neither
    // falls back on the result a shape-blind reader would show.
    EXPECT_EQ(rawText("{\\rtf1{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 202}}{\\shptxt box}}"
                      "{\\shprslt fallback}}{\\shp{\\*\\shpinst{\\sp{\\sn fFlipH}{\\sv 0}}}{\\shprslt "
                      "drawn}}{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv {\\pict\\pngblip " +
                      png + "}}}{\\shptxt caption}}{\\shprslt old}}}"),
              QStringLiteral("boxdrawn\uFFFC"));
}

TEST(RtfReader, PngAndJpegPicturesAtTheirSize) {
    const QByteArray hex = rtfFile("rtfjs_simplepng.rtf");
    const QRegularExpression digits(QStringLiteral("\\\\pngblip\\s*([0-9a-f\\s]+)\\}"));
    const QImage embedded = QImage::fromData(QByteArray::fromHex(
        digits.match(QString::fromLatin1(hex)).captured(1).remove(QRegularExpression("\\s")).toLatin1()));
    ASSERT_FALSE(embedded.isNull());

    for (const char* file : {"rtfjs_simplepng.rtf", "rtfjs_simplepngbin.rtf"}) {
        SCOPED_TRACE(file);
        QTextDocument doc;
        ASSERT_TRUE(readRtf(rtfFile(file), doc));
        const auto pictures = images(doc);
        ASSERT_EQ(pictures.size(), 1u);
        const QImage image = test::imageResource(doc, pictures[0]);
        EXPECT_EQ(image.size(), embedded.size());
        EXPECT_EQ(image.convertToFormat(QImage::Format_ARGB32),
                  embedded.convertToFormat(QImage::Format_ARGB32));
        EXPECT_EQ(QSizeF(pictures[0].width(), pictures[0].height()), QSizeF(embedded.size()));
    }

    QTextDocument jpeg;
    ASSERT_TRUE(readRtf(rtfFile("image.rtf"), jpeg));
    const auto pictures = images(jpeg);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(QSizeF(pictures[0].width(), pictures[0].height()), QSizeF(192, 192));
    EXPECT_EQ(test::imageResource(jpeg, pictures[0]).size(), QSize(250, 250));

    QTextDocument scaled;
    const QByteArray png = hexPicture(QImage(40, 20, QImage::Format_RGB32), "png");
    ASSERT_TRUE(readRtf("{\\rtf1{\\pict\\pngblip\\picscalex50\\picscaley200 " + png + "}}", scaled));
    ASSERT_EQ(images(scaled).size(), 1u);
    EXPECT_EQ(QSizeF(images(scaled)[0].width(), images(scaled)[0].height()), QSizeF(20, 40));
}

TEST(RtfReader, MetafilesGoThroughTheHook) {
    const QByteArray rtf = rtfFile("rtfjs_wmf.rtf");
    QTextDocument without;
    ASSERT_TRUE(readRtf(rtf, without));
    EXPECT_TRUE(images(without).empty());

    std::vector<QByteArray> seen;
    RtfReadOptions options;
    options.decodeWmf = [&](const QByteArray& data, qint64, qint64*) {
        seen.push_back(data);
        return QImage(10, 10, QImage::Format_RGB32);
    };
    QTextDocument with;
    ASSERT_TRUE(readRtf(rtf, with, options));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(images(with).size(), seen.size());
    for (const QByteArray& data : seen)
        EXPECT_TRUE(data.startsWith(QByteArray("\x01\x00\x09\x00", 4)));
}

TEST(RtfReader, DeviceIndependentBitmaps) {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(QColor(10, 200, 30));
    const QByteArray bmp = QByteArray::fromHex(hexPicture(image, "bmp"));
    QTextDocument doc;
    ASSERT_TRUE(
        readRtf("{\\rtf1{\\pict\\dibitmap0\\picwgoal90\\pichgoal60 " + bmp.mid(14).toHex() + "}}", doc));
    const auto pictures = images(doc);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(QSizeF(pictures[0].width(), pictures[0].height()), QSizeF(6, 4));
    const QImage shown = test::imageResource(doc, pictures[0]);
    EXPECT_EQ(shown.size(), QSize(3, 2));
    EXPECT_EQ(shown.pixelColor(2, 1), QColor(10, 200, 30));
}

TEST(RtfReader, OnlyRtfIsRead) {
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("previous"));
    QString error;
    EXPECT_FALSE(readRtf("plain text {\\rtf1 x}", doc, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(doc.isEmpty());
    EXPECT_TRUE(readRtf("\xEF\xBB\xBF \r\n{\\rtf1 x}", doc, &error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(doc.toRawText(), QStringLiteral("x"));
    EXPECT_TRUE(readRtf(rtfFile("small_rtf.rtf"), doc));
    EXPECT_TRUE(doc.isEmpty());
}

} // namespace
} // namespace orbet
