#include <QAction>
#include <QDialog>
#include <QDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "Form1Fixture.h"
#include "navigation/ui/ListControls.h"
#include "platform/Shell.h"
#include "viewers/MiniWebBrowser.h"

// Each toolbar button clicked as the user clicks it, and what it does.
namespace orbet::test {
namespace {

class ToolbarTest : public Form1Test {
  protected:
    void SetUp() override {
        Form1Test::SetUp();
        setDesktopOpener([this](const QUrl& url) {
            opened_.append(url);
            return true;
        });
        start();
        form_->show();
        form_->state().currentFilePath.clear();
    }
    void TearDown() override {
        setDesktopOpener({});
        Form1Test::TearDown();
    }
    void click(const char* key) {
        QAction* button = form_->TB->findChild<QAction*>(QStringLiteral("TB_") + QLatin1String(key));
        ASSERT_NE(button, nullptr) << key;
        QWidget* widget = form_->TB->widgetForAction(button);
        ASSERT_NE(widget, nullptr) << key;
        QTest::mouseClick(widget, Qt::LeftButton);
    }
    QString lastText() const {
        return prompter_.records().empty() ? QString() : prompter_.records().back().text;
    }

    QList<QUrl> opened_;
};

TEST_F(ToolbarTest, EachButtonRunsItsCommand) {
    Form1& f = *form_;
    click("Pic1");
    EXPECT_TRUE(lastText().endsWith(QStringLiteral("pic1.exe が見つかりません。")))
        << lastText().toStdString();

    click("dxinput");
    ASSERT_EQ(prompter_.records().back().kind, ScriptedPrompter::Kind::Input);
    EXPECT_EQ(lastText(), QStringLiteral("パスを入力してください\r\n例：'C:\\windows\\system\\'"));

    const std::size_t before = prompter_.records().size();
    click("dirform"); // no command of its own
    EXPECT_EQ(prompter_.records().size(), before);

    click("opencom");
    ASSERT_EQ(prompter_.records().back().kind, ScriptedPrompter::Kind::OpenFile);
    EXPECT_EQ(prompter_.records().back().title, QStringLiteral("開く"));

    click("exp");
    click("n");
    ASSERT_EQ(opened_.size(), 2);
    EXPECT_EQ(opened_[0], QUrl::fromLocalFile(QDir::homePath()));
    EXPECT_EQ(opened_[1], QUrl::fromLocalFile(f.Dir1->path()));

    click("web");
    ASSERT_NE(f.miniWeb(), nullptr);
    EXPECT_TRUE(f.miniWeb()->isVisible());
    f.miniWeb()->close();

    click("copy");
    EXPECT_EQ(lastText(), QStringLiteral("ファイルが指定されていません"));
    prompter_.clear();
    click("del");
    EXPECT_EQ(lastText(), QStringLiteral("ファイルが指定されていません"));

    click("help");
    auto* help = f.findChild<QDialog*>(QStringLiteral("HelpWindow")); // where the desktop has no text viewer
    EXPECT_TRUE(lastText().endsWith(QStringLiteral("texthelp.txt が見つかりません。")) ||
                (help && help->isVisible()) ||
                (opened_.size() == 3 && opened_.last().path().endsWith(QStringLiteral("texthelp.txt"))));
    if (help) help->close();

    // Buttons whose windows are not there yet are shown disabled and do nothing.
    for (const char* later : {"direx", "allwin", "kakutyou"}) {
        QAction* button = f.TB->findChild<QAction*>(QStringLiteral("TB_") + QLatin1String(later));
        ASSERT_NE(button, nullptr);
        if (button->isEnabled()) continue;
        const std::size_t count = prompter_.records().size();
        click(later);
        EXPECT_EQ(prompter_.records().size(), count) << later;
    }
}

} // namespace
} // namespace orbet::test
