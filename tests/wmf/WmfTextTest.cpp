#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>

#include <gtest/gtest.h>

#include "WmfBuilder.h"
#include "display/wmf/WmfDcState.h"
#include "display/wmf/WmfFormat.h"
#include "display/wmf/WmfPlayer.h"
#include "display/wmf/WmfText.h"

namespace orbet {
namespace {

using test::colorRef;
using test::WmfBuilder;
namespace fn = wmf::fn;

// Keeps the text QPainter hands to its engine, with the device position of
// each run's origin and the transform it was drawn under.
class RecordingEngine : public QPaintEngine {
  public:
    struct Run {
        QString text;
        QPointF at;
        QFont font;
        QTransform transform;
    };
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPath(const QPainterPath&) override {}
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        const QTransform t = painter()->transform();
        runs.append({item.text(), t.map(p), item.font(), t});
    }
    Type type() const override { return QPaintEngine::User; }
    QList<Run> runs;
};

class RecordingDevice : public QPaintDevice {
  public:
    QPaintEngine* paintEngine() const override { return &engine; }
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth:
        case PdmHeight:
            return 100;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 0;
        }
    }
    mutable RecordingEngine engine;
};

QList<RecordingEngine::Run> record(const WmfBuilder& b) {
    RecordingDevice device;
    QPainter painter(&device);
    EXPECT_TRUE(playWmf(b.build(), painter, QRectF(0, 0, 100, 100)));
    painter.end();
    return device.engine.runs;
}

WmfBuilder withFont(int height, int charset, const QByteArray& face) {
    WmfBuilder b = WmfBuilder::square(100);
    b.font(height, charset, face).select(0);
    return b;
}

QByteArray extTextOut(int x, int y, int options, QRect box, const QByteArray& text, QList<int> dx) {
    QByteArray p;
    for (int v : {y, x, int(text.size()), options})
        WmfBuilder::put16(p, quint16(v));
    if (options & 6)
        for (int v : {box.left(), box.top(), box.right() + 1, box.bottom() + 1})
            WmfBuilder::put16(p, quint16(v));
    p.append(text);
    if (text.size() % 2) p.append('\0');
    for (int d : dx)
        WmfBuilder::put16(p, quint16(d));
    return p;
}

TEST(WmfText, ShiftJisTextReachesThePainterDecoded) {
    // "ＭＳ ゴシック" and "あ" in code page 932.
    WmfBuilder b =
        withFont(-20, wmf::ShiftJisCharset, "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E");
    b.textOut(10, 10, "\x82\xA0");
    const auto runs = record(b);
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].text, QString::fromUtf8("あ"));
    EXPECT_EQ(runs[0].font.family(), QString::fromUtf8("ＭＳ ゴシック"));
    EXPECT_EQ(runs[0].font.pixelSize(), 20);

    // And onto pixels: the glyph leaves ink in its cell, the blank file none.
    const QImage drawn = b.render();
    const QImage blank = withFont(-20, wmf::ShiftJisCharset, "MS Gothic").render();
    EXPECT_GT(test::inkIn(drawn, QRect(10, 10, 22, 22)), 20);
    EXPECT_EQ(test::inkIn(blank, blank.rect()), 0);
}

TEST(WmfText, EachCharsetDecodesThroughItsCodePage) {
    struct Case {
        int charset;
        const char* bytes;
        const char* utf8;
    } cases[] = {
        {wmf::AnsiCharset, "\x80\xE9", "€é"},
        {wmf::RussianCharset, "\xC0\xFF", "Ая"},
        {wmf::GreekCharset, "\xC1\xE1", "Αα"},
        {wmf::EastEuropeCharset, "\x8A\xB9", "Šą"},
        {wmf::HebrewCharset, "\xE0", "א"},
        {wmf::Gb2312Charset, "\xC4\xE3", "你"},
        {wmf::HangulCharset, "\xC7\xD1", "한"},
        {wmf::ChineseBig5Charset, "\xA4\xA4", "中"},
        {wmf::ThaiCharset, "\xA1", "ก"},
        {wmf::TurkishCharset, "\xD0", "Ğ"},
        {wmf::ShiftJisCharset, "\x82\xA0\xB1", "あｱ"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wmf::decodeText(c.bytes, c.charset).text, QString::fromUtf8(c.utf8)) << c.charset;
    EXPECT_EQ(wmf::codePageForCharset(wmf::ShiftJisCharset), 932);
    EXPECT_EQ(wmf::codePageForCharset(77), 10000);
    EXPECT_EQ(wmf::codePageForCharset(99), 1252);
}

TEST(WmfText, DefaultCharsetTextOfJapaneseProgramsReadsAsCodePage932) {
    // "日本語" with DEFAULT_CHARSET, as Japanese Windows programs write it,
    // reaches the painter as itself, not as "“ú–{Œê".
    WmfBuilder b = withFont(-20, wmf::DefaultCharset, "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E");
    b.textOut(10, 10, "\x93\xFA\x96\x7B\x8C\xEA");
    const auto runs = record(b);
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].text, QString::fromUtf8("日本語"));
    EXPECT_EQ(runs[0].font.family(), QString::fromUtf8("ＭＳ ゴシック"));

    struct Case {
        const char* bytes;
        const char* utf8;
    } cases[] = {
        {"A\x82\xA0\xB1", "Aあｱ"},            // one double-byte character is enough
        {"\x81\x40\x9F\xFC", "\u3000\u6ECC"}, // the first and last lead bytes of the lower range
        {"\xE0\x40\xFC\x4B", "\u6F3E\u9ED1"}, // and of the upper one
        {"caf\xE9", "café"},                  // a lead byte with nothing after it
        {"\xE9t\xE9", "été"},                 // double-byte in form, then a cut one: not 932
        {"\x82\xA0\xFF", "‚\u00A0ÿ"},         // a byte code page 932 has no code for
        {"\xB1\xB2", "±²"},                   // valid 932 (half-width kana) but no double-byte
        {"\x85\x40", "…@"},                   // a double-byte form with no character assigned
        {"plain", "plain"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wmf::decodeText(c.bytes, wmf::DefaultCharset).text, QString::fromUtf8(c.utf8)) << c.bytes;
    // The byte map follows the code page chosen.
    EXPECT_EQ(wmf::decodeText("\x93\xFA"
                              "A",
                              wmf::DefaultCharset)
                  .sourceByte,
              (QList<int>{0, 2}));
    // Only DEFAULT_CHARSET looks at the bytes: ANSI text stays Western.
    EXPECT_EQ(wmf::decodeText("\x93\xFA", wmf::AnsiCharset).text, QString::fromUtf8("“ú"));
}

TEST(WmfText, SymbolFaceMapsToUnicodeAndOtherBytesKeepTheirPlace) {
    EXPECT_EQ(wmf::decodeText("abp\xB6", wmf::SymbolCharset, "Symbol").text, QString::fromUtf8("αβπ∂"));
    EXPECT_EQ(wmf::decodeText("ab", wmf::SymbolCharset, "Wingdings").text, QStringLiteral("ab"));
    // A cut double-byte character and the byte map of what decodes.
    const wmf::DecodedText cut = wmf::decodeText("A\x82\xA0"
                                                 "B\x82",
                                                 wmf::ShiftJisCharset);
    EXPECT_TRUE(cut.text.startsWith(QString::fromUtf8("AあB")));
    EXPECT_EQ(cut.sourceByte.mid(0, 3), (QList<int>{0, 1, 3}));
}

TEST(WmfText, AdvancesFromTheRecordPlaceEachCharacter) {
    WmfBuilder b = withFont(-20, wmf::ShiftJisCharset, "MS Gothic");
    b.raw(fn::ExtTextOut, extTextOut(10, 50, 0, {},
                                     "\x82\xA0"
                                     "AB",
                                     {25, 0, 30, 5}));
    const auto runs = record(b);
    ASSERT_EQ(runs.size(), 3);
    EXPECT_EQ(runs[0].text, QString::fromUtf8("あ"));
    EXPECT_NEAR(runs[0].at.x(), 10, 0.01);
    EXPECT_EQ(runs[1].text, QStringLiteral("A"));
    EXPECT_NEAR(runs[1].at.x(), 35, 0.01);
    EXPECT_NEAR(runs[2].at.x(), 65, 0.01);
}

TEST(WmfText, AlignmentMovesTheReferencePoint) {
    const auto runOf = [](int align) {
        WmfBuilder b = withFont(-20, 0, "Arial");
        b.record(fn::SetTextAlign, {align}).textOut(50, 50, "Hi");
        const auto runs = record(b);
        EXPECT_EQ(runs.size(), 1);
        return runs.value(0);
    };
    const RecordingEngine::Run top = runOf(0);
    const QFontMetricsF metrics(top.font);
    const double width = metrics.horizontalAdvance(QStringLiteral("Hi"));
    EXPECT_NEAR(top.at.x(), 50, 0.01);
    EXPECT_NEAR(top.at.y(), 50 + metrics.ascent(), 0.01);
    EXPECT_NEAR(runOf(wmf::TaRight).at.x(), 50 - width, 0.01);
    EXPECT_NEAR(runOf(wmf::TaCenter).at.x(), 50 - width / 2, 0.01);
    EXPECT_NEAR(runOf(wmf::TaBaseline).at.y(), 50, 0.01);
    EXPECT_NEAR(runOf(wmf::TaBottom).at.y(), 50 - metrics.descent(), 0.01);
}

TEST(WmfText, UpdatingTheCurrentPositionChainsRuns) {
    WmfBuilder b = withFont(-20, 0, "Arial");
    b.record(fn::SetTextAlign, {wmf::TaUpdateCp}).record(fn::MoveTo, {30, 5});
    b.textOut(90, 90, "AB").textOut(90, 90, "CD");
    const auto runs = record(b);
    ASSERT_EQ(runs.size(), 2);
    EXPECT_NEAR(runs[0].at.x(), 5, 0.01);
    EXPECT_NEAR(runs[1].at.x(), 5 + QFontMetricsF(runs[0].font).horizontalAdvance(QStringLiteral("AB")),
                0.01);
}

TEST(WmfText, FontsFollowTheMappingAndTheirAttributes) {
    WmfBuilder b = WmfBuilder::square(100);
    b.record(fn::SetWindowExt, {200, 200});
    b.font(-40, 0, "Times New Roman", 700, 900).select(0).textOut(0, 0, "x");
    b.font(40, 0, "Arial").select(1).textOut(0, 0, "y");
    const auto runs = record(b);
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[0].font.pixelSize(), 20);
    EXPECT_EQ(runs[0].font.weight(), QFont::Bold);
    EXPECT_EQ(runs[0].font.family(), QStringLiteral("Times New Roman"));
    EXPECT_NEAR(runs[0].transform.m12(), -1, 1e-9); // escapement 90 degrees: upwards
    // A positive height is the whole cell, so the em is smaller.
    EXPECT_LT(runs[1].font.pixelSize(), 20);
    EXPECT_GT(runs[1].font.pixelSize(), 12);
}

TEST(WmfText, OpaqueAndClippedRectangles) {
    WmfBuilder b = withFont(-40, 0, "Arial");
    b.record(fn::SetBkColor, {int(colorRef(255, 0, 0)), 0});
    b.raw(fn::ExtTextOut, extTextOut(60, 10, 2, QRect(60, 60, 30, 30), "", {}));
    b.raw(fn::ExtTextOut, extTextOut(5, 10, 4, QRect(5, 5, 20, 50), "WWWWW", {}));
    const QImage image = b.render();
    EXPECT_TRUE(test::near(image.pixel(75, 75), qRgb(255, 0, 0)));
    EXPECT_TRUE(test::near(image.pixel(55, 75), qRgb(255, 255, 255)));
    EXPECT_GT(test::inkIn(image, QRect(5, 5, 20, 50)), 20);
    EXPECT_EQ(test::inkIn(image, QRect(26, 0, 30, 60)), 0);
}

} // namespace
} // namespace orbet
