#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "display/text/TextDecoding.h"
#include "support/TestSupport.h"

namespace orbet {
namespace {

const QChar kReplacement(QChar::ReplacementCharacter);

DecodedText decodeFile(const char* name) {
    return decodeText(test::readAll(test::testData(QStringLiteral("text/plain/") + QLatin1String(name))));
}

QByteArray utf16(const QString& text, bool littleEndian) {
    QByteArray out;
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        out.append(littleEndian ? low : high).append(littleEndian ? high : low);
    }
    return out;
}

TEST(TextDecoding, RealFilesShowTheirTextInTheirEncoding) {
    const QString readme =
        QStringLiteral("コンソール アプリケーション : universalchardet プロジェクトの概要");
    const struct {
        const char* file;
        const char* encoding;
        QString phrase;
    } cases[] = {
        {"bom-utf-16-le.txt", "UTF-16LE", "About 2 months ago I found myself on\nthe comment section"},
        {"nobom-utf16le.txt", "UTF-16LE", "DateTime,Bid,Ask\n07/19/2015 21:00:15.469,1.083,1.08332"},
        {"chardet_utf-8-sig__ude_4.txt", "UTF-8", readme},
        {"chardet_utf-8__ude_5.txt", "UTF-8", QStringLiteral("仙人洞文化係話到萬年大源盆地")},
        {"chardet_iso-2022-jp__ude_1.txt", "ISO-2022-JP", readme},
        {"chardet_EUC-JP__ude_1.txt", "EUC-JP", readme},
        {"chardet_SHIFT_JIS__ude_2.txt", "windows-31j",
         QStringLiteral("メインのアプリケーション ソース ファイル")},
        {"chardet_SHIFT_JIS__ude_1.txt", "windows-31j",
         QStringLiteral("羅生門の下で雨やみを待っていた。　広い門\nの下")},
        {"chardet_SHIFT_JIS__ude_4.txt", "windows-31j", QStringLiteral("マルチン・ルターの小信仰問答書")},
        {"chardet_CP932_y-moto.com.txt", "windows-31j", QStringLiteral("BD-1で楽々通勤～BD-wonderful")},
        {"chardet_windows-1252__ude_1.txt", "windows-1252",
         QStringLiteral("Die Deutsche Schule gehört zum Netzwerk")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const DecodedText d = decodeFile(c.file);
        EXPECT_EQ(d.encodingName, c.encoding);
        EXPECT_TRUE(d.text.contains(c.phrase));
        EXPECT_FALSE(d.text.contains(kReplacement));
        EXPECT_FALSE(d.text.contains(QLatin1Char('\r')));
        EXPECT_FALSE(d.text.startsWith(QChar(0xFEFF)));
    }
    // Code page 932 extensions that strict Shift_JIS lacks.
    EXPECT_TRUE(decodeFile("chardet_CP932_y-moto.com.txt").text.contains(QStringLiteral("①<u>体重編</u>")));
}

TEST(TextDecoding, Utf16WithAndWithoutMark) {
    const QString text = QStringLiteral("Line one\nデータ 😀 end");
    for (const bool le : {true, false}) {
        const QByteArray bom = le ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
        const QByteArray name = le ? "UTF-16LE" : "UTF-16BE";
        const DecodedText marked = decodeText(bom + utf16(text, le));
        EXPECT_EQ(marked.encodingName, name);
        EXPECT_EQ(marked.text, text);
        const DecodedText bare = decodeText(utf16(text, le));
        EXPECT_EQ(bare.encodingName, name);
        EXPECT_EQ(bare.text, text);
    }
    // Long lines of CJK text have zeros only in their line ends.
    QString cjk;
    for (int line = 0; line < 4; ++line)
        cjk += QString(20, QChar(0x65E5)) + QString(20, QChar(0x672C)) + QStringLiteral("\r\n");
    const DecodedText lines = decodeText(utf16(cjk, true));
    EXPECT_EQ(lines.encodingName, "UTF-16LE");
    EXPECT_EQ(lines.text, QString(cjk).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    // A stray zero in 8-bit text is not UTF-16.
    const QByteArray latin = QByteArray("plain ascii text with one stray zero ") + QByteArray(1, '\0') +
                             QByteArray(" and more words after it, long enough to matter here.");
    EXPECT_EQ(decodeText(latin).encodingName, "UTF-8");
}

TEST(TextDecoding, EveryLineEndBecomesOneParagraphBreak) {
    const QString expected = QStringLiteral("あ\nb\nc\n\nd\n");
    const QString source = QStringLiteral("あ\r\nb\rc\n\r\nd\r");
    EXPECT_EQ(decodeText(source.toUtf8()).text, expected);
    EXPECT_EQ(decodeText(QByteArray("\xFF\xFE") + utf16(source, true)).text, expected);
    EXPECT_EQ(decodeText(*encodeCodePage(source + QStringLiteral("かな"), 932)).text,
              expected + QStringLiteral("かな"));
}

TEST(TextDecoding, InvalidSequencesBecomeReplacementCharacters) {
    const QString japanese = QStringLiteral("これは日本語のテキストです。ひらがなとカタカナ。");
    {
        const DecodedText d = decodeText(japanese.toUtf8() + "\xFF" + japanese.toUtf8() + "\xE3\x81");
        EXPECT_EQ(d.encodingName, "UTF-8");
        EXPECT_EQ(d.text.count(kReplacement), 2);
        EXPECT_TRUE(d.text.startsWith(japanese));
    }
    {
        const QByteArray sjis = *encodeCodePage(japanese, 932);
        const DecodedText d = decodeText(sjis + "\x82 x\xFD" + sjis + "\x83");
        EXPECT_EQ(d.encodingName, "windows-31j");
        EXPECT_EQ(d.text.count(kReplacement), 3);
        EXPECT_TRUE(d.text.contains(japanese + kReplacement + QStringLiteral(" x")));
    }
    {
        const QByteArray euc = *encodeCodePage(japanese, 20932);
        const DecodedText d = decodeText(euc + "\xA4" + " " + euc + "\x8E");
        EXPECT_EQ(d.encodingName, "EUC-JP");
        EXPECT_EQ(d.text.count(kReplacement), 2);
        EXPECT_TRUE(d.text.startsWith(japanese));
    }
    {
        const QByteArray jis = *encodeCodePage(japanese, 50220);
        const DecodedText d = decodeText(jis + "\x1B$B\x7F\x21\x1B(B" + "ok");
        EXPECT_EQ(d.encodingName, "ISO-2022-JP");
        EXPECT_TRUE(d.text.startsWith(japanese));
        EXPECT_TRUE(d.text.contains(kReplacement));
        EXPECT_TRUE(d.text.endsWith(QStringLiteral("ok")));
    }
    {
        const QString sample = QStringLiteral("a\U0001F600b");
        QByteArray bytes = QByteArray("\xFF\xFE") + utf16(sample, true);
        bytes.remove(4, 2); // drops the high half of the pair
        bytes.append('x');  // and leaves an odd byte at the end
        const DecodedText d = decodeText(bytes);
        EXPECT_EQ(d.encodingName, "UTF-16LE");
        EXPECT_EQ(d.text, QStringLiteral("a") + kReplacement + QStringLiteral("b") + kReplacement);
    }
    {
        const DecodedText d = decodeText("Caf\xE9 \x80 5 \x81");
        EXPECT_EQ(d.encodingName, "windows-1252");
        EXPECT_EQ(d.text.left(9), QStringLiteral("Café € 5 "));
    }
}

TEST(TextDecoding, WesternTextIsNotMistakenForJapanese) {
    for (const char* text : {"R\xE9"
                             "f\xE9rence: \xE0 la fa\xE7on du ch\xE2teau, tr\xE8s r\xE9ussi.",
                             "Stra\xDF"
                             "e, \xC4rger, \xFC"
                             "ber \xF6l",
                             "\xA5"
                             "100 \xA3"
                             "20 \xA9 \xAE"}) {
        SCOPED_TRACE(text);
        const DecodedText d = decodeText(text);
        EXPECT_EQ(d.encodingName, "windows-1252");
        EXPECT_EQ(d.text, QString::fromLatin1(text));
    }
    EXPECT_EQ(decodeText("").encodingName, "UTF-8");
    EXPECT_EQ(decodeText("").text, QString());
}

// The paragraphs the document is built of, and the lines it gives back.
QStringList paragraphsOf(const QString& shown) {
    return shown.split(u'\n');
}
QStringList linesOf(const QString& shown) {
    return QString(shown).replace(QChar::LineSeparator, u'\n').split(u'\n');
}

TEST(TextForDisplay, ControlCharactersShowAsMiddleDots) {
    const QString controls = textForDisplay(
        QString::fromUtf8(QByteArray("a\0b", 3) + "\x01\tc\x1b\x1f\x7f\x0b\x0c d e\u00e9\u2400"));
    EXPECT_EQ(controls, QString::fromUtf8("a\u00b7b\u00b7\tc\u00b7\u00b7\u00b7\u00b7\u00b7 d e\u00e9\u2400"));
    // A sparse file's megabyte of zero bytes, decoded as the pane decodes it.
    const QString zeros = textForDisplay(decodeText(QByteArray(1 << 20, '\0')).text);
    EXPECT_FALSE(zeros.contains(QChar(0)));
    EXPECT_EQ(zeros.count(QChar(0xB7)), 1 << 20);
    EXPECT_EQ(paragraphsOf(zeros).size(), (1 << 20) / 4096);
    EXPECT_EQ(textForDisplay(QString()), QString());
}

TEST(TextForDisplay, ShortLinesShareParagraphsAndLongLinesAreCut) {
    const qsizetype n = kLongestDisplayLine;
    EXPECT_EQ(n, 4096);
    // Short lines: one paragraph until it reaches n characters, its lines
    // joined by line separators; the document gives every line back.
    QString lines;
    for (int i = 0; i < 1000; ++i)
        lines += QStringLiteral("line %1\n").arg(i, 4, 10, QLatin1Char('0'));
    const QString shown = textForDisplay(lines);
    EXPECT_EQ(linesOf(shown), lines.split(u'\n'));
    const QStringList paragraphs = paragraphsOf(shown);
    EXPECT_EQ(paragraphs.size(), 10000 / (n + 1) + 1); // each line is 10 with its break
    for (qsizetype i = 0; i + 1 < paragraphs.size(); ++i) {
        EXPECT_GE(paragraphs[i].size(), n) << i;
        EXPECT_LT(paragraphs[i].size(), n + 10) << i;
    }
    EXPECT_EQ(textForDisplay(QStringLiteral("a\nb")), QStringLiteral("a\u2028b"));

    // A line of exactly n characters is not cut; one more is.
    const QString exact(n, u'q');
    EXPECT_EQ(textForDisplay(exact), exact);
    EXPECT_EQ(textForDisplay(exact + u'\n' + exact), exact + u'\n' + exact);
    // A paragraph ended there starts the next one afresh.
    EXPECT_EQ(textForDisplay(exact + QStringLiteral("\na\nb")), exact + QStringLiteral("\na\u2028b"));
    EXPECT_EQ(textForDisplay(exact + u'r'), exact + u'\n' + u'r');
    // Three and a half lines' worth after a short line: the count starts
    // again at each line break.
    const QString longer = QStringLiteral("short\n") + QString(3 * n + n / 2, u'x');
    const QStringList cut = linesOf(textForDisplay(longer));
    ASSERT_EQ(cut.size(), 5);
    EXPECT_EQ(cut[0], QStringLiteral("short"));
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(cut[i].size(), n) << i;
    EXPECT_EQ(cut[4].size(), n / 2);
    EXPECT_EQ(paragraphsOf(textForDisplay(longer)).size(), 4);
    // Controls count as characters of the line; a pair of surrogates is
    // never cut apart, and the line after it is cut at its own length.
    EXPECT_EQ(paragraphsOf(textForDisplay(QString(n + 1, QChar(0)))).size(), 2);
    const QString emoji = QString::fromUtf8("😀");
    const QString straddling = QString(n - 1, u'y') + emoji + QString(2 * n, u'z');
    const QStringList parts = paragraphsOf(textForDisplay(straddling));
    ASSERT_EQ(parts.size(), 3);
    EXPECT_TRUE(parts[0].endsWith(emoji));
    EXPECT_EQ(parts[0].size(), n + 1);
    EXPECT_EQ(parts[1].size(), n);
    EXPECT_EQ(parts[2].size(), n);
}

TEST(CodePages, DecodeWindowsCodePages) {
    EXPECT_EQ(decodeCodePage("\x87\x6F\x87\x40\x81\x40", 932), QStringLiteral("㎜①　"));
    EXPECT_EQ(decodeCodePage("\x5C\x7E", 932), QStringLiteral("\\~"));
    EXPECT_EQ(decodeCodePage("\xD6\xD0\xCE\xC4", 936), QStringLiteral("中文"));
    EXPECT_EQ(decodeCodePage("\xC7\xD1\xB1\xB9", 949), QStringLiteral("한국"));
    EXPECT_EQ(decodeCodePage("\xA4\xA4\xA4\xE5", 950), QStringLiteral("中文"));
    EXPECT_EQ(decodeCodePage("\xCF\xF0\xE8\xE2\xE5\xF2", 1251), QStringLiteral("Привет"));
    EXPECT_EQ(decodeCodePage("\xE1\xE5\xF6\xE1", 1253), QStringLiteral("αεφα"));
    EXPECT_EQ(decodeCodePage("\xB9\xE6\xE8\xBE", 1250), QStringLiteral("ąćčľ"));
    EXPECT_EQ(decodeCodePage("\xA1\xA2", 874), QStringLiteral("กข"));
    EXPECT_EQ(decodeCodePage("\xE4\xB8\xAD", 65001), QStringLiteral("中"));
    EXPECT_EQ(decodeCodePage("\x80\xE9", 1252), QStringLiteral("€é"));
    EXPECT_EQ(decodeCodePage("\x80\xE9", 12345), QStringLiteral("€é"));
    // Windows maps every byte below 0x80 to itself, also where ICU's IBM tables swap controls.
    for (const int codePage : {932, 437, 850}) {
        const QByteArray bytes("\x1A\x1C\x7F\x90\x1A", 5);
        const QString text = decodeCodePage(bytes, codePage);
        EXPECT_EQ(text.left(3), QStringLiteral("\x1A\x1C\x7F"));
        EXPECT_EQ(text.right(1), QStringLiteral("\x1A"));
        EXPECT_EQ(encodeCodePage(text, codePage), codePage == 932 ? std::nullopt : std::optional(bytes));
    }
    EXPECT_EQ(encodeCodePage(QStringLiteral("\x1A\x1Cあ\x7F"), 932), QByteArray("\x1A\x1C\x82\xA0\x7F"));
    EXPECT_EQ(decodeCodePage("\x82", 932), QString(kReplacement));
    EXPECT_EQ(decodeCodePage("\x82\x20", 932), kReplacement + QStringLiteral(" "));

    CodePageDecoder decoder(932);
    QString out = QStringLiteral(">");
    EXPECT_EQ(decoder.decode("\x82\xA0\xFD", 3, out), 1);
    EXPECT_EQ(out, QStringLiteral(">あ") + kReplacement);
    EXPECT_EQ(decoder.decode("\x82\xA2", 2, out), 0);
    EXPECT_EQ(out, QStringLiteral(">あ") + kReplacement + QStringLiteral("い"));
}

TEST(CodePages, EncodeRefusesWhatTheCodePageLacks) {
    EXPECT_EQ(encodeCodePage(QStringLiteral("日本①"), 932), QByteArray("\x93\xFA\x96\x7B\x87\x40"));
    EXPECT_EQ(encodeCodePage(QStringLiteral("a😀"), 932), std::nullopt);
    EXPECT_EQ(encodeCodePage(QStringLiteral("é"), 65001), QByteArray("\xC3\xA9"));
    EXPECT_EQ(codePageForCharset(128), 932);
    EXPECT_EQ(codePageForCharset(238), 1250);
    EXPECT_EQ(codePageForCharset(1), 0);
}

TEST(PlainTextSave, WritesUtf8AndReplacesOnlyWhenComplete) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("saved.txt"));
    ASSERT_TRUE(test::writeAll(path, "old"));
    const QString text = QStringLiteral("一行目") + QChar(QChar::ParagraphSeparator) + QStringLiteral("two") +
                         QChar(QChar::LineSeparator) + QStringLiteral("three\n");
    QString error;
    ASSERT_TRUE(savePlainText(path, text, &error)) << error.toStdString();
    EXPECT_EQ(test::readAll(path), QStringLiteral("一行目\ntwo\nthree\n").toUtf8());

    EXPECT_FALSE(savePlainText(dir.filePath(QStringLiteral("missing/x.txt")), text, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("missing/x.txt"))));
}

} // namespace
} // namespace orbet
