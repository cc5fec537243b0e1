#include <QAction>
#include <QDir>
#include <QFile>

#include "Form1Fixture.h"
#include "app/ui/Navigator.h"
#include "navigation/ui/ListControls.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

class FileCommandsTest : public Form1Test {
  protected:
    void SetUp() override {
        Form1Test::SetUp();
        writeAll(path("setup.INI"), "[x]");
        writeAll(path("other.Ini"), "[y]");
        start();
        form_->navigator().OpenFolder(data_.path());
    }
    QString path(const QString& name) const { return QDir(data_.path()).filePath(name); }
    void select(const QString& file) { form_->state().currentFilePath = path(file); }
};

TEST_F(FileCommandsTest, CopyHonoursTheProtectionAndItsMessages) {
    Form1& f = *form_;
    select(QStringLiteral("setup.INI"));
    f.action(Command::Cop)->trigger();
    EXPECT_EQ(prompter_.records().back().text, QStringLiteral("そのファイルはコピー禁止になっています"));
    select(QStringLiteral("other.Ini"));
    f.action(Command::Cop)->trigger(); // cancelled dialog
    EXPECT_EQ(prompter_.records().back().text, QStringLiteral("キャンセルしました"));
    prompter_.reply(path("other.Ini"));
    f.action(Command::Cop)->trigger();
    EXPECT_EQ(prompter_.records().back().text,
              QStringLiteral("コピー元とファイル名が同じです\r\nコピーできませんでした"));
    prompter_.reply(path("copy.ini"));
    f.action(Command::Cop)->trigger();
    EXPECT_EQ(readAll(path("copy.ini")), QByteArray("[y]"));
    f.action(Command::InBaNotD)->trigger(); // protection off
    select(QStringLiteral("setup.INI"));
    prompter_.reply(path("copy2.ini"));
    f.action(Command::Cop)->trigger();
    EXPECT_EQ(readAll(path("copy2.ini")), QByteArray("[x]"));
}

TEST_F(FileCommandsTest, DeleteAsksReportsAndTheListFollows) {
    Form1& f = *form_;
    writeAll(path("a.bmp"), "a");
    writeAll(path("b.bmp"), "b");
    f.navigator().OpenFolder(data_.path());
    ASSERT_EQ(f.File1->listCount(), 2);
    select(QStringLiteral("a.bmp"));
    prompter_.answer(Answer::No);
    f.action(Command::del)->trigger();
    EXPECT_EQ(prompter_.records()[0].text,
              path("a.bmp") + QStringLiteral("を削除します\r\nよろしいですか？"));
    EXPECT_EQ(prompter_.records()[0].title, QStringLiteral("Orbet"));
    EXPECT_EQ(prompter_.records()[1].text, QStringLiteral("削除を取り消しました"));
    prompter_.answer(Answer::Yes);
    f.action(Command::del)->trigger();
    EXPECT_EQ(prompter_.records()[3].text, path("a.bmp") + QStringLiteral("を削除しました"));
    EXPECT_FALSE(QFile::exists(path("a.bmp")));
    ASSERT_EQ(f.File1->listCount(), 1); // the list no longer offers the deleted file
    EXPECT_EQ(f.File1->entry(0), QStringLiteral("b.bmp"));
    f.state().currentFilePath = data_.path();
    f.action(Command::del)->trigger();
    EXPECT_EQ(prompter_.records().back().text, QStringLiteral("ファイルが指定されていません"));
}

TEST_F(FileCommandsTest, FolderCommandsReachTheWindow) {
    Form1& f = *form_;
    prompter_.reply(QStringLiteral("new"));
    f.action(Command::makedir)->trigger();
    EXPECT_EQ(prompter_.records().back().defaultText, QString());
    EXPECT_TRUE(QFileInfo(path("new")).isDir());

    QTemporaryDir target;
    prompter_.reply(target.path() + QStringLiteral("/x"));
    prompter_.answer(Answer::Yes);
    prompter_.answer(Answer::Yes);
    f.action(Command::XCopy)->trigger();
    EXPECT_EQ(prompter_.records()[1].defaultText, data_.path()); // the current folder is offered
    EXPECT_EQ(readAll(target.path() + QStringLiteral("/x/other.Ini")), QByteArray("[y]"));

    f.navigator().OpenTreePath(path("new"));
    prompter_.answer(Answer::Yes);
    f.action(Command::MoveFolder)->trigger();
    EXPECT_EQ(prompter_.records().back().text,
              path("new") + QStringLiteral("を削除します\r\nよろしいですか？"));
    EXPECT_FALSE(QFileInfo::exists(path("new")));
    EXPECT_EQ(f.Dir1->path(), data_.path());
}

} // namespace
} // namespace orbet::test
