// The user's Windows plug-ins through the real main window: listed under
// the first filter, decoded under Wine, shown in the picture pane and full
// screen; a crashing one leaves the window working; without Wine the
// information window says what is missing.

#include <cstdlib>

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "Form1Fixture.h"
#include "app/ui/Navigator.h"
#include "app/ui/PluginInfoWindow.h"
#include "app/ui/Startup.h"
#include "app/ui/ViewerCommands.h"
#include "display/ui/PictureBox.h"
#include "navigation/ui/ListControls.h"
#include "platform/UserStore.h"
#include "pluginhost/HostsTestSupport.h"
#include "support/TestSupport.h"
#include "viewers/ui/AllWindow.h"
#include "viewers/ui/ImageView.h"

namespace orbet::test {
namespace {

class WindowsPluginsTest : public Form1Test {
  protected:
    void SetUp() override {
        Form1Test::SetUp();
        ASSERT_TRUE(wineInstalled()) << "scripts/deps.sh installs Wine";
        for (const char* name : {"IFotp3.spi", "IFotp6.sph", "IFotpn.spi", "IFcrash.spi"})
            ASSERT_TRUE(copyPlugin(testPlugin(QString::fromLatin1(name)), plugins_.path(),
                                   QString::fromLatin1(name)));
        writeStoreValue(QStringLiteral("SusiePlugin"), QStringLiteral("Path"), plugins_.path());
        // In list order: a crashing plug-in's picture between good ones.
        ASSERT_TRUE(writeAll(data_.filePath(QStringLiteral("a.otp3")), testPicture("OTP3", 64, 48)));
        ASSERT_TRUE(writeAll(data_.filePath(QStringLiteral("b.crsh")), testPicture("CRSH", 64, 48)));
        ASSERT_TRUE(writeAll(data_.filePath(QStringLiteral("c.otp6")), testPicture("OTP6", 64, 48)));
        ASSERT_TRUE(writeAll(data_.filePath(QStringLiteral("d.otpn")), testPicture("OTPN", 64, 48)));
    }
    void TearDown() override {
        Form1Test::TearDown();
        writeStoreValue(QStringLiteral("SusiePlugin"), QStringLiteral("Path"), QString());
    }
    // The picture pane once the keyboard's show has run.
    bool shown(Form1& f, const QString& name) {
        return QTest::qWaitFor([&] { return f.File1->fileName() == name && !f.MP->isEmpty(); }, 60000);
    }

    QTemporaryDir plugins_;
};

TEST_F(WindowsPluginsTest, EachKindShowsItsPicturesAndACrashLeavesTheWindowWorking) {
    Form1& f = start();
    EXPECT_EQ(f.plugins().loadedCount(), 4);
    EXPECT_TRUE(f.File1->pattern().endsWith(QStringLiteral(";*.crsh;*.otp3;*.otp6;*.otpn")));
    EXPECT_EQ(f.Combo1->itemText(0), QStringLiteral("すべてのピクチャファイル"));

    f.navigator().OpenFolder(data_.path());
    ASSERT_EQ(f.File1->listCount(), 4);
    f.File1->setListIndex(0);
    ASSERT_TRUE(shown(f, QStringLiteral("a.otp3")));
    EXPECT_EQ(f.MP->picture().size(), QSize(64, 48));
    EXPECT_EQ(patternMismatch(f.MP->picture()), QString());

    // The keyboard moves on to the crashing plug-in's picture: nothing shows,
    // and the next key shows the 64-bit plug-in's picture.
    f.File1->setFocus();
    QTest::keyClick(f.File1, Qt::Key_Down);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return f.File1->fileName() == QLatin1String("b.crsh") && f.MP->isEmpty(); }, 60000));
    QTest::keyClick(f.File1, Qt::Key_Down);
    ASSERT_TRUE(shown(f, QStringLiteral("c.otp6")));
    EXPECT_EQ(patternMismatch(f.MP->picture()), QString());

    // Full screen shows the very picture.
    f.action(Command::ZenBit)->trigger();
    ViewerCommands& viewers = *f.findChild<ViewerCommands*>();
    QPointer<AllWindow> all = viewers.allWindow();
    ASSERT_TRUE(all);
    EXPECT_EQ(all->Picture1->picture().size(), QSize(64, 48));
    EXPECT_EQ(patternMismatch(all->Picture1->picture()), QString());
    QTest::keyClick(all, Qt::Key_Right);
    EXPECT_EQ(f.File1->fileName(), QStringLiteral("d.otpn"));
    EXPECT_EQ(patternMismatch(all->Picture1->picture()), QString());
    QTest::keyClick(all, Qt::Key_X);
}

// The visible windows of Wine's own programs on the test's X server (Wine
// names a window's class after its program, "wineboot.exe", "explorer.exe").
QStringList wineWindows() {
    QProcess search;
    search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                             QStringLiteral("--class"), QStringLiteral("\\.exe$")});
    if (!search.waitForFinished(20000)) return {QStringLiteral("xdotool did not answer")};
    return QString::fromLocal8Bit(search.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

// The one test that pays for a new prefix: Wine takes a quarter of a minute
// to make it, which the window does not wait for. Orbet is started on a
// picture only a Windows plug-in reads, as a new user would.
TEST_F(WindowsPluginsTest, TheFirstStartShowsTheWindowWhileWineMakesItsPrefix) {
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "scripts/test runs the tests under xvfb-run";
    struct NewPrefix {
        QTemporaryDir folder;
        QString path() const { return folder.filePath(QStringLiteral("wine")); }
        ~NewPrefix() {
            const QByteArray stop = "WINEPREFIX='" + QFile::encodeName(path()) +
                                    "' sh -c 'wineserver -k; wineserver -w' >/dev/null 2>&1";
            [[maybe_unused]] const int status = std::system(stop.constData());
        }
    } prefix;
    HostSetup hosts;
    hosts.hostFolder = QStringLiteral(ORBET_BUILD_DIR);
    hosts.winePrefix = prefix.path();
    hosts.cacheFile = home(QStringLiteral("cache/plugins.cache"));
    hosts.deferNewPrefix = true;
    HostSetup::setStandardForTesting(&hosts);

    Form1& f = start(data_.filePath(QStringLiteral("a.otp3")));
    const QString preparing = QStringLiteral("Windows用プラグインの準備中…");
    EXPECT_EQ(f.startup().progressTexts().count(preparing), 1);
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.plugins().waitingCount(), 3);
    EXPECT_EQ(f.plugins().loadedCount(), 1);
    // A kind no plug-in reads yet keeps the first filter; nothing else is
    // shown in the named file's place.
    EXPECT_EQ(f.Combo1->currentIndex(), 0);
    EXPECT_TRUE(f.File1->pattern().endsWith(QStringLiteral(";*.otpn")));
    EXPECT_EQ(f.File1->path(), data_.path());
    EXPECT_EQ(f.File1->listIndex(), -1);
    EXPECT_TRUE(f.MP->isEmpty());

    // Wine makes its prefix without a window of its own over the program's;
    // once it runs, the Windows plug-ins take their places and the named
    // picture shows.
    QStringList seen;
    QElapsedTimer sinceLook;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            if (!sinceLook.isValid() || sinceLook.hasExpired(200)) {
                seen << wineWindows();
                sinceLook.start();
            }
            return f.plugins().waitingCount() == 0;
        },
        180000));
    seen.removeDuplicates();
    EXPECT_TRUE(seen.isEmpty()) << "Wine's windows: " << seen.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(f.plugins().loadedCount(), 4);
    EXPECT_EQ(f.plugins().maskList(), QStringLiteral("*.crsh;*.otp3;*.otp6;*.otpn"));
    EXPECT_TRUE(f.File1->pattern().endsWith(QStringLiteral(";*.crsh;*.otp3;*.otp6;*.otpn")));
    ASSERT_TRUE(shown(f, QStringLiteral("a.otp3")));
    EXPECT_EQ(f.File1->listCount(), 4);
    EXPECT_EQ(patternMismatch(f.MP->picture()), QString());
    f.File1->setFocus();
    QTest::keyClick(f.File1, Qt::Key_End);
    ASSERT_TRUE(shown(f, QStringLiteral("d.otpn")));
    {
        PluginInfoWindow info(f.plugins(), &f);
        EXPECT_EQ(info.List1->count(), 4);
    }
    form_.reset(); // before the prefix and its Wine server go
}

TEST_F(WindowsPluginsTest, WithoutWineTheInformationWindowNamesThePluginsLeftOut) {
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    Form1& f = start();
    qputenv("PATH", path);
    EXPECT_EQ(f.plugins().loadedCount(), 1);
    EXPECT_TRUE(f.startup().progressTexts().contains(
        QStringLiteral("Susieプラグイン読み込み( 0/ 4)->IFcrash.spiを取得できません")));

    PluginInfoWindow info(f.plugins(), &f);
    EXPECT_EQ(info.List1->count(), 1);
    EXPECT_FALSE(info.Label4->isHidden());
    EXPECT_EQ(info.Label4->text(), QStringLiteral("Wineがインストールされていないため読み込めなかったプラグイ"
                                                  "ン: IFcrash.spi, IFotp3.spi, IFotp6.sph"));
}

} // namespace
} // namespace orbet::test
