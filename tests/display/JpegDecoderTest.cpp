#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <gtest/gtest.h>

#include "display/JpegDecoder.h"

namespace orbet {
namespace {

QByteArray jpegOf(const QImage& image, bool progressive = false) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

QImage scene(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, w, h);
    g.setColorAt(0, Qt::darkBlue);
    g.setColorAt(1, Qt::yellow);
    p.fillRect(img.rect(), g);
    p.setBrush(Qt::red);
    p.drawEllipse(QPoint(w / 3, h * 2 / 3), w / 5, h / 5);
    return img;
}

TEST(JpegDecoder, TwoThreadsGiveTheSamePixelsAsTheReader) {
    const QByteArray bytes = jpegOf(scene(2100, 1301));
    const QImage parallel = decodeJpegInParallel(bytes, qint64(1) << 30);
    ASSERT_FALSE(parallel.isNull());
    QImage reference = QImage::fromData(bytes, "jpeg").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(parallel.size(), reference.size());
    EXPECT_EQ(parallel, reference);
}

TEST(JpegDecoder, LeavesEverythingElseToTheReader) {
    EXPECT_TRUE(decodeJpegInParallel(jpegOf(scene(300, 200)), qint64(1) << 30).isNull());  // small
    EXPECT_TRUE(decodeJpegInParallel(jpegOf(scene(2100, 1301), true), qint64(1) << 30).isNull());  // progressive
    EXPECT_TRUE(decodeJpegInParallel(jpegOf(scene(2100, 1301)), 1024).isNull());  // over the allocation limit
    QByteArray truncated = jpegOf(scene(2100, 1301));
    truncated.truncate(truncated.size() / 2);
    // A cut file is either refused (the reader then takes it) or decoded at
    // full size with its first rows exactly as in the whole file.
    const QImage cut = decodeJpegInParallel(truncated, qint64(1) << 30);
    if (!cut.isNull()) {
        const QImage whole = decodeJpegInParallel(jpegOf(scene(2100, 1301)), qint64(1) << 30);
        ASSERT_EQ(cut.size(), QSize(2100, 1301));
        EXPECT_EQ(cut.copy(0, 0, 2100, 64), whole.copy(0, 0, 2100, 64));
    }
    EXPECT_TRUE(decodeJpegInParallel(QByteArray("\xff\xd8\xff\xe0 not really", 16), qint64(1) << 30).isNull());
    EXPECT_TRUE(decodeJpegInParallel(QByteArray(), qint64(1) << 30).isNull());
}

}  // namespace
}  // namespace orbet
