#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolBar>

#include "Form1Fixture.h"
#include "navigation/ui/ListControls.h"
#include "support/TestSupport.h"
#include "tools/SearchModel.h"
#include "tools/ui/HideForm.h"

namespace orbet::test {
namespace {

TEST_F(Form1Test, MenuAndToolbarShowTheOneSearchToolWhichSendsAFolderToTheMainWindow) {
    Form1& f = start();
    QAction* menu = f.action(Command::Fmoju);
    ASSERT_TRUE(menu->isEnabled());
    EXPECT_EQ(menu->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    QAction* button = f.TB->findChild<QAction*>(QStringLiteral("TB_direx"));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isEnabled());

    menu->trigger();
    auto* tool = f.findChild<HideForm*>(QStringLiteral("HideForm"));
    ASSERT_NE(tool, nullptr);
    EXPECT_TRUE(tool->isVisible());
    EXPECT_FALSE(tool->isModal());
    button->trigger();
    EXPECT_EQ(f.findChildren<HideForm*>().size(), 1); // the same window, kept with its state

    QDir(data_.path()).mkpath(QStringLiteral("x/y"));
    tool->setFolder(data_.path());
    tool->Check1->click();
    QSignalSpy ended(tool, &HideForm::searchEnded);
    tool->Command1->click();
    ASSERT_TRUE(ended.wait(10000));
    ASSERT_EQ(tool->model()->rowCount(), 3);
    tool->List1->setCurrentIndex(tool->model()->index(2));
    tool->Command2->click();
    // The folder opens as a typed path does: what is shown is what the commands act on.
    EXPECT_EQ(f.Dir1->path(), data_.path() + QStringLiteral("/x/y"));
    EXPECT_EQ(f.File1->path(), data_.path() + QStringLiteral("/x/y"));
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Orbet - ") + data_.path() + QStringLiteral("/x/y"));

    tool->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(f.findChildren<HideForm*>().isEmpty());
    menu->trigger();
    ASSERT_EQ(f.findChildren<HideForm*>().size(), 1);
    EXPECT_EQ(f.findChild<HideForm*>()->model()->rowCount(), 0); // closing discarded the results
}

} // namespace
} // namespace orbet::test
