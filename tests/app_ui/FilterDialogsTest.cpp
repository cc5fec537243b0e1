#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "Form1Fixture.h"
#include "app/ui/FilterDialogs.h"
#include "app/ui/Navigator.h"
#include "app/ui/Shutdown.h"
#include "display/ui/PictureBox.h"
#include "navigation/ui/ListControls.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

class FilterDialogsTest : public Form1Test {
  protected:
    void SetUp() override {
        Form1Test::SetUp();
        start();
    }
    void add(const QString& name, const QStringList& masks, int method) {
        FilterMake dialog(*form_);
        dialog.Text1->setText(name);
        for (const QString& m : masks) {
            dialog.Text2->setText(m);
            dialog.Command1->click();
        }
        dialog.Combo1->setCurrentIndex(method);
        dialog.Command3->click();
    }
};

TEST_F(FilterDialogsTest, AddingFiltersFillsTheComboAndSurvivesARestart) {
    Form1& f = *form_;
    {
        FilterMake fresh(f);
        EXPECT_EQ(fresh.Combo1->currentText(), QStringLiteral("テキスト"));
        EXPECT_EQ(fresh.windowTitle(), QStringLiteral("ファイルフィルター新規登録ﾀﾞｲｱﾛｸﾞ"));
    }

    add(QStringLiteral("画像"), {"*.pic", "*.mag"}, 0);
    add(QStringLiteral("ログ"), {"*.log"}, 1);
    ASSERT_EQ(f.Combo1->count(), 17);
    EXPECT_EQ(f.Combo1->itemText(15), QStringLiteral("画像"));
    EXPECT_EQ(f.userFilters().row(0).patterns.text, QStringLiteral("*.PIC;*.pic;*.Pic;*.MAG;*.mag;*.Mag"));
    EXPECT_EQ(f.userFilters().row(0).method, FilterValue::ofNumber(0));

    writeAll(QDir(data_.path()).filePath("a.pic"), "x");
    f.navigator().OpenFolder(data_.path());
    f.Combo1->setCurrentIndex(15);
    EXPECT_EQ(f.File1->fileName(), QStringLiteral("a.pic"));
    EXPECT_FALSE(f.BP->isHidden()); // the picture arrangement

    prompter_.answer(Answer::Yes);
    ASSERT_TRUE(f.shutdown().confirmClose());
    form_.reset();
    Form1& again = start();
    EXPECT_EQ(again.Combo1->count(), 17);
    EXPECT_EQ(again.Combo1->currentIndex(), 15);
    EXPECT_EQ(again.userFilters().row(1).name.text, QStringLiteral("ログ"));
}

TEST_F(FilterDialogsTest, BadInputIsRefused) {
    Form1& f = *form_;
    FilterMake dialog(f);
    dialog.Text2->setText(QStringLiteral("pic"));
    dialog.Command1->click();
    EXPECT_EQ(dialog.List1->count(), 0);
    dialog.Command3->click(); // no mask at all
    dialog.Text1->setText(QStringLiteral("a,b"));
    dialog.Text2->setText(QStringLiteral("*.x"));
    dialog.Command1->click();
    dialog.Command3->click(); // a comma the filter file cannot hold
    ASSERT_EQ(prompter_.records().size(), 3u);
    for (const auto& r : prompter_.records())
        EXPECT_EQ(r.text, QStringLiteral("正しい入力でありません"));
    EXPECT_EQ(f.Combo1->count(), 15);

    dialog.droppedOnPicture(QStringLiteral("/pics/cat.pic"));
    EXPECT_EQ(dialog.Text2->text(), QStringLiteral("*.pic"));
    EXPECT_EQ(dialog.List1->count(), 1); // not added until 追加
}

TEST_F(FilterDialogsTest, OrganisingDeletesAndRenumbers) {
    Form1& f = *form_;
    add(QStringLiteral("one"), {"*.1"}, 0);
    add(QStringLiteral("two"), {"*.2"}, 1);
    add(QStringLiteral("three"), {"*.3"}, 2);
    {
        FFLEdi dialog(f);
        ASSERT_EQ(dialog.List1->count(), 3);
        dialog.List1->setCurrentRow(2);
        EXPECT_EQ(dialog.Label1->text(), QStringLiteral("WWWブラウザ形式"));
        EXPECT_EQ(dialog.Label2->text(), QStringLiteral("*.3;*.3;*.3"));
        dialog.List1->setCurrentRow(1);
        dialog.Command1->click();
        dialog.Command3->click();
    }
    EXPECT_EQ(f.Combo1->count(), 17);
    EXPECT_EQ(f.Combo1->itemText(16), QStringLiteral("three"));
    EXPECT_EQ(f.userFilters().row(1).method, FilterValue::ofText("2"));
    {
        FFLEdi dialog(f);
        dialog.Command2->click();
        EXPECT_EQ(dialog.List1->count(), 0);
        dialog.Command4->click();
    }
    EXPECT_EQ(f.Combo1->count(), 17);
    {
        FFLEdi dialog(f);
        dialog.Command2->click();
        dialog.Command3->click();
    }
    EXPECT_EQ(f.Combo1->count(), 15);
    EXPECT_TRUE(prompter_.records().empty());
}

} // namespace
} // namespace orbet::test
