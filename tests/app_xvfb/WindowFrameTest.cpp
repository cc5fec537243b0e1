#include <QGuiApplication>
#include <QTest>

#include "ScreenSupport.h"
#include "app/ui/Shutdown.h"
#include "platform/Twips.h"

namespace orbet::test {
namespace {

// The remembered left and top are the outer window's: at 0,0 the title bar
// is on the screen, and what is restored is saved back unchanged.
class WindowFrameTest : public Form1Test {
  protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs the X server (scripts/test runs xvfb-run)";
        if (qEnvironmentVariableIsSet("ORBET_NO_WM")) GTEST_SKIP() << "needs a window manager (openbox)";
        Form1Test::SetUp();
    }
    Form1& showFrom(const QByteArray& ini) {
        writeIni(ini);
        Form1& f = start();
        f.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
        // The frame is known once the window manager has reparented the window.
        for (int i = 0; i < 50 && f.frameGeometry() == f.geometry(); ++i)
            QTest::qWait(100);
        QTest::qWait(200);
        return f;
    }
};

TEST_F(WindowFrameTest, TheFrameSitsWhereTheSettingsSay) {
    Form1& f = showFrom("Left=0\r\nTop=0\r\nWidth=9000\r\nHeight=7000\r\n");
    ASSERT_NE(f.frameGeometry(), f.geometry()) << "the window manager drew no frame";
    EXPECT_EQ(f.frameGeometry().topLeft(), QPoint(0, 0));
    // The title bar lies between the frame's top and the client's, on the screen.
    EXPECT_GT(f.geometry().top(), 0);
    EXPECT_EQ(f.size(), QSize(twips::toPixels(9000), twips::toPixels(7000)));
    // A resize remembers the outer corner, not the client's.
    f.resize(f.width() + 20, f.height() + 20);
    QTest::qWait(300);
    EXPECT_EQ(f.state().remembered.left, 0);
    EXPECT_EQ(f.state().remembered.top, 0);
    prompter_.answer(Answer::Yes);
    ASSERT_TRUE(f.shutdown().confirmClose());
    EXPECT_TRUE(savedIni().contains("\r\nLeft=0\r\nTop=0\r\n")) << savedIni().toStdString();
}

TEST_F(WindowFrameTest, ARestoredWindowIsSavedBackUnchanged) {
    Form1& f = showFrom("Left=4500\r\nTop=3000\r\nWidth=9000\r\nHeight=7000\r\n");
    EXPECT_EQ(f.frameGeometry().topLeft(), QPoint(300, 200));
    prompter_.answer(Answer::Yes);
    ASSERT_TRUE(f.shutdown().confirmClose());
    EXPECT_TRUE(savedIni().contains("\r\nLeft=4500\r\nTop=3000\r\nWidth=9000\r\nHeight=7000\r\n"))
        << savedIni().toStdString();
}

} // namespace
} // namespace orbet::test
