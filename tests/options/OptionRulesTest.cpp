#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "options/OptionValues.h"
#include "options/PluginFolder.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

const QString kTooShort = QStringLiteral("スライドショーの間隔には0.1秒以上の値が必要です");
const QString kTooSmall = QStringLiteral("テキスト全画面表示時の標準文字サイズは4ポイント以上必要です");

TEST(OptionRules, IntervalsTypedInSeconds) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> ms;
        const char* refusal; // part of the message, when refused
    };
    const Case cases[] = {
        {"0.5", 500, ""},
        {"3", 3000, ""},
        {" 1.234 ", 1234, ""},
        {"0.1", 100, ""},
        {"2147483.647", 2147483647, ""},
        {"0.05", {}, "0.1秒以上"},
        {"abc", {}, "0.1秒以上"},
        {"", {}, "0.1秒以上"},
        {"-2", {}, "0.1秒以上"},
        {"1,5", {}, "数字だけ"},
        {"3秒", {}, "数字だけ"},
        {"1e9", {}, "2147483秒以下"},
        {"2147483.648", {}, "2147483秒以下"},
    };
    for (const Case& c : cases) {
        const auto r = readInterval(QString::fromUtf8(c.text));
        EXPECT_EQ(r.value, c.ms) << c.text;
        EXPECT_TRUE(r.refusal.contains(QString::fromUtf8(c.refusal)))
            << c.text << " " << r.refusal.toStdString();
        EXPECT_EQ(r.refusal.isEmpty(), c.ms.has_value()) << c.text;
    }
    EXPECT_EQ(readInterval(QStringLiteral("0.05")).refusal, kTooShort);
    // Whatever the dialog shows reads back as the same interval.
    for (std::int32_t ms : {100, 500, 1234, 3000, 86400000, 2147483647})
        EXPECT_EQ(readInterval(intervalText(ms)).value, ms) << ms;
    EXPECT_EQ(intervalText(500), QStringLiteral("0.5"));
    EXPECT_EQ(intervalText(3000), QStringLiteral("3"));
    EXPECT_EQ(intervalChoices(), QStringList({"0.5", "1", "2", "3", "4", "5", "10", "20", "30"}));
}

TEST(OptionRules, TextSizes) {
    EXPECT_EQ(readTextSize(QStringLiteral("10.5")).value, 10.5);
    EXPECT_EQ(readTextSize(QStringLiteral("4")).value, 4.0);
    EXPECT_EQ(readTextSize(QStringLiteral("1638")).value, 1638.0);
    EXPECT_EQ(readTextSize(QStringLiteral("3.9")).refusal, kTooSmall);
    EXPECT_EQ(readTextSize(QStringLiteral("大きい")).refusal, kTooSmall);
    EXPECT_EQ(readTextSize(QStringLiteral("-12")).refusal, kTooSmall);
    EXPECT_TRUE(readTextSize(QStringLiteral("12,5")).refusal.contains(QStringLiteral("数字だけ")));
    EXPECT_TRUE(readTextSize(QStringLiteral("1639")).refusal.contains(QStringLiteral("1638ポイント以下")));
    EXPECT_TRUE(readTextSize(QStringLiteral("1e400")).refusal.contains(QStringLiteral("1638ポイント以下")));
    EXPECT_EQ(textSizeText(10.5), QStringLiteral("10.5"));
    const QStringList sizes = textSizeChoices();
    ASSERT_EQ(sizes.size(), 117);
    EXPECT_EQ(sizes.front(), QStringLiteral("4"));
    EXPECT_EQ(sizes.back(), QStringLiteral("120"));
}

TEST(OptionRules, AllDefaultsKeepOnlyThePluginFolder) {
    OptionValues v;
    v.fit = PictureFit::AsIs;
    v.slideShowTimer = 700;
    v.strSize = 30;
    v.notIniBat = false;
    v.txtEdi = v.hide = v.system = v.rnd = v.nodeExpand = v.autoPlay = v.autoRep = v.autoRepv2 = true;
    v.archive = v.nodeClose = v.minWindowOnMainWindow = v.minWindowSize = false;
    v.minWindowSizeType = 1;
    v.hideDirectory = 1;
    v.backcolorR = 10;
    v.pluginFolder = QStringLiteral("/opt/spi");
    const OptionValues d = allDefaults(v);
    OptionValues expected;
    expected.fit = PictureFit::KeepRatio;
    expected.slideShowTimer = 3000;
    expected.strSize = 10.5;
    expected.notIniBat = true;
    expected.archive = true;
    expected.nodeClose = expected.minWindowOnMainWindow = expected.minWindowSize = true;
    expected.backcolorR = expected.backcolorG = expected.backcolorB = 0;
    expected.pluginFolder = QStringLiteral("/opt/spi");
    EXPECT_EQ(d, expected);
}

TEST(OptionRules, PluginCountTexts) {
    EXPECT_EQ(pluginCountText({}), QStringLiteral("このフォルダにはSusiePluginはありません"));
    EXPECT_EQ(pluginCountText({"IFpng.spi", "ifjpeg.spi", "AXlzh.spi"}),
              QStringLiteral("このフォルダにはSusiePlugingが 3個有ります内、 2個がOrbetに有効です"));
    EXPECT_EQ(
        pluginCountText({"AXlzh.spi", "XIF.spi"}),
        QStringLiteral("このフォルダにはSusiePlugingが 2個有りますがOrbetに有効なプラグインは有りません"));
}

TEST(OptionRules, StoredFolderLosesItsFinalSeparatorButTheRootStays) {
    EXPECT_EQ(storedPluginFolder(QStringLiteral("/media/usb/")), QStringLiteral("/media/usb"));
    EXPECT_EQ(storedPluginFolder(QStringLiteral("/opt/orbet/susie")), QStringLiteral("/opt/orbet/susie"));
    EXPECT_EQ(storedPluginFolder(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(storedPluginFolder(QStringLiteral("//")), QStringLiteral("/"));
}

TEST(OptionRules, PluginFolderRefusals) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("IFpng.spi"));
    ASSERT_TRUE(writeAll(file, "x"));
    EXPECT_EQ(pluginFolderRefusal(dir.path()), QString());
    EXPECT_EQ(pluginFolderRefusal(dir.filePath(QStringLiteral("gone"))),
              QStringLiteral("SusiePluginの有る場所に選んだフォルダが見つかりません。\r\n") +
                  dir.filePath("gone"));
    EXPECT_EQ(pluginFolderRefusal(file),
              QStringLiteral("SusiePluginの有る場所にはフォルダを選んでください。\r\n") + file);
    const QString shared = dir.filePath(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkdir(shared));
    QFile::setPermissions(shared, QFile::permissions(shared) | QFile::WriteOther);
    EXPECT_EQ(pluginFolderRefusal(shared),
              QStringLiteral(
                  "SusiePluginの有る場所に選んだフォルダは他のユーザーも書き込めるため使えません。\r\n") +
                  shared);
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every folder";
    const QString locked = dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(locked));
    QFile::setPermissions(locked, QFile::WriteOwner);
    EXPECT_TRUE(pluginFolderRefusal(locked).startsWith(
        QStringLiteral("SusiePluginの有る場所に選んだフォルダを読み取れません。")));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(OptionRules, FolderListLinesAndCentring) {
    const auto lines = folderLines(QStringLiteral("/opt/orbet"), {"/opt/orbet/susie", "/opt/orbet/pd1"});
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].text, QStringLiteral("/"));
    EXPECT_EQ(lines[2].path, QStringLiteral("/opt/orbet"));
    EXPECT_TRUE(lines[2].current);
    EXPECT_EQ(lines[3].text, QStringLiteral("susie"));
    EXPECT_EQ(lines[3].depth, 3);
    EXPECT_EQ(folderLines(QStringLiteral("/"), {}).front().current, true);
    EXPECT_EQ(centredOrigin(QSize(1280, 1024), QSize(501, 400)), QPoint(390, 312));
}

} // namespace
} // namespace orbet::test
