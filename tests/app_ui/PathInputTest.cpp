#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include "Form1Fixture.h"
#include "app/ui/Navigator.h"
#include "app/ui/PathInput.h"
#include "navigation/ui/FolderTree.h"
#include "navigation/ui/ListControls.h"
#include "support/TestSupport.h"
#include "tools/SearchModel.h"
#include "tools/ui/HideForm.h"

namespace orbet::test {
namespace {

class PathInputTest : public Form1Test {
  protected:
    void SetUp() override {
        Form1Test::SetUp();
        QDir(data_.path()).mkpath(QStringLiteral("A/B"));
        writeAll(path("A/B/Photo.jpg"), "x");
        writeAll(path("A/B/other.jpg"), "x");
        start();
    }
    QString path(const char* name) const { return QDir(data_.path()).filePath(QString::fromLatin1(name)); }
    // Types as the user does: the keys go where the focus really is, which
    // for an editable combo box is the box itself, not its line edit.
    static void typeInto(QComboBox* combo, const QString& text) {
        QWidget* window = combo->window();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        combo->setFocus();
        QWidget* focus = QApplication::focusWidget();
        ASSERT_EQ(focus, combo);
        QTest::keyClick(focus, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(focus, Qt::Key_Backspace);
        QTest::keyClicks(focus, text);
        ASSERT_EQ(combo->currentText(), text);
        QTest::keyClick(focus, Qt::Key_Return);
    }
    void type(const QString& text) { typeInto(form_->Combo2, text); }
    FolderTree& tree() { return form_->navigator().tree(); }
};

TEST_F(PathInputTest, TypedPathsOpenFoldersFilesAndParents) {
    Form1& f = *form_;
    type(path("A/B") + u'/');
    EXPECT_EQ(f.Dir1->path(), path("A/B"));
    type(QStringLiteral(".."));
    EXPECT_EQ(f.Dir1->path(), path("A"));

    type(path("A/B/Photo.jpg"));
    EXPECT_EQ(f.Dir1->path(), path("A/B"));
    EXPECT_EQ(f.File1->fileName(), QStringLiteral("Photo.jpg"));
    // "~" is the home folder, as in a shell.
    {
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(path("A")));
        type(QStringLiteral("~/B/"));
        EXPECT_EQ(f.Dir1->path(), path("A/B"));
        type(QStringLiteral("~"));
        EXPECT_EQ(f.Dir1->path(), path("A"));
        qputenv("HOME", home);
    }
    type(path("A/B/nothing.jpg"));
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].text, path("A/B/nothing.jpg") + QStringLiteral("は存在しません"));
    EXPECT_EQ(prompter_.records()[0].title, QStringLiteral("Orbet - PathDirectInput"));

    // The box keeps the focus while the folder changes from elsewhere: its
    // text, which names a listed folder, is no choice of the user's.
    f.navigator().OpenFolder(path("A/B"));
    f.Combo2->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), f.Combo2);
    ASSERT_EQ(f.Combo2->findText(f.Combo2->currentText()), 1);
    f.navigator().OpenFolder(path("A"));
    EXPECT_EQ(f.Dir1->path(), path("A"));
    EXPECT_EQ(f.File1->path(), path("A"));

    f.navigator().OpenTreePath(QStringLiteral("/"));
    type(QStringLiteral("..")); // nothing above a volume root
    EXPECT_EQ(f.Dir1->path(), QStringLiteral("/"));
}

// A folder made after the tree read its parent is found when asked for by
// path, whether the parent is open in the tree or was listed without
// subfolders; the rest of the tree stays as it was.
TEST_F(PathInputTest, TheTreeLearnsAFolderThatAppearedWhenAPathAsksForIt) {
    Form1& f = *form_;
    QDir(data_.path()).mkpath(QStringLiteral("A/Z"));
    f.navigator().OpenTreePath(path("A/B"));
    tree().settleProbes();
    QTreeWidgetItem* a = tree().findKey(path("A"));
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(a->isExpanded());
    ASSERT_EQ(a->childCount(), 2); // B and Z

    ASSERT_TRUE(QDir(data_.path()).mkpath(QStringLiteral("A/M")));
    prompter_.reply(path("A/M"));
    f.action(Command::directdir)->trigger();
    EXPECT_EQ(f.Dir1->path(), path("A/M"));
    ASSERT_EQ(a->childCount(), 3);
    EXPECT_EQ(a->child(0)->text(0), QStringLiteral("B"));
    EXPECT_EQ(a->child(1)->text(0), QStringLiteral("M")); // in its place among the others
    EXPECT_EQ(a->child(2)->text(0), QStringLiteral("Z"));
    EXPECT_EQ(tree().highlighted(), a->child(1));

    // B had no subfolders when it was listed.
    tree().settleProbes();
    ASSERT_EQ(tree().findKey(path("A/B"))->childCount(), 0);
    ASSERT_TRUE(QDir(data_.path()).mkpath(QStringLiteral("A/B/New")));
    type(path("A/B/New"));
    EXPECT_EQ(f.Dir1->path(), path("A/B/New"));
    ASSERT_NE(tree().findKey(path("A/B/New")), nullptr);
    EXPECT_EQ(tree().highlighted(), tree().findKey(path("A/B/New")));

    // A path that names nothing still stops at the deepest folder there is.
    prompter_.reply(path("A/M/none"));
    f.action(Command::directdir)->trigger();
    EXPECT_EQ(prompter_.records().back().text, QStringLiteral("エラー　パスが見つかりません"));
    EXPECT_EQ(f.Dir1->path(), path("A/B/New"));
}

// The tree's "+" tells whether a folder has subfolders it would list: a
// hidden one counts only while hidden folders are shown.
TEST_F(PathInputTest, AFolderWhoseOnlySubfolderIsHiddenHasNoExpandSignUnlessHiddenFoldersShow) {
    Form1& f = *form_;
    ASSERT_TRUE(QDir(data_.path()).mkpath(QStringLiteral("A/veiled/.inner")));
    f.navigator().OpenTreePath(path("A/B")); // opens A on the way
    tree().settleProbes();
    QTreeWidgetItem* veiled = tree().findKey(path("A/veiled"));
    ASSERT_NE(veiled, nullptr);
    EXPECT_EQ(veiled->childCount(), 0);

    f.state().hideDirectory = 1;
    QTreeWidgetItem* a = tree().findKey(path("A"));
    a->setExpanded(false);
    a->setExpanded(true);
    tree().settleProbes();
    veiled = tree().findKey(path("A/veiled"));
    ASSERT_NE(veiled, nullptr);
    ASSERT_EQ(veiled->childCount(), 1);
    EXPECT_TRUE(FolderTree::isPlaceholder(veiled->child(0)));
}

// "反映" to the main window opens the folder as a typed path does: the tree,
// the file list, the caption and the folder commands all follow it.
TEST_F(PathInputTest, TheSearchToolOpensTheFolderItSendsToTheMainWindow) {
    Form1& f = *form_;
    f.navigator().OpenTreePath(path("A"));
    f.action(Command::Fmoju)->trigger();
    auto* tool = f.findChild<HideForm*>(QStringLiteral("HideForm"));
    ASSERT_NE(tool, nullptr);
    tool->setFolder(path("A"));
    tool->Option3->click(); // folders and files
    tool->Check1->click();
    QSignalSpy ended(tool, &HideForm::searchEnded);
    QTest::mouseClick(tool->Command1, Qt::LeftButton);
    ASSERT_TRUE(ended.wait(10000));
    int row = -1;
    for (int i = 0; i < tool->model()->rowCount(); ++i)
        if (tool->model()->text(i) == path("A/B/other.jpg") + QStringLiteral("/<F>")) row = i;
    ASSERT_GE(row, 0);
    tool->List1->setCurrentIndex(tool->model()->index(row));
    QTest::mouseClick(tool->Command2, Qt::LeftButton); // a file sends the folder that holds it

    EXPECT_EQ(f.Dir1->path(), path("A/B"));
    EXPECT_EQ(f.File1->path(), path("A/B"));
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Orbet - ") + path("A/B"));
    EXPECT_EQ(f.Combo2->currentText(), path("A/B"));
    ASSERT_NE(tree().highlighted(), nullptr);
    EXPECT_EQ(FolderTree::keyOf(tree().highlighted()), path("A/B"));
    EXPECT_EQ(f.action(Command::makedir)->text(), path("A/B") + QStringLiteral("に新しいフォルダを作成"));
    EXPECT_EQ(prompter_.records().size(), 0u);
    tool->close();
}

TEST_F(PathInputTest, ThePromptTakesAFolderAndRefusesTheRest) {
    Form1& f = *form_;
    prompter_.reply(path("A"));
    f.action(Command::directdir)->trigger();
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].title, QStringLiteral("Orbet"));
    EXPECT_EQ(prompter_.records()[0].text,
              QStringLiteral("パスを入力してください\r\n例：'C:\\windows\\system\\'"));
    EXPECT_EQ(f.Dir1->path(), path("A"));

    prompter_.reply(path("missing"));
    f.action(Command::directdir)->trigger();
    EXPECT_EQ(prompter_.records().back().text, QStringLiteral("エラー　パスが見つかりません"));

    const auto before = prompter_.records().size();
    f.action(Command::directdir)->trigger(); // cancelled: nothing more
    EXPECT_EQ(prompter_.records().size(), before + 1);
    EXPECT_EQ(f.Dir1->path(), path("A"));

    f.action(Command::ToWin)->trigger();
    EXPECT_EQ(f.Dir1->path(), QStringLiteral("/usr"));
}

} // namespace
} // namespace orbet::test
