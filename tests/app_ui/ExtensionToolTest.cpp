#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

#include "Form1Fixture.h"
#include "tools/ui/ExtensionTool.h"
#include "app/ui/Navigator.h"
#include "navigation/ui/ListControls.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

TEST_F(Form1Test, ExtensionToolConvertsTheListedFiles) {
    QDir d(data_.path());
    for (const char* n : {"a.jpeg", "b.jpeg", ".hidden.jpeg", "keep.txt"}) writeAll(d.filePath(n), "x");
    Form1& f = start();
    f.navigator().OpenFolder(data_.path());
    f.action("Kaku")->trigger();
    auto* tool = f.findChild<Form5*>();
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(tool->windowTitle(), QStringLiteral("拡張子変換ツール"));
    EXPECT_EQ(tool->folder(), data_.path());
    tool->Text1->setText(QStringLiteral("jpeg"));
    EXPECT_EQ(tool->File1->listCount(), 3);  // hidden files listed at first
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
    f.action("Kaku")->trigger();
    EXPECT_EQ(f.findChildren<Form5*>().size(), 1);
    EXPECT_FALSE(tool->isMinimized());  // a second command brings it back
    EXPECT_TRUE(tool->isVisible());
}

}  // namespace
}  // namespace orbet::test
