#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QtTest/QTest>

#include "Form1Fixture.h"
#include "LargeJpeg.h"
#include "app/ui/Navigator.h"
#include "app/ui/ViewerCommands.h"
#include "display/JpegTiles.h"
#include "display/ui/PictureBox.h"
#include "navigation/ui/ListControls.h"
#include "platform/Twips.h"
#include "viewers/ui/AllWindow.h"
#include "viewers/ui/ImageView.h"

namespace orbet::test {
namespace {

// Phone photos of 108 and 200 megapixels, made here, shown through the
// main window and full screen.
class HugePhotosTest : public Form1Test {
  protected:
    QString photo(const char* name, int w, int h) {
        const QString path = QDir(data_.path()).filePath(QLatin1String(name));
        EXPECT_TRUE(writeQuarters(path, w, h));
        return path;
    }
    void show(Form1& f, const QString& name) {
        for (int i = 0; i < f.File1->listCount(); ++i) {
            f.File1->setListIndex(i);
            if (f.File1->fileName() == name) return;
        }
        ADD_FAILURE() << "not listed: " << name.toStdString();
    }
};

// Whether `widget` shows `colour` at `at` once what it waits for has come.
bool shows(QWidget* widget, QPoint at, QRgb colour) {
    const QImage shot = widget->grab().toImage();
    return shot.rect().contains(at) && near(shot.pixel(at), colour);
}

// Waits for the tiles a check needs: true once `seen` holds, false when a
// generous limit passed first.
template <typename Seen> bool eventually(Seen seen) {
    QElapsedTimer clock;
    clock.start();
    while (!seen()) {
        if (clock.elapsed() > 60000) return false;
        QTest::qWait(20);
    }
    return true;
}

TEST_F(HugePhotosTest, PhotosOfHundredsOfMegapixelsShowTheirCornerScrollAndFillTheScreen) {
    photo("p108.jpg", 12000, 9000);
    photo("p200.jpg", 16320, 12240);
    Form1& f = start();
    f.navigator().OpenFolder(data_.path());
    for (auto [name, size] :
         {std::pair{"p108.jpg", QSize(12000, 9000)}, std::pair{"p200.jpg", QSize(16320, 12240)}}) {
        SCOPED_TRACE(name);
        show(f, QLatin1String(name));
        EXPECT_TRUE(prompter_.records().empty()); // never refused
        ASSERT_TRUE(f.MP->tiles());
        EXPECT_EQ(f.MP->size(), size);
        QWidget* frame = f.BP;
        const int w = frame->width(), h = frame->height();
        ASSERT_GT(w, 2 * kMark + 40);
        ASSERT_GT(h, 2 * kMark + 20);
        // The top-left corner first: its mark, then the red quarter.
        EXPECT_TRUE(eventually([&] { return shows(frame, QPoint(5, 5), kTopLeftMark); }));
        EXPECT_TRUE(eventually([&] { return shows(frame, QPoint(kMark + 20, kMark + 20), kQuarters[0]); }));
        EXPECT_TRUE(eventually([&] { return shows(frame, QPoint(w - 5, h - 5), kQuarters[0]); }));

        // Scrolled to the far corner: the yellow quarter and the white mark.
        f.YS->setValue(f.YS->maximum());
        f.TS->setValue(f.TS->maximum());
        EXPECT_TRUE(eventually([&] { return shows(frame, QPoint(w - 5, h - 5), kBottomRightMark); }));
        EXPECT_TRUE(
            eventually([&] { return shows(frame, QPoint(w - kMark - 20, h - kMark - 20), kQuarters[2]); }));
        EXPECT_TRUE(eventually([&] { return shows(frame, QPoint(5, 5), kQuarters[2]); }));

        // Scrolled to the middle: the four quarters meet there.
        f.YS->setValue(twips::fromPixels(size.width() / 2 - w / 2));
        f.TS->setValue(twips::fromPixels(size.height() / 2 - h / 2));
        const QPoint mid(w / 2, h / 2);
        EXPECT_TRUE(eventually([&] { return shows(frame, mid + QPoint(-40, -40), kQuarters[0]); }));
        EXPECT_TRUE(eventually([&] { return shows(frame, mid + QPoint(40, -40), kQuarters[1]); }));
        EXPECT_TRUE(eventually([&] { return shows(frame, mid + QPoint(40, 40), kQuarters[2]); }));
        EXPECT_TRUE(eventually([&] { return shows(frame, mid + QPoint(-40, 40), kQuarters[3]); }));

        // Full screen fills the screen with the whole picture, decoded at a
        // scale that covers it (a stretched picture by default).
        f.action(Command::ZenBit)->trigger();
        AllWindow* all = f.findChild<ViewerCommands*>()->allWindow();
        ASSERT_TRUE(all);
        ImageView* shown = all->Picture1;
        const int sw = shown->width(), sh = shown->height();
        EXPECT_EQ(shown->size(), all->size());
        EXPECT_TRUE(eventually([&] { return shows(shown, QPoint(sw / 4, sh / 4), kQuarters[0]); }));
        EXPECT_TRUE(eventually([&] { return shows(shown, QPoint(sw * 3 / 4, sh / 4), kQuarters[1]); }));
        EXPECT_TRUE(eventually([&] { return shows(shown, QPoint(sw * 3 / 4, sh * 3 / 4), kQuarters[2]); }));
        EXPECT_TRUE(eventually([&] { return shows(shown, QPoint(sw / 4, sh * 3 / 4), kQuarters[3]); }));
        EXPECT_TRUE(eventually([&] { return shows(shown, QPoint(2, 2), kTopLeftMark); }));
        EXPECT_TRUE(eventually([&] { return shows(shown, QPoint(sw - 3, sh - 3), kBottomRightMark); }));
        all->close();
        // The minimum window and printing take the whole picture at the
        // smallest scale that covers the screen: an eighth here.
        const QImage whole = f.MP->picture();
        EXPECT_EQ(whole.size(), QSize((size.width() + 7) / 8, (size.height() + 7) / 8));
        if (!whole.isNull()) {
            EXPECT_TRUE(near(whole.pixel(whole.width() / 4, whole.height() / 4), kQuarters[0]));
            EXPECT_TRUE(near(whole.pixel(whole.width() * 3 / 4, whole.height() * 3 / 4), kQuarters[2]));
        }
        EXPECT_TRUE(eventually([&] { return !f.findChild<ViewerCommands*>()->allWindow(); }));
    }
}

} // namespace
} // namespace orbet::test
