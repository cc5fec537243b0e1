#include <thread>

#include <QPainter>
#include <QPromise>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "display/JpegDecoder.h"
#include "display/Orientation.h"
#include "display/ui/PictureBox.h"

namespace orbet {
namespace {

QImage scene() {
    QImage img(300, 200, QImage::Format_RGB32);
    img.fill(Qt::darkGreen);
    QPainter p(&img);
    p.fillRect(0, 0, 60, 40, Qt::red);
    p.fillRect(240, 150, 60, 50, Qt::blue);
    return img;
}

QRgb shown(PictureBox& box, int x, int y) {
    return box.grab().toImage().pixel(x, y) & 0xffffff;
}

// A large photo's corner shows at once, the rest of the box is background
// until the whole picture arrives, and only then is the picture "changed"
// (which starts decoding the next one ahead).
TEST(PictureBox, ACornerShownFirstGivesWayToTheWholePicture) {
    PictureBox box;
    const QImage whole = scene();
    QPromise<QImage> promise;
    promise.start();
    QSignalSpy changed(&box, &PictureBox::pictureChanged);
    box.setPicture(whole.copy(0, 0, 100, 60), whole.size(), promise.future(), [] { return QImage(); });
    EXPECT_EQ(box.size(), whole.size());
    EXPECT_FALSE(box.isComplete());
    EXPECT_FALSE(box.isEmpty());
    EXPECT_EQ(shown(box, 10, 10), whole.pixel(10, 10) & 0xffffff);
    EXPECT_EQ(shown(box, 250, 160), box.palette().color(QPalette::Window).rgb() & 0xffffff);
    EXPECT_EQ(changed.count(), 0);

    promise.addResult(whole);
    promise.finish();
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(box.isComplete());
    EXPECT_EQ(box.picture(), whole);
    EXPECT_EQ(shown(box, 250, 160), whole.pixel(250, 160) & 0xffffff);
}

TEST(PictureBox, AskingForThePictureWaitsForItAndFailuresKeepWhatIsThere) {
    const QImage whole = scene();
    {
        // Printing or the full-screen window asks while the rest decodes.
        PictureBox box;
        QPromise<QImage> promise;
        promise.start();
        box.setPicture(whole.copy(0, 0, 100, 60), whole.size(), promise.future(), [] { return QImage(); });
        std::thread decoder([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            promise.addResult(whole);
            promise.finish();
        });
        EXPECT_EQ(box.picture(), whole);
        decoder.join();
    }
    {
        // The whole decoding fails: the ordinary loader is asked instead.
        PictureBox box;
        QPromise<QImage> promise;
        promise.start();
        promise.finish();
        box.setPicture(whole.copy(0, 0, 100, 60), whole.size(), promise.future(), [&] { return whole; });
        EXPECT_EQ(box.picture(), whole);
    }
    {
        // Both fail: the corner stays, as all there is.
        PictureBox box;
        QPromise<QImage> promise;
        promise.start();
        promise.finish();
        const QImage corner = whole.copy(0, 0, 100, 60);
        box.setPicture(corner, whole.size(), promise.future(), [] { return QImage(); });
        EXPECT_EQ(box.picture(), corner);
        EXPECT_EQ(box.size(), corner.size());
    }
    {
        // Another picture shown meanwhile: the earlier one never comes back.
        PictureBox box;
        QPromise<QImage> promise;
        promise.start();
        box.setPicture(whole.copy(0, 0, 100, 60), whole.size(), promise.future(), [&] { return whole; });
        QImage other(50, 50, QImage::Format_RGB32);
        other.fill(Qt::white);
        box.setPicture(other);
        QSignalSpy changed(&box, &PictureBox::pictureChanged);
        promise.addResult(whole);
        promise.finish();
        EXPECT_FALSE(changed.wait(300));
        EXPECT_EQ(box.picture(), other);
    }
}

// A picture held as stored with its turn is the upright size, paints
// upright pixel for pixel, whole or a part at a time, and gives the upright
// picture when asked for it.
TEST(PictureBox, APictureHeldAsStoredPaintsUpright) {
    QImage stored(301, 203, QImage::Format_RGB32);
    for (int y = 0; y < stored.height(); ++y)
        for (int x = 0; x < stored.width(); ++x)
            stored.setPixel(x, y, qRgb(x & 0xff, y & 0xff, (x * 7 + y * 13) & 0xff));
    for (int n = 1; n <= 8; ++n) {
        const QImage upright = orientedImage(stored, n);
        PictureBox box;
        box.setPicture(stored, n);
        ASSERT_EQ(box.size(), upright.size()) << n;
        EXPECT_EQ(box.grab().toImage().convertToFormat(QImage::Format_RGB32), upright) << n;
        const QRect part(17, 29, 90, 61);
        EXPECT_EQ(box.grab(part).toImage().convertToFormat(QImage::Format_RGB32), upright.copy(part)) << n;
        EXPECT_EQ(box.picture(), upright) << n;
        EXPECT_EQ(box.grab().toImage().convertToFormat(QImage::Format_RGB32), upright) << n;
    }
}

// A whole picture that arrives as stored after its corner keeps that corner
// for painting the top-left (it is that part, already upright; marked here
// to tell), turns the rest as it is painted, and is upright when asked for.
TEST(PictureBox, AWholePictureArrivingAsStoredPaintsItsTopLeftFromTheCorner) {
    QImage stored(301, 203, QImage::Format_RGB32);
    stored.fill(Qt::darkGreen);
    const QImage upright = orientedImage(stored, 6);
    QImage corner(100, 80, QImage::Format_RGB32);
    corner.fill(Qt::magenta);
    auto handOff = std::make_shared<JpegCornerHandOff>(corner.size(), true);
    handOff->setWholeTurn(6);
    QPromise<QImage> promise;
    promise.start();
    PictureBox box;
    box.setPicture(
        corner, upright.size(), promise.future(), [] { return QImage(); }, handOff);
    promise.addResult(stored);
    promise.finish();
    box.waitForWhole();
    EXPECT_TRUE(box.isComplete());
    ASSERT_EQ(box.size(), upright.size());
    EXPECT_EQ(box.grab(QRect(0, 0, 100, 80)).toImage().convertToFormat(QImage::Format_RGB32), corner);
    EXPECT_EQ(shown(box, 150, 250), QColor(Qt::darkGreen).rgb() & 0xffffff);
    EXPECT_EQ(box.picture(), upright);
    EXPECT_EQ(shown(box, 50, 40), QColor(Qt::darkGreen).rgb() & 0xffffff);
}

} // namespace
} // namespace orbet
