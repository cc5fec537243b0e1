#include <QAction>
#include <QDir>
#include <QListWidget>
#include <QPushButton>

#include "Form1Fixture.h"
#include "app/ui/FavouritesDialog.h"
#include "app/ui/Navigator.h"
#include "app/ui/Shutdown.h"
#include "navigation/ui/ListControls.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

class FavouritesTest : public Form1Test {
protected:
    void SetUp() override {
        Form1Test::SetUp();
        for (const char* d : {"A", "B", "C"}) QDir(data_.path()).mkdir(QString::fromLatin1(d));
        start();
    }
    QString path(const char* name) const { return QDir(data_.path()).filePath(QString::fromLatin1(name)); }
    void addCurrent(const char* name) {
        form_->navigator().OpenTreePath(path(name));
        prompter_.answer(Answer::Yes);
        form_->action("AddO")->trigger();
    }
};

TEST_F(FavouritesTest, EmptyAndSingleStoresAreRefused) {
    Form1& f = *form_;
    f.action("CallO")->trigger();
    f.action("chekO")->trigger();
    ASSERT_EQ(prompter_.records().size(), 2u);
    EXPECT_EQ(prompter_.records()[0].text, QStringLiteral("登録されていません"));
    EXPECT_EQ(prompter_.records()[1].text, QStringLiteral("登録されていません"));
    addCurrent("A");
    EXPECT_EQ(prompter_.records()[2].text, QStringLiteral("現在のパスをお気に入りに登録します。よろしいですか？"));
    QDir(path("A")).removeRecursively();
    f.action("chekO")->trigger();
    EXPECT_EQ(prompter_.records().back().text, QStringLiteral("チェックする必要がありません"));
    EXPECT_EQ(f.favourites().count(), 1);
}

TEST_F(FavouritesTest, CheckDropsMissingAndRepeatedFolders) {
    Form1& f = *form_;
    addCurrent("A");
    addCurrent("B");
    addCurrent("A");
    addCurrent("C");
    QDir(path("B")).removeRecursively();
    f.action("chekO")->trigger();
    EXPECT_EQ(f.favourites().entries(), (QStringList{path("A"), path("C")}));
    EXPECT_EQ(f.state().title, QStringLiteral("Orbet"));
}

TEST_F(FavouritesTest, DialogMovesDeletesAndGoes) {
    Form1& f = *form_;
    addCurrent("A");
    addCurrent("B");
    addCurrent("C");
    {
        Form2 dialog(f);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("お気に入りパス呼び出し"));
        dialog.Command5->click();
        EXPECT_EQ(prompter_.records().back().text, QStringLiteral("選択してください"));
        dialog.List1->setCurrentRow(1);
        dialog.Command5->click();
        EXPECT_EQ(f.favourites().entries(), (QStringList{path("B"), path("A"), path("C")}));
        EXPECT_EQ(dialog.List1->currentRow(), 0);
        dialog.List1->setCurrentRow(2);
        dialog.Command4->click();
        EXPECT_EQ(prompter_.records().back().text, QStringLiteral("これ以上移動できません"));
        dialog.Command3->click();
        EXPECT_EQ(f.favourites().entries(), (QStringList{path("B"), path("A")}));
        EXPECT_EQ(dialog.List1->currentRow(), 0);
        dialog.List1->setCurrentRow(1);
        dialog.Command1->click();
    }
    EXPECT_EQ(f.Dir1->path(), path("A"));
    // The store reaches the settings file at the end.
    prompter_.answer(Answer::Yes);
    ASSERT_TRUE(f.shutdown().confirmClose());
    const QByteArray ini = savedIni();
    EXPECT_TRUE(ini.endsWith(("DirPath 0=" + path("B") + "\r\nDirPath 1=" + path("A") + "\r\n").toUtf8()));
}

}  // namespace
}  // namespace orbet::test
