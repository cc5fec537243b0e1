// Windows plug-ins that wait while Wine makes its prefix. A stand-in `wine`
// runs the real one in the test program's shared prefix, so the registry
// sees a prefix still to be made without paying a quarter of a minute for
// it; the window's test makes a real new prefix once.

#include <chrono>
#include <thread>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "pluginhost/HostsTestSupport.h"
#include "plugins/host/PluginRegistry.h"

namespace orbet::test {
namespace {

const QString Preparing = QStringLiteral("Windows用プラグインの準備中…");

class WaitingPlugins : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(wineInstalled()) << "scripts/deps.sh installs Wine";
        const QString real = QStandardPaths::findExecutable(QStringLiteral("wine"));
        // The pause keeps the greeting from coming before the first look.
        fakeWine(QStringLiteral("sleep 0.5; WINEPREFIX='%1' exec '%2' \"$@\"").arg(sharedWinePrefix(), real));
    }

    void fakeWine(const QString& script) {
        wine = work.filePath(QStringLiteral("wine"));
        QFile::remove(wine);
        ASSERT_TRUE(writeAll(wine, "#!/bin/sh\n" + script.toUtf8() + "\n"));
        ASSERT_TRUE(QFile::setPermissions(wine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    HostSetup setup() {
        HostSetup setup = hostSetup(work.path());
        setup.wine = wine;
        setup.winePrefix =
            work.filePath(QStringLiteral("new-prefix")); // never made: the stand-in runs elsewhere
        setup.cacheFile = work.filePath(QStringLiteral("cache/plugins.cache"));
        setup.deferNewPrefix = true;
        return setup;
    }

    void add(const QString& built, const QString& name) {
        ASSERT_TRUE(copyPlugin(testPlugin(built), folder.path(), name)) << name.toStdString();
    }

    // Asks the registry as the window's timer does until nothing waits.
    static bool loadAll(PluginRegistry& registry, int& changes) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (registry.waitingCount() > 0 && std::chrono::steady_clock::now() < until) {
            if (registry.loadWaiting()) ++changes;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return registry.waitingCount() == 0;
    }

    QTemporaryDir folder, work, pictures;
    QString wine;
    QStringList texts;
};

TEST_F(WaitingPlugins, WindowsPluginsJoinInNameOrderOnceTheirHostsRun) {
    add(QStringLiteral("IFotp3.spi"), QStringLiteral("IFa_win32.spi"));
    add(QStringLiteral("IFotpn.spi"), QStringLiteral("IFb_native.spi"));
    add(QStringLiteral("IFotp6.sph"), QStringLiteral("IFc_win64.sph"));
    add(QStringLiteral("IFotpn.spi"), QStringLiteral("IFd_native.spi"));

    PluginRegistry registry(setup());
    registry.loadPlugins(folder.path(), [this](const QString& text) { texts << text; });
    EXPECT_EQ(texts.count(Preparing), 1);
    EXPECT_EQ(registry.hostStarts(), 1) << "only the native host before the window";
    EXPECT_EQ(registry.waitingCount(), 2);
    ASSERT_EQ(registry.loadedCount(), 2);
    EXPECT_EQ(registry.slotPath(0), folder.filePath(QStringLiteral("IFb_native.spi")));
    EXPECT_EQ(registry.maskList(), QStringLiteral("*.otpn;*.otpn"));
    EXPECT_EQ(texts.last(), QStringLiteral("Susieプラグイン読み込み->終了->*.otpn;*.otpn"));

    // The first look starts the Windows hosts and does not wait for them.
    EXPECT_FALSE(registry.loadWaiting());
    EXPECT_EQ(registry.waitingCount(), 2);
    EXPECT_EQ(registry.hostStarts(), 3);

    int changes = 0;
    ASSERT_TRUE(loadAll(registry, changes));
    EXPECT_GE(changes, 1);
    ASSERT_EQ(registry.loadedCount(), 4);
    const QStringList names = {QStringLiteral("IFa_win32.spi"), QStringLiteral("IFb_native.spi"),
                               QStringLiteral("IFc_win64.sph"), QStringLiteral("IFd_native.spi")};
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_EQ(registry.slotPath(slot), folder.filePath(names.at(slot))) << slot;
    EXPECT_EQ(registry.slotKind(0), PluginKind::Win32);
    EXPECT_EQ(registry.slotKind(2), PluginKind::Win64);
    EXPECT_EQ(registry.maskList(), QStringLiteral("*.otp3;*.otpn;*.otp6;*.otpn"));
    EXPECT_EQ(registry.patternSuffix(), QStringLiteral(";*.otp3;*.otpn;*.otp6;*.otpn"));
    EXPECT_EQ(registry.descriptions().at(2), QStringLiteral("Orbet test decoder OTP6"));
    EXPECT_FALSE(registry.loadWaiting()) << "nothing left to change";

    // They decode where the slots say.
    for (const char* magic : {"OTP3", "OTP6", "OTPN"}) {
        const QString path = pictures.filePath(QString::fromLatin1(magic));
        ASSERT_TRUE(writeAll(path, testPicture(magic, 33, 21)));
        const QImage image = registry.decodeWithPlugins(path);
        ASSERT_EQ(image.size(), QSize(33, 21)) << magic;
        EXPECT_EQ(patternMismatch(image), QString()) << magic;
    }

    // The next start finds all four in the cache and starts no host.
    PluginRegistry again(setup());
    QStringList againTexts;
    again.loadPlugins(folder.path(), [&](const QString& text) { againTexts << text; });
    EXPECT_EQ(again.waitingCount(), 0);
    EXPECT_EQ(again.hostStarts(), 0);
    EXPECT_EQ(again.loadedCount(), 4);
    EXPECT_EQ(again.maskList(), registry.maskList());
    EXPECT_EQ(againTexts.count(Preparing), 0);
}

TEST_F(WaitingPlugins, AWindowsPluginAheadOfAFullRegistryPushesTheLastOut) {
    add(QStringLiteral("IFotp3.spi"), QStringLiteral("IFa_win32.spi"));
    for (int i = 0; i < PluginRegistry::Slots; ++i)
        add(QStringLiteral("IFotpn.spi"), QStringLiteral("IFn%1.spi").arg(i, 3, 10, QLatin1Char('0')));

    PluginRegistry registry(setup());
    registry.loadPlugins(folder.path());
    ASSERT_EQ(registry.loadedCount(), PluginRegistry::Slots);
    ASSERT_EQ(registry.waitingCount(), 1);
    int changes = 0;
    ASSERT_TRUE(loadAll(registry, changes));
    EXPECT_EQ(registry.loadedCount(), PluginRegistry::Slots);
    EXPECT_EQ(registry.slotPath(0), folder.filePath(QStringLiteral("IFa_win32.spi")));
    EXPECT_EQ(registry.slotPath(100), folder.filePath(QStringLiteral("IFn099.spi")));
    EXPECT_TRUE(registry.maskList().startsWith(QStringLiteral("*.otp3;*.otpn")));
    EXPECT_EQ(registry.suffixMasks().size(), PluginRegistry::Slots);
}

TEST_F(WaitingPlugins, PluginsThatFailOrTakeTheirHostDownAreLeftOutAndTheRestLoad) {
    add(QStringLiteral("IFtag.spi"), QStringLiteral("IFa_dies_loading.spi"));
    add(QStringLiteral("IFmasks.spi"), QStringLiteral("IFb_dies_asked.spi"));
    add(QStringLiteral("IFotp3.spi"), QStringLiteral("IFc_win32.spi"));
    // A Windows program, not a plug-in: its host refuses it.
    ASSERT_TRUE(QFile::copy(QStringLiteral(ORBET_BUILD_DIR "/orbet-spihost32.exe"),
                            folder.filePath(QStringLiteral("IFd_program.spi"))));
    add(QStringLiteral("IFotp3.spi"), QStringLiteral("IFe_win32.spi"));
    PluginRegistry registry(setup());
    registry.loadPlugins(folder.path());
    ASSERT_EQ(registry.waitingCount(), 5);
    int changes = 0;
    ASSERT_TRUE(loadAll(registry, changes));
    ASSERT_EQ(registry.loadedCount(), 2);
    EXPECT_EQ(registry.slotPath(0), folder.filePath(QStringLiteral("IFc_win32.spi")));
    EXPECT_EQ(registry.slotPath(1), folder.filePath(QStringLiteral("IFe_win32.spi")));
    EXPECT_EQ(registry.maskList(), QStringLiteral("*.otp3;*.otp3"));
    EXPECT_EQ(registry.hostStarts(), 3) << "each host that died is started once more";

    // They are remembered as they went: no host at the next start.
    PluginRegistry again(setup());
    again.loadPlugins(folder.path());
    EXPECT_EQ(again.waitingCount(), 0);
    EXPECT_EQ(again.hostStarts(), 0);
    EXPECT_EQ(again.loadedCount(), 2);
}

TEST_F(WaitingPlugins, AHostThatNeverGreetsLeavesItsPluginsOutAndUnremembered) {
    fakeWine(QStringLiteral("exit 1"));
    add(QStringLiteral("IFotp3.spi"), QStringLiteral("IFa_win32.spi"));
    add(QStringLiteral("IFotpn.spi"), QStringLiteral("IFb_native.spi"));

    PluginRegistry registry(setup());
    registry.loadPlugins(folder.path());
    ASSERT_EQ(registry.waitingCount(), 1);
    int changes = 0;
    ASSERT_TRUE(loadAll(registry, changes)) << "a host that dies at once is not started for ever";
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(registry.loadedCount(), 1);
    EXPECT_EQ(registry.maskList(), QStringLiteral("*.otpn"));
    EXPECT_LE(registry.hostStarts(), 3);

    // With Wine working again, the next start asks the plug-in once more.
    SetUp();
    PluginRegistry again(setup());
    again.loadPlugins(folder.path());
    EXPECT_EQ(again.waitingCount(), 1);
}

TEST_F(WaitingPlugins, ReleasingThePluginsEndsTheWait) {
    add(QStringLiteral("IFotp3.spi"), QStringLiteral("IFa_win32.spi"));
    PluginRegistry registry(setup());
    registry.loadPlugins(folder.path());
    ASSERT_EQ(registry.waitingCount(), 1);
    EXPECT_FALSE(registry.loadWaiting());
    registry.freePlugins();
    EXPECT_EQ(registry.waitingCount(), 0);
    EXPECT_FALSE(registry.loadWaiting());
    EXPECT_EQ(registry.loadedCount(), 0);
}

TEST_F(WaitingPlugins, APreparedPrefixLoadsAtOnce) {
    add(QStringLiteral("IFotp3.spi"), QStringLiteral("IFa_win32.spi"));
    // A prefix Wine has made holds its registry files.
    HostSetup prepared = setup();
    QDir().mkpath(prepared.winePrefix);
    ASSERT_TRUE(writeAll(prepared.winePrefix + QStringLiteral("/system.reg"), "WINE REGISTRY Version 2\n"));
    PluginRegistry registry(prepared);
    registry.loadPlugins(folder.path(), [this](const QString& text) { texts << text; });
    EXPECT_EQ(registry.waitingCount(), 0);
    EXPECT_EQ(registry.loadedCount(), 1);
    EXPECT_EQ(texts.count(Preparing), 0);
}

} // namespace
} // namespace orbet::test
