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

// A decoding nobody wants any more gives up, whichever way the picture is
// turned, and hands over no corner.
TEST(JpegDecoder, AStoppedDecodingGivesNothing) {
    const QByteArray bytes = jpegOf(scene(2100, 1301));
    std::atomic<bool> stop{false};
    EXPECT_EQ(decodeJpegInParallel(bytes, qint64(1) << 30, 1, nullptr, nullptr, &stop).size(),
              QSize(2100, 1301));
    stop = true;
    EXPECT_TRUE(decodeJpegInParallel(bytes, qint64(1) << 30, 1, nullptr, nullptr, &stop).isNull());
    // Turned half and quarter ways, with the corner at the end of the file.
    for (int n : {3, 6}) {
        JpegCornerHandOff corner(QSize(300, 200));
        EXPECT_TRUE(decodeJpegInParallel(bytes, qint64(1) << 30, n, nullptr, &corner, &stop).isNull()) << n;
        EXPECT_TRUE(corner.wait(std::chrono::seconds(5)).isNull()) << n;
    }
}

TEST(JpegDecoder, LeavesEverythingElseToTheReader) {
    EXPECT_TRUE(decodeJpegInParallel(jpegOf(scene(300, 200)), qint64(1) << 30).isNull()); // small
    EXPECT_TRUE(
        decodeJpegInParallel(jpegOf(scene(2100, 1301), true), qint64(1) << 30).isNull()); // progressive
    EXPECT_TRUE(decodeJpegInParallel(jpegOf(scene(2100, 1301)), 1024).isNull()); // over the allocation limit
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
    EXPECT_TRUE(
        decodeJpegInParallel(QByteArray("\xff\xd8\xff\xe0 not really", 16), qint64(1) << 30).isNull());
    EXPECT_TRUE(decodeJpegInParallel(QByteArray(), qint64(1) << 30).isNull());
}

// The corner shown first must be the very pixels the whole picture has there
// (chroma is shared between neighbouring pixels, so a cut in the wrong place
// would show a seam that jumps when the whole picture arrives).
TEST(JpegDecoder, TheCornerShownFirstHasTheWholePicturesPixels) {
    const QByteArray bytes = jpegOf(scene(2100, 1301));
    const QImage reference = QImage::fromData(bytes, "jpeg").convertToFormat(QImage::Format_RGB32);
    QSize whole;
    QBuffer device(const_cast<QByteArray*>(&bytes));
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    const QImage corner = decodeJpegCorner(device, QSize(704, 499), qint64(1) << 30, &whole);
    EXPECT_EQ(whole, QSize(2100, 1301));
    ASSERT_FALSE(corner.isNull());
    ASSERT_EQ(corner.size(), QSize(704, 499));
    EXPECT_EQ(corner, reference.copy(0, 0, 704, 499));
    EXPECT_LT(device.pos(), bytes.size() * 3 / 4); // the rows below it were never read
    EXPECT_EQ(largeJpegSize(bytes.left(4096), qint64(1) << 30), QSize(2100, 1301)); // from the head alone

    // Colour that changes from one column to the next: the writer shares
    // chroma between pixels across, so the corner's last column is smoothed
    // against the column beyond it, which the corner must take into account.
    QImage stripes(2101, 1200, QImage::Format_RGB32);
    for (int y = 0; y < stripes.height(); ++y)
        for (int x = 0; x < stripes.width(); ++x)
            stripes.setPixel(x, y, (x / 3 + y / 40) % 2 ? qRgb(230, 20, 40) : qRgb(20, 60, 240));
    const QByteArray striped = jpegOf(stripes);
    const QImage stripedWhole = QImage::fromData(striped, "jpeg").convertToFormat(QImage::Format_RGB32);
    for (const int width : {701, 702, 704, 715, 2096, 2100}) {
        QBuffer stripedDevice(const_cast<QByteArray*>(&striped));
        ASSERT_TRUE(stripedDevice.open(QIODevice::ReadOnly));
        const QImage part = decodeJpegCorner(stripedDevice, QSize(width, 300), qint64(1) << 30, &whole);
        ASSERT_EQ(part.size(), QSize(width, 300)) << width;
        EXPECT_EQ(part, stripedWhole.copy(0, 0, width, 300)) << width;
    }

    // A corner larger than the picture is the picture.
    device.seek(0);
    const QImage all = decodeJpegCorner(device, QSize(5000, 5000), qint64(1) << 30, &whole);
    EXPECT_EQ(all, reference);

    // Whatever the two-thread decoder declines has no corner either.
    for (QByteArray other :
         {jpegOf(scene(300, 200)), jpegOf(scene(2100, 1301), true), QByteArray("\xff\xd8\xff", 3)}) {
        QBuffer otherDevice(&other);
        ASSERT_TRUE(otherDevice.open(QIODevice::ReadOnly));
        EXPECT_TRUE(decodeJpegCorner(otherDevice, QSize(700, 500), qint64(1) << 30, &whole).isNull());
        EXPECT_TRUE(whole.isEmpty());
    }
}

} // namespace
} // namespace orbet
