#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "pluginhost/PluginTestSupport.h"
#include "plugins/host/PluginRegistry.h"
#include "support/TestSupport.h"

namespace {

using orbet::PluginRegistry;
using orbet::test::copyPlugin;
using orbet::test::writeAll;

const QString Pic = QStringLiteral(ORBET_FIXTURE_IFPIC);
const QString Mag = QStringLiteral(ORBET_FIXTURE_IFMAG);
const QString Star = QStringLiteral(ORBET_FIXTURE_IFSTAR);
const QString Archive = QStringLiteral(ORBET_FIXTURE_IFARCHIVE);
const QString Lacking = QStringLiteral(ORBET_FIXTURE_IFLACKING);

const QString Loading = QStringLiteral("Susieプラグイン読み込み");
const QString ReadingMasks = QStringLiteral("->拡張子読み出し");
const QString Done = QStringLiteral("Susieプラグイン読み込み->終了->");

class Registry : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        qputenv("ORBET_FAKE_CALLS", QFile::encodeName(calls()));
    }
    void TearDown() override { qunsetenv("ORBET_FAKE_CALLS"); }

    // The fake plug-ins' record of how they were called, one line a call.
    QString calls() const { return work.filePath(QStringLiteral("calls.txt")); }
    QStringList callLines() const {
        QFile file(calls());
        if (!file.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // Whether a fake plug-in of that tag was ever called.
    bool calledAny(const QString& tag) const {
        for (const QString& line : callLines())
            if (line.startsWith(tag + QLatin1Char(' '))) return true;
        return false;
    }

    QString folder() const { return dir.path(); }
    QString file(const QString& name) const { return dir.filePath(name); }
    void add(const QString& from, const QString& name) {
        ASSERT_TRUE(copyPlugin(from, folder(), name)) << name.toStdString();
    }
    QString picture(const QString& name, const QByteArray& contents) {
        const QString path = pictures.filePath(name);
        EXPECT_TRUE(writeAll(path, contents));
        return path;
    }
    void load() {
        registry.loadPlugins(folder(), [this](const QString& text) { texts << text; });
    }

    QTemporaryDir dir;
    QTemporaryDir pictures;
    QTemporaryDir work;
    PluginRegistry registry{orbet::test::hostSetup(work.path())};
    QStringList texts;
};

TEST_F(Registry, OnlyNamesBeginningWithIfAreCandidates) {
    add(Pic, QStringLiteral("ifpic.spi"));
    add(Pic, QStringLiteral("axzip.spi"));
    EXPECT_EQ(PluginRegistry::candidates(folder()), QStringList{QStringLiteral("ifpic.spi")});

    add(Pic, QStringLiteral("IFX.SPI"));
    add(Pic, QStringLiteral("Ifmixed.spi"));
    add(Pic, QStringLiteral("IFpic.txt"));
    ASSERT_TRUE(QDir(folder()).mkdir(QStringLiteral("IFfolder.spi")));
    EXPECT_EQ(
        PluginRegistry::candidates(folder()),
        (QStringList{QStringLiteral("Ifmixed.spi"), QStringLiteral("ifpic.spi"), QStringLiteral("IFX.SPI")}));
}

TEST_F(Registry, OnePluginGivesItsFirstMaskAndEveryProgressText) {
    add(Pic, QStringLiteral("ifpic.spi"));
    add(Pic, QStringLiteral("axzip.spi"));
    load();
    EXPECT_EQ(texts, (QStringList{Loading + QStringLiteral("( 1/ 1)->"),
                                  Loading + QStringLiteral("( 1/ 1)") + ReadingMasks,
                                  Loading + QStringLiteral("( 1/ 1)") + ReadingMasks,
                                  Done + QStringLiteral("*.pic")}));
    EXPECT_EQ(registry.loadedCount(), 1);
    EXPECT_EQ(registry.maskList(), QStringLiteral("*.pic"));
    EXPECT_EQ(registry.patternSuffix(), QStringLiteral(";*.pic"));
    EXPECT_EQ(registry.descriptions(), QStringList{QStringLiteral("Fake PIC decoder")});
    EXPECT_EQ(registry.suffixMasks(), QStringList{QStringLiteral("*.pic")});
}

TEST_F(Registry, TwoPluginsJoinTheirMasksInFileOrder) {
    add(Pic, QStringLiteral("IFa.spi"));
    add(Mag, QStringLiteral("IFb.spi"));
    load();
    EXPECT_EQ(registry.patternSuffix(), QStringLiteral(";*.pic;*.mag;*.max"));
    EXPECT_EQ(texts.last(), Done + QStringLiteral("*.pic;*.mag;*.max"));
    EXPECT_EQ(registry.suffixMasks(),
              (QStringList{QStringLiteral("*.pic"), QStringLiteral("*.mag"), QStringLiteral("*.max")}));
    EXPECT_EQ(registry.descriptions(),
              (QStringList{QStringLiteral("Fake PIC decoder"), QStringLiteral("Fake MAG decoder")}));
    const auto infos = registry.slotInfos();
    ASSERT_EQ(infos.size(), 2u);
    EXPECT_EQ(infos[1].path, file(QStringLiteral("IFb.spi")));
    EXPECT_EQ(infos[1].masks, QStringLiteral("*.mag;*.max"));
    EXPECT_EQ(registry.slotPath(2), QString());
}

TEST_F(Registry, MasksAreReadUntilATextWithoutStar) {
    add(Star, QStringLiteral("IFstar.spi"));
    load();
    // Info 2 and 3 both begin with "*" and are run together; info 4 ends it.
    EXPECT_EQ(registry.patternSuffix(), QStringLiteral(";*.aa*.bb"));
    EXPECT_EQ(texts.count(Loading + QStringLiteral("( 1/ 1)") + ReadingMasks), 3);
}

TEST_F(Registry, PluginsThatCannotBeLoadedAreReportedAndSkipped) {
    add(Archive, QStringLiteral("IFarchive.spi"));
    add(Lacking, QStringLiteral("IFlacking.spi"));
    add(Pic, QStringLiteral("IFpic.spi"));
    ASSERT_TRUE(writeAll(file(QStringLiteral("IFtext.spi")), "this is not a shared object\n"));
    load();
    const QString missing = QStringLiteral("を取得できません");
    EXPECT_EQ(texts, (QStringList{
                         Loading + QStringLiteral("( 0/ 4)->IFarchive.spi") + missing,
                         Loading + QStringLiteral("( 0/ 4)->IFlacking.spi") + missing,
                         Loading + QStringLiteral("( 1/ 4)->"),
                         Loading + QStringLiteral("( 1/ 4)") + ReadingMasks,
                         Loading + QStringLiteral("( 1/ 4)") + ReadingMasks,
                         Loading + QStringLiteral("( 1/ 4)->IFtext.spi") + missing,
                         Done + QStringLiteral("*.pic"),
                     }));
    EXPECT_EQ(registry.loadedCount(), 1);
    EXPECT_EQ(registry.slotInfos().at(0).path, file(QStringLiteral("IFpic.spi")));
}

// Code another user could have put there never runs: a plug-in file or a
// folder others can write, or a folder named relative to wherever the
// program was started.
TEST_F(Registry, PluginsOthersCanWriteOrARelativeFolderAreNeverLoaded) {
    const QString missing = QStringLiteral("を取得できません");
    add(Pic, QStringLiteral("IFpic.spi"));
    add(Mag, QStringLiteral("IFmag.spi"));
    ASSERT_TRUE(
        QFile::setPermissions(file(QStringLiteral("IFmag.spi")),
                              QFile::permissions(file(QStringLiteral("IFmag.spi"))) | QFile::WriteOther));
    load();
    EXPECT_EQ(registry.loadedCount(), 1);
    EXPECT_EQ(texts.last(), Done + QStringLiteral("*.pic"));
    EXPECT_TRUE(texts.contains(Loading + QStringLiteral("( 0/ 2)->IFmag.spi") + missing));
    EXPECT_FALSE(calledAny(QStringLiteral("MAG")));

    PluginRegistry shared{orbet::test::hostSetup(work.path())};
    QTemporaryDir open;
    ASSERT_TRUE(copyPlugin(Star, open.path(), QStringLiteral("IFstar.spi")));
    ASSERT_TRUE(QFile::setPermissions(open.path(), QFile::permissions(open.path()) | QFile::WriteGroup));
    shared.loadPlugins(open.path(), {});
    EXPECT_EQ(shared.loadedCount(), 0);
    EXPECT_FALSE(calledAny(QStringLiteral("STR")));

    // The same folder, safe, but named as "." from inside it.
    ASSERT_TRUE(QFile::setPermissions(open.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QString started = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(open.path()));
    PluginRegistry relative{orbet::test::hostSetup(work.path())};
    relative.loadPlugins(QStringLiteral("."), {});
    QDir::setCurrent(started);
    EXPECT_EQ(relative.loadedCount(), 0);
    EXPECT_FALSE(calledAny(QStringLiteral("STR")));
    PluginRegistry absolute{orbet::test::hostSetup(work.path())};
    absolute.loadPlugins(open.path(), {});
    EXPECT_EQ(absolute.loadedCount(), 1);
}

TEST_F(Registry, NoPluginsLeaveEverythingEmpty) {
    for (const QString& where : {folder(), folder() + QStringLiteral("/missing"), QString()}) {
        PluginRegistry empty;
        QStringList shown;
        empty.loadPlugins(where, [&shown](const QString& text) { shown << text; });
        EXPECT_EQ(shown, QStringList{Done}) << where.toStdString();
        EXPECT_TRUE(empty.patternSuffix().isEmpty());
        EXPECT_TRUE(empty.descriptions().isEmpty());
        EXPECT_TRUE(empty.suffixMasks().isEmpty());
        EXPECT_EQ(empty.loadedCount(), 0);
        EXPECT_TRUE(empty.decodeWithPlugins(picture(QStringLiteral("a.pic"), "PIC rgb24")).isNull());
    }
}

TEST_F(Registry, PluginsBeyondTheLastSlotAreSkipped) {
    const int total = PluginRegistry::Slots + 2;
    for (int i = 0; i < total; ++i)
        add(Pic, QStringLiteral("IF%1.spi").arg(i, 3, 10, QLatin1Char('0')));
    load();
    EXPECT_EQ(registry.loadedCount(), PluginRegistry::Slots);
    EXPECT_FALSE(registry.slotPath(PluginRegistry::Slots - 1).isEmpty());
    EXPECT_EQ(registry.suffixMasks().size(), PluginRegistry::Slots);
    EXPECT_TRUE(texts.contains(Loading + QStringLiteral("( 101/ 103)->")));
    EXPECT_FALSE(texts.join(QLatin1Char('\n')).contains(QStringLiteral("IF101.spi")));
}

TEST_F(Registry, DecodesWithTheFirstPluginThatAccepts) {
    add(Pic, QStringLiteral("IFa.spi"));
    add(Mag, QStringLiteral("IFb.spi"));
    load();
    const QString mag = picture(QStringLiteral("x.mag"), "MAG rgb24");
    const QImage image = registry.decodeWithPlugins(mag);
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(2, 1), qRgb(128, 128, 128));

    // The whole file went in memory, zero-padded to the head size for the
    // question, with a progress callback and both outputs preset to null.
    EXPECT_EQ(callLines(),
              (QStringList{QStringLiteral("PIC IsSupported end=0"), QStringLiteral("MAG IsSupported end=0"),
                           QStringLiteral("MAG GetPicture len=9 flag=1 progress=1 preset=1")}));
}

TEST_F(Registry, MisbehavingDecodesGiveNothing) {
    add(Pic, QStringLiteral("IFpic.spi"));
    load();
    for (const char* command :
         {"null", "nullbits", "shortheader", "shortbits", "garbage", "absurd", "absurdtopdown", "hugepalette",
          "lentbits", "sameblock", "error", "unknown"}) {
        const QString path = picture(QStringLiteral("bad.pic"), QByteArray("PIC ") + command);
        EXPECT_TRUE(registry.decodeWithPlugins(path).isNull()) << command;
    }
}

TEST_F(Registry, FilesNoPluginTakesGiveNothing) {
    add(Pic, QStringLiteral("IFa.spi"));
    add(Mag, QStringLiteral("IFb.spi"));
    load();
    EXPECT_TRUE(registry.decodeWithPlugins(picture(QStringLiteral("x.zzz"), "ZZZ rgb24")).isNull());
    EXPECT_EQ(callLines().size(), 2);
    EXPECT_TRUE(registry.decodeWithPlugins(picture(QStringLiteral("empty.pic"), {})).isNull());
    EXPECT_TRUE(registry.decodeWithPlugins(pictures.filePath(QStringLiteral("absent.pic"))).isNull());
    EXPECT_EQ(callLines().size(), 2); // neither an empty nor an absent file is offered
}

TEST_F(Registry, FreeingReleasesEverySlotInOrder) {
    add(Pic, QStringLiteral("IFa.spi"));
    add(Mag, QStringLiteral("IFb.spi"));
    load();
    const QString path = picture(QStringLiteral("x.pic"), "PIC rgb24");
    ASSERT_FALSE(registry.decodeWithPlugins(path).isNull());

    registry.freePlugins();
    EXPECT_EQ(registry.loadedCount(), 0);
    EXPECT_TRUE(registry.descriptions().isEmpty());
    EXPECT_TRUE(registry.decodeWithPlugins(path).isNull());
    EXPECT_EQ(registry.patternSuffix(), QStringLiteral(";*.pic;*.mag;*.max"));
    EXPECT_EQ(registry.runningHost(orbet::PluginKind::Native), nullptr);
}

TEST_F(Registry, ShippedPluginsShowTheirFormats) {
    add(QStringLiteral(ORBET_SHIPPED_PNG), QStringLiteral("IFpng.spi"));
    add(QStringLiteral(ORBET_SHIPPED_TIFF), QStringLiteral("IFtiff.spi"));
    add(QStringLiteral(ORBET_SHIPPED_WEBP), QStringLiteral("IFwebp.spi"));
    load();
    EXPECT_EQ(registry.patternSuffix(), QStringLiteral(";*.png;*.tif;*.tiff;*.webp"));
    for (const char* name : {"png/hopper.png", "tiff/hopper.tif", "webp/hopper.webp"}) {
        const QImage image =
            registry.decodeWithPlugins(orbet::test::testData(QStringLiteral("pictures/") + name));
        EXPECT_EQ(image.size(), QSize(128, 128)) << name;
    }
    EXPECT_TRUE(registry.decodeWithPlugins(orbet::test::testData(QStringLiteral("pictures/jpeg/hopper.jpg")))
                    .isNull());
}

} // namespace
