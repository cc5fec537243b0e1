#include <QColor>
#include <QPainter>

#include <gtest/gtest.h>

#include "WmfBuilder.h"
#include "display/wmf/WmfPlayer.h"
#include "support/TestSupport.h"

namespace orbet {
namespace {

QByteArray wmfFile(const char* name) {
    return test::readAll(test::testData(QStringLiteral("pictures/wmf/") + name));
}

struct Probe {
    QPoint at;
    QRgb colour;
};

struct FileCase {
    const char* name;
    QSize size;
    std::vector<Probe> probes;
};

const QRgb white = qRgb(255, 255, 255);

// Sizes follow from each file's header; the probed colours are the brush
// colours the files fill those places with (checked against the drawings).
const std::vector<FileCase>& fileCases() {
    static const std::vector<FileCase> cases = {
        {"car-1.wmf",
         {744, 657},
         {{{740, 10}, white},
          {{400, 430}, qRgb(196, 121, 0)},
          {{300, 290}, qRgb(254, 196, 54)},
          {{500, 600}, qRgb(0, 0, 0)}}},
        {"pikachu.wmf",
         {673, 827},
         {{{10, 10}, white},
          {{450, 550}, qRgb(255, 242, 0)},
          {{340, 320}, qRgb(255, 26, 102)},
          {{330, 230}, qRgb(0, 0, 0)}}},
        {"libwmf_2doorvan.wmf", {318, 116}, {{{5, 110}, white}, {{150, 60}, qRgb(223, 31, 63)}}},
        {"libwmf_fjftest.wmf",
         {794, 1123},
         {{{140, 140}, qRgb(255, 0, 255)},
          {{280, 430}, qRgb(0, 128, 255)},
          {{650, 560}, qRgb(0, 255, 255)},
          {{600, 900}, qRgb(128, 0, 0)},
          {{30, 1100}, white}}},
        {"libwmf_cell.wmf", {1055, 817}, {{{10, 10}, white}, {{85, 336}, qRgb(128, 128, 128)}}},
        {"bm0.WMF", {188, 282}, {{{5, 5}, white}, {{62, 120}, white}}},
        {"bm2.WMF", {537, 143}, {{{150, 41}, qRgb(8, 33, 107)}, {{150, 50}, qRgb(214, 214, 206)}}},
        {"drawing.wmf", {110, 110}, {{{5, 5}, white}, {{70, 70}, qRgb(255, 0, 0)}}},
        {"libwmf_formula1.wmf", {222, 41}, {{{2, 2}, white}}},
        {"symbol-font-tables.wmf", {567, 503}, {}},
        // Brush swatch, the XOR-drawn rectangle (white on white gives black)
        // and the DIB pattern brush of the overview.
        {"wmf2svg_fulltest.wmf",
         {1056, 816},
         {{{88, 117}, qRgb(184, 216, 240)},
          {{878, 105}, qRgb(255, 0, 0)},
          {{597, 186}, qRgb(0, 0, 0)},
          {{500, 700}, white}}},
        {"WindowsMetafile.wmf", {1, 1}, {{{0, 0}, white}}},
    };
    return cases;
}

TEST(WmfFiles, RenderAtNaturalSizeWithTheirColours) {
    for (const FileCase& c : fileCases()) {
        QString error;
        const QImage image = renderWmf(wmfFile(c.name), Qt::white, &error);
        ASSERT_FALSE(image.isNull()) << c.name << ": " << error.toStdString();
        EXPECT_EQ(image.size(), c.size) << c.name;
        for (const Probe& p : c.probes)
            EXPECT_TRUE(test::near(image.pixel(p.at), p.colour))
                << c.name << " at " << p.at.x() << "," << p.at.y() << ": " << std::hex << image.pixel(p.at);
        if (c.size.width() > 10) {
            EXPECT_GT(test::inkIn(image, image.rect()), 200) << c.name << " drew nothing";
        }
    }
}

TEST(WmfFiles, PlaceableHeadersGiveSizeAndUnits) {
    const auto car = readWmfInfo(wmfFile("car-1.wmf"));
    ASSERT_TRUE(car);
    EXPECT_TRUE(car->placeable);
    EXPECT_EQ(car->unitsPerInch, 288);
    EXPECT_EQ(car->bounds, QRectF(-70, -2892, 2232, 1971));
    EXPECT_EQ(car->twips, QSize(2232 * 5, 1971 * 5));
    EXPECT_EQ(car->size, QSize(744, 657));
    EXPECT_FALSE(car->capped);

    const auto tiny = readWmfInfo(wmfFile("WindowsMetafile.wmf"));
    ASSERT_TRUE(tiny);
    EXPECT_EQ(tiny->twips, QSize(14, 14));
    EXPECT_EQ(tiny->size, QSize(1, 1));
}

TEST(WmfFiles, StandardFilesTakeTheWindowExtentOrWhatTheyDraw) {
    // The globe's window is 10000 x 9989 units, one pixel each: more than the
    // pixel cap, so it is scaled down keeping its proportions.
    const auto globe = readWmfInfo(wmfFile("globe.wmf"));
    ASSERT_TRUE(globe);
    EXPECT_FALSE(globe->placeable);
    EXPECT_EQ(globe->unitsPerInch, 0);
    EXPECT_EQ(globe->twips, QSize(150000, 149835));
    EXPECT_TRUE(globe->capped);
    EXPECT_LE(qint64(globe->size.width()) * globe->size.height(), kMaxPicturePixels);
    EXPECT_NEAR(double(globe->size.width()) / globe->size.height(), 10000.0 / 9989, 0.002);
    const QImage globeImage = renderWmf(wmfFile("globe.wmf"));
    EXPECT_EQ(globeImage.size(), globe->size);
    EXPECT_GT(test::inkIn(globeImage, QRect(0, 0, 3000, 3000)), 1000);

    // No extent at all: sized by the text it draws, one unit to a pixel.
    const QByteArray text = wmfFile("libwmf_text.wmf");
    const auto info = readWmfInfo(text);
    ASSERT_TRUE(info);
    EXPECT_GT(info->size.width(), 100);
    EXPECT_GT(info->size.height(), 200);
    const QImage image = renderWmf(text);
    EXPECT_EQ(image.size(), info->size);
    EXPECT_GT(test::inkIn(image, image.rect()), 1000);
}

TEST(WmfFiles, PlayingIntoARectangleScalesAndClips) {
    const QByteArray fjf = wmfFile("libwmf_fjftest.wmf");
    QImage half(600, 600, QImage::Format_RGB32);
    half.fill(Qt::gray);
    QPainter painter(&half);
    ASSERT_TRUE(playWmf(fjf, painter, QRectF(100, 100, 397, 561.5)));
    painter.end();
    // The magenta square at (140, 140) of the natural size lands at half scale.
    EXPECT_TRUE(test::near(half.pixel(100 + 70, 100 + 70), qRgb(255, 0, 255)));
    EXPECT_TRUE(test::near(half.pixel(50, 50), QColor(Qt::gray).rgb()));
    EXPECT_TRUE(test::near(half.pixel(550, 300), QColor(Qt::gray).rgb()));

    QString error;
    QPainter other(&half);
    EXPECT_FALSE(playWmf(fjf, other, QRectF(), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(WmfFiles, BackgroundColourAndTransparency) {
    const QImage blue = renderWmf(wmfFile("drawing.wmf"), Qt::blue);
    EXPECT_EQ(blue.pixel(5, 5), QColor(Qt::blue).rgb());
    const QImage clear = renderWmf(wmfFile("drawing.wmf"), Qt::transparent);
    EXPECT_TRUE(clear.hasAlphaChannel());
    EXPECT_EQ(qAlpha(clear.pixel(5, 5)), 0);
    EXPECT_EQ(qAlpha(clear.pixel(70, 70)), 255);
}

TEST(WmfFiles, EnhancedMetafilesAreRefused) {
    const QByteArray emf = wmfFile("drawing.emf");
    EXPECT_FALSE(isWmf(emf));
    QString error;
    EXPECT_TRUE(renderWmf(emf, Qt::white, &error).isNull());
    EXPECT_TRUE(error.contains(QLatin1String("EMF"))) << error.toStdString();
    EXPECT_FALSE(readWmfInfo(emf));
    for (const FileCase& c : fileCases())
        EXPECT_TRUE(isWmf(wmfFile(c.name))) << c.name;
}

TEST(WmfFiles, BrokenPicturesOfOtherKindsAreNotMetafiles) {
    for (const char* name :
         {"badrle.bmp", "truncated_jpeg.jpg", "zero_width.gif", "xs1n0g01.png", "no_cursors.cur",
          "decompression_bomb.ico", "libtiff_segfault.tif", "small_webp.webp"}) {
        const QByteArray bytes = test::readAll(test::testData(QStringLiteral("pictures/broken/") + name));
        ASSERT_FALSE(bytes.isEmpty()) << name;
        EXPECT_FALSE(isWmf(bytes)) << name;
        EXPECT_TRUE(renderWmf(bytes).isNull()) << name;
    }
}

} // namespace
} // namespace orbet
