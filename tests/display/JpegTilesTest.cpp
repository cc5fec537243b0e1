#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

#include <gtest/gtest.h>

#include "display/JpegDecoder.h"
#include "display/JpegTiles.h"
#include "display/Orientation.h"

namespace orbet {
namespace {

QByteArray jpegOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    writer.write(image);
    return bytes;
}

// Colour that changes from one column and one row to the next, so chroma
// shared between neighbours (4:2:0) differs at every edge of a part.
QImage detail(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y,
                         ((x / 3 + y / 5) % 2) ? qRgb(230, (x * 7) & 255, 40) : qRgb(20, (y * 3) & 255, 240));
    return img;
}

TEST(JpegTiles, APartHasTheWholePicturesPixelsAtEveryLevelAndOrientation) {
    const QByteArray bytes = jpegOf(detail(1031, 777));
    // The whole at full size, as the toolkit's reader decodes it.
    const QImage stored = QImage::fromData(bytes, "jpeg").convertToFormat(QImage::Format_RGB32);
    // Parts that start and end inside blocks, on block edges, at the
    // picture's edges, and one pixel.
    const QRect parts[] = {{0, 0, 100, 50},     {17, 33, 250, 140}, {512, 512, 519, 265},
                           {1000, 700, 31, 77}, {16, 16, 16, 16},   {5, 770, 1, 1}};
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const QImage upright = orientedImage(stored, orientation);
        for (QRect part : parts) {
            part = part & upright.rect();
            if (part.isEmpty()) continue;
            const QImage got = decodeJpegPart(bytes, orientation, nullptr, 0, part);
            ASSERT_EQ(got.size(), part.size()) << orientation;
            EXPECT_EQ(got, upright.copy(part)) << orientation << " " << part.x() << "," << part.y();
        }
    }
    // Smaller levels: a part is what the whole at that level holds there.
    for (int level = 1; level <= 3; ++level) {
        const QImage whole = decodeJpegPart(bytes, 6, nullptr, level, QRect(0, 0, 5000, 5000));
        const int d = 1 << level;
        EXPECT_EQ(whole.size(), QSize((777 + d - 1) / d, (1031 + d - 1) / d)) << level;
        const QRect part(40 / d, 300 / d, 400 / d, 200 / d);
        EXPECT_EQ(decodeJpegPart(bytes, 6, nullptr, level, part), whole.copy(part)) << level;
    }
    EXPECT_TRUE(decodeJpegPart(bytes, 1, nullptr, 0, QRect(2000, 0, 10, 10)).isNull());
    EXPECT_TRUE(decodeJpegPart("\xff\xd8\xff", 1, nullptr, 0, QRect(0, 0, 10, 10)).isNull());
}

TEST(JpegTiles, TheLevelIsTheSmallestScaleThatStillCovers) {
    const QSize photo(12000, 9000);
    EXPECT_EQ(coveringLevel(photo, QSizeF(1280, 960)), 3); // 1500 x 1125
    EXPECT_EQ(coveringLevel(photo, QSizeF(1501, 1125)), 2);
    EXPECT_EQ(coveringLevel(photo, QSizeF(3000, 2250)), 2);
    EXPECT_EQ(coveringLevel(photo, QSizeF(3001, 2250)), 1);
    EXPECT_EQ(coveringLevel(photo, QSizeF(12000, 9000)), 0);
    EXPECT_EQ(coveringLevel(photo, QSizeF(24000, 18000)), 0);
    // Odd sizes round up, as the decoder's scaled sizes do.
    EXPECT_EQ(coveringLevel(QSize(16321, 12241), QSizeF(2041, 1531)), 3);
}

// The corner a large photo shows first, turned so that its top-left comes
// from the right of the stored rows (2) or their left columns read upwards
// (8): chroma at the crop's left edge is smoothed against its neighbours.
TEST(JpegTiles, ATurnedCornerCroppedFromTheRightHasTheWholePicturesPixels) {
    const QByteArray bytes = jpegOf(detail(2048, 1536));
    const QImage stored = QImage::fromData(bytes, "jpeg").convertToFormat(QImage::Format_RGB32);
    for (int orientation : {2, 5, 8}) {
        for (QSize corner : {QSize(800, 600), QSize(801, 599), QSize(1000, 1000)}) {
            QBuffer device(const_cast<QByteArray*>(&bytes));
            ASSERT_TRUE(device.open(QIODevice::ReadOnly));
            QSize whole;
            const QImage got = decodeJpegCorner(device, corner, qint64(1) << 30, &whole, orientation);
            ASSERT_FALSE(got.isNull()) << orientation;
            EXPECT_EQ(got, orientedImage(stored, orientation).copy(QRect(QPoint(0, 0), got.size())))
                << orientation << " " << corner.width();
        }
    }
}

} // namespace
} // namespace orbet
