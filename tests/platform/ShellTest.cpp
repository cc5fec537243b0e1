#include <QDir>
#include <QUrl>

#include <gtest/gtest.h>

#include "platform/ScriptedPrompter.h"
#include "platform/Shell.h"

namespace orbet {
namespace {

TEST(Shell, DesktopOpensLocalUrlsAndHomeForNoFolder) {
    std::vector<QUrl> opened;
    setDesktopOpener([&](const QUrl& url) {
        opened.push_back(url);
        return url.toLocalFile() != "/refused";
    });
    EXPECT_TRUE(openWithDesktop("/tmp/a b#c.txt"));
    EXPECT_TRUE(openFolderWithDesktop(""));
    EXPECT_TRUE(openFolderWithDesktop("/srv/pictures"));
    EXPECT_FALSE(openWithDesktop("/refused"));
    setDesktopOpener({});

    ASSERT_EQ(opened.size(), 4u);
    EXPECT_EQ(opened[0].toLocalFile(), "/tmp/a b#c.txt");
    EXPECT_EQ(opened[1].toLocalFile(), QDir::homePath());
    EXPECT_EQ(opened[2].toLocalFile(), "/srv/pictures");
}

TEST(Shell, MissingProgramIsReportedNotFatal) {
    ScriptedPrompter prompter;
    EXPECT_TRUE(startProgram("/bin/true", {}, prompter, "Orbet"));
    EXPECT_TRUE(prompter.records().empty());

    const QString program = QStringLiteral("/nonexistent/orbet-companion");
    EXPECT_FALSE(startProgram(program, {"--flag"}, prompter, "Orbet"));
    ASSERT_EQ(prompter.records().size(), 1u);
    EXPECT_EQ(prompter.records()[0].text, program + " が見つかりません。");
    EXPECT_EQ(prompter.records()[0].title, "Orbet");
    EXPECT_EQ(prompter.records()[0].buttons, Buttons::Ok);
}

} // namespace
} // namespace orbet
