#include <QAction>
#include <QGuiApplication>
#include <QIcon>
#include <QSystemTrayIcon>
#include <QTest>
#include <QWindow>

#include "ScreenSupport.h"
#include "app/ui/Tray.h"
#include "platform/UserStore.h"

namespace orbet::test {
namespace {

// The X server of the tests has no notification area, as some desktops have
// none: there the tray commands must leave the window within reach.
class NoTrayTest : public Form1Test {
  protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs the X server (scripts/test runs xvfb-run)";
        if (QSystemTrayIcon::isSystemTrayAvailable()) GTEST_SKIP() << "this desktop has a tray";
        Form1Test::SetUp();
    }
    // Visible to the window system and minimised: the window is still there
    // for the user to bring back.
    void expectMinimisedNotHidden() {
        Form1& f = *form_;
        QTest::qWait(300);
        EXPECT_TRUE(f.isVisible());
        EXPECT_TRUE(f.isMinimized());
        ASSERT_NE(f.windowHandle(), nullptr);
        EXPECT_TRUE(f.windowHandle()->isVisible());
        EXPECT_EQ(f.windowHandle()->windowState(), Qt::WindowMinimized);
        EXPECT_FALSE(f.tray().iconVisible());
    }
};

TEST_F(NoTrayTest, TheTrayCommandMinimises) {
    Form1& f = start();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    f.action(Command::taskTin)->trigger();
    expectMinimisedNotHidden();
    EXPECT_TRUE(f.state().resident);
    // Where a tray exists the icon has a picture, never an empty place.
    EXPECT_FALSE(Tray::iconFor(f).isNull());
    // Back on the screen, "元の大きさに戻す" ends the resident state.
    f.tray().restore();
    QTest::qWait(200);
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(f.isMinimized());
    EXPECT_FALSE(f.state().resident);
}

TEST_F(NoTrayTest, ResidentStartsAreMinimisedEveryTime) {
    writeStoreValue(QStringLiteral("Task"), QStringLiteral("Task"), QStringLiteral("1"));
    start();
    expectMinimisedNotHidden();
    // Ending while resident keeps the flag for the next start, which is
    // again within reach.
    prompter_.answer(Answer::Yes);
    form_->close();
    EXPECT_EQ(readStoreValue(QStringLiteral("Task"), QStringLiteral("Task")), QStringLiteral("1"));
    form_.reset();
    start(QStringLiteral("/T"));
    expectMinimisedNotHidden();
}

} // namespace
} // namespace orbet::test
