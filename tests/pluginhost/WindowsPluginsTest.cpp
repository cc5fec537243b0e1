// Windows plug-ins of the project's own making, loaded through the real
// hosts under Wine, beside native ones. Every test here shares one Wine
// prefix (see sharedWinePrefix).

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "pluginhost/HostsTestSupport.h"
#include "plugins/host/PluginRegistry.h"

namespace orbet::test {
namespace {

const QString Loading = QStringLiteral("Susieプラグイン読み込み");
const QString Missing = QStringLiteral("を取得できません");

class WindowsPlugins : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(wineInstalled()) << "scripts/deps.sh installs Wine"; }

    // Native, 32-bit and 64-bit plug-ins, each kind also under the other's
    // name, a cp932 description, a text file and an ARM shared object.
    void fillMixedFolder() {
        add(QStringLiteral("IFotpn.spi"), QStringLiteral("IFa_native.spi"));
        add(QStringLiteral("IFotp3.spi"), QStringLiteral("IFb_win32.spi"));
        add(QStringLiteral("IFotp6.sph"), QStringLiteral("IFc_win64.sph"));
        add(QStringLiteral("IFcp932.spi"), QStringLiteral("IFd_cp932.spi"));
        add(QStringLiteral("IFotp6.sph"), QStringLiteral("IFe_64named.spi"));
        add(QStringLiteral("IFotp3.spi"), QStringLiteral("IFf_32named.sph"));
        ASSERT_TRUE(writeAll(folder.filePath(QStringLiteral("IFg_text.spi")), "not a plug-in\n"));
        QFile native(testPlugin(QStringLiteral("IFotpn.spi")));
        ASSERT_TRUE(native.open(QIODevice::ReadOnly));
        QByteArray arm = native.readAll();
        arm[18] = char(40); // EM_ARM
        arm[19] = 0;
        ASSERT_TRUE(writeAll(folder.filePath(QStringLiteral("IFh_arm.spi")), arm));
    }
    void add(const QString& built, const QString& name) {
        ASSERT_TRUE(copyPlugin(testPlugin(built), folder.path(), name)) << name.toStdString();
    }
    QString picture(const char* magic, int width = 61, int height = 43) {
        const QString path = pictures.filePath(QString::fromLatin1(magic) + QStringLiteral(".pic"));
        EXPECT_TRUE(writeAll(path, testPicture(magic, width, height)));
        return path;
    }
    void expectPattern(PluginRegistry& registry, const char* magic) {
        const QImage image = registry.decodeWithPlugins(picture(magic));
        ASSERT_EQ(image.size(), QSize(61, 43)) << magic;
        EXPECT_EQ(patternMismatch(image), QString()) << magic;
    }
    HostSetup setupWithCache() {
        HostSetup setup = wineSetup(work.path());
        setup.cacheFile = work.filePath(QStringLiteral("cache/plugins.cache"));
        return setup;
    }

    QTemporaryDir folder, pictures, work;
    QStringList texts;
};

TEST_F(WindowsPlugins, AMixedFolderListsEveryMaskAndDecodesWithEachKind) {
    fillMixedFolder();
    PluginRegistry registry(setupWithCache());
    registry.loadPlugins(folder.path(), [this](const QString& text) { texts << text; });

    EXPECT_EQ(registry.loadedCount(), 6);
    EXPECT_EQ(registry.patternSuffix(), QStringLiteral(";*.otpn;*.otp3;*.otp6;*.otpj;*.otp6;*.otp3"));
    EXPECT_EQ(
        registry.descriptions(),
        (QStringList{QStringLiteral("Orbet test decoder OTPN"), QStringLiteral("Orbet test decoder OTP3"),
                     QStringLiteral("Orbet test decoder OTP6"), QStringLiteral("テスト用デコーダ"),
                     QStringLiteral("Orbet test decoder OTP6"), QStringLiteral("Orbet test decoder OTP3")}));
    // The name says nothing: the content chose the host.
    EXPECT_EQ(registry.slotKind(4), PluginKind::Win64);
    EXPECT_EQ(registry.slotKind(5), PluginKind::Win32);
    EXPECT_TRUE(texts.contains(Loading + QStringLiteral("( 6/ 8)->IFg_text.spi") + Missing));
    EXPECT_TRUE(texts.contains(Loading + QStringLiteral("( 6/ 8)->IFh_arm.spi") + Missing));
    EXPECT_TRUE(registry.needingWine().isEmpty());

    for (const char* magic : {"OTPN", "OTP3", "OTP6", "OTPJ"})
        expectPattern(registry, magic);
    EXPECT_EQ(registry.hostStarts(), 3);
    // A picture whose name has no form in code page 932 still reaches the
    // plug-in (by a name it can be given).
    const QString foreign = pictures.filePath(QStringLiteral("картинка ✓.pic"));
    ASSERT_TRUE(writeAll(foreign, testPicture("OTP3", 5, 4)));
    EXPECT_EQ(registry.decodeWithPlugins(foreign).size(), QSize(5, 4));

    const QStringList descriptions = registry.descriptions();
    registry.freePlugins();
    EXPECT_EQ(registry.runningHost(PluginKind::Win32), nullptr);
    EXPECT_EQ(registry.runningHost(PluginKind::Win64), nullptr);

    // A second start finds everything in the cache and runs no host at all
    // until a picture is asked for.
    PluginRegistry again(setupWithCache());
    QStringList secondTexts;
    again.loadPlugins(folder.path(), [&](const QString& text) { secondTexts << text; });
    EXPECT_EQ(again.hostStarts(), 0);
    EXPECT_EQ(secondTexts, texts);
    EXPECT_EQ(again.descriptions(), descriptions);
    again.startHosts();
    EXPECT_EQ(again.hostStarts(), 2); // the Windows ones, in the background
    expectPattern(again, "OTP6");
    expectPattern(again, "OTPN");
    EXPECT_EQ(again.hostStarts(), 3);

    // A changed plug-in is asked again.
    QFile::remove(folder.filePath(QStringLiteral("IFd_cp932.spi")));
    add(QStringLiteral("IFotp3.spi"), QStringLiteral("IFd_cp932.spi"));
    PluginRegistry third(setupWithCache());
    third.loadPlugins(folder.path());
    EXPECT_EQ(third.descriptions().at(3), QStringLiteral("Orbet test decoder OTP3"));
}

TEST_F(WindowsPlugins, FaultsLoseOnlyTheirHost) {
    for (const char* name : {"IFcrash.spi", "IFloop.spi", "IFshort.spi", "IFsame.spi", "IFotp3.spi"})
        add(QString::fromLatin1(name), QString::fromLatin1(name));
    HostSetup setup = wineSetup(work.path());
    setup.callLimit = std::chrono::milliseconds(4000);
    PluginRegistry registry(setup);
    registry.loadPlugins(folder.path());
    ASSERT_EQ(registry.loadedCount(), 5);
    expectPattern(registry, "OTP3");
    for (const char* magic : {"CRSH", "LOOP", "SHRT", "SAME"}) {
        EXPECT_TRUE(registry.decodeWithPlugins(picture(magic)).isNull()) << magic;
        expectPattern(registry, "OTP3");
    }
    // The crash and the hang each cost a host; the bad blocks did not.
    EXPECT_EQ(registry.hostStarts(), 3);
}

TEST_F(WindowsPlugins, TheHostDecodesThePictureHeldOpenWhateverTakesItsNameMeanwhile) {
    add(QStringLiteral("IFotp3.spi"), QStringLiteral("IFotp3.spi"));
    for (const bool lend : {true, false}) {
        SCOPED_TRACE(lend ? "the open file lent" : "a copy");
        HostSetup setup = wineSetup(work.path()); // lends the open file unless told
        if (!lend) setup.lendOpenFiles = false;
        PluginRegistry registry(setup);
        registry.loadPlugins(folder.path());
        for (const QSize size : {QSize(61, 43), QSize(3, 2)}) {
            const QString path = picture("OTP3", size.width(), size.height());
            const QFuture<QImage> decoding = registry.decodeAsync(path);
            swapForPipe(path);
            const QImage image = settle(decoding);
            ASSERT_EQ(image.size(), size);
            EXPECT_EQ(patternMismatch(image), QString());
            QFile::remove(path);
            QFile::remove(path + QStringLiteral(".away"));
            // Each picture's files shrink to it: no earlier, larger one
            // keeps its memory.
            for (const QString& name : exchangeEntries(setup))
                EXPECT_LT(QFileInfo(QDir(setup.exchangeFolder).filePath(name)).size(),
                          12 + 64 + size.width() * size.height() * 4)
                    << name.toStdString();
        }
        // What passes through the exchange: the pixels, and only without a
        // lent file a copy of the picture.
        EXPECT_EQ(exchangeEntries(setup).size(), lend ? 1 : 2);
        EXPECT_EQ(registry.hostStarts(), 1);
    }
}

// A plug-in's own libraries are found beside it; a library of the same
// kind left in the folder the program was started from (the user's
// downloads) is never loaded.
TEST_F(WindowsPlugins, APluginFindsTheLibrariesBesideItButNoneFromTheWorkingFolder) {
    for (const char* name : {"helped/IFhelped.spi", "helped/orbethelper.dll", "planted/IFplanted.spi"})
        add(QString::fromLatin1(name), QString::fromLatin1(name).section(QLatin1Char('/'), 1));
    QTemporaryDir downloads;
    ASSERT_TRUE(QFile::copy(testPlugin(QStringLiteral("planted/orbetplanted.dll")),
                            downloads.filePath(QStringLiteral("orbetplanted.dll"))));
    const QString started = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(downloads.path()));
    PluginRegistry registry(wineSetup(work.path()));
    registry.loadPlugins(folder.path(), [this](const QString& text) { texts << text; });
    ASSERT_TRUE(QDir::setCurrent(started));

    EXPECT_EQ(registry.loadedCount(), 1);
    EXPECT_EQ(registry.slotPath(0), folder.filePath(QStringLiteral("IFhelped.spi")));
    EXPECT_TRUE(texts.contains(Loading + QStringLiteral("( 1/ 2)->IFplanted.spi") + Missing))
        << texts.join(QLatin1Char('\n')).toStdString();
    expectPattern(registry, "HLPD");
}

TEST_F(WindowsPlugins, WithoutWineOnlyNativePluginsLoad) {
    fillMixedFolder();
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    PluginRegistry registry(setupWithCache());
    registry.loadPlugins(folder.path(), [this](const QString& text) { texts << text; });
    qputenv("PATH", path);

    EXPECT_EQ(registry.loadedCount(), 1);
    EXPECT_EQ(registry.patternSuffix(), QStringLiteral(";*.otpn"));
    EXPECT_EQ(registry.needingWine(),
              (QStringList{QStringLiteral("IFb_win32.spi"), QStringLiteral("IFc_win64.sph"),
                           QStringLiteral("IFd_cp932.spi"), QStringLiteral("IFe_64named.spi"),
                           QStringLiteral("IFf_32named.sph")}));
    EXPECT_TRUE(texts.contains(Loading + QStringLiteral("( 1/ 8)->IFb_win32.spi") + Missing));
    expectPattern(registry, "OTPN");
    EXPECT_TRUE(registry.decodeWithPlugins(picture("OTP3")).isNull());

    // Wine installed later: nothing about the missing Wine was cached.
    PluginRegistry later(setupWithCache());
    later.loadPlugins(folder.path());
    EXPECT_EQ(later.loadedCount(), 6);
}

} // namespace
} // namespace orbet::test
