#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QMenuBar>
#include <QPushButton>

#include "Form1Fixture.h"
#include "app/ui/OptionCommands.h"
#include "options/ui/OptionForm.h"
#include "platform/Language.h"
#include "platform/UserStore.h"

namespace orbet::test {
namespace {

// The main window as the program starts it under a desktop locale and a
// stored choice: the language of the menu bar and of a message.
class LanguageTest : public Form1Test {
  protected:
    void TearDown() override {
        removeInstalledLanguage();
        for (const char* v : {"LC_ALL", "LC_MESSAGES", "LANG"})
            qunsetenv(v);
        Form1Test::TearDown();
    }
    struct Seen {
        QStringList menus;
        QString message;
    };
    Seen startUnder(const char* locale, const char* stored) {
        qunsetenv("LC_ALL");
        qunsetenv("LC_MESSAGES");
        qputenv("LANG", locale);
        writeStoreValue(QStringLiteral("Interface"), QStringLiteral("Language"), QLatin1String(stored));
        installChosenLanguage(*qApp, QStringLiteral(ORBET_BUILD_DIR "/translations"));
        Form1& f = start();
        Seen seen;
        for (QAction* a : f.menuBar()->actions())
            seen.menus << a->text();
        // Open-with on a folder that holds no file.
        f.findChild<QAction*>(QStringLiteral("OPPR"))->trigger();
        if (!prompter_.records().empty()) seen.message = prompter_.records().back().text;
        prompter_.clear();
        form_.reset();
        return seen;
    }
};

const QStringList kJapaneseMenus = {QStringLiteral("ファイル(&F)"), QStringLiteral("フォルダ(&P)"),
                                    QStringLiteral("表示(&V)"),     QStringLiteral("プログラム(&P)"),
                                    QStringLiteral("設定(&S)"),     QStringLiteral("ヘルプ(&H)")};
const QStringList kEnglishMenus = {QStringLiteral("&File"),     QStringLiteral("Fold&er"),
                                   QStringLiteral("&View"),     QStringLiteral("&Programs"),
                                   QStringLiteral("&Settings"), QStringLiteral("&Help")};

TEST_F(LanguageTest, TheWindowSpeaksTheChosenOrTheDesktopsLanguage) {
    struct Case {
        const char* locale;
        const char* stored;
        bool english;
    };
    const Case cases[] = {
        {"ja_JP.UTF-8", "", false},
        {"C", "", false},
        {"en_US.UTF-8", "", true},
        {"de_DE.UTF-8", "", true},
        {"de_DE.UTF-8", "auto", true},
        {"en_US.UTF-8", "ja", false},
        {"C", "en", true},
        {"ja_JP.UTF-8", "en", true},
        {"de_DE.UTF-8", "ja", false},
        // An unknown stored value counts as automatic.
        {"ja_JP.UTF-8", "klingon", false},
        {"en_US.UTF-8", "klingon", true},
    };
    for (const Case& c : cases) {
        const Seen seen = startUnder(c.locale, c.stored);
        const std::string what = std::string(c.locale) + " / stored \"" + c.stored + "\"";
        EXPECT_EQ(seen.menus, c.english ? kEnglishMenus : kJapaneseMenus) << what;
        EXPECT_EQ(seen.message, c.english ? QStringLiteral("No file is selected")
                                          : QStringLiteral("ファイルが指定されていません"))
            << what;
    }
}

// The choice is made in the options dialog, kept in the per-user store and
// read at the next start; the window in front keeps its language.
TEST_F(LanguageTest, TheOptionsDialogStoresTheChoiceForTheNextStart) {
    Form1& f = start();
    auto d = options::makeForm(f);
    EXPECT_EQ(d->Frame8->title(), QStringLiteral("表示言語（次回起動時から有効）"));
    ASSERT_EQ(d->Combo3->count(), 3);
    EXPECT_EQ(d->Combo3->itemText(1), QStringLiteral("日本語"));
    EXPECT_EQ(d->Combo3->itemText(2), QStringLiteral("English"));
    EXPECT_EQ(d->Combo3->currentIndex(), 0);
    d->Combo3->setCurrentIndex(2);
    d->Command5->click(); // cancelled: nothing stored
    d.reset();
    EXPECT_EQ(storedLanguageChoice(), LanguageChoice::Automatic);

    d = options::makeForm(f);
    d->Combo3->setCurrentIndex(2);
    d->Command4->click();
    d.reset();
    EXPECT_EQ(readStoreValue(QStringLiteral("Interface"), QStringLiteral("Language")), QStringLiteral("en"));
    EXPECT_FALSE(savedIni().contains("Language"));
    EXPECT_EQ(f.menuBar()->actions().first()->text(), QStringLiteral("ファイル(&F)"));

    // The next start under a Japanese desktop is English, and the dialog shows the choice.
    form_.reset();
    qputenv("LANG", "ja_JP.UTF-8");
    installChosenLanguage(*qApp, QStringLiteral(ORBET_BUILD_DIR "/translations"));
    Form1& g = start();
    EXPECT_EQ(g.menuBar()->actions().first()->text(), QStringLiteral("&File"));
    auto again = options::makeForm(g);
    EXPECT_EQ(again->Frame8->title(), QStringLiteral("Interface language (from the next start)"));
    EXPECT_EQ(again->Combo3->currentIndex(), 2);
    // "すべて標準にする" goes back to automatic.
    again->Command3->click();
    EXPECT_EQ(again->Combo3->currentIndex(), 0);
    again->Command4->click();
    again.reset();
    EXPECT_EQ(storedLanguageChoice(), LanguageChoice::Automatic);
}

} // namespace
} // namespace orbet::test
