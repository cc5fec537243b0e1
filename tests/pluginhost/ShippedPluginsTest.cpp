#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "pluginhost/PluginTestSupport.h"
#include "plugins/host/DibImage.h"
#include "plugins/host/SusieLibrary.h"
#include "support/TestSupport.h"

// Every shipped plug-in against the interface's contract and against Qt's
// own readers as the reference decode.
namespace {

using orbet::PictureBlocks;
using orbet::SusieLibrary;
using orbet::test::headOf;
using orbet::test::readAll;
using orbet::test::testData;

struct Shipped {
    const char* name;
    const char* path;
    std::vector<const char*> samples;  // under pictures/, the first a single plain picture
    std::vector<const char*> mustFail; // broken files this plug-in must refuse
    // For formats the toolkit cannot read: the PNG each sample was made from
    // (own pictures, in this folder), and how far a level may stray from it.
    std::vector<const char*> references = {};
    int tolerance = 0;
};

#define OWN(name) ORBET_OWN_PICTURES "/" name

const Shipped Plugins[] = {
    {"png",
     ORBET_SHIPPED_PNG,
     {"png/hopper.png", "png/basn0g01.png", "png/basn2c16.png", "png/basn6a08.png", "png/basi0g01.png",
      "png/basi3p08.png", "png/s01i3p01.png", "png/tbbn3p08.png", "png/oi9n2c16.png"},
     {"broken/truncated_image.png", "broken/xdtn0g01.png", "broken/xs1n0g01.png"}},
    {"webp",
     ORBET_SHIPPED_WEBP,
     {"webp/hopper.webp", "webp/transparent.webp", "webp/flower2.webp", "webp/iss634.webp",
      "webp/corkami_webpl.webp"},
     {"broken/small_webp.webp"}},
    {"tiff",
     ORBET_SHIPPED_TIFF,
     {"tiff/hopper.tif", "tiff/hopper_lzw.tif", "tiff/hopper_g4.tif", "tiff/total-pages-zero.tif",
      "tiff/multipage.tiff", "tiff/hopper_jpg.tif", "tiff/old-style-jpeg-compression.tif",
      "tiff/hopper_bigtiff.tif", "tiff/tiff_tiled_planar_lzw.tiff"},
     {}},
    {"avif",
     ORBET_SHIPPED_AVIF,
     {OWN("quad.avif"), OWN("quada.avif"), OWN("quad10.avif")},
     {},
     {OWN("quad.png"), OWN("quada.png"), OWN("quad.png")},
     4},
    {"heif",
     ORBET_SHIPPED_HEIF,
     {OWN("quad.heic"), OWN("quada.heic"), OWN("multi.heic")},
     {},
     {OWN("quad.png"), OWN("quada.png"), OWN("quad.png")},
     4},
    {"jxl", ORBET_SHIPPED_JXL, {OWN("quad.jxl"), OWN("quada.jxl")}, {}, {OWN("quad.png"), OWN("quada.png")}},
};

QString picturePath(const char* relative) {
    if (relative[0] == '/') return QString::fromUtf8(relative);
    return testData(QStringLiteral("pictures/") + QLatin1String(relative));
}

// What the toolkit's reader makes of the picture a sample was made from.
QImage referenceOf(const Shipped& plugin, std::size_t sample) {
    const QString path =
        picturePath(plugin.references.empty() ? plugin.samples[sample] : plugin.references[sample]);
    QImageReader reader(path);
    return reader.read();
}

int neverCancel(int, int, intptr_t) {
    return 0;
}
int cancelAtOnce(int, int, intptr_t) {
    return 1;
}
int cancelOnSecondCall(int, int, intptr_t data) {
    return ++*reinterpret_cast<int*>(data) >= 2;
}

// The bytes a bitmap's blocks must hold according to its own header.
QByteArray headerBytes(const PictureBlocks& blocks) {
    const auto* header = static_cast<const BITMAPINFOHEADER*>(blocks.header.get());
    return QByteArray(static_cast<const char*>(blocks.header.get()),
                      qsizetype(header->biSize + 4 * header->biClrUsed));
}

QByteArray pixelBytes(const PictureBlocks& blocks) {
    const auto* header = static_cast<const BITMAPINFOHEADER*>(blocks.header.get());
    const qsizetype stride = ((qsizetype(header->biWidth) * header->biBitCount + 31) / 32) * 4;
    const qsizetype rows = header->biHeight < 0 ? -qsizetype(header->biHeight) : header->biHeight;
    return QByteArray(static_cast<const char*>(blocks.pixels.get()), stride * rows);
}

bool near(QRgb a, QRgb b, int tolerance) {
    // Fully transparent pixels have no colour worth comparing.
    if (qAlpha(a) == 0 && qAlpha(b) == 0) return true;
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance && std::abs(qAlpha(a) - qAlpha(b)) <= tolerance;
}

// Empty when the pictures are equal pixel for pixel (each level within
// tolerance), else what differs.
std::string difference(const QImage& decoded, const QImage& reference, int tolerance = 0) {
    if (decoded.size() != reference.size())
        return "size " + std::to_string(decoded.width()) + "x" + std::to_string(decoded.height()) +
               " instead of " + std::to_string(reference.width()) + "x" + std::to_string(reference.height());
    const QImage a = decoded.convertToFormat(QImage::Format_ARGB32);
    const QImage b = reference.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (!near(a.pixel(x, y), b.pixel(x, y), tolerance))
                return "first at " + std::to_string(x) + "," + std::to_string(y) + ": " +
                       QString::number(a.pixel(x, y), 16).toStdString() + " instead of " +
                       QString::number(b.pixel(x, y), 16).toStdString();
    return {};
}

// Keeps a plug-in's libraries mapped for the rest of the test program. The
// decoders' own libraries keep caches in static data until the process ends;
// unloaded after every test, those caches would look lost to the leak
// checker of the sanitizer build.
void keepMapped(const char* path) {
    dlopen(path, RTLD_NOW | RTLD_NODELETE);
}

class ShippedPlugin : public ::testing::TestWithParam<Shipped> {
  protected:
    void SetUp() override {
        keepMapped(GetParam().path);
        QString reason;
        library = SusieLibrary::load(QString::fromUtf8(GetParam().path), &reason);
        ASSERT_TRUE(library) << reason.toStdString();
    }

    PictureBlocks decode(const char* buf, intptr_t len, unsigned flag,
                         SusieProgressCallback progress = neverCancel, intptr_t data = 0) const {
        void* header = nullptr;
        void* pixels = nullptr;
        PictureBlocks blocks;
        blocks.result = library->entries().getPicture(buf, len, flag, &header, &pixels, progress, data);
        blocks.header.reset(header);
        blocks.pixels.reset(pixels);
        return blocks;
    }
    PictureBlocks decode(const QByteArray& contents, SusieProgressCallback progress = neverCancel,
                         intptr_t data = 0) const {
        return decode(contents.constData(), contents.size(), SPI_INPUT_MEMORY, progress, data);
    }

    // A failed decode hands back nothing; a successful one a bitmap the host
    // accepts.
    static void expectConsistent(const PictureBlocks& blocks, const std::string& what) {
        if (blocks.result == SPI_SUCCESS) {
            EXPECT_FALSE(orbet::dibToPicture(blocks).isNull()) << what;
        } else {
            EXPECT_FALSE(blocks.header) << what;
            EXPECT_FALSE(blocks.pixels) << what;
        }
    }

    std::unique_ptr<SusieLibrary> library;
};

TEST_P(ShippedPlugin, InfoNumbering) {
    EXPECT_EQ(library->infoBytes(0), QByteArray("00IN"));
    EXPECT_FALSE(library->info(1).isEmpty());
    EXPECT_TRUE(library->info(2).startsWith(QStringLiteral("*.")));
    EXPECT_FALSE(library->info(3).isEmpty());
    EXPECT_FALSE(library->info(3).startsWith(QLatin1Char('*')));
    for (int unknown : {4, 5, 99, -1}) {
        char buffer[16] = "sentinel";
        EXPECT_EQ(library->entries().getPluginInfo(unknown, buffer, sizeof buffer), 0) << unknown;
        EXPECT_EQ(buffer[0], '\0') << unknown;
    }
}

TEST_P(ShippedPlugin, InfoTruncation) {
    const auto info = library->entries().getPluginInfo;
    char buffer[8] = "XXXXXXX";
    EXPECT_EQ(info(0, buffer, 3), 2);
    EXPECT_STREQ(buffer, "00");
    EXPECT_EQ(info(0, buffer, 5), 4);
    EXPECT_STREQ(buffer, "00IN");
    EXPECT_EQ(info(1, buffer, 1), 0);
    EXPECT_STREQ(buffer, "");
    std::strcpy(buffer, "XXXXXXX");
    EXPECT_EQ(info(0, buffer, 0), 0);
    EXPECT_EQ(buffer[0], 'X');
    EXPECT_EQ(info(0, nullptr, 8), 0);
    char description[256] = {};
    const int full = info(1, description, sizeof description);
    EXPECT_EQ(full, int(std::strlen(description)));
}

TEST_P(ShippedPlugin, IsSupportedOnOwnAndForeignFiles) {
    for (const char* sample : GetParam().samples) {
        const QString path = picturePath(sample);
        EXPECT_TRUE(library->isSupported(path, headOf(readAll(path)).constData())) << sample;
    }
    std::vector<QString> foreign = {picturePath("jpeg/hopper.jpg"), picturePath("bmp/hopper.bmp"),
                                    picturePath("gif/hopper.gif")};
    for (const Shipped& other : Plugins)
        if (std::strcmp(other.name, GetParam().name) != 0)
            foreign.push_back(picturePath(other.samples.front()));
    for (const QString& path : foreign)
        EXPECT_FALSE(library->isSupported(path, headOf(readAll(path)).constData())) << path.toStdString();
    EXPECT_FALSE(library->isSupported("zeros", headOf({}).constData()));
}

TEST_P(ShippedPlugin, DecodesPixelExactLikeTheReference) {
    for (std::size_t i = 0; i < GetParam().samples.size(); ++i) {
        const char* sample = GetParam().samples[i];
        const QString path = picturePath(sample);
        const PictureBlocks blocks = decode(readAll(path));
        ASSERT_EQ(blocks.result, SPI_SUCCESS) << sample;
        const QImage decoded = orbet::dibToPicture(blocks);
        ASSERT_FALSE(decoded.isNull()) << sample;
        const QImage reference = referenceOf(GetParam(), i);
        ASSERT_FALSE(reference.isNull()) << sample;
        EXPECT_EQ(difference(decoded, reference, GetParam().tolerance), "") << sample;
    }
}

TEST_P(ShippedPlugin, FileAndMemoryInputGiveTheSamePicture) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* sample : GetParam().samples) {
        const QByteArray contents = readAll(picturePath(sample));
        const PictureBlocks fromMemory = decode(contents);
        ASSERT_EQ(fromMemory.result, SPI_SUCCESS) << sample;

        const QByteArray name = QFile::encodeName(picturePath(sample));
        const PictureBlocks fromFile = decode(name.constData(), 0, SPI_INPUT_FILE);
        ASSERT_EQ(fromFile.result, SPI_SUCCESS) << sample;

        // An offset skips whatever precedes the picture in the file.
        const QString packed = dir.filePath(QStringLiteral("packed"));
        ASSERT_TRUE(orbet::test::writeAll(packed, QByteArray(100, 'j') + contents));
        const PictureBlocks fromOffset = decode(QFile::encodeName(packed).constData(), 100, SPI_INPUT_FILE);
        ASSERT_EQ(fromOffset.result, SPI_SUCCESS) << sample;

        EXPECT_EQ(headerBytes(fromFile), headerBytes(fromMemory)) << sample;
        EXPECT_EQ(pixelBytes(fromFile), pixelBytes(fromMemory)) << sample;
        EXPECT_EQ(headerBytes(fromOffset), headerBytes(fromMemory)) << sample;
        EXPECT_EQ(pixelBytes(fromOffset), pixelBytes(fromMemory)) << sample;
    }
    const PictureBlocks missing =
        decode(QFile::encodeName(dir.filePath(QStringLiteral("absent"))).constData(), 0, SPI_INPUT_FILE);
    EXPECT_EQ(missing.result, SPI_READ_ERROR);
    expectConsistent(missing, "missing file");
}

TEST_P(ShippedPlugin, CancellingLeavesNothing) {
    const QByteArray contents = readAll(picturePath(GetParam().samples.front()));
    const PictureBlocks atOnce = decode(contents, cancelAtOnce);
    EXPECT_EQ(atOnce.result, SPI_CANCELLED);
    EXPECT_FALSE(atOnce.header);
    EXPECT_FALSE(atOnce.pixels);

    int calls = 0;
    const PictureBlocks later = decode(contents, cancelOnSecondCall, reinterpret_cast<intptr_t>(&calls));
    EXPECT_EQ(later.result, SPI_CANCELLED);
    EXPECT_FALSE(later.header);
    EXPECT_FALSE(later.pixels);

    EXPECT_EQ(decode(contents, nullptr).result, SPI_SUCCESS);
}

TEST_P(ShippedPlugin, FailuresClearTheOutputs) {
    const QByteArray foreign = readAll(picturePath("jpeg/hopper.jpg"));
    void* header = reinterpret_cast<void*>(1);
    void* pixels = reinterpret_cast<void*>(1);
    EXPECT_EQ(library->entries().getPicture(foreign.constData(), foreign.size(), SPI_INPUT_MEMORY, &header,
                                            &pixels, neverCancel, 0),
              SPI_UNKNOWN_FORMAT);
    EXPECT_EQ(header, nullptr);
    EXPECT_EQ(pixels, nullptr);

    const QByteArray own = readAll(picturePath(GetParam().samples.front()));
    EXPECT_EQ(decode(own.constData(), own.size(), 2).result, SPI_NOT_IMPLEMENTED);
    EXPECT_EQ(decode(nullptr, 10, SPI_INPUT_MEMORY).result, SPI_MEMORY_ERROR);

    if (const auto preview = library->entries().getPreview) {
        header = pixels = reinterpret_cast<void*>(1);
        const int result =
            preview(own.constData(), own.size(), SPI_INPUT_MEMORY, &header, &pixels, neverCancel, 0);
        EXPECT_EQ(result, SPI_NOT_IMPLEMENTED);
        EXPECT_EQ(header, nullptr);
        EXPECT_EQ(pixels, nullptr);
    }
}

TEST_P(ShippedPlugin, PictureInfoGivesTheSize) {
    const QString path = picturePath(GetParam().samples.front());
    const QByteArray contents = readAll(path);
    PictureInfo info{};
    ASSERT_EQ(
        library->entries().getPictureInfo(contents.constData(), contents.size(), SPI_INPUT_MEMORY, &info),
        SPI_SUCCESS);
    const QSize size = referenceOf(GetParam(), 0).size();
    EXPECT_EQ(info.width, size.width());
    EXPECT_EQ(info.height, size.height());
    EXPECT_EQ(info.left, 0);
    EXPECT_EQ(info.hInfo, nullptr);
    const QByteArray foreign = readAll(picturePath("jpeg/hopper.jpg"));
    EXPECT_NE(library->entries().getPictureInfo(foreign.constData(), foreign.size(), SPI_INPUT_MEMORY, &info),
              SPI_SUCCESS);
}

TEST_P(ShippedPlugin, TruncatedAndCorruptFilesNeverCrash) {
    for (const char* sample : GetParam().samples) {
        const QByteArray contents = readAll(picturePath(sample));
        for (qsizetype length : {qsizetype(0), qsizetype(8), contents.size() / 3, contents.size() * 2 / 3}) {
            const PictureBlocks blocks = decode(contents.left(length));
            expectConsistent(blocks, std::string(sample) + " cut at " + std::to_string(length));
        }
        for (qsizetype start : {qsizetype(16), contents.size() / 4, contents.size() / 2}) {
            QByteArray corrupt = contents;
            for (qsizetype i = start; i < start + 48 && i < corrupt.size(); ++i)
                corrupt[i] = char(corrupt[i] ^ 0x5A);
            expectConsistent(decode(corrupt), std::string(sample) + " corrupt at " + std::to_string(start));
        }
    }
}

TEST_P(ShippedPlugin, BrokenFilesAreRefusedOrDecodedWhole) {
    const QDir broken(testData(QStringLiteral("pictures/broken")));
    for (const QString& name : broken.entryList(QDir::Files))
        expectConsistent(decode(readAll(broken.filePath(name))), name.toStdString());
    const QByteArray plain = readAll(picturePath(GetParam().samples.front()));
    EXPECT_NE(decode(plain.left(plain.size() / 2)).result, SPI_SUCCESS) << "cut in half";
    for (const char* name : GetParam().mustFail) {
        const PictureBlocks blocks = decode(readAll(picturePath(name)));
        EXPECT_NE(blocks.result, SPI_SUCCESS) << name;
        expectConsistent(blocks, name);
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedPlugin, ::testing::ValuesIn(Plugins),
                         [](const ::testing::TestParamInfo<Shipped>& info) {
                             return std::string(info.param.name);
                         });

} // namespace

namespace {

// The colours at the four corners, clockwise from the top left.
std::vector<QRgb> corners(const QImage& image) {
    const int r = image.width() - 1, b = image.height() - 1;
    return {image.pixel(0, 0) | 0xff000000u, image.pixel(r, 0) | 0xff000000u, image.pixel(r, b) | 0xff000000u,
            image.pixel(0, b) | 0xff000000u};
}

QImage decodedBy(const char* pluginPath, const char* picture) {
    QString reason;
    keepMapped(pluginPath);
    const auto library = SusieLibrary::load(QString::fromUtf8(pluginPath), &reason);
    if (!library) return {};
    const QByteArray contents = readAll(QString::fromUtf8(picture));
    return orbet::dibToPicture(library->getPicture(contents));
}

// The test pictures are four squares: red, green at the top right, yellow at
// the bottom right, blue at the bottom left, 64 x 48 as stored.
TEST(ShippedTransforms, AvifTurnsAndMirrorsAsTheFileSays) {
    const QImage turned = decodedBy(ORBET_SHIPPED_AVIF, OWN("quad_irot.avif")); // a quarter turn right
    ASSERT_EQ(turned.size(), QSize(48, 64));
    EXPECT_EQ(corners(turned), (std::vector<QRgb>{0xff0000ffu, 0xffff0000u, 0xff00ff00u, 0xffffff00u}));

    const QImage both =
        decodedBy(ORBET_SHIPPED_AVIF, OWN("quad_rotmir.avif")); // a quarter left, then mirrored
    ASSERT_EQ(both.size(), QSize(48, 64));
    EXPECT_EQ(corners(both), (std::vector<QRgb>{0xffffff00u, 0xff00ff00u, 0xffff0000u, 0xff0000ffu}));

    PictureInfo info{};
    QString reason;
    const auto library = SusieLibrary::load(QString::fromUtf8(ORBET_SHIPPED_AVIF), &reason);
    ASSERT_TRUE(library);
    const QByteArray contents = readAll(QString::fromUtf8(OWN("quad_irot.avif")));
    ASSERT_EQ(
        library->entries().getPictureInfo(contents.constData(), contents.size(), SPI_INPUT_MEMORY, &info),
        SPI_SUCCESS);
    EXPECT_EQ(info.width, 48);
    EXPECT_EQ(info.height, 64);
}

// A cut or damaged file is broken data, not a lack of memory or a format
// the plug-in does not know: the host says so.
TEST(ShippedTransforms, CutNewFormatsAreBrokenData) {
    for (const auto& [plugin, picture] :
         {std::pair{ORBET_SHIPPED_AVIF, OWN("quad.avif")}, std::pair{ORBET_SHIPPED_HEIF, OWN("quad.heic")},
          std::pair{ORBET_SHIPPED_JXL, OWN("quad.jxl")}}) {
        QString reason;
        keepMapped(plugin);
        const auto library = SusieLibrary::load(QString::fromUtf8(plugin), &reason);
        ASSERT_TRUE(library) << reason.toStdString();
        const QByteArray contents = readAll(QString::fromUtf8(picture));
        EXPECT_EQ(library->getPicture(contents.left(contents.size() * 3 / 4)).result, SPI_BROKEN_DATA)
            << picture;
    }
}

TEST(ShippedTransforms, EachNewFormatKeepsItsAlpha) {
    for (const auto& [plugin, picture] :
         {std::pair{ORBET_SHIPPED_AVIF, OWN("quada.avif")}, std::pair{ORBET_SHIPPED_HEIF, OWN("quada.heic")},
          std::pair{ORBET_SHIPPED_JXL, OWN("quada.jxl")}}) {
        const QImage image = decodedBy(plugin, picture);
        ASSERT_FALSE(image.isNull()) << picture;
        EXPECT_TRUE(image.hasAlphaChannel()) << picture;
        EXPECT_NEAR(qAlpha(image.pixel(2, 2)), 128, 2) << picture;
        EXPECT_EQ(qAlpha(image.pixel(40, 2)), 255) << picture;
    }
}

} // namespace
