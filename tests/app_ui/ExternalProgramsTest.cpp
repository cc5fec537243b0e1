#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "Form1Fixture.h"
#include "app/ui/ExternalPrograms.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

class ExternalProgramsTest : public Form1Test {
protected:
    void SetUp() override {
        Form1Test::SetUp();
        start();
    }
};

TEST_F(ExternalProgramsTest, CompanionsNeedAFileAndAreReportedWhenMissing) {
    Form1& f = *form_;
    f.state().currentFilePath = data_.path();  // a folder is no file
    f.action("HexwellterOpen")->trigger();
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].text, QStringLiteral("ファイルが指定されていません"));

    const QString file = QDir(data_.path()).filePath(QStringLiteral("a b.txt"));
    writeAll(file, "x");
    f.state().currentFilePath = file;
    f.action("HexwellterOpen")->trigger();  // the companion editor is not installed here
    ASSERT_EQ(prompter_.records().size(), 2u);
    EXPECT_TRUE(prompter_.records()[1].text.contains(QStringLiteral("KTX_Hexwell.exe")));

    f.action("OPRT")->trigger();
    EXPECT_EQ(prompter_.records().back().text, QStringLiteral("File Not Find"));
    f.action("HLPPic")->trigger();  // no help file: nothing happens
    f.action("HLP")->trigger();
    EXPECT_EQ(prompter_.records().size(), 3u);
    EXPECT_TRUE(f.TB->actions().first()->isEnabled());
}

TEST_F(ExternalProgramsTest, AboutWindowClosesOnAClickAndOpensAgain) {
    Form1& f = *form_;
    for (int round = 0; round < 2; ++round) {
        bool seen = false;
        // Waits for the modal window however long the machine takes to show it.
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* about = qobject_cast<VrForm*>(QApplication::activeModalWidget());
            if (!about) return;
            poll.stop();
            seen = about->isVisible() && about->Label3->text() == QStringLiteral("Orbet Version1.24");
            QTest::mouseClick(about->Label2, Qt::LeftButton);
        });
        poll.start();
        f.action("ver")->trigger();
        EXPECT_TRUE(seen);
        EXPECT_EQ(f.findChild<VrForm*>(), nullptr);
    }
}

}  // namespace
}  // namespace orbet::test
