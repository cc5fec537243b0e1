#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QTransform>
#include <QtEndian>

#include <gtest/gtest.h>

#include "display/ExifOrientation.h"
#include "display/JpegDecoder.h"
#include "display/Orientation.h"
#include "display/PictureLoader.h"
#include "support/TestSupport.h"

namespace orbet {
namespace {

QString own(const char* name) {
    return QStringLiteral(ORBET_OWN_PICTURES "/") + QLatin1String(name);
}

// An EXIF block (big-endian TIFF) whose first directory holds the given
// entries: tag, type, count, value.
struct Entry {
    quint16 tag, type;
    quint32 count, value;
};
QByteArray exifBlock(std::initializer_list<Entry> entries, bool little = false) {
    QByteArray b = little ? QByteArray("II\x2a\0\x08\0\0\0", 8) : QByteArray("MM\0\x2a\0\0\0\x08", 8);
    auto put16 = [&](quint16 v) {
        char c[2];
        little ? qToLittleEndian(v, c) : qToBigEndian(v, c);
        b.append(c, 2);
    };
    auto put32 = [&](quint32 v) {
        char c[4];
        little ? qToLittleEndian(v, c) : qToBigEndian(v, c);
        b.append(c, 4);
    };
    put16(quint16(entries.size()));
    for (const Entry& e : entries) {
        put16(e.tag), put16(e.type), put32(e.count);
        // A SHORT sits in the first two bytes of the value field.
        if (e.type == 3)
            put16(quint16(e.value)), put16(0);
        else
            put32(e.value);
    }
    put32(0);
    return b;
}

// A JPEG of `image` with an APP1 Exif segment holding `exif` after SOI.
QByteArray jpegWithExif(const QImage& image, const QByteArray& exif) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(92);
    writer.write(image);
    QByteArray segment("\xff\xe1", 2);
    const int length = 2 + 6 + int(exif.size());
    segment.append(char(length >> 8)).append(char(length & 0xff)).append("Exif\0\0", 6).append(exif);
    return bytes.left(2) + segment + bytes.mid(2);
}

// Four squares: red at the top left, then clockwise green, yellow, blue.
QImage quad(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h / 2, Qt::red);
    p.fillRect(w / 2, 0, w - w / 2, h / 2, Qt::green);
    p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, Qt::yellow);
    p.fillRect(0, h / 2, w / 2, h - h / 2, Qt::blue);
    return img;
}

// The corner colours clockwise from the top left, each as the nearest of
// the four ("R", "G", "Y", "B"), a little inside the picture.
std::string corners(const QImage& image) {
    if (image.isNull()) return "null";
    auto name = [](QRgb c) {
        const bool r = qRed(c) > 128, g = qGreen(c) > 128, b = qBlue(c) > 128;
        return r && g && !b ? 'Y' : r && !g && !b ? 'R' : !r && g && !b ? 'G' : !r && !g && b ? 'B' : '?';
    };
    const int r = image.width() - 5, b = image.height() - 5;
    return {name(image.pixel(4, 4)), name(image.pixel(r, 4)), name(image.pixel(r, b)),
            name(image.pixel(4, b))};
}

// What each orientation shows upright of the four squares, worked out by
// hand from the meaning of the tag.
const char* const kUpright[9] = {"", "RGYB", "GRBY", "YBRG", "BYGR", "RBYG", "BRGY", "YGRB", "GYBR"};

TEST(ExifOrientation, ReadsTheTagFromEveryKindOfFileExiftoolWrote) {
    for (int n = 1; n <= 8; ++n) {
        const QByteArray name = "o" + QByteArray::number(n) + ".jpg";
        EXPECT_EQ(storedOrientation(test::readAll(own(name.constData()))), n) << name.constData();
        EXPECT_EQ(storedOrientationOfFile(own(name.constData())), n) << name.constData();
    }
    EXPECT_EQ(storedOrientationOfFile(own("o6.png")), 6);  // eXIf chunk
    EXPECT_EQ(storedOrientationOfFile(own("o8.webp")), 8); // EXIF chunk
    EXPECT_EQ(storedOrientationOfFile(own("o5.tif")), 5);  // the file's own tag
    EXPECT_EQ(storedOrientationOfFile(own("quad.png")), 1);
    EXPECT_EQ(storedOrientationOfFile(own("quad.avif")), 1);
    EXPECT_EQ(storedOrientationOfFile(own("absent.jpg")), 1);
}

TEST(ExifOrientation, BadBlocksCountAsUpright) {
    EXPECT_EQ(tiffOrientation(exifBlock({{0x0112, 3, 1, 6}})), 6);
    EXPECT_EQ(tiffOrientation(exifBlock({{0x0100, 3, 1, 99}, {0x0112, 3, 1, 3}}, true)), 3);
    for (quint32 value : {0u, 9u, 0xffffu})
        EXPECT_EQ(tiffOrientation(exifBlock({{0x0112, 3, 1, value}})), 1) << value;
    EXPECT_EQ(tiffOrientation(exifBlock({{0x0112, 3, 1, 6}, {0x0112, 3, 1, 8}})), 1); // contradicts itself
    EXPECT_EQ(tiffOrientation(exifBlock({{0x0112, 3, 1, 6}, {0x0112, 3, 1, 6}})), 6); // merely repeats
    EXPECT_EQ(tiffOrientation(exifBlock({{0x0112, 4, 1, 6}})), 1);                    // not a SHORT

    QByteArray outside = exifBlock({{0x0112, 3, 1, 6}});
    outside[7] = char(0x70); // the directory offset points past the block
    EXPECT_EQ(tiffOrientation(outside), 1);
    QByteArray tooMany = exifBlock({{0x0112, 3, 1, 6}});
    tooMany[9] = char(0xff); // more entries claimed than the block holds: the one there still counts
    EXPECT_EQ(tiffOrientation(tooMany), 6);
    EXPECT_EQ(tiffOrientation(exifBlock({{0x0112, 3, 1, 6}}).left(14)), 1); // cut inside the entry

    // A JPEG whose Exif segment claims more bytes than the file has.
    QByteArray jpeg = jpegWithExif(quad(64, 48), exifBlock({{0x0112, 3, 1, 6}}));
    EXPECT_EQ(storedOrientation(jpeg), 6);
    jpeg[4] = char(0x7f);
    EXPECT_EQ(storedOrientation(jpeg.left(200)), 1);
    EXPECT_EQ(storedOrientation(QByteArray("\xff\xd8\xff\xe1\x00", 5)), 1);
    EXPECT_EQ(storedOrientation(QByteArray()), 1);
}

// A PNG's eXIf chunk counts only before the picture data, where the format
// puts it; one after IDAT is not looked for (nor read).
TEST(ExifOrientation, APngsExifAfterThePictureIsNotLookedFor) {
    const QByteArray png = test::readAll(own("o6.png"));
    const qsizetype exif = png.indexOf("eXIf") - 4, idat = png.indexOf("IDAT") - 4;
    ASSERT_GT(exif, 0);
    ASSERT_GT(idat, exif);
    const qsizetype exifLength = 12 + qFromBigEndian<quint32>(png.constData() + exif);
    const qsizetype idatLength = 12 + qFromBigEndian<quint32>(png.constData() + idat);
    QByteArray moved = png;
    const QByteArray chunk = moved.mid(exif, exifLength);
    moved.remove(exif, exifLength);
    moved.insert(idat - exifLength + idatLength, chunk);
    EXPECT_EQ(storedOrientation(png), 6);
    EXPECT_EQ(storedOrientation(moved), 1);
}

TEST(Orientation, EachTagTurnsThePictureAsItsMeaningSays) {
    const QImage stored = quad(64, 48);
    EXPECT_EQ(corners(stored), "RGYB");
    for (int n = 1; n <= 8; ++n) {
        const QImage upright = orientedImage(stored, n);
        EXPECT_EQ(corners(upright), kUpright[n]) << n;
        EXPECT_EQ(upright.size(), n >= 5 ? QSize(48, 64) : QSize(64, 48)) << n;
        EXPECT_EQ(upright.size(), uprightSize(stored.size(), n)) << n;
    }
    EXPECT_EQ(orientedImage(stored, 0), stored);
    EXPECT_EQ(orientedImage(stored, 9), stored);

    // The part of the stored picture each upright rectangle comes from.
    const QRect rect(0, 0, 10, 20);
    for (int n = 1; n <= 8; ++n) {
        const QImage upright = orientedImage(stored, n);
        const QRect from = storedRect(rect, stored.size(), n);
        EXPECT_EQ(orientedImage(stored.copy(from), n), upright.copy(rect)) << n;
    }
}

// Every pixel lands where the toolkit's own turns put it, in pictures whose
// rows take whole 16-byte steps (turned four columns at a time) and odd
// ones, both ways up.
TEST(Orientation, EveryPixelLandsWhereTheToolkitsTurnsPutIt) {
    for (const QSize size : {QSize(64, 48), QSize(67, 45), QSize(132, 64), QSize(5, 3)}) {
        QImage stored(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                stored.setPixel(x, y, 0xff000000u | quint32(x * 7919 + y * 104729) % 0xffffffu);
        auto turned = [&](int degrees) { return stored.transformed(QTransform().rotate(degrees)); };
        const QImage expected[9] = {{},
                                    stored,
                                    stored.mirrored(true, false),
                                    turned(180),
                                    stored.mirrored(false, true),
                                    turned(90).mirrored(true, false),
                                    turned(90),
                                    turned(90).mirrored(false, true),
                                    turned(270)};
        for (int n = 1; n <= 8; ++n)
            EXPECT_EQ(orientedImage(stored, n), expected[n].convertToFormat(QImage::Format_RGB32))
                << n << " " << size.width() << "x" << size.height();
    }
}

TEST(Orientation, TheBuiltInRouteShowsEachJpegUprightUnlessTurnedOff) {
    for (int n = 1; n <= 8; ++n) {
        const QByteArray name = "o" + QByteArray::number(n) + ".jpg";
        EXPECT_EQ(corners(loadBuiltInPicture(own(name.constData()))), kUpright[n]) << name.constData();
    }
    setFollowsStoredOrientation(false);
    const QImage asStored = loadBuiltInPicture(own("o6.jpg"));
    setFollowsStoredOrientation(true);
    EXPECT_EQ(corners(asStored), "RGYB");
    EXPECT_EQ(asStored.size(), QSize(64, 48));
}

// A large photo goes through the two-thread decoder and its corner: both
// turn it, and both give the pixels the plain reader gives turned. The
// whole decoding hands its corner over too, wherever it lies in the file; a
// corner that comes from the end of the file is not decoded apart.
TEST(Orientation, TheTwoThreadDecoderAndTheCornerTurnToo) {
    // Sizes whose rows take whole 16-byte steps are turned by another path
    // than odd ones.
    for (const QImage& scene : {quad(2100, 1301), quad(2048, 1200)})
        for (int n = 1; n <= 8; ++n) {
            const QByteArray bytes = jpegWithExif(scene, exifBlock({{0x0112, 3, 1, quint32(n)}}));
            const QImage reference =
                orientedImage(QImage::fromData(bytes, "jpeg").convertToFormat(QImage::Format_RGB32), n);
            const QImage whole = decodeJpegInParallel(bytes, qint64(1) << 30, n);
            ASSERT_EQ(whole.size(), reference.size()) << n;
            EXPECT_EQ(whole, reference) << n;

            QBuffer device(const_cast<QByteArray*>(&bytes));
            ASSERT_TRUE(device.open(QIODevice::ReadOnly));
            QSize size;
            const QImage corner = decodeJpegCorner(device, QSize(500, 400), qint64(1) << 30, &size, n);
            EXPECT_EQ(size, reference.size()) << n;
            JpegCornerHandOff handOff(QSize(500, 400));
            const QImage again = decodeJpegInParallel(bytes, qint64(1) << 30, n, nullptr, &handOff);
            EXPECT_EQ(again, reference) << n;
            const QImage handed = handOff.wait(std::chrono::milliseconds(0));
            ASSERT_EQ(handed.size(), QSize(500, 400)) << n;
            EXPECT_EQ(handed, reference.copy(0, 0, 500, 400)) << n;
            // A receiver that paints turned pictures gets a quarter-turned one as
            // stored, with its turn, and the corner upright all the same.
            JpegCornerHandOff painter(QSize(500, 400), true);
            const QImage left = decodeJpegInParallel(bytes, qint64(1) << 30, n, nullptr, &painter);
            const bool quarter = n >= 5;
            EXPECT_EQ(painter.wholeTurn(), quarter ? n : 1) << n;
            EXPECT_EQ(orientedImage(left, painter.wholeTurn()), reference) << n;
            EXPECT_EQ(left.size(), quarter ? reference.size().transposed() : reference.size()) << n;
            EXPECT_EQ(painter.wait(std::chrono::milliseconds(0)), reference.copy(0, 0, 500, 400)) << n;
            if (n == 3 || n == 4 || n == 6 || n == 7) {
                EXPECT_TRUE(corner.isNull()) << n;
                continue;
            }
            ASSERT_EQ(corner.size(), QSize(500, 400)) << n;
            EXPECT_EQ(corner, reference.copy(0, 0, 500, 400)) << n;
            // A corner reaching past the first thread's rows comes with the whole.
            JpegCornerHandOff tall(reference.size());
            EXPECT_EQ(decodeJpegInParallel(bytes, qint64(1) << 30, n, nullptr, &tall), reference) << n;
            EXPECT_EQ(tall.wait(std::chrono::milliseconds(0)), reference) << n;
            // The header alone gives the size.
            device.seek(0);
            QSize alone;
            EXPECT_TRUE(decodeJpegCorner(device, QSize(), qint64(1) << 30, &alone, n).isNull()) << n;
            EXPECT_EQ(alone, reference.size()) << n;
        }
}

} // namespace
} // namespace orbet
