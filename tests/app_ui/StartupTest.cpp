#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "Form1Fixture.h"
#include "app/ui/SettingsBinder.h"
#include "app/ui/Shutdown.h"
#include "app/ui/SplashWindow.h"
#include "app/ui/Startup.h"
#include "app/ui/Tray.h"
#include "display/FileKinds.h"
#include "navigation/ui/ListControls.h"
#include "platform/ScriptedPrompter.h"
#include "platform/Twips.h"
#include "platform/UserStore.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

const QString kJpegs = testData(QStringLiteral("pictures/jpeg"));

TEST_F(Form1Test, RestoresFolderAndFilterAndSavesAllKeysInOrder) {
    writeIni("LastFilter=3\r\nLastPath=" + kJpegs.toUtf8() + "\r\n");
    Form1& f = start();
    EXPECT_EQ(f.Combo1->currentIndex(), 3);
    EXPECT_EQ(f.Dir1->path(), QDir::cleanPath(kJpegs));
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Orbet - ") + QDir::cleanPath(kJpegs));
    ASSERT_GT(f.File1->listCount(), 0);
    EXPECT_EQ(f.File1->listIndex(), 0);
    EXPECT_TRUE(f.state().startupFileShown);
    EXPECT_EQ(f.state().currentFilePath, QDir::cleanPath(kJpegs) + u'/' + f.File1->entry(0));
    // Settings left out keep their defaults; the window is widened to its minimum.
    EXPECT_TRUE(f.isChecked(Command::SetAutoPD));
    EXPECT_EQ(f.state().remembered.width, 5190);
    EXPECT_EQ(f.state().remembered.left, 0);

    prompter_.answer(Answer::Yes);
    EXPECT_TRUE(f.close());
    EXPECT_EQ(quits_, 1);
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].text, QStringLiteral("終了しますか?"));
    EXPECT_EQ(prompter_.records()[0].title, QStringLiteral("Orbet"));

    const QStringList lines = QString::fromUtf8(savedIni()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 31);
    const char* order[] = {"LastPath",
                           "WisndowStatas",
                           "Left",
                           "Top",
                           "Width",
                           "Height",
                           "LastFileList",
                           "LastFilter",
                           "Bar",
                           "AutoMode",
                           "SetAutoH",
                           "NotIniBat",
                           "TxtEdi",
                           "AutoPlay",
                           "AutoRep",
                           "AutoRepv2",
                           "StrSize",
                           "Archive",
                           "Hide",
                           "System",
                           "SlideShowTimer",
                           "BackcolorR",
                           "BackcolorG",
                           "BackcolorB",
                           "Rnd",
                           "NodeExpand",
                           "NodeClose",
                           "MinWindow_on_MainWindow",
                           "MinWindowSize",
                           "MinWindowSizeType",
                           "HideDirectory"};
    for (int i = 0; i < 31; ++i)
        EXPECT_TRUE(lines[i].startsWith(QLatin1String(order[i]) + u'=')) << order[i];
    EXPECT_EQ(lines[0], QStringLiteral("LastPath=") + QDir::cleanPath(kJpegs));
    EXPECT_EQ(lines[7], QStringLiteral("LastFilter=3"));
    EXPECT_EQ(lines[21], QStringLiteral("BackcolorR= 255 "));
    EXPECT_EQ(QFile(home(QStringLiteral("Vae011.vaf"))).size(), 3000);
}

TEST_F(Form1Test, NoAtTheQuestionKeepsTheProgramRunningAndWritesNothing) {
    Form1& f = start();
    prompter_.answer(Answer::No);
    EXPECT_FALSE(f.close());
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(QFile::exists(home(QStringLiteral("picsys.ini"))));
    // The tray menu's exit asks the same question.
    prompter_.answer(Answer::No);
    f.action(Command::exit)->trigger();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(prompter_.records().size(), 2u);
}

TEST_F(Form1Test, ImmediateExitSavesNothing) {
    writeIni("LastFilter=2\r\n");
    Form1& f = start();
    f.setChecked(Command::SetAuD, true);
    f.action(Command::Dexit)->trigger();
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return quits_ == 1; }));
    EXPECT_TRUE(prompter_.records().empty());
    EXPECT_EQ(savedIni(), QByteArray("LastFilter=2\r\n"));
    EXPECT_FALSE(QFile::exists(home(QStringLiteral("Vae011.vaf"))));
}

TEST_F(Form1Test, WithoutSettingsFileTheStartUpKeepsItsDefaults) {
    Form1& f = start();
    EXPECT_EQ(f.Combo1->currentIndex(), 0);
    EXPECT_EQ(f.Dir1->path(), QDir::currentPath());
    EXPECT_EQ(f.Combo1->count(), 15);
    EXPECT_EQ(
        f.startup().progressTexts(),
        (QStringList{"アイコン、ツールチップの初期化", "ファイルパターン初期化", "Susieプラグイン読み込み",
                     "Susieプラグイン読み込み->終了->", "ウィンドウサイズ初期化", "前回設定読み込み",
                     "設定復元", "Orbet起動します....."}));
    EXPECT_TRUE(f.state().showEnabled);
    EXPECT_EQ(f.File1->toolTip(), QStringLiteral("ファイルを選択します"));
}

TEST_F(Form1Test, ResidentSwitchStartsInTheTrayAndIsRemembered) {
    Form1& f = start(QStringLiteral("/T"));
    EXPECT_TRUE(f.state().resident);
    EXPECT_TRUE(f.startup().progressTexts().isEmpty()); // no splash window
    EXPECT_FALSE(f.isVisible() && !f.isMinimized());
    prompter_.answer(Answer::Yes);
    EXPECT_TRUE(f.shutdown().confirmClose());
    EXPECT_EQ(readStoreValue(QStringLiteral("Task"), QStringLiteral("Task")), QStringLiteral("1"));
    EXPECT_TRUE(QFile::exists(home(QStringLiteral("picsys.ini"))));
}

TEST_F(Form1Test, ResidentSwitchWithSettingsRestoresThemToo) {
    writeIni("LastFilter=3\r\nLastPath=" + kJpegs.toUtf8() + "\r\n");
    Form1& f = start(QStringLiteral("/T"));
    EXPECT_TRUE(f.state().resident);
    EXPECT_EQ(f.Dir1->path(), QDir::cleanPath(kJpegs)); // "/T" names no file or folder
    EXPECT_EQ(f.Combo1->currentIndex(), 3);
}

TEST_F(Form1Test, StoredResidentFlagAlsoStartsInTheTray) {
    writeStoreValue(QStringLiteral("Task"), QStringLiteral("Task"), QStringLiteral("-1"));
    Form1& f = start();
    EXPECT_TRUE(f.state().resident);
    // The menu says why the window started in the tray.
    EXPECT_TRUE(f.isChecked(Command::STopJ));
    f.tray().showFromIcon();
    EXPECT_TRUE(f.isChecked(Command::STopJ));
    f.action(Command::Re)->trigger();
    EXPECT_FALSE(f.state().resident);
    EXPECT_FALSE(f.isChecked(Command::STopJ));
    prompter_.answer(Answer::Yes);
    f.shutdown().confirmClose();
    EXPECT_EQ(readStoreValue(QStringLiteral("Task"), QStringLiteral("Task")), QStringLiteral("0"));
}

// A message about the file named on the command line (a text cut at 16 MB)
// does not keep the window waiting behind the splash: it comes once the
// window is up, over it.
TEST_F(Form1Test, AMessageAboutTheNamedFileComesOverTheWindowNotTheSplash) {
    const QString huge = QDir(data_.path()).filePath(QStringLiteral("huge.txt"));
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray lines = "the first line\r\n";
        while (lines.size() < 17 * 1024 * 1024)
            lines += "a line of the text file that goes on and on\r\n";
        ASSERT_EQ(file.write(lines), lines.size());
    }
    writeIni("LastFilter=6\r\nLastPath=" + data_.path().toUtf8() + "\r\n");
    struct Seen {
        QString text;
        bool window = false, splash = false;
    };
    struct Watching : ScriptedPrompter {
        std::vector<Seen> seen;
        Answer message(const QString& text, const QString& title, Buttons buttons, Icon icon,
                       std::optional<Answer> defaultAnswer) override {
            Seen now{text};
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (!w->isVisible()) continue;
                now.window = now.window || qobject_cast<Form1*>(w);
                now.splash = now.splash || qobject_cast<SplashWindow*>(w);
            }
            seen.push_back(now);
            return ScriptedPrompter::message(text, title, buttons, icon, defaultAnswer);
        }
    } watching;
    Form1 f(watching, readStartRequest(huge));
    f.shutdown().setQuit([] {});
    f.load();
    f.Timer1->stop();
    ASSERT_EQ(watching.seen.size(), 1u);
    EXPECT_EQ(watching.seen[0].text, QStringLiteral("ファイルが大きいため、先頭の16MBだけを表示しています"));
    EXPECT_TRUE(watching.seen[0].window);
    EXPECT_FALSE(watching.seen[0].splash);
    EXPECT_TRUE(f.RT->toPlainText().startsWith(QStringLiteral("the first line")));
    // Questions are never held: the end asks at once.
    watching.answer(Answer::No);
    EXPECT_FALSE(f.shutdown().confirmClose());
    EXPECT_EQ(watching.seen.size(), 2u);
}

TEST_F(Form1Test, CommandLineFileIsSelectedOrFallsBackToTheFirstEntry) {
    QDir dir(data_.path());
    for (const char* n : {"a.jpg", "b.jpg", "c.jpg", "d.txt"})
        QFile(dir.filePath(n)).open(QIODevice::WriteOnly);
    writeIni("LastFilter=0\r\nLastPath=/\r\nLastFileList=0\r\n");
    Form1& f = start(dir.filePath(QStringLiteral("c.jpg")));
    EXPECT_EQ(f.Dir1->path(), dir.path());
    EXPECT_EQ(f.File1->fileName(), QStringLiteral("c.jpg"));

    form_.reset();
    writeIni("LastFilter=6\r\nLastPath=/\r\n"); // the text filter hides the pictures
    Form1& g = start(dir.filePath(QStringLiteral("c.jpg")));
    EXPECT_EQ(g.Combo1->currentIndex(), kPictureFilter); // so the picture's own filter is chosen
    EXPECT_EQ(g.File1->fileName(), QStringLiteral("c.jpg"));
    EXPECT_EQ(g.state().currentFilePath, dir.filePath(QStringLiteral("c.jpg")));

    // A first run, with no settings file, still shows the file it was opened on.
    form_.reset();
    QFile::remove(home(QStringLiteral("picsys.ini")));
    Form1& first = start(dir.filePath(QStringLiteral("b.jpg")));
    EXPECT_EQ(first.Dir1->path(), dir.path());
    EXPECT_EQ(first.File1->fileName(), QStringLiteral("b.jpg"));
    EXPECT_EQ(first.state().currentFilePath, dir.filePath(QStringLiteral("b.jpg")));

    form_.reset();
    writeIni("LastFilter=0\r\nLastPath=/\r\nLastFileList=2\r\n"); // a folder keeps the saved index
    Form1& h = start(dir.path());
    EXPECT_EQ(h.File1->fileName(), QStringLiteral("c.jpg"));
}

TEST_F(Form1Test, ReadsMenuSettingsUserFiltersAndColours) {
    writeIni("LastPath=" + kJpegs.toUtf8() +
             "\r\nAutoPlay=-1\r\nNotIniBat=0\r\nHide=5\r\nBackcolorR= 12 \r\nStrSize= 9.5\r\n"
             "LastFilter=16\r\nSlideShowTimer=abc\r\nWisndowStatas=0\r\n");
    ASSERT_TRUE(writeAll(home(QStringLiteral("Vae011.vaf")),
                         "\"Mine\",\"*.jpg\",0,\"Texts\",\"*.txt\",\"1\"," + QByteArray(2994, ',')));
    Form1& f = start();
    EXPECT_TRUE(f.isChecked(Command::SetAuD));
    EXPECT_FALSE(f.isChecked(Command::InBaNotD));
    EXPECT_TRUE(f.isChecked(Command::Hiddemset));
    EXPECT_TRUE(f.File1->attributes().hidden);
    EXPECT_EQ(f.state().backcolorR, 12);
    EXPECT_EQ(f.state().strSize, 9.5);
    EXPECT_EQ(f.state().slideShowTimer, 0); // "abc" reads as 0, as any lenient number does
    EXPECT_EQ(f.Combo1->count(), 17);
    EXPECT_EQ(f.Combo1->currentIndex(), 16);
    EXPECT_EQ(f.Combo1->currentText(), QStringLiteral("Texts"));
}

TEST_F(Form1Test, MalformedSettingsNeverStopTheStartUp) {
    QByteArray garbage;
    for (int i = 0; i < 100000; ++i)
        garbage.append(char((i * 7919 + 13) & 0xff));
    const QByteArray cases[] = {
        garbage,
        "Width=1e30\r\nHeight=-1e30\r\nLastFilter=70000\r\nBar=1e39\r\nLeft=abc\r\nLastFileList=99999\r\n",
        "LastPath=" + testData(QStringLiteral("pictures/bmp/pal1.bmp")).toUtf8() + "\r\nLastFilter=3\r\n",
        QByteArray("Last\0Path=\0\0\r\nLastFilter=\0", 26) + QByteArray(50 * 1024 * 1024, 'A'),
    };
    for (const QByteArray& bytes : cases) {
        form_.reset();
        writeIni(bytes);
        ASSERT_TRUE(writeAll(home(QStringLiteral("Vae011.vaf")), "\"unbalanced,\"*.x\",0,\"" + garbage));
        Form1& f = start();
        EXPECT_TRUE(f.isVisible());
        EXPECT_GE(f.Combo1->currentIndex(), 0);
        EXPECT_LT(f.Combo1->currentIndex(), f.Combo1->count());
        EXPECT_FALSE(f.Dir1->path().isEmpty());
    }
    // A LastPath that is a file falls back to the drive root.
    EXPECT_EQ(form_->Dir1->path(), QStringLiteral("/"));
}

TEST_F(Form1Test, AFailedWriteIsReportedAndTheOtherFileStillSaved) {
    ASSERT_TRUE(QDir(home_.path()).mkdir(QStringLiteral("Vae011.vaf"))); // cannot be replaced by a file
    Form1& f = start();
    prompter_.answer(Answer::Yes);
    EXPECT_TRUE(f.shutdown().confirmClose());
    ASSERT_EQ(prompter_.records().size(), 2u);
    EXPECT_TRUE(prompter_.records()[1].text.startsWith(QStringLiteral("設定を保存できませんでした。")));
    EXPECT_TRUE(prompter_.records()[1].text.contains(QStringLiteral("Vae011.vaf")));
    EXPECT_EQ(savedIni().count("\r\n"), 31);
}

TEST_F(Form1Test, MoveOutOfSightKeepsTheRememberedRectangle) {
    writeIni("Left=1500\r\nTop=1500\r\nWidth=9000\r\nHeight=7000\r\n");
    Form1& f = start();
    const TwipsRect before = f.state().remembered;
    f.action(Command::OutF)->trigger();
    EXPECT_EQ(f.x(), twips::toPixels(-f.rectTwips().width - 100));
    EXPECT_EQ(f.state().remembered, before);
}

TEST_F(Form1Test, OneShotTimerWaitsATickAfterARestoredFile) {
    writeIni("LastFilter=3\r\nLastPath=" + kJpegs.toUtf8() + "\r\n");
    Form1& f = start();
    f.Timer1->start();
    ASSERT_TRUE(f.state().startupFileShown);
    f.startup().Timer1_Timer();
    EXPECT_FALSE(f.state().startupFileShown);
    EXPECT_TRUE(f.Timer1->isActive());
    f.File1->setListIndex(2);
    f.startup().Timer1_Timer();
    EXPECT_FALSE(f.Timer1->isActive());
    EXPECT_EQ(f.File1->listIndex(), 2); // the folder was opened once more, the chosen entry kept
}

TEST_F(Form1Test, MinimisedEndRestoresMinimisedWithTheSameRectangle) {
    writeIni("WisndowStatas=1\r\nLeft=600\r\nTop=900\r\nWidth=9000\r\nHeight=7000\r\n");
    Form1& f = start();
    EXPECT_TRUE(f.windowState() & Qt::WindowMinimized);
    EXPECT_EQ(f.state().remembered, (TwipsRect{600, 900, 9000, 7000}));
    prompter_.answer(Answer::Yes);
    f.shutdown().confirmClose();
    const QByteArray saved = savedIni();
    EXPECT_TRUE(
        saved.contains("\r\nWisndowStatas=1\r\nLeft=600\r\nTop=900\r\nWidth=9000\r\nHeight=7000\r\n"));
}

} // namespace
} // namespace orbet::test
