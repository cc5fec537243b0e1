#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

#include "display/JpegTiles.h"
#include "display/PictureLoader.h"
#include "support/TestSupport.h"

namespace orbet {
namespace {

// The loader names the format from a file's first bytes instead of letting
// the toolkit ask every image plug-in; on the real files of every kind the
// name must be the one the toolkit's own search finds, for the kinds the
// loader takes, and nothing for the rest.
TEST(PictureLoader, TheFormatFromTheFirstBytesIsTheOneTheToolkitFinds) {
    int checked = 0;
    QDirIterator it(test::testData(QStringLiteral("pictures")), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray ours = pictureFormatOf(file.peek(16));
        QImageReader reader(&file);
        reader.setDecideFormatFromContent(true);
        QByteArray theirs = reader.format().toLower();
        if (theirs == "jpg") theirs = "jpeg";
        const bool taken =
            theirs == "jpeg" || theirs == "png" || theirs == "bmp" || theirs == "gif" || theirs == "ico";
        if (taken)
            EXPECT_EQ(ours, theirs) << path.toStdString();
        else
            EXPECT_TRUE(ours.isEmpty() || !reader.canRead()) << path.toStdString() << " " << ours.constData();
        ++checked;
    }
    EXPECT_GT(checked, 40);
    EXPECT_EQ(pictureFormatOf(QByteArray("\0\0\2\0\1\0", 6)), QByteArray("ico")); // a cursor
    EXPECT_EQ(pictureFormatOf(QByteArray("\0\0\1\0\1\0", 6)), QByteArray("ico"));
    EXPECT_TRUE(pictureFormatOf(QByteArray("\0\0\3\0\1\0", 6)).isEmpty());
    EXPECT_TRUE(pictureFormatOf(QByteArray("\0\0\1\0\0\0", 6)).isEmpty()); // no image in it
}

TEST(PictureLoader, TheProgramsOwnPictureReadsByItsContent) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::magenta);
    const QString path = dir.filePath(QStringLiteral("ti.tex")); // a name that says nothing of the format
    ASSERT_TRUE(picture.save(path, "png"));
    EXPECT_EQ(loadProgramPicture(path).convertToFormat(QImage::Format_RGB32), picture);
    ASSERT_TRUE(test::writeAll(path, "not a picture"));
    EXPECT_TRUE(loadProgramPicture(path).isNull());
    EXPECT_TRUE(loadProgramPicture(dir.filePath(QStringLiteral("missing"))).isNull());
}

// A real JPEG whose frame header claims another size.
QByteArray jpegClaiming(int width, int height) {
    QByteArray bytes = test::readAll(test::testData(QStringLiteral("pictures/jpeg/hopper.jpg")));
    const qsizetype sof = bytes.indexOf(QByteArray("\xff\xc0", 2));
    if (sof < 0) return {};
    bytes[sof + 5] = char(height >> 8), bytes[sof + 6] = char(height & 0xff);
    bytes[sof + 7] = char(width >> 8), bytes[sof + 8] = char(width & 0xff);
    return bytes;
}

// A BMP header claiming a picture of width x height, 32 bits a pixel.
QByteArray bmpClaiming(int width, int height) {
    QByteArray b("BM");
    auto put = [&b](qint64 v, int n) {
        for (int i = 0; i < n; ++i)
            b.append(char((v >> (8 * i)) & 0xff));
    };
    put(54 + 64, 4), put(0, 4), put(54, 4);                           // file header
    put(40, 4), put(width, 4), put(height, 4), put(1, 2), put(32, 2); // information header
    put(0, 4), put(0, 4), put(2835, 4), put(2835, 4), put(0, 4), put(0, 4);
    return b + QByteArray(64, '\x7f');
}

TEST(PictureLoader, APictureIsRefusedByTheSizeItsHeaderClaimsOnceDecoded) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("claims.jpg"));
    // A quarter of the machine's memory, never below 256 MB.
    const long pages = sysconf(_SC_PHYS_PAGES), page = sysconf(_SC_PAGESIZE);
    EXPECT_GE(decodedPictureLimitMb(), 256);
    EXPECT_GE(qint64(decodedPictureLimitMb()) + 1, qint64(pages) * page / 4 / (1024 * 1024));
    // Just over and just under by one row, for a limit of 256 MB.
    const QString bmp = dir.filePath(QStringLiteral("claims.bmp"));
    ASSERT_TRUE(test::writeAll(bmp, bmpClaiming(8192, 8193)));
    EXPECT_TRUE(pictureTooLarge(bmp, 256));
    ASSERT_TRUE(test::writeAll(bmp, bmpClaiming(8192, 8192)));
    EXPECT_FALSE(pictureTooLarge(bmp, 256));
    EXPECT_TRUE(pictureTooLarge(bmp, 255));

    // A colour JPEG is shown by tiles whatever its size up to a gigapixel:
    // never refused, and never decoded whole.
    ASSERT_TRUE(test::writeAll(path, jpegClaiming(17000, 17000)));
    EXPECT_FALSE(pictureTooLarge(path));
    EXPECT_TRUE(loadBuiltInPicture(path).isNull());
    ASSERT_TRUE(test::writeAll(path, jpegClaiming(32768, 32768)));
    EXPECT_FALSE(pictureTooLarge(path));
    // Past that, a claim is refused before anything is allocated.
    ASSERT_TRUE(test::writeAll(path, jpegClaiming(40000, 30000)));
    EXPECT_TRUE(pictureTooLarge(path));
    EXPECT_TRUE(loadBuiltInPicture(path).isNull());
    // 8192 x 8192 is the most decoded whole; a row more goes to tiles.
    ASSERT_TRUE(test::writeAll(path, jpegClaiming(8192, 8192)));
    EXPECT_FALSE(pictureTooLarge(path));
    EXPECT_TRUE(tiledJpegSize(test::readAll(path)).isEmpty());
    ASSERT_TRUE(test::writeAll(path, jpegClaiming(8192, 8193)));
    EXPECT_EQ(tiledJpegSize(test::readAll(path)), QSize(8192, 8193));
}

// An icon file of uncompressed entries: each a square of one colour.
struct IconEntry {
    int size;
    int bitsPerPixel; // 24 or 32
    QRgb colour;
};

void put16(QByteArray& out, int v) {
    out.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
}
void put32(QByteArray& out, qint64 v) {
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xff));
}

QByteArray iconFile(const std::vector<IconEntry>& entries) {
    std::vector<QByteArray> bitmaps;
    for (const IconEntry& e : entries) {
        QByteArray dib;
        put32(dib, 40), put32(dib, e.size), put32(dib, 2 * e.size), put16(dib, 1), put16(dib, e.bitsPerPixel);
        for (int i = 0; i < 6; ++i)
            put32(dib, 0);
        const int stride = (e.size * e.bitsPerPixel / 8 + 3) / 4 * 4;
        for (int y = 0; y < e.size; ++y) {
            QByteArray row;
            for (int x = 0; x < e.size; ++x) {
                row.append(char(qBlue(e.colour))).append(char(qGreen(e.colour))).append(char(qRed(e.colour)));
                if (e.bitsPerPixel == 32) row.append(char(0xff));
            }
            dib.append(row.leftJustified(stride, '\0'));
        }
        dib.append(QByteArray((e.size + 31) / 32 * 4 * e.size, '\0')); // the mask: all shown
        bitmaps.push_back(dib);
    }
    QByteArray out;
    put16(out, 0), put16(out, 1), put16(out, int(entries.size()));
    qint64 offset = 6 + 16 * qint64(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        out.append(char(entries[i].size & 0xff))
            .append(char(entries[i].size & 0xff))
            .append('\0')
            .append('\0');
        put16(out, 1), put16(out, entries[i].bitsPerPixel), put32(out, bitmaps[i].size()), put32(out, offset);
        offset += bitmaps[i].size();
    }
    for (const QByteArray& b : bitmaps)
        out.append(b);
    return out;
}

// A decoding nobody wants any more is not finished another way either: a
// large photo whose two-thread decoding gave up is not read again whole.
TEST(PictureLoader, AStoppedDecodingGivesNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.jpg"));
    QImage large(2100, 1301, QImage::Format_RGB32);
    large.fill(Qt::darkCyan);
    ASSERT_TRUE(large.save(path, "JPEG"));
    std::atomic<bool> stop{false};
    EXPECT_EQ(loadBuiltInPicture(path, decodedPictureLimitMb(), nullptr, &stop).size(), QSize(2100, 1301));
    stop = true;
    EXPECT_TRUE(loadBuiltInPicture(path, decodedPictureLimitMb(), nullptr, &stop).isNull());
}

TEST(PictureLoader, AnIconShowsItsLargestPicture) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("sizes.ico"));
    // The largest in the middle, and two of that size: the one with more colours.
    ASSERT_TRUE(test::writeAll(path, iconFile({{16, 32, qRgb(255, 0, 0)},
                                               {48, 24, qRgb(0, 0, 255)},
                                               {48, 32, qRgb(0, 255, 0)},
                                               {32, 32, qRgb(255, 255, 0)}})));
    const QImage icon = loadBuiltInPicture(path);
    ASSERT_EQ(icon.size(), QSize(48, 48));
    EXPECT_EQ(icon.pixel(5, 5), qRgb(0, 255, 0));
    // One picture only: that one.
    ASSERT_TRUE(test::writeAll(path, iconFile({{24, 24, qRgb(0, 0, 255)}})));
    EXPECT_EQ(loadBuiltInPicture(path).pixel(0, 0), qRgb(0, 0, 255));

    // Real icons, the largest last and the largest first.
    EXPECT_EQ(loadBuiltInPicture(test::testData(QStringLiteral("pictures/ico/python.ico"))).size(),
              QSize(48, 48));
    EXPECT_EQ(loadBuiltInPicture(test::testData(QStringLiteral("pictures/ico/pillow.ico"))).size(),
              QSize(256, 256));
}

} // namespace
} // namespace orbet
