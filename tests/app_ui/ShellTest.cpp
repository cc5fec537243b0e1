#include <memory>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QUrl>

#include "Form1Fixture.h"
#include "app/core/MainLayout.h"
#include "app/ui/Commands.h"
#include "app/ui/Navigator.h"
#include "app/ui/Splitter.h"
#include "app/ui/Tray.h"
#include "display/ui/PictureBox.h"
#include "navigation/ui/ListControls.h"
#include "platform/Twips.h"
#include "platform/UserStore.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

class ShellTest : public Form1Test {
  protected:
    void SetUp() override {
        Form1Test::SetUp();
        QDir d(data_.path());
        for (const char* n : {"a.jpg", "b.txt", "Mixed.JPG"})
            writeAll(d.filePath(QString::fromLatin1(n)), "x");
        start();
    }
    QString path(const char* name) const { return QDir(data_.path()).filePath(QString::fromLatin1(name)); }
    // Delivers a drop the way the window system does, on one target.
    void drop(QWidget* target, QMimeData* data) {
        const std::unique_ptr<QMimeData> owned(data); // the window system owns it, then frees it
        const QPoint at(2, 2);
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent dropEvent(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &dropEvent);
    }
    QMimeData* files(const QStringList& paths) {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls.append(QUrl::fromLocalFile(p));
        data->setUrls(urls);
        return data;
    }
};

TEST_F(ShellTest, MenuBarHoldsTheSevenMenusInOrder) {
    Form1& f = *form_;
    QStringList titles;
    for (QAction* a : f.menuBar()->actions())
        titles.append(a->text());
    EXPECT_EQ(titles, (QStringList{"ファイル(&F)", "フォルダ(&P)", "表示(&V)", "プログラム(&P)", "設定(&S)",
                                   "ヘルプ(&H)"}));
    const QMenu* file = f.menu("nmenu");
    ASSERT_NE(file, nullptr);
    const QList<QAction*> items = file->actions();
    ASSERT_EQ(items.size(), 22);
    EXPECT_EQ(items[1]->text(), QStringLiteral("Kestrelの起動(&P)"));
    EXPECT_EQ(items[1]->shortcut(), QKeySequence(Qt::Key_F7));
    EXPECT_TRUE(items[2]->isSeparator());
    EXPECT_EQ(items[3]->menu()->objectName(), QStringLiteral("AngF"));
    EXPECT_EQ(items.last()->objectName(), QStringLiteral("exi"));
    EXPECT_EQ(items.last()->shortcut(), QKeySequence(QStringLiteral("Ctrl+X")));
    EXPECT_EQ(f.action(Command::Dexit)->shortcut(), QKeySequence(QStringLiteral("Shift+Del")));
    EXPECT_EQ(f.action(Command::OutF)->shortcut(), QKeySequence(QStringLiteral("Alt+Backspace")));
    // Every item with a command is live; the one item without an action is
    // shown disabled rather than doing nothing.
    EXPECT_TRUE(f.action(Command::PasAng)->isEnabled());
    EXPECT_TRUE(f.action(Command::Openfile)->isEnabled());
    EXPECT_FALSE(f.action(Command::InView)->isEnabled());
    EXPECT_EQ(f.menu("HideMenu")->actions().size(), 11);
    EXPECT_EQ(f.action(Command::rtfsa)->text(), QStringLiteral("Save"));
    // The start-in-the-tray item turns the stored resident flag on and off.
    ASSERT_FALSE(f.isChecked(Command::STopJ));
    f.action(Command::STopJ)->trigger();
    EXPECT_TRUE(f.isChecked(Command::STopJ));
    EXPECT_TRUE(f.state().resident);
    EXPECT_EQ(readStoreValue(QStringLiteral("Task"), QStringLiteral("Task")), QStringLiteral("1"));
    f.action(Command::STopJ)->trigger();
    EXPECT_FALSE(f.isChecked(Command::STopJ));
    EXPECT_FALSE(f.state().resident);
    EXPECT_EQ(readStoreValue(QStringLiteral("Task"), QStringLiteral("Task")), QStringLiteral("0"));
}

TEST_F(ShellTest, ToolbarHasItsThirteenButtons) {
    Form1& f = *form_;
    const QList<QAction*> buttons = f.TB->actions();
    ASSERT_EQ(buttons.size(), 13);
    EXPECT_EQ(buttons[0]->text(), QStringLiteral("Kestrelの起動"));
    EXPECT_EQ(buttons[0]->toolTip(), QStringLiteral("Kestrelを起動します"));
    EXPECT_EQ(buttons[3]->data().toString(), QStringLiteral("opencom"));
    EXPECT_TRUE(buttons[3]->isEnabled());
    EXPECT_TRUE(buttons[10]->isEnabled());  // full screen
    EXPECT_FALSE(buttons[11]->isEnabled()); // "kakutyou" has no command
    EXPECT_EQ(buttons[12]->toolTip(), QStringLiteral("りーどみぃ"));
    for (QAction* b : buttons)
        EXPECT_FALSE(b->icon().isNull()) << b->data().toString().toStdString();
}

TEST_F(ShellTest, SplitterStaysWithinItsLimits) {
    EXPECT_EQ(splitterReleaseTop(200, 50, 0, 6000), 1500);
    EXPECT_EQ(splitterReleaseTop(5950, 0, 0, 6000), 5820); // inside the scroll bar: 180 above it
    EXPECT_EQ(splitterReleaseTop(3000, 40, 1000, 6000), 3960);

    Form1& f = *form_;
    f.resize(800, 700);
    f.show();
    f.splitter().pressed(30);
    EXPECT_TRUE(f.Tmp->isVisible());
    f.splitter().moved(-2000);
    f.splitter().released(-2000);
    EXPECT_FALSE(f.Tmp->isVisible());
    EXPECT_EQ(f.barTop(), 1500);
    EXPECT_EQ(f.Bar->y(), twips::toPixels(1500));
}

TEST_F(ShellTest, RememberedRectangleIgnoresMinimiseAndMaximise) {
    Form1& f = *form_;
    f.show();
    f.resize(700, 500);
    QCoreApplication::processEvents();
    const TwipsRect normal = f.state().remembered;
    EXPECT_EQ(normal.width, twips::fromPixels(700));
    f.showMaximized();
    QCoreApplication::processEvents();
    EXPECT_NE(f.width(), 700);
    EXPECT_EQ(f.state().remembered, normal);
    f.showMinimized();
    QCoreApplication::processEvents();
    EXPECT_EQ(f.state().remembered, normal);
}

TEST_F(ShellTest, TrayTipIsTheCaptionCutTo63) {
    EXPECT_EQ(Tray::tipFor(QString(80, u'a')), QString(63, u'a'));
    EXPECT_EQ(Tray::tipFor(QStringLiteral("Orbet - /x")), QStringLiteral("Orbet - /x"));
}

TEST_F(ShellTest, DropsOpenTheFirstFileAnywhere) {
    Form1& f = *form_;
    drop(f.STB, files({path("b.txt")}));
    EXPECT_EQ(f.Combo1->currentIndex(), 8);
    EXPECT_EQ(f.File1->fileName(), QStringLiteral("b.txt"));
    EXPECT_TRUE(prompter_.records().empty());
    EXPECT_TRUE(f.state().showEnabled);

    drop(f.File1->viewport(), files({path("a.jpg"), path("b.txt"), path("Mixed.JPG")}));
    ASSERT_EQ(prompter_.records().size(), 2u); // the many-files note, then the picture that is not one
    EXPECT_EQ(prompter_.records()[0].text, QStringLiteral("複数のファイルが読まれましたが") + path("a.jpg") +
                                               QStringLiteral("だけを有効とします"));
    EXPECT_EQ(f.Combo1->currentIndex(), 0);
    EXPECT_EQ(f.File1->fileName(), QStringLiteral("a.jpg"));

    auto* text = new QMimeData;
    text->setText(QStringLiteral("just words"));
    drop(f.STB, text);
    EXPECT_EQ(prompter_.records().back().text, QStringLiteral("OLE Command Error"));
    EXPECT_TRUE(f.state().showEnabled);

    // The text pane takes drops and does nothing with them.
    const int before = int(prompter_.records().size());
    drop(f.RT, files({path("b.txt")}));
    EXPECT_EQ(int(prompter_.records().size()), before);
}

TEST_F(ShellTest, OpenDialogFindsTheFileWhateverItsCase) {
    Form1& f = *form_;
    prompter_.reply(path("MIXED.jpg").left(path("MIXED.jpg").size() - 9) + QStringLiteral("mixed.jpg"));
    f.action(Command::Openfile)->trigger();
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].title, QStringLiteral("開く"));
    EXPECT_EQ(prompter_.records()[0].text, QStringLiteral("すべてのピクチャファイル|") + f.File1->pattern());
    EXPECT_EQ(f.Dir1->path(), data_.path());
    EXPECT_EQ(f.File1->fileName(), QStringLiteral("Mixed.JPG"));
    EXPECT_FALSE(f.state().listClickSuppressed);

    // A file the filter hides: the folder opens, nothing is selected anew.
    f.Combo1->setCurrentIndex(6);
    prompter_.reply(path("a.jpg"));
    f.action(Command::Openfile)->trigger();
    EXPECT_EQ(f.File1->fileName(), QStringLiteral("b.txt"));
    EXPECT_FALSE(f.state().listClickSuppressed);
}

TEST_F(ShellTest, OpenWithAsksFirst) {
    Form1& f = *form_;
    f.state().currentFilePath = path("b.txt");
    prompter_.answer(Answer::No);
    f.action(Command::OPPR)->trigger();
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].text,
              path("b.txt") + QStringLiteral("を、関連づけされているプログラムで開きます。よろしいですか？"));
}

TEST_F(ShellTest, FileListsOfTheFolderOrOfTheList) {
    Form1& f = *form_;
    writeAll(path(".dot"), "x");
    f.navigator().OpenFolder(data_.path()); // the picture filter shows a.jpg and Mixed.JPG
    const QString every = path("every.m3u"), shown = path("shown");
    prompter_.reply(every);
    f.action(Command::DirFL)->trigger();
    EXPECT_EQ(prompter_.records().back().text,
              QStringLiteral("テキストファイル(*.txt)|*.txt|オーディオリスト(*.m3u)|*.m3u"));
    EXPECT_EQ(readAll(every), (path(".dot") + "\r\n" + path("a.jpg") + "\r\n" + path("b.txt") + "\r\n" +
                               path("Mixed.JPG") + "\r\n")
                                  .toUtf8());
    prompter_.reply(shown);
    f.action(Command::NowFlistToFL)->trigger();
    EXPECT_EQ(readAll(shown), (path("a.jpg") + "\r\n" + path("Mixed.JPG") + "\r\n").toUtf8());
    writeAll(shown, "kept");
    f.action(Command::NowFlistToFL)->trigger(); // cancelled
    EXPECT_EQ(readAll(shown), QByteArray("kept"));
}

TEST_F(ShellTest, InformationOnTheFileFolderAndDrive) {
    Form1& f = *form_;
    f.navigator().OpenFolder(data_.path());
    f.action(Command::Finfomaintion)->trigger();
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].title, QStringLiteral("ファイル情報"));
    EXPECT_TRUE(prompter_.records()[0].text.startsWith(path("a.jpg") + QStringLiteral("\r\nファイル\r\n")));
    f.action(Command::FoInfo)->trigger();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return prompter_.records().size() == 2u; }, 10000)); // summed on a worker
    EXPECT_TRUE(prompter_.records()[1].text.contains(QStringLiteral("　　　　　　パス：") + data_.path()));
    f.navigator().OpenFolder(QStringLiteral("/"));
    f.action(Command::FoInfo)->trigger(); // a volume root: the drive instead
    EXPECT_TRUE(prompter_.records()[2].text.startsWith(QStringLiteral("(/)")) ||
                prompter_.records()[2].text.contains(QStringLiteral("(/)\r\n")));
    f.state().currentFilePath = path("gone.txt");
    f.action(Command::Finfomaintion)->trigger();
    EXPECT_EQ(prompter_.records()[3].text, QStringLiteral("no file"));
}

} // namespace
} // namespace orbet::test
