#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/Language.h"
#include "platform/UserStore.h"

namespace orbet {
namespace {

LocaleEnvironment lang(const char* value) {
    return {{}, {}, value};
}

TEST(LanguageChoice, AutomaticFollowsTheDesktopsMessagesLanguage) {
    // Japanese, unset and the C locale keep the Japanese texts; any other
    // language gets English.
    for (const char* japanese : {"ja_JP.UTF-8", "ja_JP.eucJP", "ja", "", "C", "C.UTF-8", "POSIX"})
        EXPECT_FALSE(wantsEnglish(LanguageChoice::Automatic, lang(japanese))) << japanese;
    for (const char* other : {"en_US.UTF-8", "de_DE.UTF-8", "fr_FR", "jv_ID.UTF-8", "en_GB"})
        EXPECT_TRUE(wantsEnglish(LanguageChoice::Automatic, lang(other))) << other;
    // LC_ALL outweighs LC_MESSAGES, which outweighs LANG; empty ones count as unset.
    EXPECT_TRUE(wantsEnglish(LanguageChoice::Automatic, {"de_DE.UTF-8", "ja_JP.UTF-8", "ja_JP.UTF-8"}));
    EXPECT_FALSE(wantsEnglish(LanguageChoice::Automatic, {"C", "en_US.UTF-8", "en_US.UTF-8"}));
    EXPECT_FALSE(wantsEnglish(LanguageChoice::Automatic, {"", "ja_JP.UTF-8", "en_US.UTF-8"}));
    EXPECT_TRUE(wantsEnglish(LanguageChoice::Automatic, {"", "en_US.UTF-8", "ja_JP.UTF-8"}));
    EXPECT_TRUE(wantsEnglish(LanguageChoice::Automatic, {"", "", "en_US.UTF-8"}));
}

TEST(LanguageChoice, AStoredChoiceOutweighsTheDesktop) {
    for (const char* locale : {"ja_JP.UTF-8", "C", "en_US.UTF-8", "de_DE.UTF-8"}) {
        EXPECT_FALSE(wantsEnglish(LanguageChoice::Japanese, lang(locale))) << locale;
        EXPECT_TRUE(wantsEnglish(LanguageChoice::English, lang(locale))) << locale;
    }
}

TEST(LanguageChoice, IsKeptInThePerUserStoreAndUnknownValuesMeanAutomatic) {
    for (LanguageChoice c : {LanguageChoice::English, LanguageChoice::Japanese, LanguageChoice::Automatic}) {
        ASSERT_TRUE(storeLanguageChoice(c));
        EXPECT_EQ(storedLanguageChoice(), c);
    }
    for (const char* unknown : {"fr", "EN", "english", "1", " ja"}) {
        ASSERT_TRUE(
            writeStoreValue(QStringLiteral("Interface"), QStringLiteral("Language"), QLatin1String(unknown)));
        EXPECT_EQ(storedLanguageChoice(), LanguageChoice::Automatic) << unknown;
    }
}

const char* kSample = "ファイルが指定されていません";

QString translatedSample() {
    return QCoreApplication::translate("Commands", kSample);
}

TEST(LanguageCatalogue, EnglishComesFromTheBuiltCatalogue) {
    ASSERT_TRUE(installLanguage(*QCoreApplication::instance(), true,
                                QStringLiteral(ORBET_BUILD_DIR "/translations")));
    EXPECT_EQ(translatedSample(), QStringLiteral("No file is selected"));
    EXPECT_FALSE(installLanguage(*QCoreApplication::instance(), false,
                                 QStringLiteral(ORBET_BUILD_DIR "/translations")));
    EXPECT_EQ(translatedSample(), QString::fromUtf8(kSample));
    removeInstalledLanguage();
}

TEST(LanguageCatalogue, AMissingOrCorruptCatalogueLeavesTheJapaneseTexts) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_FALSE(installLanguage(*QCoreApplication::instance(), true, dir.path()));
    EXPECT_EQ(translatedSample(), QString::fromUtf8(kSample));

    // A truncated catalogue, and one that is not a catalogue at all.
    QFile good(QStringLiteral(ORBET_BUILD_DIR "/translations/orbet_en.qm"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray bytes = good.readAll();
    for (const QByteArray& bad :
         {bytes.left(bytes.size() / 2), bytes.left(20), QByteArray("not a catalogue\n")}) {
        QFile corrupt(dir.filePath(QStringLiteral("orbet_en.qm")));
        ASSERT_TRUE(corrupt.open(QIODevice::WriteOnly | QIODevice::Truncate));
        corrupt.write(bad);
        corrupt.close();
        EXPECT_FALSE(installLanguage(*QCoreApplication::instance(), true, dir.path())) << bad.size();
        EXPECT_EQ(translatedSample(), QString::fromUtf8(kSample)) << bad.size();
    }
    removeInstalledLanguage();
}

} // namespace
} // namespace orbet
