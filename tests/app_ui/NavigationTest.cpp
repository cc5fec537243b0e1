#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTextEdit>
#include <QThread>
#include <QTreeWidget>

#include "Form1Fixture.h"
#include "app/ui/Navigator.h"
#include "navigation/FolderSnapshot.h"
#include "navigation/ui/FolderTree.h"
#include "navigation/ui/ListControls.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

// A main window started without settings, on a folder tree of its own.
class NavigationTest : public Form1Test {
  protected:
    void SetUp() override {
        Form1Test::SetUp();
        root_ = QDir(data_.path());
        for (const char* d : {"Pics", "empty", "Pics/sub", "Pics/sub/deeper", ".hidden", "zeta"})
            root_.mkpath(QString::fromLatin1(d));
        file("Pics/a.jpg", 1536);
        file("Pics/B.gif", 10);
        file("Pics/notes.txt", 1023);
        file("Pics/.dot.jpg", 5);
        start();
    }
    void file(const char* name, int size) {
        writeAll(root_.filePath(QString::fromLatin1(name)), QByteArray(size, 'x'));
    }
    QString path(const char* name) const { return root_.filePath(QString::fromLatin1(name)); }
    FolderTree& tree() { return form_->navigator().tree(); }
    QTreeWidgetItem* node(const char* name) { return tree().findKey(path(name)); }
    QStringList childTexts(QTreeWidgetItem* n) {
        QStringList t;
        for (int i = 0; i < n->childCount(); ++i)
            t.append(n->child(i)->text(0));
        return t;
    }

    QDir root_;
};

TEST_F(NavigationTest, OpenFolderBringsEveryMirrorInLine) {
    Form1& f = *form_;
    f.navigator().OpenFolder(path("Pics"));
    EXPECT_EQ(f.Dir1->path(), path("Pics"));
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Orbet - ") + path("Pics"));
    EXPECT_EQ(f.File1->listCount(), 2); // a.jpg and B.gif; the dot file is hidden
    EXPECT_EQ(f.File1->fileName(), QStringLiteral("a.jpg"));
    EXPECT_EQ(f.state().currentFilePath, path("Pics/a.jpg"));
    EXPECT_EQ(f.Bytes->text(), QStringLiteral("1.5KB"));
    EXPECT_EQ(f.action(Command::makedir)->text(), path("Pics") + QStringLiteral("に新しいフォルダを作成"));
    QStringList combo;
    for (int i = 0; i < f.Combo2->count(); ++i)
        combo.append(f.Combo2->itemText(i));
    EXPECT_EQ(combo, (QStringList{"..", path("Pics"), path("Pics/sub")}));
    EXPECT_EQ(f.Combo2->currentText(), path("Pics"));
    EXPECT_TRUE(f.Info->text().startsWith(QStringLiteral("探査対象すべてのピクチャファイル\r\n")));

    f.navigator().OpenFolder(path("empty"));
    EXPECT_EQ(f.statusText(),
              QStringLiteral("not file find   ") + path("empty") + QStringLiteral("内0のオブジェクト"));
    EXPECT_EQ(f.Bytes->text(), QStringLiteral("0ﾊﾞｲﾄ"));
    EXPECT_TRUE(f.state().currentFilePath.isEmpty());
}

TEST_F(NavigationTest, OpeningNodesListsSortedChildrenWithPlaceholders) {
    Form1& f = *form_;
    f.navigator().OpenTreePath(root_.path());
    QTreeWidgetItem* top = tree().findKey(root_.path());
    ASSERT_NE(top, nullptr);
    ASSERT_TRUE(top->isExpanded() || top->childCount() > 0);
    top->setExpanded(true);
    tree().settleProbes();
    EXPECT_EQ(childTexts(top), (QStringList{"empty", "Pics", "zeta"})); // ".hidden" stays out
    QTreeWidgetItem* pics = node("Pics");
    ASSERT_EQ(pics->childCount(), 1);
    EXPECT_TRUE(FolderTree::isPlaceholder(pics->child(0)));
    EXPECT_EQ(pics->child(0)->text(0), QStringLiteral(" "));
    EXPECT_EQ(node("empty")->childCount(), 0);
    EXPECT_EQ(FolderTree::imageOf(pics), 1);

    // Closing forgets the children; reopening lists the folder afresh.
    pics->setExpanded(true);
    EXPECT_EQ(childTexts(pics), QStringList{"sub"});
    root_.rename(QStringLiteral("Pics/sub"), QStringLiteral("Pics/renamed"));
    pics->setExpanded(false);
    ASSERT_EQ(pics->childCount(), 1);
    pics->setExpanded(true);
    EXPECT_EQ(childTexts(pics), QStringList{"renamed"});
    // Neither opening nor closing moved the current folder.
    EXPECT_EQ(f.Dir1->path(), root_.path());

    // Hidden folders appear with their own images when asked for.
    f.state().hideDirectory = 1;
    top->setExpanded(false);
    top->setExpanded(true);
    EXPECT_EQ(childTexts(top), (QStringList{".hidden", "empty", "Pics", "zeta"}));
    EXPECT_EQ(FolderTree::imageOf(node(".hidden")), 6);
}

// Opening a folder never waits for its subfolders' own probes: a folder
// beside it may be huge or on a slow disk. Their "+" is settled afterwards,
// and a node opened or gone meanwhile is left as the user made it.
TEST_F(NavigationTest, SubfoldersAreProbedAwayFromTheWindowAndSettledAfterwards) {
    Form1& f = *form_;
    for (int i = 0; i < 200; ++i)
        root_.mkpath(QStringLiteral("zeta/f%1").arg(i));
    for (int i = 0; i < 200; ++i)
        root_.mkpath(QStringLiteral("Pics/sub/deeper/f%1").arg(i));
    QStringList readOnWindowThread;
    const Qt::HANDLE windowThread = QThread::currentThreadId();
    setFolderReadObserver([&](const QString& folder) {
        if (QThread::currentThreadId() == windowThread) readOnWindowThread.append(folder);
    });
    f.navigator().OpenTreePath(path("Pics"));
    // Waited for through the event loop as the window takes them: waiting
    // on a probe not yet started would run it here, on the window's thread.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !tree().probesPending(); }, 60000));
    setFolderReadObserver({});
    // Pics was listed on the window's thread; its siblings only probed.
    EXPECT_FALSE(readOnWindowThread.contains(path("zeta"))) << readOnWindowThread.join(u'\n').toStdString();
    EXPECT_FALSE(readOnWindowThread.contains(path("empty")));
    EXPECT_EQ(node("empty")->childCount(), 0);
    EXPECT_EQ(node("zeta")->childCount(), 1);

    // A node the user opens before its answer arrives keeps its listing.
    QTreeWidgetItem* pics = node("Pics");
    pics->setExpanded(false);
    pics->setExpanded(true);
    QTreeWidgetItem* sub = node("Pics/sub");
    ASSERT_NE(sub, nullptr);
    sub->setExpanded(true);
    tree().settleProbes();
    EXPECT_EQ(childTexts(sub), QStringList{"deeper"});
    EXPECT_EQ(node("Pics/sub/deeper")->childCount(), 1); // its own subfolders

    // Answers for nodes that are gone are dropped.
    pics->setExpanded(false);
    pics->setExpanded(true);
    pics->setExpanded(false);
    tree().settleProbes();
    ASSERT_EQ(pics->childCount(), 1);
    EXPECT_TRUE(FolderTree::isPlaceholder(pics->child(0)));
    EXPECT_FALSE(tree().probesPending());
}

TEST_F(NavigationTest, TheTreeShowsFoldersMadeAndDeletedAtOnce) {
    Form1& f = *form_;
    // Made in a folder without subfolders, closed: it gets its "+".
    f.navigator().OpenTreePath(path("empty"));
    prompter_.reply(QStringLiteral("made"));
    f.action(Command::makedir)->trigger();
    ASSERT_EQ(node("empty")->childCount(), 1);
    EXPECT_TRUE(FolderTree::isPlaceholder(node("empty")->child(0)));
    // Made in an open folder: its node is there at once, and one deleted
    // meanwhile goes; the current folder stays highlighted.
    root_.mkpath(QStringLiteral("Pics/gone"));
    f.navigator().OpenTreePath(path("Pics"));
    node("Pics")->setExpanded(true);
    ASSERT_EQ(childTexts(node("Pics")), (QStringList{"gone", "sub"}));
    ASSERT_TRUE(QDir(path("Pics/gone")).removeRecursively());
    prompter_.reply(QStringLiteral("made"));
    f.action(Command::makedir)->trigger();
    ASSERT_NE(node("Pics/made"), nullptr);
    EXPECT_EQ(childTexts(node("Pics")), (QStringList{"made", "sub"}));
    EXPECT_EQ(tree().highlighted(), node("Pics"));

    // The current folder deleted: its node goes, and its parent is current.
    f.navigator().OpenTreePath(path("Pics/sub"));
    ASSERT_EQ(f.Dir1->path(), path("Pics/sub"));
    prompter_.answer(Answer::Yes);
    f.action(Command::MoveFolder)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !node("Pics/sub") && f.Dir1->path() == path("Pics"); }, 60000));
    EXPECT_EQ(childTexts(node("Pics")), QStringList{"made"});
    EXPECT_EQ(tree().highlighted(), node("Pics"));

    // One deleted behind the tree's back: a click on it goes to its parent,
    // and the rest of the tree stays open as it was.
    ASSERT_TRUE(QDir(path("Pics/made")).removeRecursively());
    tree().nodeClicked(node("Pics/made"));
    EXPECT_EQ(node("Pics/made"), nullptr);
    EXPECT_EQ(f.Dir1->path(), path("Pics"));
    EXPECT_EQ(tree().highlighted(), node("Pics"));
    EXPECT_NE(node("zeta"), nullptr);
}

TEST_F(NavigationTest, ClickingMakesTheFolderCurrentAndAddsANewExpandSign) {
    Form1& f = *form_;
    f.navigator().OpenTreePath(path("empty"));
    tree().settleProbes();
    QTreeWidgetItem* empty = node("empty");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(tree().highlighted(), empty);
    EXPECT_EQ(empty->childCount(), 0);
    root_.mkdir(QStringLiteral("empty/new"));
    f.navigator().OpenFolder(path("zeta"));
    tree().nodeClicked(empty);
    EXPECT_EQ(empty->childCount(), 1);
    EXPECT_EQ(f.Dir1->path(), path("empty"));
    EXPECT_EQ(tree().highlighted(), empty);
}

TEST_F(NavigationTest, ExpandAndCloseSettingsFollowTheNode) {
    Form1& f = *form_;
    f.state().nodeExpand = true;
    f.state().nodeClose = true;
    f.navigator().OpenTreePath(path("Pics"));
    f.navigator().OpenFolder(path("zeta"));
    node("Pics")->setExpanded(true);
    EXPECT_EQ(f.Dir1->path(), path("Pics"));
    f.navigator().OpenFolder(path("zeta"));
    node("Pics")->setExpanded(false);
    EXPECT_EQ(f.Dir1->path(), path("Pics"));
}

TEST_F(NavigationTest, TreePathWalkIgnoresCaseAndTrailingSeparators) {
    Form1& f = *form_;
    f.navigator().OpenTreePath(path("Pics/sub/deeper") + QStringLiteral("/"));
    EXPECT_EQ(f.Dir1->path(), path("Pics/sub/deeper"));
    EXPECT_EQ(FolderTree::keyOf(tree().highlighted()), path("Pics/sub/deeper"));
    f.navigator().OpenTreePath(root_.path() + QStringLiteral("/PICS/SUB"));
    EXPECT_EQ(f.Dir1->path(), path("Pics/sub"));
    // Nothing there: nothing changes.
    f.navigator().OpenTreePath(path("missing/folder"));
    EXPECT_EQ(f.Dir1->path(), path("Pics/sub"));
    // A file opens its folder.
    f.navigator().OpenTreePath(path("Pics/a.jpg"));
    EXPECT_EQ(f.Dir1->path(), path("Pics"));
}

// A folder gone with its parent: the tree goes back to the drive level.
TEST_F(NavigationTest, VanishedFoldersRebuildTheDriveLevel) {
    Form1& f = *form_;
    f.navigator().OpenTreePath(path("Pics/sub"));
    QTreeWidgetItem* sub = node("Pics/sub");
    ASSERT_NE(sub, nullptr);
    QDir(path("Pics")).removeRecursively();
    tree().nodeClicked(sub);
    EXPECT_EQ(node("Pics"), nullptr); // back to the drive level
    EXPECT_GT(f.TV->topLevelItemCount(), 0);
    EXPECT_TRUE(f.TV->updatesEnabled());
    for (int i = 0; i < f.TV->topLevelItemCount(); ++i)
        EXPECT_FALSE(f.TV->topLevelItem(i)->isExpanded());
}

TEST_F(NavigationTest, RefreshReturnsToTheCurrentFolder) {
    Form1& f = *form_;
    f.navigator().OpenTreePath(path("Pics/sub"));
    file("Pics/sub/new.bmp", 3);
    f.action(Command::ReViewS)->trigger();
    EXPECT_EQ(f.Dir1->path(), path("Pics/sub"));
    EXPECT_EQ(f.File1->fileName(), QStringLiteral("new.bmp"));
    EXPECT_NE(node("Pics/sub"), nullptr);
    EXPECT_EQ(node("zeta"), tree().findKey(path("zeta")));
}

TEST_F(NavigationTest, FiltersChangePatternPanesAndStatus) {
    Form1& f = *form_;
    f.navigator().OpenFolder(path("Pics"));
    f.Combo1->setCurrentIndex(6);
    EXPECT_EQ(f.File1->pattern(), QStringLiteral("*.txt"));
    EXPECT_EQ(f.File1->fileName(), QStringLiteral("notes.txt"));
    EXPECT_FALSE(f.RT->isHidden());
    EXPECT_TRUE(f.BP->isHidden());
    EXPECT_EQ(f.statusText(), path("Pics/notes.txt") + QStringLiteral("   ") + path("Pics") +
                                  QStringLiteral("内1のファイル"));

    // The program filter leaves the panes as they were.
    f.Combo1->setCurrentIndex(13);
    EXPECT_FALSE(f.RT->isHidden());
    EXPECT_EQ(f.File1->listCount(), 0);
    EXPECT_EQ(f.statusText(),
              path("Pics") + QStringLiteral("   ") + path("Pics") + QStringLiteral("内0のファイル"));
    EXPECT_EQ(f.Bytes->text(), QStringLiteral("0ﾊﾞｲﾄ"));

    f.Combo1->setCurrentIndex(14);
    EXPECT_EQ(f.File1->listCount(), 3);
    f.Combo1->setCurrentIndex(0);
    EXPECT_FALSE(f.BP->isHidden());
    EXPECT_TRUE(f.RT->isHidden());
    EXPECT_EQ(f.File1->listCount(), 2);
}

TEST_F(NavigationTest, AttributeSwitchesToggleTwiceBackToTheStart) {
    Form1& f = *form_;
    f.navigator().OpenFolder(path("Pics"));
    const int before = f.File1->listCount();
    f.action(Command::Hiddemset)->trigger();
    EXPECT_TRUE(f.isChecked(Command::Hiddemset));
    EXPECT_EQ(f.File1->listCount(), before + 1);
    EXPECT_TRUE(f.File1->attributes().hidden);
    f.action(Command::Hiddemset)->trigger();
    EXPECT_EQ(f.File1->listCount(), before);
    EXPECT_FALSE(f.File1->attributes().hidden);
    f.action(Command::MunuASet)->trigger();
    EXPECT_FALSE(f.File1->attributes().archive);
    EXPECT_EQ(f.File1->listCount(), before); // no file here carries the archive attribute
}

TEST_F(NavigationTest, NoFilterSelectedFallsBackWithAMessage) {
    Form1& f = *form_;
    f.navigator().Combo1_Click(-1);
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(
        prompter_.records()[0].text,
        QStringLiteral(
            "ERROR01\r\nファイルパターンに予期せぬエラーが発生しました\r\nファイルパターンを初期化します"));
    EXPECT_EQ(f.Combo1->currentIndex(), 0);
}

TEST_F(NavigationTest, DeviceNotReadyOffersRetryAndCancel) {
    Form1& f = *form_;
    f.navigator().OpenTreePath(path("Pics/sub"));
    f.navigator().OpenFolder(path("zeta"));
    QTreeWidgetItem* pics = node("Pics");
    int probes = 0;
    f.navigator().setFolderProbe(
        [&](const QString&) { return ++probes < 3 ? FolderStatus::DeviceNotReady : FolderStatus::Ok; });
    prompter_.answer(Answer::Retry);
    prompter_.answer(Answer::Retry);
    f.navigator().tree().nodeClicked(pics);
    ASSERT_EQ(prompter_.records().size(), 2u);
    EXPECT_EQ(prompter_.records()[0].text, QStringLiteral("デバイスの準備ができていません。"));
    EXPECT_EQ(prompter_.records()[0].title, QStringLiteral("Orbet-Device Error"));
    EXPECT_EQ(prompter_.records()[0].buttons, Buttons::RetryCancel);
    EXPECT_EQ(f.Dir1->path(), path("Pics"));

    // Cancel goes back to the folder the file list shows.
    f.navigator().setFolderProbe([](const QString&) { return FolderStatus::DeviceNotReady; });
    f.navigator().OpenTreePath(path("zeta"));
    prompter_.answer(Answer::Cancel);
    f.navigator().tree().nodeClicked(node("Pics"));
    EXPECT_EQ(f.Dir1->path(), path("zeta"));
    EXPECT_TRUE(f.TV->updatesEnabled());
}

TEST_F(NavigationTest, LinkLoopsAndOddNamesNeverHang) {
    Form1& f = *form_;
    QFile::link(root_.path(), path("Pics/loop"));
    root_.mkpath(QStringLiteral("Pics/ファイル 名前 with blanks"));
    root_.mkpath(QString(200, u'x'));
    f.navigator().OpenTreePath(path("Pics"));
    QTreeWidgetItem* pics = node("Pics");
    pics->setExpanded(true);
    EXPECT_EQ(childTexts(pics), (QStringList{"loop", "sub", "ファイル 名前 with blanks"}));
    QTreeWidgetItem* loop = node("Pics/loop");
    loop->setExpanded(true);
    EXPECT_EQ(childTexts(loop), (QStringList{"empty", "Pics", QString(200, u'x'), "zeta"}));
    f.navigator().OpenTreePath(path("Pics/loop/Pics/loop/Pics"));
    EXPECT_EQ(f.Dir1->path(), path("Pics/loop/Pics/loop/Pics"));
    f.action(Command::ReViewS)->trigger();
    EXPECT_EQ(f.Dir1->path(), path("Pics/loop/Pics/loop/Pics"));
}

} // namespace
} // namespace orbet::test
