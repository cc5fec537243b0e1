#include <cstdint>
#include <cstring>
#include <limits>

#include <QByteArray>
#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include "plugins/host/DibImage.h"

namespace {

using orbet::composeOver;
using orbet::dibToPicture;

struct Header {
    std::uint32_t size = 40;
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bits = 24;
    std::uint32_t encoding = 0;
    std::uint32_t colours = 0;
    std::int32_t xDensity = 0;
    int tableEntries = 0;
};

// The header block: the information header padded to its size, then
// tableEntries colour-table entries where entry i is (blue i, green 0, red 255 - i).
QByteArray headerBlock(const Header& h) {
    QByteArray block(qsizetype(h.size < 16 ? 16 : h.size) + 4 * h.tableEntries, '\0');
    auto put = [&block](int offset, auto value) { std::memcpy(block.data() + offset, &value, sizeof value); };
    put(0, h.size);
    put(4, h.width);
    put(8, h.height);
    put(12, std::uint16_t(1));
    put(14, h.bits);
    if (h.size >= 40) {
        put(16, h.encoding);
        put(24, h.xDensity);
        put(32, h.colours);
    }
    for (int i = 0; i < h.tableEntries; ++i) {
        char* quad = block.data() + h.size + 4 * i;
        quad[0] = char(i);
        quad[2] = char(255 - i);
    }
    return block;
}

QImage picture(const QByteArray& header, const QByteArray& pixels) {
    return dibToPicture(header.constData(), std::size_t(header.size()), pixels.constData(),
                        std::size_t(pixels.size()));
}

QImage picture(const Header& h, const QByteArray& pixels) {
    return picture(headerBlock(h), pixels);
}

TEST(DibToPicture, RefusesWhatTheChecksRule) {
    const QByteArray someRows(4096, '\0');
    struct Case {
        const char* what;
        Header header;
    };
    const Case cases[] = {
        {"12-byte header", {12, 1, 1, 24}},
        {"64-byte header", {64, 1, 1, 24}},
        {"run-length encoding", {40, 4, 4, 8, 1, 0, 0, 256}},
        {"bit-field encoding", {40, 4, 4, 32, 3}},
        {"bit count 2", {40, 4, 4, 2}},
        {"bit count 0", {40, 4, 4, 0}},
        {"bit count 48", {40, 4, 4, 48}},
        {"width 0", {40, 0, 4, 24}},
        {"negative width", {40, -3, 4, 24}},
        {"height 0", {40, 4, 0, 24}},
        {"rows longer than 2 GiB", {40, std::numeric_limits<std::int32_t>::max(), 1, 32}},
        {"more pixels than the block", {40, 0x7FFFFFFF, 0x7FFFFFFF, 1}},
        {"most negative height", {40, 1, std::numeric_limits<std::int32_t>::min(), 24}},
        {"colour table beyond the block", {40, 2, 2, 8, 0, 0x40000000, 0, 256}},
        {"8-bit table shorter than 256 entries", {40, 2, 2, 8, 0, 0, 0, 255}},
        {"table of 3 entries missing", {40, 2, 2, 24, 0, 3, 0, 2}},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(picture(c.header, someRows).isNull()) << c.what;
}

TEST(DibToPicture, RefusesShortAndMissingBlocks) {
    const QByteArray header = headerBlock({40, 3, 2, 24});
    const QByteArray rows(24, '\x7f');
    EXPECT_FALSE(picture(header, rows).isNull());
    EXPECT_TRUE(picture(header, rows.left(23)).isNull());
    EXPECT_TRUE(picture(header.left(39), rows).isNull());
    EXPECT_TRUE(picture(header.left(3), rows).isNull());
    EXPECT_TRUE(dibToPicture(nullptr, 40, rows.constData(), 24).isNull());
    EXPECT_TRUE(dibToPicture(header.constData(), 40, nullptr, 24).isNull());
    EXPECT_TRUE(dibToPicture(orbet::PictureBlocks{}).isNull());
}

TEST(DibToPicture, Reads24BitRowsPaddedToWholeWords) {
    // 3 pixels of 3 bytes make 9 bytes, padded to 3 words.
    const unsigned char rows[24] = {255, 255, 255, 0, 0,   0, 128, 128, 128, 9, 9, 9,
                                    0,   0,   255, 0, 255, 0, 255, 0,   0,   9, 9, 9};
    const QImage image = picture(Header{40, 3, 2, 24}, QByteArray(reinterpret_cast<const char*>(rows), 24));
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(2, 0), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(0, 1), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(2, 1), qRgb(128, 128, 128));
}

TEST(DibToPicture, TopDownRowsKeepTheirOrder) {
    const QByteArray rows("\x00\x00\xff\x00\x00\xff\x00\x00", 8);
    const QImage bottomUp = picture(Header{40, 1, 2, 24}, rows);
    const QImage topDown = picture(Header{40, 1, -2, 24}, rows);
    ASSERT_EQ(topDown.size(), QSize(1, 2));
    EXPECT_EQ(topDown.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(topDown.pixel(0, 1), qRgb(0, 255, 0));
    EXPECT_EQ(bottomUp.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(bottomUp.pixel(0, 1), qRgb(255, 0, 0));
}

TEST(DibToPicture, ColourTables) {
    // Colour count 0 on 8 bits: all 256 entries come from the header block.
    const QByteArray indices("\x00\xff\x00\x00", 4);
    QImage image = picture(Header{40, 2, 1, 8, 0, 0, 0, 256}, indices);
    ASSERT_EQ(image.colorCount(), 256);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 0, 255));

    // Two entries given: the rest of the table is black.
    image = picture(Header{40, 2, 1, 8, 0, 2, 0, 2}, QByteArray("\x01\x05\x00\x00", 4));
    ASSERT_EQ(image.colorCount(), 256);
    EXPECT_EQ(image.pixel(0, 0), qRgb(254, 0, 1));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 0, 0));

    // 1 bit, leftmost pixel in the top bit, whatever colour entry 0 holds.
    image = picture(Header{40, 3, 1, 1, 0, 0, 0, 2}, QByteArray("\xa0\x00\x00\x00", 4));
    ASSERT_EQ(image.size(), QSize(3, 1));
    EXPECT_EQ(image.pixel(0, 0), qRgb(254, 0, 1));
    EXPECT_EQ(image.pixel(1, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(2, 0), qRgb(254, 0, 1));

    // 4 bits, high nibble first, odd width.
    image = picture(Header{40, 3, 1, 4, 0, 0, 0, 16}, QByteArray("\x3f\x10\x00\x00", 4));
    ASSERT_EQ(image.size(), QSize(3, 1));
    EXPECT_EQ(image.pixel(0, 0), qRgb(252, 0, 3));
    EXPECT_EQ(image.pixel(1, 0), qRgb(240, 0, 15));
    EXPECT_EQ(image.pixel(2, 0), qRgb(254, 0, 1));
}

TEST(DibToPicture, SixteenAndThirtyTwoBitPixels) {
    // 5-5-5 little-endian; the unused top bit must not matter.
    QImage image = picture(Header{40, 2, 1, 16}, QByteArray("\x00\x7c\x1f\x80", 4));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 0, 255));

    image = picture(Header{40, 2, 1, 32}, QByteArray("\x10\x20\x30\x80\x01\x02\x03\xff", 8));
    ASSERT_TRUE(image.hasAlphaChannel());
    EXPECT_EQ(image.pixel(0, 0), qRgba(0x30, 0x20, 0x10, 0x80));
    EXPECT_EQ(image.pixel(1, 0), qRgba(3, 2, 1, 255));

    // A fourth byte of 0 everywhere is the reserved byte, not transparency.
    image = picture(Header{40, 2, 1, 32}, QByteArray("\x10\x20\x30\x00\x01\x02\x03\x00", 8));
    EXPECT_FALSE(image.hasAlphaChannel());
    EXPECT_EQ(image.pixel(0, 0), qRgb(0x30, 0x20, 0x10));
}

TEST(DibToPicture, LaterHeaderVersionsAndDensity) {
    for (std::uint32_t size : {108u, 124u}) {
        const QImage image = picture(Header{size, 1, 1, 24, 0, 0, 3780}, QByteArray("\x01\x02\x03\x00", 4));
        ASSERT_FALSE(image.isNull()) << size;
        EXPECT_EQ(image.pixel(0, 0), qRgb(3, 2, 1));
        EXPECT_EQ(image.dotsPerMeterX(), 3780);
    }
}

TEST(ComposeOver, BlendsAlphaOverTheBackground) {
    QImage image(3, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(255, 0, 0, 255));
    image.setPixel(1, 0, qRgba(255, 0, 0, 128));
    image.setPixel(2, 0, qRgba(255, 0, 0, 0));
    const QImage shown = composeOver(image, QColor(0, 0, 255));
    EXPECT_FALSE(shown.hasAlphaChannel());
    EXPECT_EQ(shown.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(1, 0), qRgb(128, 0, 127));
    EXPECT_EQ(shown.pixel(2, 0), qRgb(0, 0, 255));

    QImage opaque(2, 2, QImage::Format_RGB32);
    opaque.fill(Qt::green);
    EXPECT_EQ(composeOver(opaque, Qt::white).cacheKey(), opaque.cacheKey());
}

} // namespace
