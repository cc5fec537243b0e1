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
    f.action("Cop")->trigger();
    EXPECT_EQ(prompter_.records().back().text, QStringLiteral("そのファイルはコピー禁止になっています"));
    select(QStringLiteral("other.Ini"));
    f.action("Cop")->trigger();  // cancelled dialog
    EXPECT_EQ(prompter_.records().back().text, QStringLiteral("キャンセルしました"));
    prompter_.reply(path("other.Ini"));
    f.action("Cop")->trigger();
    EXPECT_EQ(prompter_.records().back().text, QStringLiteral("コピー元とファイル名が同じです\r\nコピーできませんでした"));
    prompter_.reply(path("copy.ini"));
    f.action("Cop")->trigger();
    EXPECT_EQ(readAll(path("copy.ini")), QByteArray("[y]"));
    f.action("InBaNotD")->trigger();  // protection off
    select(QStringLiteral("setup.INI"));
    prompter_.reply(path("copy2.ini"));
    f.action("Cop")->trigger();
    EXPECT_EQ(readAll(path("copy2.ini")), QByteArray("[x]"));
}

TEST_F(FileCommandsTest, DeleteAsksAndReports) {
    Form1& f = *form_;
    select(QStringLiteral("setup.INI"));
    prompter_.answer(Answer::No);
    f.action("del")->trigger();
    EXPECT_EQ(prompter_.records()[0].text, path("setup.INI") + QStringLiteral("を削除します\r\nよろしいですか？"));
    EXPECT_EQ(prompter_.records()[1].text, QStringLiteral("削除を取り消しました"));
    prompter_.answer(Answer::Yes);
    f.action("del")->trigger();
    EXPECT_EQ(prompter_.records()[3].text, path("setup.INI") + QStringLiteral("を削除しました"));
    EXPECT_FALSE(QFile::exists(path("setup.INI")));
    f.state().currentFilePath = data_.path();
    f.action("del")->trigger();
    EXPECT_EQ(prompter_.records().back().text, QStringLiteral("ファイルが指定されていません"));
}

TEST_F(FileCommandsTest, FoldersAreCreatedCopiedAndDeleted) {
    Form1& f = *form_;
    f.action("makedir")->trigger();  // cancelled: nothing at all
    EXPECT_EQ(prompter_.records().size(), 1u);
    prompter_.reply(QStringLiteral("new"));
    f.action("makedir")->trigger();
    EXPECT_TRUE(QFileInfo(path("new")).isDir());
    prompter_.reply(QStringLiteral("new"));
    f.action("makedir")->trigger();
    EXPECT_EQ(prompter_.records().back().text, path("new") + QStringLiteral("はすでに存在しています"));

    // Copy to a destination two levels down: two questions, then the overwrite question.
    QTemporaryDir target;
    prompter_.reply(target.path() + QStringLiteral("/x/y"));
    prompter_.answer(Answer::Yes);
    prompter_.answer(Answer::Yes);
    prompter_.answer(Answer::Yes);
    const auto before = prompter_.records().size();
    f.action("XCopy")->trigger();
    ASSERT_EQ(prompter_.records().size(), before + 4);
    EXPECT_EQ(prompter_.records()[before + 1].text, target.path() + QStringLiteral("/xは存在しません作成しますか？"));
    EXPECT_EQ(readAll(target.path() + QStringLiteral("/x/y/other.Ini")), QByteArray("[y]"));

    f.navigator().OpenTreePath(path("new"));
    prompter_.answer(Answer::Yes);
    f.action("MoveFolder")->trigger();
    EXPECT_FALSE(QFileInfo::exists(path("new")));
    EXPECT_EQ(f.Dir1->path(), data_.path());
}

}  // namespace
}  // namespace orbet::test
