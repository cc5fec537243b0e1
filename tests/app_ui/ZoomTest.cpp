#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest/QTest>

#include "Form1Fixture.h"
#include "app/ui/Navigator.h"
#include "app/ui/ViewerCommands.h"
#include "display/ui/PictureBox.h"
#include "navigation/ui/ListControls.h"
#include "platform/Twips.h"
#include "platform/UserStore.h"
#include "viewers/ui/AllWindow.h"
#include "viewers/ui/ImageView.h"

namespace orbet::test {
namespace {

// Zoom, fit, wheel and keys as users of other viewers expect them, in the
// pane and in full screen.
class ZoomTest : public Form1Test {
  protected:
    void TearDown() override {
        Form1Test::TearDown();
        writeStoreValue(QStringLiteral("Picture"), QStringLiteral("FitToPane"), QString());
    }
    // A BMP of four coloured quarters (built in, decoded at once).
    void picture(const char* name, QSize size) {
        QImage image(size, QImage::Format_RGB32);
        QPainter p(&image);
        const int w = size.width() / 2, h = size.height() / 2;
        p.fillRect(0, 0, w, h, Qt::red);
        p.fillRect(w, 0, size.width() - w, h, Qt::green);
        p.fillRect(w, h, size.width() - w, size.height() - h, Qt::yellow);
        p.fillRect(0, h, w, size.height() - h, Qt::blue);
        p.end();
        ASSERT_TRUE(image.save(QDir(data_.path()).filePath(QLatin1String(name)), "BMP"));
    }
    void show(Form1& f, const QString& name) {
        for (int i = 0; i < f.File1->listCount(); ++i) {
            f.File1->setListIndex(i);
            if (f.File1->fileName() == name) return;
        }
        ADD_FAILURE() << "not listed: " << name.toStdString();
    }
    QAction* paneKey(Form1& f, const char* name) { return f.findChild<QAction*>(QLatin1String(name)); }
};

void wheel(QWidget* target, QPoint at, int notches, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

void drag(QWidget* target, QPoint from, QPoint to) {
    QTest::mousePress(target, Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, to, target->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QTest::mouseRelease(target, Qt::LeftButton, Qt::NoModifier, to);
}

TEST_F(ZoomTest, ThePaneScrollsZoomsAroundThePointerAndPans) {
    picture("a.bmp", QSize(2400, 1800));
    picture("b.bmp", QSize(640, 480));
    Form1& f = start();
    f.navigator().OpenFolder(data_.path());
    show(f, QStringLiteral("a.bmp"));
    PictureBox& mp = *f.MP;
    ASSERT_EQ(mp.size(), QSize(2400, 1800));
    // The picture's size in pixels beside its bytes.
    EXPECT_TRUE(f.Bytes->text().endsWith(QStringLiteral("  2400 x 1800"))) << f.Bytes->text().toStdString();

    // The wheel scrolls down, Shift+wheel across; neither zooms.
    wheel(&mp, QPoint(50, 50), -1);
    EXPECT_GT(f.TS->value(), 0);
    EXPECT_EQ(f.YS->value(), 0);
    wheel(&mp, QPoint(50, 50), -2, Qt::ShiftModifier);
    EXPECT_GT(f.YS->value(), 0);
    EXPECT_EQ(mp.zoom(), 1);
    f.YS->setValue(0);
    f.TS->setValue(0);

    // Ctrl+wheel zooms around the pointer: the picture's point under it stays.
    f.YS->setValue(twips::fromPixels(600));
    f.TS->setValue(twips::fromPixels(400));
    const QPoint at(120, 90);
    const QPointF under = QPointF(at - mp.pos());
    ASSERT_EQ(under, QPointF(720, 490));
    wheel(f.BP, at, 1, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(mp.zoom(), 1.25);
    EXPECT_EQ(mp.size(), QSize(3000, 2250));
    EXPECT_NEAR((at.x() - mp.x()) / 1.25, under.x(), 1.5);
    EXPECT_NEAR((at.y() - mp.y()) / 1.25, under.y(), 1.5);
    wheel(&mp, mp.mapFrom(f.BP, at), -2, Qt::ControlModifier);
    EXPECT_NEAR(mp.zoom(), 0.8, 1e-9);
    EXPECT_NEAR((at.x() - mp.x()) / 0.8, under.x(), 2);
    EXPECT_NEAR((at.y() - mp.y()) / 0.8, under.y(), 2);

    // The keys: Ctrl+0 fits, Ctrl+1 gives the natural size, Ctrl++ / Ctrl+-.
    paneKey(f, "paneZoomFit")->trigger();
    EXPECT_LE(mp.width(), f.BP->width());
    EXPECT_LE(mp.height(), f.BP->height());
    EXPECT_TRUE(std::abs(mp.width() - f.BP->width()) <= 1 || std::abs(mp.height() - f.BP->height()) <= 1);
    EXPECT_FALSE(f.YS->isEnabled());
    paneKey(f, "paneZoomNatural")->trigger();
    EXPECT_EQ(mp.size(), QSize(2400, 1800));
    paneKey(f, "paneZoomIn")->trigger();
    EXPECT_EQ(mp.size(), QSize(3000, 2250));
    paneKey(f, "paneZoomOut")->trigger();
    paneKey(f, "paneZoomOut")->trigger();
    EXPECT_EQ(mp.size(), QSize(1920, 1440));
    for (auto [name, key] : {std::pair{"paneZoomIn", "Ctrl++"}, std::pair{"paneZoomOut", "Ctrl+-"},
                             std::pair{"paneZoomFit", "Ctrl+0"}, std::pair{"paneZoomNatural", "Ctrl+1"}})
        EXPECT_TRUE(paneKey(f, name)->shortcuts().contains(QKeySequence(QLatin1String(key)))) << name;

    // Dragging with the left button pans.
    paneKey(f, "paneZoomNatural")->trigger();
    f.YS->setValue(0);
    f.TS->setValue(0);
    drag(&mp, QPoint(200, 200), QPoint(140, 170));
    EXPECT_EQ(mp.pos(), QPoint(-60, -30));

    // The zoom is a viewing state: the next picture comes at its size.
    paneKey(f, "paneZoomIn")->trigger();
    show(f, QStringLiteral("b.bmp"));
    EXPECT_EQ(mp.zoom(), 1);
    EXPECT_EQ(mp.size(), QSize(640, 480));
    EXPECT_TRUE(f.Bytes->text().endsWith(QStringLiteral("  640 x 480")));
}

TEST_F(ZoomTest, FitToPaneIsOffByDefaultFitsLargerPicturesAndIsRemembered) {
    picture("a.bmp", QSize(2400, 1800));
    picture("b.bmp", QSize(64, 48));
    {
        Form1& f = start();
        QAction* item = f.action(Command::FitPane);
        ASSERT_TRUE(item);
        EXPECT_EQ(item->text(), QStringLiteral("画面に合わせて表示"));
        EXPECT_FALSE(item->isChecked());
        f.navigator().OpenFolder(data_.path());
        show(f, QStringLiteral("a.bmp"));
        EXPECT_EQ(f.MP->size(), QSize(2400, 1800));
        item->trigger();
        EXPECT_TRUE(item->isChecked());
        EXPECT_EQ(readStoreValue(QStringLiteral("Picture"), QStringLiteral("FitToPane")),
                  QStringLiteral("1"));
        // The shown picture follows at once.
        EXPECT_LE(f.MP->width(), f.BP->width());
        EXPECT_LE(f.MP->height(), f.BP->height());
        form_.reset();
    }
    Form1& f = start();
    EXPECT_TRUE(f.action(Command::FitPane)->isChecked());
    f.navigator().OpenFolder(data_.path());
    show(f, QStringLiteral("a.bmp"));
    const QSize fitted = f.MP->size();
    EXPECT_LE(fitted.width(), f.BP->width());
    EXPECT_LE(fitted.height(), f.BP->height());
    EXPECT_NEAR(double(fitted.width()) / fitted.height(), 4.0 / 3, 0.01); // its ratio kept
    EXPECT_FALSE(f.TS->isEnabled());
    // Smaller pictures keep their size.
    show(f, QStringLiteral("b.bmp"));
    EXPECT_EQ(f.MP->size(), QSize(64, 48));
    // Turned off, pictures come at their size again.
    f.action(Command::FitPane)->trigger();
    EXPECT_EQ(readStoreValue(QStringLiteral("Picture"), QStringLiteral("FitToPane")), QStringLiteral("0"));
    show(f, QStringLiteral("a.bmp"));
    EXPECT_EQ(f.MP->size(), QSize(2400, 1800));
}

TEST_F(ZoomTest, FullScreenTakesTheKeysAndTheWheelOfOtherViewers) {
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp"})
        picture(name, QSize(320, 240));
    Form1& f = start();
    f.navigator().OpenFolder(data_.path());
    show(f, QStringLiteral("a.bmp"));
    f.action(Command::ZenBit)->trigger();
    QPointer<AllWindow> w = f.findChild<ViewerCommands*>()->allWindow();
    ASSERT_TRUE(w);
    auto at = [&] { return f.File1->fileName().toStdString(); };
    QTest::keyClick(w, Qt::Key_Space);
    EXPECT_EQ(at(), "b.bmp");
    QTest::keyClick(w, Qt::Key_PageDown);
    EXPECT_EQ(at(), "c.bmp");
    QTest::keyClick(w, Qt::Key_Backspace);
    EXPECT_EQ(at(), "b.bmp");
    QTest::keyClick(w, Qt::Key_PageUp);
    EXPECT_EQ(at(), "a.bmp");
    QTest::keyClick(w, Qt::Key_End);
    EXPECT_EQ(at(), "d.bmp");
    QTest::keyClick(w, Qt::Key_Home);
    EXPECT_EQ(at(), "a.bmp");
    // The picture fits (stretched by default): the wheel steps.
    wheel(w->Picture1, QPoint(10, 10), -1);
    EXPECT_EQ(at(), "b.bmp");
    wheel(w->Picture1, QPoint(10, 10), 1);
    EXPECT_EQ(at(), "a.bmp");

    // 1 shows the natural size, + and - zoom, 0 fits the screen again.
    ImageView& shown = *w->Picture1;
    QTest::keyClick(w, Qt::Key_1);
    EXPECT_EQ(shown.size(), QSize(320, 240));
    QTest::keyClick(w, Qt::Key_Plus);
    EXPECT_EQ(shown.size(), QSize(400, 300));
    QTest::keyClick(w, Qt::Key_Minus);
    QTest::keyClick(w, Qt::Key_Minus);
    EXPECT_EQ(shown.size(), QSize(256, 192));
    QTest::keyClick(w, Qt::Key_0);
    EXPECT_TRUE(shown.width() == w->width() || shown.height() == w->height());
    EXPECT_LE(shown.width(), w->width());

    // Zoomed larger than the screen, the wheel scrolls instead of stepping,
    // and dragging pans.
    const double fit = double(shown.width()) / 320;
    wheel(w->Picture1, QPoint(5, 5), 4, Qt::ControlModifier);
    EXPECT_NEAR(double(shown.width()) / 320, fit * 1.25 * 1.25 * 1.25 * 1.25, 0.02);
    ASSERT_TRUE(w->scrolls());
    const int top = w->TS->value();
    wheel(w->Picture1, QPoint(5, 5), -1);
    EXPECT_EQ(at(), "a.bmp");
    EXPECT_GT(w->TS->value(), top);
    const QPoint before = shown.pos();
    drag(&shown, QPoint(300, 300), QPoint(280, 290));
    EXPECT_EQ(shown.pos(), before + QPoint(-20, -10));
    // The next file is placed by the fit mode again.
    QTest::keyClick(w, Qt::Key_N);
    EXPECT_EQ(shown.size(), w->size());

    QTest::keyClick(w, Qt::Key_Escape);
    QTest::qWait(50); // closed now, deleted later
    EXPECT_TRUE(!w || !w->isVisible());
}

} // namespace
} // namespace orbet::test
