#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "Form1Fixture.h"
#include "app/ui/ExternalPrograms.h"
#include "platform/Language.h"
#include "platform/ProgramFolders.h"
#include "platform/Shell.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

class ExternalProgramsTest : public Form1Test {
  protected:
    void SetUp() override {
        Form1Test::SetUp();
        start();
    }
};

TEST_F(ExternalProgramsTest, CompanionsNeedAFileAndAreReportedWhenMissing) {
    Form1& f = *form_;
    f.state().currentFilePath = data_.path(); // a folder is no file
    f.action(Command::HexwellterOpen)->trigger();
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].text, QStringLiteral("ファイルが指定されていません"));

    const QString file = QDir(data_.path()).filePath(QStringLiteral("a b.txt"));
    writeAll(file, "x");
    f.state().currentFilePath = file;
    f.action(Command::HexwellterOpen)->trigger(); // the companion editor is not installed here
    ASSERT_EQ(prompter_.records().size(), 2u);
    EXPECT_TRUE(prompter_.records()[1].text.contains(QStringLiteral("KTX_Hexwell.exe")));

    f.action(Command::OPRT)->trigger();
    EXPECT_EQ(prompter_.records().back().text, QStringLiteral("File Not Find"));
    EXPECT_EQ(prompter_.records().size(), 3u);
    EXPECT_TRUE(f.TB->actions().first()->isEnabled());
}

TEST_F(ExternalProgramsTest, HelpFilesOpenWithTheDesktopOnlyWhenTheyAreThere) {
    Form1& f = *form_;
    QStringList opened;
    setDesktopOpener([&](const QUrl& url) {
        opened.append(url.toLocalFile());
        return true;
    });
    QTemporaryDir program;
    folders::setProgramFolderForTesting(program.path());
    // The shell's open of a missing file fails without a word.
    f.action(Command::HLPPic)->trigger();
    f.action(Command::HLP)->trigger();
    EXPECT_TRUE(opened.isEmpty());

    const QString help = program.filePath(QStringLiteral("qvpic.hlp"));
    const QString site = program.filePath(QStringLiteral("ゼファンユキ広場.url"));
    writeAll(help, "help");
    writeAll(site, "[InternetShortcut]\r\n");
    f.action(Command::HLPPic)->trigger();
    f.action(Command::HLP)->trigger();
    folders::setProgramFolderForTesting({});
    setDesktopOpener({});
    EXPECT_EQ(opened, (QStringList{help, site}));
    EXPECT_TRUE(prompter_.records().empty());
}

// Where the desktop's program for text needs a terminal (or there is none
// to ask), the help shows in a window of Orbet's own, in the interface's
// language.
TEST_F(ExternalProgramsTest, TheHelpShowsInItsOwnWindowWhereTheDesktopHasNoTextViewer) {
    Form1& f = *form_;
    QTemporaryDir program, desktop;
    folders::setProgramFolderForTesting(program.path());
    writeAll(program.filePath(QStringLiteral("texthelp.txt")), "Orbet ヘルプ\n");
    writeAll(program.filePath(QStringLiteral("texthelp_en.txt")), "Orbet Help\n");
    const QDir d(desktop.path());
    ASSERT_TRUE(d.mkpath(QStringLiteral("data/applications")) && d.mkpath(QStringLiteral("config")));
    writeAll(d.filePath(QStringLiteral("config/mimeapps.list")),
             "[Default Applications]\ntext/plain=vim.desktop\n");
    writeAll(
        d.filePath(QStringLiteral("data/applications/vim.desktop")),
        "[Desktop Entry]\nType=Application\nName=Vim\nExec=vim %F\nTerminal=true\nMimeType=text/plain;\n");
    const QByteArray names[] = {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"};
    QByteArray kept[4];
    for (int i = 0; i < 4; ++i) {
        kept[i] = qgetenv(names[i]);
        qputenv(names[i],
                QFile::encodeName(d.filePath(i < 2 ? QStringLiteral("data") : QStringLiteral("config"))));
    }
    QStringList opened;
    setDesktopOpener([&](const QUrl& url) {
        opened.append(url.toLocalFile());
        return true;
    });
    EXPECT_FALSE(desktopShowsText());
    auto shownHelp = [&] {
        f.action(Command::IHelp)->trigger();
        auto* window = f.findChild<QDialog*>(QStringLiteral("HelpWindow"));
        auto* text = window ? window->findChild<QPlainTextEdit*>(QStringLiteral("HelpText")) : nullptr;
        const QString shown = window && window->isVisible() && text ? text->toPlainText() : QString();
        if (window) window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return shown;
    };
    EXPECT_EQ(shownHelp(), QStringLiteral("Orbet ヘルプ\n"));
    ASSERT_TRUE(installLanguage(*qApp, true, QStringLiteral(ORBET_BUILD_DIR "/translations")));
    EXPECT_EQ(shownHelp(), QStringLiteral("Orbet Help\n"));
    removeInstalledLanguage();
    setDesktopOpener({});
    for (int i = 0; i < 4; ++i)
        kept[i].isNull() ? qunsetenv(names[i]) : qputenv(names[i], kept[i]);
    folders::setProgramFolderForTesting({});
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(prompter_.records().empty());

    // What a desktop entry says about its program's window.
    EXPECT_TRUE(opensInAWindow("[Desktop Entry]\nExec=gedit %U\nTerminal=false\n"));
    EXPECT_TRUE(opensInAWindow("[Desktop Entry]\nExec=mousepad %F\n[Desktop Action new]\nTerminal=true\n"));
    EXPECT_FALSE(opensInAWindow("[Desktop Entry]\nExec=nano %F\nTerminal=true\n"));
    EXPECT_FALSE(opensInAWindow("[Desktop Entry]\nName=Broken\n"));
}

TEST_F(ExternalProgramsTest, AboutWindowClosesOnAClickAndOpensAgain) {
    Form1& f = *form_;
    for (int round = 0; round < 2; ++round) {
        bool seen = false;
        // Waits for the modal window however long the machine takes to show it.
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* about = qobject_cast<VrForm*>(QApplication::activeModalWidget());
            if (!about) return;
            poll.stop();
            seen = about->isVisible() && about->Label3->text() == QStringLiteral("Orbet Version1.24");
            QTest::mouseClick(about->Label2, Qt::LeftButton);
        });
        poll.start();
        f.action(Command::ver)->trigger();
        EXPECT_TRUE(seen);
        EXPECT_EQ(f.findChild<VrForm*>(), nullptr);
    }
}

} // namespace
} // namespace orbet::test
