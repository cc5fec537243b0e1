#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>

#include "Form1Fixture.h"
#include "app/ui/Navigator.h"
#include "navigation/ui/ListControls.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

QAction* itemOf(QMenu* menu, const char* name) {
    for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String(name)) return a;
    return nullptr;
}

TEST_F(Form1Test, ProtectsTheShownFileFromTheMenuAndRestoresItElsewhere) {
    QDir root(data_.path());
    root.mkpath("docs");
    root.mkpath("vault");
    QByteArray content;
    for (int i = 0; i < 70000; ++i)
        content.append(char(i % 251));
    ASSERT_TRUE(writeAll(root.filePath("docs/report.txt"), content));
    Form1& f = start();
    f.navigator().OpenFolder(root.filePath("docs"));
    f.Combo1->setCurrentIndex(14); // every file
    f.File1->setListIndex(0);
    ASSERT_EQ(f.state().currentFilePath, root.filePath("docs/report.txt"));

    QMenu* sub = f.menu("AngF");
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->title(), QStringLiteral("暗号化ファイルの操作"));
    for (const char* name : {"PasAng", "PassHuku", "Ang", "Huk"})
        EXPECT_TRUE(itemOf(sub, name)->isEnabled()) << name;
    itemOf(sub, "Ang")->trigger(); // no action
    itemOf(sub, "Huk")->trigger();
    EXPECT_TRUE(prompter_.records().empty());

    prompter_.reply(root.filePath("vault/report.ang"));
    prompter_.reply(QStringLiteral("ひみつ"));
    itemOf(sub, "PasAng")->trigger();
    // The dialogs open in the current folder, not the one the program
    // started from.
    ASSERT_NE(QDir::currentPath(), root.filePath("docs"));
    EXPECT_EQ(prompter_.records()[0].dialog.initialFolder, root.filePath("docs"));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QFileInfo(root.filePath("vault/report.ang")).size(), 6 + 10 + 2 * content.size() + 9);

    prompter_.clear();
    prompter_.reply(root.filePath("vault/report.ang"));
    prompter_.reply(QStringLiteral("ひみつ"));
    itemOf(sub, "PassHuku")->trigger();
    ASSERT_EQ(prompter_.records().size(), 3u);
    EXPECT_EQ(prompter_.records()[0].dialog.initialFolder, root.filePath("docs"));
    EXPECT_EQ(prompter_.records()[2].text, root.filePath("vault/report.txt") + QStringLiteral("に出力完了"));
    EXPECT_EQ(readAll(root.filePath("vault/report.txt")), content);
    EXPECT_EQ(readAll(root.filePath("docs/report.txt")), content);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

} // namespace
} // namespace orbet::test
