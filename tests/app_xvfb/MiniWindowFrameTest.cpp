#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QScreen>
#include <QTest>

#include "ScreenSupport.h"
#include "app/ui/Navigator.h"
#include "app/ui/ViewerCommands.h"
#include "navigation/ui/Form3.h"
#include "viewers/ui/MiniWindow.h"

namespace orbet::test {
namespace {

// The minimum window under a window manager, which draws its frame only
// after the window is shown.
class MiniWindowFrameTest : public Form1Test {
  protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs the X server (scripts/test runs xvfb-run)";
        if (qEnvironmentVariableIsSet("ORBET_NO_WM")) GTEST_SKIP() << "needs a window manager (openbox)";
        Form1Test::SetUp();
    }
    ViewerCommands& viewers() { return *form_->findChild<ViewerCommands*>(); }
};

TEST_F(MiniWindowFrameTest, ItsFrameSitsInTheScreensCornerAndItComesBackInFrontOfTheMainWindow) {
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(QColor(200, 30, 40));
    ASSERT_TRUE(picture.save(QDir(data_.path()).filePath(QStringLiteral("red.bmp"))));
    Form1& f = start();
    f.navigator().OpenFolder(data_.path());
    const QRect screen = f.screen()->geometry();
    // The main window over the whole screen, under the minimum window.
    f.setGeometry(screen.adjusted(0, 40, 0, -40));
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    f.action(Command::minwindow)->trigger();
    MiniWindow* mini = viewers().miniWindow();
    ASSERT_NE(mini, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(mini));
    for (int i = 0; i < 50 && mini->frameGeometry() == mini->geometry(); ++i)
        QTest::qWait(100);
    ASSERT_NE(mini->frameGeometry(), mini->geometry()) << "the window manager drew no frame";
    // The window manager moves the frame in its own time.
    QTest::qWaitFor([&] { return mini->frameGeometry().bottomLeft() == screen.bottomLeft(); }, 5000);
    EXPECT_EQ(mini->frameGeometry().left(), screen.left());
    EXPECT_EQ(mini->frameGeometry().bottom(), screen.bottom());
    // The whole window is on the screen: its picture where its centre is.
    const QPoint centre = mini->mapToGlobal(mini->rect().center());
    EXPECT_TRUE(waitForScreenColour(centre, QColor(200, 30, 40), 3000));

    // The mini directory changer closed: the minimum window is in front
    // again, not behind the main window.
    QTest::keyClick(mini, Qt::Key_D);
    Form3* changer = viewers().changer();
    ASSERT_NE(changer, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(changer));
    f.raise();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.isActiveWindow(); }, 3000));
    changer->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == mini; }, 3000));
    EXPECT_TRUE(waitForScreenColour(centre, QColor(200, 30, 40), 3000));
}

} // namespace
} // namespace orbet::test
