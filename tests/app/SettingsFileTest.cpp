#include <gtest/gtest.h>

#include "app/core/SettingsTable.h"
#include "favourites/FavouritesStore.h"
#include "platform/NativePath.h"

namespace orbet {
namespace {

Settings sample() {
    Settings s;
    s.lastPath = QStringLiteral("/home/user/写真");
    s.windowState = 2;
    s.left = -120;
    s.top = 300;
    s.width = 9600;
    s.height = 7200;
    s.lastFileList = -1;
    s.lastFilter = 3;
    s.bar = 2535.5f;
    s.txtEdi = true;
    s.strSize = 12;
    s.slideShowTimer = 1500;
    s.backcolorR = 128;
    s.backcolorG = 0;
    s.backcolorB = 255;
    s.nodeClose = true;
    s.minWindowSizeType = 1;
    s.hideDirectory = 1;
    return s;
}

TEST(SettingsFile, WritesTheKeysInOrderWithTheirNumberForms) {
    FavouritesStore favourites;
    favourites.append(QStringLiteral("/data"));
    favourites.append(QStringLiteral("/home/user/a=b"));
    const QByteArray expected =
        "LastPath=/home/user/\xe5\x86\x99\xe7\x9c\x9f\r\n"
        "WisndowStatas=2\r\nLeft=-120\r\nTop=300\r\nWidth=9600\r\nHeight=7200\r\n"
        "LastFileList=-1\r\nLastFilter=3\r\nBar=2535.5\r\n"
        "AutoMode=1\r\nSetAutoH=0\r\nNotIniBat=1\r\nTxtEdi=1\r\nAutoPlay=0\r\nAutoRep=0\r\nAutoRepv2=0\r\n"
        "StrSize= 12\r\nArchive=1\r\nHide=0\r\nSystem=0\r\nSlideShowTimer=1500\r\n"
        "BackcolorR= 128 \r\nBackcolorG= 0 \r\nBackcolorB= 255 \r\n"
        "Rnd=0\r\nNodeExpand=0\r\nNodeClose=1\r\nMinWindow_on_MainWindow=0\r\nMinWindowSize=0\r\n"
        "MinWindowSizeType=1\r\nHideDirectory=1\r\n"
        "DirPath 0=/data\r\nDirPath 1=/home/user/a=b\r\n";
    EXPECT_EQ(formatSettings(sample(), favourites.save()), expected);
}

TEST(SettingsFile, FractionalAndNegativeRealsKeepTheirForms) {
    Settings s;
    s.strSize = 10.5;
    s.bar = 1500;
    QByteArray bytes = formatSettings(s, {});
    EXPECT_TRUE(bytes.contains("\r\nStrSize= 10.5\r\n"));
    EXPECT_TRUE(bytes.contains("\r\nBar=1500\r\n"));
    s.strSize = -2.25;
    bytes = formatSettings(s, {});
    EXPECT_TRUE(bytes.contains("\r\nStrSize=-2.25\r\n"));
}

TEST(SettingsFile, WrittenFileReadsBackToTheSameValues) {
    const Settings original = sample();
    const QStringList lines = settingsLines(formatSettings(original, {}));
    const RawSettings raw = readRawSettings(lines);
    Settings read;
    for (std::size_t i = 0; i < settingKeys().size(); ++i) {
        ASSERT_TRUE(raw.values[i]) << settingKeys()[i].name;
        EXPECT_TRUE(applyRawValue(read, settingKeys()[i], *raw.values[i])) << settingKeys()[i].name;
    }
    const QByteArray again = formatSettings(read, {});
    EXPECT_EQ(again, formatSettings(original, {}));
}

TEST(SettingsFile, PathsThatAreNotUtf8AreWrittenAsTheirBytesAndReadBack) {
    const QByteArray folder = "/data/\x93\xfa\x96\x7b/caf\xe9";
    const QByteArray favourite = "/fav/\x83\x74\x83\x48";
    Settings s;
    s.lastPath = fromNative(folder);
    FavouritesStore favourites;
    favourites.append(fromNative(favourite));
    const QByteArray bytes = formatSettings(s, favourites.save());
    EXPECT_TRUE(bytes.startsWith("LastPath=" + folder + "\r\n"));
    EXPECT_TRUE(bytes.endsWith("DirPath 0=" + favourite + "\r\n"));
    const QStringList lines = settingsLines(bytes);
    EXPECT_EQ(toNative(*readRawSettings(lines).value(u"LastPath")), folder);
    FavouritesStore read;
    read.load(lines);
    ASSERT_EQ(read.count(), 1);
    EXPECT_EQ(toNative(read.entries()[0]), favourite);
    // A file written by another installation in UTF-8 reads as it always did.
    EXPECT_EQ(readRawSettings(settingsLines("LastPath=/写真\r\n")).value(u"LastPath"),
              QStringLiteral("/写真"));
}

TEST(SettingsFile, AFolderNameWithALineBreakNeverBecomesASetting) {
    Settings s;
    s.lastPath = QStringLiteral("/data/x\nLastPath=/y/sub");
    const QStringList lines = settingsLines(formatSettings(s, {QStringLiteral("DirPath 0=/a\r\nWidth=1")}));
    ASSERT_EQ(lines.size(), kSettingKeyCount);
    EXPECT_EQ(lines[0], QStringLiteral("LastPath=/data"));
    EXPECT_EQ(readRawSettings(lines).value(u"LastPath"), QStringLiteral("/data"));
    s.lastPath = QStringLiteral("/x\ry");
    EXPECT_EQ(settingsLines(formatSettings(s, {}))[0], QStringLiteral("LastPath=/"));
}

TEST(SettingsReader, TakesTheLineWhoseKeyIsExactlyTheName) {
    // Hand-ordered: the longer keys come first, the favourites sit in the middle.
    const QStringList lines = settingsLines(
        "AutoRepv2=1\nAutoRep=0\nHideDirectory=1\nHide=0\nMinWindowSizeType=1\nMinWindowSize=0\n"
        "DirPath 2=/LastPath=/wrong\nLastPath=/right\nWidth=1=2\n");
    const RawSettings raw = readRawSettings(lines);
    EXPECT_EQ(raw.value(u"AutoRep"), QStringLiteral("0"));
    EXPECT_EQ(raw.value(u"AutoRepv2"), QStringLiteral("1"));
    EXPECT_EQ(raw.value(u"Hide"), QStringLiteral("0"));
    EXPECT_EQ(raw.value(u"HideDirectory"), QStringLiteral("1"));
    EXPECT_EQ(raw.value(u"MinWindowSize"), QStringLiteral("0"));
    EXPECT_EQ(raw.value(u"LastPath"), QStringLiteral("/right"));
    EXPECT_EQ(raw.value(u"Width"), QStringLiteral("1=2"));
    EXPECT_FALSE(raw.value(u"Top").has_value());
    // Keys are case-sensitive and the first line of a key wins.
    const RawSettings twice = readRawSettings({"lastpath=/lower", "LastPath=/first", "LastPath=/second"});
    EXPECT_EQ(twice.value(u"LastPath"), QStringLiteral("/first"));
}

TEST(SettingsReader, LenientNumbersAndBooleans) {
    const SettingKey& autoPlay = *findSettingKey(u"AutoPlay");
    const SettingKey& red = *findSettingKey(u"BackcolorR");
    Settings s;
    for (const char* on : {"-1", "5", " 1"}) {
        s.autoPlay = false;
        EXPECT_TRUE(applyRawValue(s, autoPlay, QString::fromLatin1(on)));
        EXPECT_TRUE(s.autoPlay) << on;
    }
    EXPECT_TRUE(applyRawValue(s, autoPlay, QStringLiteral("abc")));
    EXPECT_FALSE(s.autoPlay);
    EXPECT_TRUE(applyRawValue(s, red, QStringLiteral(" 128 ")));
    EXPECT_EQ(s.backcolorR, 128);
    // Halves round to even.
    EXPECT_TRUE(applyRawValue(s, *findSettingKey(u"LastFilter"), QStringLiteral("2.5")));
    EXPECT_EQ(s.lastFilter, 2);
}

TEST(SettingsReader, IndicesOutOfRangeAndEmptyValuesLeaveTheFieldAlone) {
    Settings s;
    s.lastFilter = 4;
    EXPECT_FALSE(applyRawValue(s, *findSettingKey(u"LastFilter"), QStringLiteral("70000")));
    EXPECT_EQ(s.lastFilter, 4);
    EXPECT_FALSE(applyRawValue(s, *findSettingKey(u"LastFilter"), QString()));
    EXPECT_EQ(s.lastFilter, 4);
}

TEST(SettingsReader, NumbersBeyondTheirControlAreHeldAtItsEnds) {
    // Independent of the table: the ends each control can take.
    const struct {
        const char* key;
        double lowest, highest;
    } ends[] = {
        {"Left", -16777215, 16777215},
        {"Top", -16777215, 16777215},
        {"Width", 0, 16777215},
        {"Height", 0, 16777215},
        {"Bar", 0, 16777215},
        {"StrSize", 1, 2048},
        {"SlideShowTimer", 0, 2147483647},
        {"BackcolorR", 0, 255},
        {"BackcolorG", 0, 255},
        {"BackcolorB", 0, 255},
    };
    auto read = [](const Settings& s, const SettingKey& key) {
        return std::visit(
            [&](auto member) -> double {
                using T = std::decay_t<decltype(s.*member)>;
                if constexpr (std::is_same_v<T, QString>)
                    return 0;
                else
                    return double(s.*member);
            },
            key.field);
    };
    for (const auto& e : ends) {
        const SettingKey& key = *findSettingKey(QString::fromLatin1(e.key));
        for (const char* huge : {"1e30", "5e9", "3.4e38"}) {
            Settings s;
            ASSERT_TRUE(applyRawValue(s, key, QString::fromLatin1(huge))) << e.key;
            EXPECT_EQ(read(s, key), e.highest) << e.key << " " << huge;
        }
        Settings s;
        ASSERT_TRUE(applyRawValue(s, key, QStringLiteral("-1e30")));
        EXPECT_EQ(read(s, key), e.lowest) << e.key;
    }
    Settings s;
    EXPECT_TRUE(applyRawValue(s, *findSettingKey(u"Bar"), QStringLiteral("2535.5")));
    EXPECT_EQ(s.bar, 2535.5f); // values inside the range are untouched
    EXPECT_TRUE(applyRawValue(s, *findSettingKey(u"BackcolorG"), QStringLiteral("300")));
    EXPECT_EQ(s.backcolorG, 255);
}

TEST(SettingsReader, SurvivesGarbage) {
    QByteArray garbage;
    for (int i = 0; i < 70000; ++i)
        garbage.append(char((i * 7919) & 0xff));
    garbage.append("\r\nLastFilter=3\r\n");
    garbage.append(QByteArray(5 * 1024 * 1024, 'x')); // one very long line
    garbage.append(QByteArray("\0\0=\0", 4));
    const RawSettings raw = readRawSettings(settingsLines(garbage));
    EXPECT_EQ(raw.value(u"LastFilter"), QStringLiteral("3"));
}

TEST(SettingsReader, SplitsEveryKindOfLineEnd) {
    EXPECT_EQ(settingsLines("a=1\r\nb=2\nc=3\rd=4"), (QStringList{"a=1", "b=2", "c=3", "d=4"}));
    EXPECT_EQ(settingsLines("a=1\r\n\r\n"), (QStringList{"a=1", ""}));
}

} // namespace
} // namespace orbet
