#include <gtest/gtest.h>

#include "WmfBuilder.h"
#include "display/wmf/WmfDcState.h"
#include "display/wmf/WmfDib.h"
#include "display/wmf/WmfFormat.h"

namespace orbet {
namespace {

using test::WmfBuilder;
using namespace wmf;

const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255), black = qRgb(0, 0, 0);

QByteArray infoHeader(int width, int height, int bpp, quint32 compression = 0, quint32 colours = 0) {
    QByteArray h;
    for (quint32 v : {40u, quint32(width), quint32(height)})
        WmfBuilder::put32(h, v);
    WmfBuilder::put16(h, 1);
    WmfBuilder::put16(h, quint16(bpp));
    for (quint32 v : {compression, 0u, 0u, 0u, colours, 0u})
        WmfBuilder::put32(h, v);
    return h;
}

QByteArray quads(std::initializer_list<QRgb> colours) {
    QByteArray t;
    for (QRgb c : colours)
        t.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
    return t;
}

TEST(WmfHeader, PlaceableAndStandardHeaders) {
    const QByteArray placeable = WmfBuilder().placeable(-10, 20, 300, 400, 1440).build(7);
    const auto h = parseHeader(placeable);
    ASSERT_TRUE(h);
    EXPECT_TRUE(h->placeable);
    EXPECT_EQ(h->left, -10);
    EXPECT_EQ(h->bottom, 400);
    EXPECT_EQ(h->unitsPerInch, 1440);
    EXPECT_EQ(h->objectCount, 7);
    EXPECT_EQ(h->recordsOffset, 40);

    QByteArray standard = WmfBuilder().build();
    EXPECT_EQ(parseHeader(standard)->recordsOffset, 18);
    standard[2] = 8; // header size must be nine words
    EXPECT_FALSE(parseHeader(standard));
    standard[2] = 9;
    standard[4] = 0x02; // an unknown version
    EXPECT_FALSE(parseHeader(standard));
}

TEST(WmfHeader, RecordsStopAtTheEndOrAtTheFirstImpossibleSize) {
    QByteArray bytes = WmfBuilder().record(fn::SaveDC, {}).record(fn::SetBkMode, {1}).build();
    RecordReader reader(bytes, 18);
    Record r;
    ASSERT_TRUE(reader.next(r));
    EXPECT_EQ(r.function, fn::SaveDC);
    EXPECT_EQ(r.params.size(), 0);
    ASSERT_TRUE(reader.next(r));
    EXPECT_EQ(r.params.u16(0), 1);
    EXPECT_EQ(r.params.u16(5), 0); // past the end reads as 0
    EXPECT_FALSE(reader.next(r));
    EXPECT_FALSE(reader.stoppedEarly());
    EXPECT_FALSE(reader.next(r));

    const QByteArray shortened = bytes.left(bytes.size() - 2);
    RecordReader cut(shortened, 18);
    while (cut.next(r)) {
    }
    EXPECT_TRUE(cut.stoppedEarly());
}

TEST(WmfMappingMath, ModesAndExtents) {
    Mapping m;
    m.windowOrg = QPointF(100, 100);
    m.setWindowExt(200, -100);
    m.viewportOrg = QPointF(10, 10);
    m.setViewportExt(400, 400);
    EXPECT_EQ(m.toDevice().map(QPointF(200, 50)), QPointF(210, 210));
    m.setWindowExt(0, 5); // refused
    EXPECT_EQ(m.windowExt, QPointF(200, -100));
    m.setMode(MmIsotropic);
    EXPECT_EQ(m.toDevice().map(QPointF(200, 50)), QPointF(210, 110));
    m.scaleWindowExt(1, 2, 3, 0);
    EXPECT_EQ(m.windowExt, QPointF(200, -100));
    m.scaleWindowExt(1, 2, 3, 1);
    EXPECT_EQ(m.windowExt, QPointF(100, -300));
    m.setMode(42);
    EXPECT_EQ(m.mode, MmIsotropic);
    m.setMode(MmText);
    EXPECT_EQ(m.toDevice().map(QPointF(101, 102)), QPointF(11, 12));
    m.setMode(MmTwips);
    m.deviceUnitsPerInch = 96;
    EXPECT_EQ(m.toDevice().map(QPointF(100 + 1440, 100 + 1440)), QPointF(106, -86));
}

TEST(WmfDibs, DepthsOrientationAndColourTables) {
    // 1 bit: two pixels a row, rows padded to four bytes; bottom-up.
    const QImage mono =
        decodeDib(infoHeader(2, 2, 1) + quads({red, blue}) + QByteArray("\x40\0\0\0\x80\0\0\0", 8));
    ASSERT_EQ(mono.size(), QSize(2, 2));
    EXPECT_EQ(mono.pixel(0, 0), blue);
    EXPECT_EQ(mono.pixel(1, 0), red);
    EXPECT_EQ(mono.pixel(0, 1), red);
    EXPECT_EQ(mono.pixel(1, 1), blue);

    // 4 bits, top-down, two colours used.
    const QImage nibbles =
        decodeDib(infoHeader(3, -1, 4, 0, 2) + quads({green, red}) + QByteArray("\x10\x10\0\0", 4));
    ASSERT_EQ(nibbles.size(), QSize(3, 1));
    EXPECT_EQ(nibbles.pixel(0, 0), red);
    EXPECT_EQ(nibbles.pixel(1, 0), green);
    EXPECT_EQ(nibbles.pixel(2, 0), red);

    // 8 bits with an index past the table: black.
    const QImage bytes8 =
        decodeDib(infoHeader(2, 1, 8, 0, 1) + quads({green}) + QByteArray("\x00\x09\0\0", 4));
    EXPECT_EQ(bytes8.pixel(0, 0), green);
    EXPECT_EQ(bytes8.pixel(1, 0), black);

    // 16 bits 5-5-5 and 32 bits with bit fields (masks after the header).
    const QImage five = decodeDib(infoHeader(1, 1, 16) + QByteArray("\x1F\x7C\0\0", 4));
    EXPECT_EQ(five.pixel(0, 0), qRgb(255, 0, 255));
    QByteArray masks;
    for (quint32 m : {0x000000FFu, 0x0000FF00u, 0x00FF0000u})
        WmfBuilder::put32(masks, m);
    const QImage fields = decodeDib(infoHeader(1, 1, 32, 3) + masks + QByteArray("\x10\x20\x30\x00", 4));
    EXPECT_EQ(fields.pixel(0, 0), qRgb(0x10, 0x20, 0x30));

    // Core header: 16-bit sizes and three-byte colour entries.
    QByteArray core;
    WmfBuilder::put32(core, 12);
    for (int v : {1, 1, 1, 8})
        WmfBuilder::put16(core, quint16(v));
    core.append(QByteArray(3 * 256, '\0'));
    core[12 + 3 * 5 + 1] = char(0xFF);
    core.append("\x05\0\0\0", 4);
    EXPECT_EQ(decodeDib(core).pixel(0, 0), green);

    // Colour tables of palette indices.
    const QImage indexed = decodeDib(
        infoHeader(1, 1, 8, 0, 1) + QByteArray("\x01\x00", 2) + QByteArray("\0\0\0\0", 4), true, {red, blue});
    EXPECT_EQ(indexed.pixel(0, 0), blue);
}

TEST(WmfDibs, RunLengthData) {
    // RLE8: a run of three, a delta to the next line, a run of one, an end
    // of line, three literal pixels, the end of the bitmap.
    const QByteArray rle8("\x03\x01\x00\x02\x00\x01\x01\x02\x00\x00\x00\x03\x02\x00\x02\x00\x00\x01", 18);
    const QImage image = decodeDib(infoHeader(4, 3, 8, 1, 3) + quads({black, red, green}) + rle8);
    ASSERT_EQ(image.size(), QSize(4, 3));
    EXPECT_EQ(image.pixel(0, 2), red);
    EXPECT_EQ(image.pixel(2, 2), red);
    EXPECT_EQ(qAlpha(image.pixel(3, 2)), 0);
    EXPECT_EQ(qAlpha(image.pixel(0, 1)), 0);
    EXPECT_EQ(image.pixel(3, 1), green);
    EXPECT_EQ(image.pixel(0, 0), green);
    EXPECT_EQ(image.pixel(1, 0), black);
    EXPECT_EQ(image.pixel(2, 0), green);
    EXPECT_EQ(qAlpha(image.pixel(3, 0)), 0);

    // RLE4: a run alternates the two nibbles; an end of line moves up.
    const QByteArray rle4("\x03\x12\x00\x00\x02\x22\x00\x01", 8);
    const QImage four = decodeDib(infoHeader(3, 2, 4, 2, 3) + quads({black, red, green}) + rle4);
    EXPECT_EQ(four.pixel(0, 1), red);
    EXPECT_EQ(four.pixel(1, 1), green);
    EXPECT_EQ(four.pixel(2, 1), red);
    EXPECT_EQ(four.pixel(1, 0), green);

    EXPECT_TRUE(decodeDib(infoHeader(4, -3, 8, 1, 3) + quads({black, red, green}) + rle8).isNull());
    EXPECT_TRUE(decodeDib(infoHeader(4, 3, 8, 4) + rle8).isNull());
    EXPECT_TRUE(decodeDib(QByteArray("\x28\0\0\0", 4)).isNull());
}

TEST(WmfDibs, DeviceDependentBitmaps) {
    QByteArray mono;
    for (int v : {0, 3, 2, 2})
        WmfBuilder::put16(mono, quint16(v));
    mono.append("\x01\x01", 2).append("\xA0\x00\x40\x00", 4);
    const QImage image = decodeBitmap16(mono);
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(1, 0), black);
    EXPECT_EQ(image.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_TRUE(decodeBitmap16(mono.left(13)).isNull());
}

} // namespace
} // namespace orbet
