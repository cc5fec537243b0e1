#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTest>

#include "Form1Fixture.h"
#include "app/ui/Navigator.h"
#include "app/ui/PathInput.h"
#include "navigation/ui/ListControls.h"
#include "support/TestSupport.h"

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
    void type(const QString& text) {
        form_->Combo2->setEditText(text);
        form_->Combo2->lineEdit()->setFocus();
        QTest::keyClick(form_->Combo2->lineEdit(), Qt::Key_Return);
    }
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
    type(path("A/B/nothing.jpg"));
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].text, path("A/B/nothing.jpg") + QStringLiteral("は存在しません"));
    EXPECT_EQ(prompter_.records()[0].title, QStringLiteral("Orbet - PathDirectInput"));

    f.navigator().OpenTreePath(QStringLiteral("/"));
    type(QStringLiteral(".."));  // nothing above a volume root
    EXPECT_EQ(f.Dir1->path(), QStringLiteral("/"));
}

TEST_F(PathInputTest, ThePromptTakesAFolderAndRefusesTheRest) {
    Form1& f = *form_;
    prompter_.reply(path("A"));
    f.action("directdir")->trigger();
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].title, QStringLiteral("Orbet"));
    EXPECT_EQ(prompter_.records()[0].text, QStringLiteral("パスを入力してください\r\n例：'C:\\windows\\system\\'"));
    EXPECT_EQ(f.Dir1->path(), path("A"));

    prompter_.reply(path("missing"));
    f.action("directdir")->trigger();
    EXPECT_EQ(prompter_.records().back().text, QStringLiteral("エラー　パスが見つかりません"));

    const auto before = prompter_.records().size();
    f.action("directdir")->trigger();  // cancelled: nothing more
    EXPECT_EQ(prompter_.records().size(), before + 1);
    EXPECT_EQ(f.Dir1->path(), path("A"));

    f.action("ToWin")->trigger();
    EXPECT_EQ(f.Dir1->path(), QStringLiteral("/usr"));
}

}  // namespace
}  // namespace orbet::test
