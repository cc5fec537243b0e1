#include <QBuffer>
#include <QColorSpace>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "display/ColourProfile.h"
#include "display/DecodedPicture.h"
#include "display/PictureLoader.h"
#include "support/TestSupport.h"

namespace orbet {
namespace {

QString own(const char* name) {
    return QStringLiteral(ORBET_OWN_PICTURES "/") + QLatin1String(name);
}

// ImageMagick's conversion of the same file through its profile, made when
// the test pictures were: rose_a98 (Adobe RGB numbers and profile), its PNG
// twin, and a CMYK JPEG with a press profile.
QImage reference(const char* name) {
    QImageReader reader(own(name));
    reader.setAutoTransform(false);
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

// The largest difference of any channel of any pixel.
int largestDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return 256;
    int most = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            most = std::max({most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                             std::abs(qBlue(p) - qBlue(q))});
        }
    return most;
}

TEST(ColourProfile, FindsTheProfileOfEachKindOfFile) {
    for (const char* name : {"rose_a98.jpg", "rose_a98.png", "rose_cmyk.jpg"}) {
        const QByteArray profile = embeddedProfile(test::readAll(own(name)));
        ASSERT_GE(profile.size(), 132) << name;
        EXPECT_EQ(profile.mid(36, 4), "acsp") << name; // the ICC signature
    }
    // The press profile spans three APP2 segments, joined in their order.
    EXPECT_EQ(embeddedProfile(test::readAll(own("rose_cmyk.jpg"))).size(), 187484);
    EXPECT_TRUE(embeddedProfile(test::readAll(own("quad.png"))).isEmpty());
    EXPECT_TRUE(embeddedProfile(test::readAll(own("o6.jpg"))).isEmpty());
}

TEST(ColourProfile, PicturesConvertAsAnIndependentConversionDoes) {
    EXPECT_LE(largestDifference(loadBuiltInPicture(own("rose_a98.jpg")), reference("rose_a98_ref.png")), 1);
    EXPECT_LE(largestDifference(loadBuiltInPicture(own("rose_cmyk.jpg")), reference("rose_cmyk_ref.png")), 1);
    // Lossless: the conversion alone.
    QImage png = QImage(own("rose_a98.png")).convertToFormat(QImage::Format_RGB32);
    EXPECT_LE(largestDifference(shownPicture(png, own("rose_a98.png")), reference("rose_a98png_ref.png")), 1);
    // Without conversion the numbers are Adobe RGB's, visibly off.
    EXPECT_GT(largestDifference(png, reference("rose_a98png_ref.png")), 8);
}

// A JPEG of the rose with the given bytes as its one APP2 ICC segment.
QByteArray withProfile(const QByteArray& profile) {
    const QByteArray jpeg = test::readAll(own("o1.jpg"));
    QByteArray segment("\xff\xe2", 2);
    const int length = 2 + 14 + int(profile.size());
    segment.append(char(length >> 8))
        .append(char(length & 0xff))
        .append("ICC_PROFILE\0\x01\x01", 14)
        .append(profile);
    return jpeg.left(2) + segment + jpeg.mid(2);
}

TEST(ColourProfile, BrokenProfilesAreIgnoredNeverRefused) {
    const QByteArray good = embeddedProfile(test::readAll(own("rose_a98.jpg")));
    ASSERT_FALSE(good.isEmpty());
    EXPECT_TRUE(ColourConversion::from(good));
    // Cut short, the size in its header then claims more than it has.
    EXPECT_TRUE(embeddedProfile(withProfile(good.left(200))).isEmpty());
    QByteArray garbage = good;
    for (int i = 128; i < garbage.size(); ++i)
        garbage[i] = char(0xA5);
    EXPECT_FALSE(ColourConversion::from(garbage));
    EXPECT_FALSE(ColourConversion::from(QByteArray(300, '\0')));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.jpg"));
    ASSERT_TRUE(test::writeAll(path, withProfile(garbage)));
    const QImage shown = loadBuiltInPicture(path);
    EXPECT_EQ(largestDifference(shown, loadBuiltInPicture(own("o1.jpg"))), 0); // shown as sRGB
    // A segment that claims more than the file holds.
    QByteArray cut = withProfile(good);
    cut[4] = char(0x7f);
    EXPECT_TRUE(embeddedProfile(cut).isEmpty());
}

TEST(ColourProfile, SrgbPicturesAndTheDisplaysOwnProfilePayNothing) {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    image.setColorSpace(QColorSpace::SRgb);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImageWriter(&buffer, "png").write(image));
    const QByteArray srgb = embeddedProfile(png);
    ASSERT_FALSE(srgb.isEmpty());
    EXPECT_FALSE(ColourConversion::from(srgb));

    // On a display with the picture's own profile there is nothing to do,
    // and an sRGB picture then converts to it.
    const QByteArray adobe = embeddedProfile(test::readAll(own("rose_a98.jpg")));
    setDisplayProfile(adobe);
    EXPECT_FALSE(ColourConversion::from(adobe));
    EXPECT_TRUE(ColourConversion::from(srgb));
    setDisplayProfile({});
    EXPECT_TRUE(ColourConversion::from(adobe));
}

} // namespace
// The start of an ISO media file whose colr box gives the colours as H.273
// numbers (nclx).
QByteArray isoWithNclx(int primaries, int transfer) {
    QByteArray head("\0\0\0\x14"
                    "ftypavif\0\0\0\0"
                    "mif1",
                    20);
    const char colr[] = {
        0, 0, 0,         19, 'c', 'o', 'l', 'r', 'n', 'c', 'l', 'x', 0, char(primaries), 0, char(transfer),
        0, 6, char(0x80)};
    return head + QByteArray(colr, sizeof colr);
}

// Primaries and transfers given as numbers become a profile that converts
// as the standards' own definitions do (worked out apart from the program,
// from the primaries' chromaticities and the transfer formulas); sRGB's
// numbers, unspecified ones and transfers no curve here describes give
// none.
TEST(ColourProfile, NumberedColourSpacesConvertAsTheirDefinitionsSay) {
    struct Case {
        int primaries, transfer;
        QRgb in, out;
    } cases[] = {
        {12, 13, qRgb(128, 200, 100), qRgb(103, 202, 85)}, // Display P3
        {12, 13, qRgb(60, 90, 200), qRgb(50, 91, 207)},
        {9, 1, qRgb(120, 180, 90), qRgb(80, 194, 89)}, // BT.2020, BT.709's curve
        {9, 1, qRgb(90, 110, 160), qRgb(82, 125, 174)},
    };
    for (const Case& c : cases) {
        const QByteArray profile = embeddedProfile(isoWithNclx(c.primaries, c.transfer));
        const auto conversion = ColourConversion::from(profile);
        ASSERT_TRUE(conversion) << c.primaries;
        QImage pixel(1, 1, QImage::Format_RGB32);
        pixel.setPixel(0, 0, c.in);
        const QImage converted = convertedPicture(pixel, conversion.get());
        const QRgb got = converted.pixel(0, 0);
        EXPECT_LE(std::abs(qRed(got) - qRed(c.out)), 1) << c.primaries << " " << qRed(got);
        EXPECT_LE(std::abs(qGreen(got) - qGreen(c.out)), 1) << c.primaries << " " << qGreen(got);
        EXPECT_LE(std::abs(qBlue(got) - qBlue(c.out)), 1) << c.primaries << " " << qBlue(got);
    }
    EXPECT_TRUE(embeddedProfile(isoWithNclx(1, 13)).isEmpty());
    EXPECT_TRUE(embeddedProfile(isoWithNclx(2, 2)).isEmpty());
    EXPECT_TRUE(embeddedProfile(isoWithNclx(9, 16)).isEmpty()); // PQ
    EXPECT_TRUE(embeddedProfile(isoWithNclx(3, 13)).isEmpty()); // reserved
    EXPECT_FALSE(embeddedProfile(isoWithNclx(1, 4)).isEmpty()); // gamma 2.2
    // A box cut short gives nothing.
    EXPECT_TRUE(embeddedProfile(isoWithNclx(12, 13).chopped(4)).isEmpty());
}

} // namespace orbet
