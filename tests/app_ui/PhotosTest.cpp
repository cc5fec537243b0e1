#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QColorSpace>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QtConcurrent/QtConcurrentRun>
#include <QtTest/QTest>
#include <tuple>

#include <lcms2.h>
#include <libheif/heif.h>

#include "Form1Fixture.h"
#include "app/ui/Navigator.h"
#include "app/ui/OptionCommands.h"
#include "app/ui/Panes.h"
#include "app/ui/ViewerCommands.h"
#include "display/ExifOrientation.h"
#include "display/PictureLoader.h"
#include "display/ReadAhead.h"
#include "display/ui/PictureBox.h"
#include "navigation/ui/ListControls.h"
#include "options/ui/OptionForm.h"
#include "platform/UserStore.h"
#include "support/TestSupport.h"
#include "viewers/ui/AllWindow.h"
#include "viewers/ui/ImageView.h"

namespace orbet::test {
namespace {

// Photos as phones and cameras write them, shown by the main window with the
// shipped plug-ins. The pictures are four squares: red at the top left, then
// clockwise green, yellow and blue, 64 x 48 as stored.
class PhotosTest : public Form1Test {
  protected:
    void SetUp() override {
        Form1Test::SetUp();
        writeStoreValue(QStringLiteral("SusiePlugin"), QStringLiteral("Path"),
                        buildDir() + QStringLiteral("/susie"));
    }
    void TearDown() override {
        Form1Test::TearDown();
        writeStoreValue(QStringLiteral("SusiePlugin"), QStringLiteral("Path"), QString());
        writeStoreValue(QStringLiteral("Picture"), QStringLiteral("ExifOrientation"), QString());
        setFollowsStoredOrientation(true);
    }
    void copyOwn(std::initializer_list<const char*> names) {
        for (const char* name : names)
            ASSERT_TRUE(QFile::copy(QStringLiteral(ORBET_OWN_PICTURES "/") + QLatin1String(name),
                                    QDir(data_.path()).filePath(QLatin1String(name))));
    }
    // Shows the entry of this name in the picture filter's list, as a click.
    void show(Form1& f, const QString& name) {
        for (int i = 0; i < f.File1->listCount(); ++i) {
            f.File1->setListIndex(i);
            if (f.File1->fileName() != name) continue;
            // A plug-in's picture reaches the pane from its host.
            EXPECT_TRUE(QTest::qWaitFor([&] { return !f.panes().working(); }, 30000));
            return;
        }
        ADD_FAILURE() << "not listed: " << name.toStdString();
    }
};

// The corner colours clockwise from the top left of what the pane paints,
// each as the nearest of the four squares.
std::string shownCorners(PictureBox& box) {
    const QImage image = box.grab().toImage();
    if (image.width() < 10 || image.height() < 10) return "none";
    auto name = [](QRgb c) {
        const bool r = qRed(c) > 128, g = qGreen(c) > 128, b = qBlue(c) > 128;
        return r && g && !b ? 'Y' : r && !g && !b ? 'R' : !r && g && !b ? 'G' : !r && !g && b ? 'B' : '?';
    };
    const int r = image.width() - 5, b = image.height() - 5;
    return {name(image.pixel(4, 4)), name(image.pixel(r, 4)), name(image.pixel(r, b)),
            name(image.pixel(4, b))};
}

TEST_F(PhotosTest, AvifHeicAndJpegXlOpenFromThePictureFilter) {
    copyOwn({"quad.avif", "quad.heic", "quad.jxl"});
    Form1& f = start();
    f.navigator().OpenFolder(data_.path());
    EXPECT_EQ(f.Combo1->currentText(), QStringLiteral("すべてのピクチャファイル"));
    ASSERT_EQ(f.File1->listCount(), 3);
    for (const char* name : {"quad.avif", "quad.heic", "quad.jxl"}) {
        show(f, QLatin1String(name));
        EXPECT_EQ(f.MP->size(), QSize(64, 48)) << name;
        EXPECT_EQ(shownCorners(*f.MP), "RGYB") << name;
    }
}

// The nearest of the four squares' colours.
char nearest(QRgb c) {
    const bool r = qRed(c) > 128, g = qGreen(c) > 128, b = qBlue(c) > 128;
    return r && g && !b ? 'Y' : r && !g && !b ? 'R' : !r && g && !b ? 'G' : !r && !g && b ? 'B' : '?';
}

// What each stored orientation shows upright, worked out by hand.
const char* const kUpright[9] = {"", "RGYB", "GRBY", "YBRG", "BYGR", "RBYG", "BRGY", "YGRB", "GYBR"};

TEST_F(PhotosTest, EveryOrientationStandsUprightInThePane) {
    copyOwn({"o1.jpg", "o2.jpg", "o3.jpg", "o4.jpg", "o5.jpg", "o6.jpg", "o7.jpg", "o8.jpg", "o6.png",
             "o8.webp", "o5.tif"});
    Form1& f = start();
    f.navigator().OpenFolder(data_.path());
    for (int n = 1; n <= 8; ++n) {
        const QString name = QStringLiteral("o%1.jpg").arg(n);
        show(f, name);
        EXPECT_EQ(f.MP->size(), n >= 5 ? QSize(48, 64) : QSize(64, 48)) << n;
        EXPECT_EQ(shownCorners(*f.MP), kUpright[n]) << n;
    }
    // The plug-ins' formats, turned by the EXIF their files carry.
    for (auto [name, n] : {std::pair{"o6.png", 6}, std::pair{"o8.webp", 8}, std::pair{"o5.tif", 5}}) {
        show(f, QLatin1String(name));
        EXPECT_EQ(f.MP->size(), QSize(48, 64)) << name;
        EXPECT_EQ(shownCorners(*f.MP), kUpright[n]) << name;
    }
}

TEST_F(PhotosTest, TheOptionTurnedOffShowsPicturesAsStored) {
    copyOwn({"o6.jpg", "o6.png"});
    Form1& f = start();
    f.navigator().OpenFolder(data_.path());
    show(f, QStringLiteral("o6.jpg"));
    ASSERT_EQ(f.MP->size(), QSize(48, 64));

    auto d = options::makeForm(f);
    EXPECT_EQ(d->Check15->text(), QStringLiteral("EXIFの回転情報に従って表示する"));
    EXPECT_TRUE(d->Check15->isChecked());
    d->Check15->setChecked(false);
    d->Command4->click();
    d.reset();
    // The shown picture follows at once, as stored.
    EXPECT_EQ(f.MP->size(), QSize(64, 48));
    EXPECT_EQ(shownCorners(*f.MP), "RGYB");
    show(f, QStringLiteral("o6.png"));
    EXPECT_EQ(shownCorners(*f.MP), "RGYB");
    // Kept in the per-user store, never in the settings file.
    EXPECT_EQ(readStoreValue(QStringLiteral("Picture"), QStringLiteral("ExifOrientation")),
              QStringLiteral("0"));
    EXPECT_FALSE(savedIni().contains("Exif"));

    // The next start reads it back.
    form_.reset();
    Form1& g = start();
    g.navigator().OpenFolder(data_.path());
    show(g, QStringLiteral("o6.jpg"));
    EXPECT_EQ(g.MP->size(), QSize(64, 48));
    auto again = options::makeForm(g);
    EXPECT_FALSE(again->Check15->isChecked());
    again->Check15->setChecked(true);
    again->Command4->click();
    again.reset();
    EXPECT_EQ(g.MP->size(), QSize(48, 64));
    EXPECT_EQ(shownCorners(*g.MP), kUpright[6]);
}

// A HEIF of `image` as libheif writes it (heif-enc has no switch for
// either): with irot and imir turning it by EXIF orientation n, and with
// colours given by H.273 numbers (nclx) when primaries is not 0, then
// losslessly coded as RGB.
bool writeHeic(const QImage& image, const QString& path, int n, int primaries = 0, int transfer = 0) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_image* picture = nullptr;
    heif_color_profile_nclx* nclx = nullptr;
    heif_encoding_options* options = heif_encoding_options_alloc();
    bool ok =
        heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code == heif_error_Ok &&
        heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                          &picture)
                .code == heif_error_Ok &&
        heif_image_add_plane(picture, heif_channel_interleaved, rgb.width(), rgb.height(), 8).code ==
            heif_error_Ok;
    if (ok && primaries != 0) {
        nclx = heif_nclx_color_profile_alloc();
        nclx->color_primaries = heif_color_primaries(primaries);
        nclx->transfer_characteristics = heif_transfer_characteristics(transfer);
        nclx->matrix_coefficients = heif_matrix_coefficients_RGB_GBR;
        nclx->full_range_flag = 1;
        ok = heif_image_set_nclx_color_profile(picture, nclx).code == heif_error_Ok &&
             heif_encoder_set_lossless(encoder, 1).code == heif_error_Ok &&
             heif_encoder_set_parameter_string(encoder, "chroma", "444").code == heif_error_Ok;
        options->output_nclx_profile = nclx;
        // Left out by default, for an old decoder's sake.
        options->macOS_compatibility_workaround_no_nclx_profile = 0;
    } else if (ok) {
        ok = heif_encoder_set_lossy_quality(encoder, 90).code == heif_error_Ok;
    }
    if (ok) {
        int stride = 0;
        uint8_t* plane = heif_image_get_plane(picture, heif_channel_interleaved, &stride);
        for (int y = 0; y < rgb.height(); ++y)
            memcpy(plane + y * stride, rgb.constScanLine(y), size_t(rgb.width()) * 3);
        options->image_orientation = heif_orientation(n);
        ok = heif_context_encode_image(context, picture, encoder, options, nullptr).code == heif_error_Ok &&
             heif_context_write_to_file(context, QFile::encodeName(path).constData()).code == heif_error_Ok;
    }
    heif_encoding_options_free(options);
    if (nclx) heif_nclx_color_profile_free(nclx);
    if (picture) heif_image_release(picture);
    if (encoder) heif_encoder_release(encoder);
    heif_context_free(context);
    return ok;
}

// With the option off, the plug-ins' formats show as stored too: HEIF's and
// AVIF's irot and imir and JPEG XL's orientation are left unapplied, and
// on again, applied (the native host is started anew each time).
TEST_F(PhotosTest, TheOptionTurnedOffShowsPluginFormatsAsStored) {
    copyOwn({"quad_irot.avif", "o6.jpg"});
    const QString folder = data_.path();
    const QImage quad(QStringLiteral(ORBET_OWN_PICTURES "/quad.png"));
    ASSERT_TRUE(writeHeic(quad, QDir(folder).filePath(QStringLiteral("turned.heic")), 6));
    // cjxl carries the JPEG's EXIF orientation into the codestream.
    QProcess cjxl;
    cjxl.start(QStringLiteral("cjxl"), {QDir(folder).filePath(QStringLiteral("o6.jpg")),
                                        QDir(folder).filePath(QStringLiteral("turned.jxl"))});
    ASSERT_TRUE(cjxl.waitForFinished(60000) && cjxl.exitCode() == 0);
    ASSERT_TRUE(QFile::remove(QDir(folder).filePath(QStringLiteral("o6.jpg"))));

    Form1& f = start();
    f.navigator().OpenFolder(folder);
    ASSERT_EQ(f.File1->listCount(), 3);
    auto setOption = [&](bool on) {
        auto d = options::makeForm(f);
        d->Check15->setChecked(on);
        d->Command4->click();
    };
    for (bool on : {true, false, true}) {
        setOption(on);
        for (const char* name : {"turned.heic", "turned.jxl", "quad_irot.avif"}) {
            show(f, QLatin1String(name));
            const bool turns = on;
            EXPECT_EQ(f.MP->size(), turns ? QSize(48, 64) : QSize(64, 48)) << name << on;
            if (QLatin1String(name) == QLatin1String("quad_irot.avif"))
                EXPECT_EQ(shownCorners(*f.MP) == "RGYB", !turns) << name << on;
            else
                EXPECT_EQ(shownCorners(*f.MP), turns ? kUpright[6] : "RGYB") << name << on;
        }
    }
}

} // namespace
} // namespace orbet::test

namespace orbet::test {
namespace {

QRgb centre(const QImage& image) {
    return image.pixel(image.width() / 2, image.height() / 2) | 0xff000000u;
}

// The second frame comes after the first frame's 300 ms, not before; another
// file or a hidden pane stops the animation.
TEST_F(PhotosTest, AnAnimatedGifMovesInThePaneAndStopsWhenLeft) {
    copyOwn({"anim.gif", "quad.png"});
    Form1& f = start();
    f.navigator().OpenFolder(data_.path());
    QSignalSpy frames(f.MP, &PictureBox::frameShown);
    QElapsedTimer clock;
    clock.start();
    show(f, QStringLiteral("anim.gif"));
    EXPECT_EQ(centre(f.MP->grab().toImage()), 0xffff0000u);
    EXPECT_TRUE(f.MP->isAnimated());
    ASSERT_TRUE(frames.wait(5000));
    EXPECT_GE(clock.elapsed(), 295);
    EXPECT_EQ(centre(f.MP->grab().toImage()), 0xff0000ffu);

    f.MP->hide();
    frames.clear();
    QTest::qWait(700);
    EXPECT_EQ(frames.count(), 0);
    f.MP->show();
    ASSERT_TRUE(frames.wait(5000));

    show(f, QStringLiteral("quad.png"));
    EXPECT_FALSE(f.MP->isAnimated());
    frames.clear();
    QTest::qWait(700);
    EXPECT_EQ(frames.count(), 0);
}

} // namespace
} // namespace orbet::test

namespace orbet::test {
namespace {

// Full screen shows the animation's frames as the pane gets them, and an
// oriented photo upright.
TEST_F(PhotosTest, FullScreenPlaysTheAnimationAndShowsPhotosUpright) {
    copyOwn({"anim.gif", "o6.jpg"});
    Form1& f = start();
    f.navigator().OpenFolder(data_.path());
    show(f, QStringLiteral("anim.gif"));
    // The main window's own activation, still on its way, would close the
    // full-screen window as soon as it arrived.
    if (f.isVisible()) ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.action(Command::ZenBit)->trigger();
    QPointer<AllWindow> w = f.findChild<ViewerCommands*>()->allWindow();
    ASSERT_TRUE(w);
    EXPECT_EQ(centre(w->Picture1->picture()), 0xffff0000u);
    QSignalSpy frames(f.MP, &PictureBox::frameShown);
    ASSERT_TRUE(frames.wait(5000));
    ASSERT_TRUE(w);
    EXPECT_EQ(centre(w->Picture1->picture()), 0xff0000ffu);

    QTest::keyClick(w.data(), Qt::Key_Right);
    ASSERT_EQ(f.File1->fileName(), QStringLiteral("o6.jpg"));
    EXPECT_EQ(w->Picture1->picture().size(), QSize(48, 64));
    EXPECT_EQ(centre(w->Picture1->picture().copy(0, 0, 24, 32)) & 0xfff0f0f0u,
              0xff0000f0u); // blue at the top left
}

} // namespace
} // namespace orbet::test

namespace orbet::test {
namespace {

// A JPEG of `image` carrying EXIF orientation n, written as a camera does:
// an APP1 Exif segment right after the start.
QByteArray orientedJpeg(const QImage& image, int n) {
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 92);
    const QByteArray exif = QByteArray("Exif\0\0MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0", 25) +
                            char(n) + QByteArray(7, '\0');
    QByteArray segment("\xff\xe1", 2);
    segment.append(char(0)).append(char(exif.size() + 2)).append(exif);
    return jpeg.left(2) + segment + jpeg.mid(2);
}

// A large photo of the four squares (red, green, yellow, blue clockwise
// from the top left), 2400 x 1600 as stored.
QImage largeQuad() {
    QImage scene(2400, 1600, QImage::Format_RGB32);
    QPainter p(&scene);
    p.fillRect(0, 0, 1200, 800, Qt::red);
    p.fillRect(1200, 0, 1200, 800, Qt::green);
    p.fillRect(1200, 800, 1200, 800, Qt::yellow);
    p.fillRect(0, 800, 1200, 800, Qt::blue);
    p.end();
    return scene;
}

// Large photos go through the two-thread decoder and show their upright
// top-left corner first whichever way they are turned, also where that
// corner comes from the end of the file, whether the whole decoding hands it
// over (after the start) or the window decodes it alone (during the start);
// then the pane holds the upright picture.
TEST_F(PhotosTest, LargeTurnedPhotosShowTheirCornerFirstAndThenUprightWhole) {
    const QImage scene = largeQuad();
    Form1& f = start();
    EXPECT_EQ(f.panes().firstCorner, Panes::FirstCorner::FromDecoding);
    f.resize(800, 600);
    for (int k = 0; k < 16; ++k) {
        const int n = k % 8 + 1;
        f.panes().firstCorner = k < 8 ? Panes::FirstCorner::FromDecoding : Panes::FirstCorner::DecodedHere;
        const std::string corners = kUpright[n];
        const QString path = QDir(data_.path()).filePath(QStringLiteral("big%1.jpg").arg(n));
        ASSERT_TRUE(writeAll(path, orientedJpeg(scene, n)));
        ASSERT_TRUE(f.panes().loadPicture(path));
        const QSize upright = n >= 5 ? QSize(1600, 2400) : QSize(2400, 1600);
        EXPECT_EQ(f.MP->size(), upright) << n;
        // Before anything asks for the whole picture, the pane paints the
        // corner: the upright top-left square's colour, the background
        // beyond the corner.
        ASSERT_FALSE(f.MP->isComplete()) << n;
        const QImage painted = f.MP->grab(QRect(0, 0, 100, 100)).toImage();
        EXPECT_EQ(nearest(painted.pixel(50, 50)), corners[0]) << n;
        // The whole picture paints upright as it arrives (a quarter-turned
        // one may still be held as stored), and is upright when asked for.
        f.MP->waitForWhole();
        EXPECT_TRUE(f.MP->isComplete()) << n;
        EXPECT_EQ(f.MP->size(), upright) << n;
        EXPECT_EQ(shownCorners(*f.MP), corners) << n;
        const QImage whole = f.MP->picture();
        ASSERT_EQ(whole.size(), upright) << n;
        const std::string shown{nearest(whole.pixel(10, 10)), nearest(whole.pixel(whole.width() - 11, 10)),
                                nearest(whole.pixel(whole.width() - 11, whole.height() - 11)),
                                nearest(whole.pixel(10, whole.height() - 11))};
        EXPECT_EQ(shown, corners) << n;
    }
    f.panes().firstCorner = Panes::FirstCorner::FromDecoding;
}

// A turned photo whose decoding ahead is still under way when it is shown
// shows the corner that decoding hands over, then the whole picture once it
// ends.
TEST_F(PhotosTest, ATurnedPhotoStillDecodingAheadShowsTheCornerItHandsOver) {
    const QImage scene = largeQuad();
    Form1& f = start();
    f.resize(800, 600);
    const QString path = QDir(data_.path()).filePath(QStringLiteral("big6.jpg"));
    ASSERT_TRUE(writeAll(path, orientedJpeg(scene, 6)));
    // The decoding ahead as the program starts it, held open after its end
    // until the test lets it finish (or a pane that waits for it gives up).
    auto handOff = std::make_shared<JpegCornerHandOff>(f.panes().cornerSize());
    auto gate = std::make_shared<QSemaphore>();
    struct Open {
        std::shared_ptr<QSemaphore> gate;
        ~Open() { gate->release(); } // also when a check below gives up
    } open{gate};
    QFuture<QImage> decoding = QtConcurrent::run([path, handOff, gate] {
        QImage whole = loadBuiltInPicture(path, decodedPictureLimitMb(), handOff.get());
        gate->tryAcquire(1, 5000);
        return whole;
    });
    int asked = 0;
    f.panes().readAhead = [&](const QString& shown) -> std::optional<ReadAhead::Decoding> {
        ++asked;
        if (shown != path) return std::nullopt;
        return ReadAhead::Decoding{decoding, handOff};
    };
    ASSERT_TRUE(f.panes().loadPicture(path));
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(decoding.isFinished());
    ASSERT_FALSE(f.MP->isComplete());
    EXPECT_EQ(f.MP->size(), QSize(1600, 2400));
    const QImage painted = f.MP->grab(QRect(0, 0, 100, 100)).toImage();
    EXPECT_EQ(nearest(painted.pixel(50, 50)), kUpright[6][0]);
    gate->release();
    const QImage whole = f.MP->picture();
    ASSERT_EQ(whole.size(), QSize(1600, 2400));
    EXPECT_EQ(nearest(whole.pixel(whole.width() - 11, whole.height() - 11)), kUpright[6][2]);
    f.panes().readAhead = nullptr;
}

// The pane's read-ahead offers `decoding` for `path` alone.
void offerAhead(Form1& f, const QString& path, QFuture<QImage> decoding,
                std::shared_ptr<JpegCornerHandOff> handOff) {
    f.panes().readAhead = [path, decoding,
                           handOff](const QString& shown) -> std::optional<ReadAhead::Decoding> {
        if (shown != path) return std::nullopt;
        return ReadAhead::Decoding{decoding, handOff};
    };
}

// An upright photo decoding ahead is not decoded a second time for its
// corner: the pane shows what that decoding hands over (here a corner of a
// colour the file does not hold), then the whole picture.
TEST_F(PhotosTest, AnUprightPhotoStillDecodingAheadShowsTheCornerThatDecodingHandsOver) {
    Form1& f = start();
    f.resize(800, 600);
    const QString path = QDir(data_.path()).filePath(QStringLiteral("big1.jpg"));
    ASSERT_TRUE(writeAll(path, orientedJpeg(largeQuad(), 1)));
    auto handOff = std::make_shared<JpegCornerHandOff>(f.panes().cornerSize());
    auto gate = std::make_shared<QSemaphore>();
    struct Open {
        std::shared_ptr<QSemaphore> gate;
        ~Open() { gate->release(); }
    } open{gate};
    QFuture<QImage> decoding = QtConcurrent::run([path, handOff, gate] {
        QImage marked(handOff->cornerSize(), QImage::Format_RGB32);
        marked.fill(Qt::magenta);
        handOff->hand(marked);
        gate->tryAcquire(1, 5000);
        return loadBuiltInPicture(path);
    });
    offerAhead(f, path, decoding, handOff);
    ASSERT_TRUE(f.panes().loadPicture(path));
    ASSERT_FALSE(f.MP->isComplete());
    EXPECT_EQ(f.MP->size(), QSize(2400, 1600));
    EXPECT_EQ(f.MP->grab(QRect(0, 0, 100, 100)).toImage().pixel(50, 50), QColor(Qt::magenta).rgb());
    gate->release();
    const QImage whole = f.MP->picture();
    ASSERT_EQ(whole.size(), QSize(2400, 1600));
    EXPECT_EQ(nearest(whole.pixel(10, 10)), kUpright[1][0]);
    // A decoding ahead that hands nothing over (it started while the pane
    // had no size): the pane decodes the corner itself all the same.
    auto held = std::make_shared<QSemaphore>();
    Open again{held};
    QFuture<QImage> quiet = QtConcurrent::run([path, held] {
        held->tryAcquire(1, 5000);
        return loadBuiltInPicture(path);
    });
    offerAhead(f, path, quiet, nullptr);
    ASSERT_TRUE(f.panes().loadPicture(path));
    ASSERT_FALSE(f.MP->isComplete());
    EXPECT_EQ(nearest(f.MP->grab(QRect(0, 0, 100, 100)).toImage().pixel(50, 50)), kUpright[1][0]);
    held->release();
    EXPECT_EQ(f.MP->picture().size(), QSize(2400, 1600));
    f.panes().readAhead = nullptr;
}

} // namespace
} // namespace orbet::test

namespace orbet::test {
namespace {

// The profile each kind of file embeds (TIFF's tag, AVIF's and HEIF's colr
// box, WebP's ICCP chunk) converts what the plug-in decoded, as ImageMagick
// converts the same numbers; the lossy HEIF on average (its edges stray).
TEST_F(PhotosTest, PluginPicturesConvertThroughTheirProfiles) {
    copyOwn({"rose_a98.tif", "rose_a98.avif", "rose_a98.webp", "rose_a98.heic"});
    Form1& f = start();
    f.navigator().OpenFolder(data_.path());
    const QImage reference = QImage(QStringLiteral(ORBET_OWN_PICTURES "/rose_a98png_ref.png"))
                                 .convertToFormat(QImage::Format_RGB32);
    for (auto [name, lossless] : {std::pair{"rose_a98.tif", true}, std::pair{"rose_a98.avif", true},
                                  std::pair{"rose_a98.webp", true}, std::pair{"rose_a98.heic", false}}) {
        show(f, QLatin1String(name));
        const QImage shown = f.MP->picture().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shown.size(), reference.size()) << name;
        int most = 0;
        qint64 total = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) {
                const QRgb p = shown.pixel(x, y), q = reference.pixel(x, y);
                const int r = std::abs(qRed(p) - qRed(q)), g = std::abs(qGreen(p) - qGreen(q)),
                          b = std::abs(qBlue(p) - qBlue(q));
                most = std::max({most, r, g, b});
                total += r + g + b;
            }
        const double mean = double(total) / (3.0 * shown.width() * shown.height());
        if (lossless)
            EXPECT_LE(most, 1) << name;
        else
            EXPECT_LT(mean, 5.0) << name; // unconverted, 7.6
    }
}

} // namespace
} // namespace orbet::test

namespace orbet::test {
namespace {

bool runTool(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

quint32 pngCrc(const QByteArray& bytes) {
    quint32 crc = 0xffffffffu;
    for (const char c : bytes) {
        crc ^= uchar(c);
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? 0xedb88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

// The picture's numbers without its profile, marked gamma 2.2 as a picture
// stripped of its profile is (a gAMA chunk of 1/2.2 after the header), which
// cjxl keeps as the colour space's transfer.
bool writeUnprofiled(const QString& from, const QString& to) {
    QImage image(from);
    if (image.isNull()) return false;
    image.setColorSpace(QColorSpace());
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return false;
    constexpr int kAfterHeader = 8 + 25; // the signature, then IHDR
    if (png.size() < kAfterHeader || png.mid(12, 4) != "IHDR" || png.contains("iCCP") || png.contains("gAMA"))
        return false;
    QByteArray chunk("gAMA");
    auto bigEndian = [](quint32 v) {
        const char bytes[4] = {char(v >> 24), char(v >> 16 & 0xff), char(v >> 8 & 0xff), char(v & 0xff)};
        return QByteArray(bytes, 4);
    };
    chunk += bigEndian(45455);
    png.insert(kAfterHeader, bigEndian(4) + chunk + bigEndian(pngCrc(chunk)));
    return writeAll(to, png);
}

// The picture converted through the profile to sRGB by LittleCMS's exact
// 16-bit pipeline, as ImageMagick or any colour-managed program converts it.
bool writeConverted(const QString& from, const QString& iccFile, const QString& to) {
    QImage image = QImage(from).convertToFormat(QImage::Format_RGB32);
    const QByteArray icc = readAll(iccFile);
    if (image.isNull() || icc.isEmpty()) return false;
    cmsHPROFILE source = cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size()));
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHTRANSFORM transform =
        source ? cmsCreateTransform(source, TYPE_BGRA_8, srgb, TYPE_BGRA_8, INTENT_PERCEPTUAL,
                                    cmsFLAGS_NOOPTIMIZE | cmsFLAGS_NOCACHE)
               : nullptr;
    if (transform) {
        for (int y = 0; y < image.height(); ++y)
            cmsDoTransform(transform, image.constScanLine(y), image.scanLine(y),
                           cmsUInt32Number(image.width()));
        cmsDeleteTransform(transform);
    }
    if (source) cmsCloseProfile(source);
    cmsCloseProfile(srgb);
    return transform && image.save(to);
}

// The largest and the mean difference of any channel between two pictures.
std::pair<int, double> difference(const QImage& a, const QImage& b) {
    const QImage p = a.convertToFormat(QImage::Format_RGB32), q = b.convertToFormat(QImage::Format_RGB32);
    int most = 0;
    qint64 total = 0;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            const QRgb u = p.pixel(x, y), v = q.pixel(x, y);
            for (int d : {std::abs(qRed(u) - qRed(v)), std::abs(qGreen(u) - qGreen(v)),
                          std::abs(qBlue(u) - qBlue(v))}) {
                most = std::max(most, d);
                total += d;
            }
        }
    return {most, double(total) / (3.0 * p.width() * p.height())};
}

// Colours given another way than a profile the program finds in the file:
// JPEG XL's profile (compressed in the codestream) and its colour space
// given as numbers, and AVIF's and HEIF's nclx numbers. Each shows as
// LittleCMS converts the same numbers through the profile libjxl's own djxl
// writes for that colour space.
TEST_F(PhotosTest, JpegXlProfilesAndNumberedColourSpacesConvertToo) {
    const QDir dir(data_.path());
    auto at = [&](const char* name) { return dir.filePath(QLatin1String(name)); };
    ASSERT_TRUE(QFile::copy(QStringLiteral(ORBET_OWN_PICTURES "/rose_a98.png"), at("rose.png")));
    ASSERT_TRUE(writeUnprofiled(at("rose.png"), at("plain.png")));
    ASSERT_TRUE(runTool(QStringLiteral("cjxl"),
                        {at("rose.png"), at("icc.jxl"), QStringLiteral("-d"), QStringLiteral("0")}));
    ASSERT_TRUE(runTool(QStringLiteral("cjxl"),
                        {at("rose.png"), at("lossy.jxl"), QStringLiteral("-d"), QStringLiteral("0.5")}));
    ASSERT_TRUE(runTool(QStringLiteral("cjxl"),
                        {at("plain.png"), at("gamma.jxl"), QStringLiteral("-d"), QStringLiteral("0")}));
    ASSERT_TRUE(
        runTool(QStringLiteral("avifenc"), {QStringLiteral("-l"), QStringLiteral("--cicp"),
                                            QStringLiteral("1/4/0"), at("plain.png"), at("gamma.avif")}));
    ASSERT_TRUE(writeHeic(QImage(at("plain.png")), at("gamma.heic"), 1, 1, 4));
    // The references, made apart from the program: the gamma colour space's
    // profile as djxl writes it, and the conversion through it.
    ASSERT_TRUE(runTool(QStringLiteral("djxl"), {at("gamma.jxl"), at("decoded.png"),
                                                 QStringLiteral("--icc_out=") + at("gamma.icc")}));
    ASSERT_TRUE(writeConverted(at("plain.png"), at("gamma.icc"), at("gamma_ref.png")));
    const QImage gammaReference(at("gamma_ref.png"));
    const QImage iccReference(QStringLiteral(ORBET_OWN_PICTURES "/rose_a98png_ref.png"));
    ASSERT_FALSE(gammaReference.isNull());
    // The profiles change these pictures by several levels.
    ASSERT_GT(difference(QImage(at("plain.png")), gammaReference).first, 4);
    const double unconverted = difference(QImage(at("plain.png")), iccReference).second;
    ASSERT_GT(unconverted, 4.0);
    for (const char* name : {"rose.png", "plain.png", "decoded.png", "gamma_ref.png"})
        QFile::remove(at(name));
    QFile::remove(at("gamma.icc"));

    Form1& f = start();
    f.navigator().OpenFolder(data_.path());
    ASSERT_EQ(f.File1->listCount(), 5);
    for (auto [name, reference, lossless] :
         {std::tuple{"icc.jxl", &iccReference, true}, std::tuple{"lossy.jxl", &iccReference, false},
          std::tuple{"gamma.jxl", &gammaReference, true}, std::tuple{"gamma.avif", &gammaReference, true},
          std::tuple{"gamma.heic", &gammaReference, true}}) {
        show(f, QLatin1String(name));
        const QImage shown = f.MP->picture();
        ASSERT_EQ(shown.size(), reference->size()) << name;
        const auto [most, mean] = difference(shown, *reference);
        if (lossless)
            EXPECT_LE(most, 1) << name;
        else
            EXPECT_LT(mean, unconverted / 2) << name;
    }
}

} // namespace
} // namespace orbet::test
