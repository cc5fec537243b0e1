#include <QDir>
#include <QUrl>

#include <gtest/gtest.h>

#include "platform/ScriptedPrompter.h"
#include "platform/Shell.h"

namespace orbet {
namespace {

// Every test opens through a recorder instead of the desktop.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        setDesktopOpener([this](const QUrl& url) {
            opened.push_back(url);
            return answer;
        });
    }
    void TearDown() override { setDesktopOpener({}); }

    std::vector<QUrl> opened;
    bool answer = true;
};

TEST_F(ShellTest, FilesOpenAsLocalUrls) {
    EXPECT_TRUE(openWithDesktop("/tmp/a b#c.txt"));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(opened[0].isLocalFile());
    EXPECT_EQ(opened[0].toLocalFile(), "/tmp/a b#c.txt");

    answer = false;
    EXPECT_FALSE(openWithDesktop("/tmp/refused.txt"));
}

TEST_F(ShellTest, FolderDefaultsToHome) {
    EXPECT_TRUE(openFolderWithDesktop(""));
    EXPECT_TRUE(openFolderWithDesktop("/srv/pictures"));
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].toLocalFile(), QDir::homePath());
    EXPECT_EQ(opened[1].toLocalFile(), "/srv/pictures");
}

TEST(StartProgram, MissingProgramIsReportedNotFatal) {
    ScriptedPrompter prompter;
    const QString program = QStringLiteral("/nonexistent/orbet-companion");
    EXPECT_FALSE(startProgram(program, {"--flag"}, prompter, "Orbet"));
    ASSERT_EQ(prompter.records().size(), 1u);
    const auto& record = prompter.records()[0];
    EXPECT_EQ(record.kind, ScriptedPrompter::Kind::Message);
    EXPECT_EQ(record.text, program + " が見つかりません。");
    EXPECT_EQ(record.title, "Orbet");
    EXPECT_EQ(record.buttons, Buttons::Ok);
}

TEST(StartProgram, ExistingProgramStartsSilently) {
    ScriptedPrompter prompter;
    EXPECT_TRUE(startProgram("/bin/true", {}, prompter, "Orbet"));
    EXPECT_TRUE(prompter.records().empty());
}

}  // namespace
}  // namespace orbet
