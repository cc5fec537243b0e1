#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

#include "Form1Fixture.h"
#include "app/ui/Navigator.h"
#include "navigation/ui/ListControls.h"
#include "support/TestSupport.h"
#include "tools/ui/ExtensionTool.h"

namespace orbet::test {
namespace {

TEST_F(Form1Test, ExtensionToolConvertsTheListedFiles) {
    QDir d(data_.path());
    for (const char* n : {"a.jpeg", "b.jpeg", ".hidden.jpeg", "keep.txt"})
        writeAll(d.filePath(n), "x");
    Form1& f = start();
    f.navigator().OpenFolder(data_.path());
    f.action(Command::Kaku)->trigger();
    auto* tool = f.findChild<Form5*>();
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(tool->windowTitle(), QStringLiteral("拡張子変換ツール"));
    EXPECT_EQ(tool->folder(), data_.path());
    tool->Text1->setText(QStringLiteral("jpeg"));
    EXPECT_EQ(tool->File1->listCount(), 3); // hidden files listed at first
    tool->Check3->click();
    EXPECT_EQ(tool->File1->listCount(), 2);
    EXPECT_FALSE(tool->File2->attributes().hidden);
    tool->Text2->setText(QStringLiteral("jpg"));
    EXPECT_EQ(tool->File2->listCount(), 0);
    tool->Command1->click();
    EXPECT_EQ(tool->File1->listCount(), 0);
    EXPECT_EQ(tool->File2->listCount(), 2);
    EXPECT_TRUE(QFileInfo::exists(d.filePath(".hidden.jpeg")));
    tool->showMinimized();
    f.action(Command::Kaku)->trigger();
    EXPECT_EQ(f.findChildren<Form5*>().size(), 1);
    EXPECT_FALSE(tool->isMinimized()); // a second command brings it back
    EXPECT_TRUE(tool->isVisible());
}

TEST_F(Form1Test, ExtensionToolOpensOnTheCurrentFolderShownInItsListAndOnTheScreen) {
    QDir d(data_.path());
    ASSERT_TRUE(d.mkpath(QStringLiteral("photos/2024")));
    ASSERT_TRUE(d.mkpath(QStringLiteral("photos/2025")));
    Form1& f = start();
    f.navigator().OpenFolder(d.filePath(QStringLiteral("photos")));
    f.action(Command::Kaku)->trigger();
    auto* tool = f.findChild<Form5*>();
    ASSERT_NE(tool, nullptr);

    // The way down from the root, the open folder selected, then its subfolders.
    QStringList paths;
    for (int i = 0; i < tool->Dir1->count(); ++i)
        paths << tool->Dir1->item(i)->data(Qt::UserRole).toString();
    const QString photos = d.filePath(QStringLiteral("photos"));
    ASSERT_GE(paths.size(), 3);
    EXPECT_EQ(paths.first(), QStringLiteral("/"));
    EXPECT_EQ(paths.mid(paths.size() - 3), (QStringList{photos, photos + "/2024", photos + "/2025"}));
    EXPECT_EQ(tool->Dir1->currentItem()->data(Qt::UserRole).toString(), photos);
    EXPECT_EQ(tool->Drive1->currentData().toString(), QStringLiteral("/"));

    // Choosing a subfolder opens it; choosing an ancestor goes back up.
    tool->Dir1->itemActivated(tool->Dir1->item(int(paths.size()) - 1));
    EXPECT_EQ(tool->folder(), photos + "/2025");
    tool->Dir1->itemActivated(tool->Dir1->item(0));
    EXPECT_EQ(tool->folder(), QStringLiteral("/"));

    const QRect area = tool->screen()->availableGeometry();
    EXPECT_TRUE(area.contains(tool->geometry()))
        << tool->geometry().x() << "," << tool->geometry().y() << " " << tool->geometry().width() << "x"
        << tool->geometry().height();
}

} // namespace
} // namespace orbet::test
