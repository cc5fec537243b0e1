#include <thread>

#include <QPainter>
#include <QPromise>
#include <QSignalSpy>

#include <gtest/gtest.h>

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

QRgb shown(PictureBox& box, int x, int y) { return box.grab().toImage().pixel(x, y) & 0xffffff; }

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

}  // namespace
}  // namespace orbet
