#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include "Form1Fixture.h"
#include "app/ui/Navigator.h"
#include "app/ui/Panes.h"
#include "app/ui/PluginInfoWindow.h"
#include "app/ui/Startup.h"
#include "display/ui/PictureBox.h"
#include "navigation/ui/ListControls.h"
#include "platform/UserStore.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

// The main window with the shipped decoder plug-ins of the build.
class PluginsTest : public Form1Test {
  protected:
    void SetUp() override {
        Form1Test::SetUp();
        writeStoreValue(QStringLiteral("SusiePlugin"), QStringLiteral("Path"),
                        buildDir() + QStringLiteral("/susie"));
    }
    void TearDown() override {
        Form1Test::TearDown();
        writeStoreValue(QStringLiteral("SusiePlugin"), QStringLiteral("Path"), QString());
    }
};

TEST_F(PluginsTest, PictureFilterListsAndShowsPluginFormats) {
    const QDir dir(data_.path());
    for (const char* name : {"png/basn2c16.png", "webp/hopper.webp", "bmp/pal8.bmp"}) {
        const QString src = testData(QStringLiteral("pictures/") + QString::fromLatin1(name));
        if (!QFile::exists(src)) GTEST_SKIP() << "missing test file " << name;
        QFile::copy(src, dir.filePath(QFileInfo(src).fileName()));
    }
    Form1& f = start();
    EXPECT_EQ(f.plugins().loadedCount(), 6);
    EXPECT_TRUE(f.startup().progressTexts().contains(QStringLiteral("Susieプラグイン読み込み( 1/ 6)->")));
    EXPECT_TRUE(f.File1->pattern().startsWith(QStringLiteral("*.bmp;*.gif;*.jpg;*.jpeg;*.ico;*.wmf;")));

    f.navigator().OpenFolder(data_.path());
    ASSERT_EQ(f.File1->listCount(), 3);
    EXPECT_EQ(f.File1->fileName(), QStringLiteral("basn2c16.png"));
    // Decoded by a plug-in, whose picture reaches the pane from its host.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.panes().working(); }, 30000));
    EXPECT_EQ(f.MP->size(), QSize(32, 32));
    f.File1->setListIndex(2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.panes().working(); }, 30000));
    EXPECT_FALSE(f.MP->isEmpty());

    // Filter 1 takes built-in pictures only; a user filter with method 0 too:
    // it lists the plug-in formats but never hands them to the plug-ins.
    f.Combo1->setCurrentIndex(1);
    EXPECT_EQ(f.File1->listCount(), 1);
    f.userFilters().row(0) = {FilterValue::ofText("own"), FilterValue::ofText("*.png;*.webp;*.bmp"),
                              FilterValue::ofNumber(0)};
    f.refillUserFilters();
    f.Combo1->setCurrentIndex(15);
    ASSERT_EQ(f.File1->listCount(), 3);
    for (int i = 0; i < 3; ++i) {
        f.File1->setListIndex(i);
        EXPECT_EQ(f.MP->isEmpty(), f.File1->fileName() != QLatin1String("pal8.bmp")) << i;
    }

    PluginInfoWindow info(f.plugins(), &f);
    EXPECT_EQ(info.windowTitle(), QStringLiteral("SusiePlugin情報"));
    EXPECT_EQ(info.List1->count(), 6);
    EXPECT_GE(info.List2->count(), 3);
}

TEST_F(PluginsTest, PluginsAreFreedOnAConfirmedEndOnly) {
    Form1& f = start();
    ASSERT_EQ(f.plugins().loadedCount(), 6);
    prompter_.answer(Answer::No);
    EXPECT_FALSE(f.close());
    EXPECT_EQ(f.plugins().loadedCount(), 6);
    prompter_.answer(Answer::Yes);
    EXPECT_TRUE(f.close());
    EXPECT_EQ(f.plugins().loadedCount(), 0);

    form_.reset();
    Form1& g = start();
    ASSERT_EQ(g.plugins().loadedCount(), 6);
    g.action(Command::Dexit)->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return quits_ == 2; }));
    EXPECT_EQ(g.plugins().loadedCount(), 6); // the immediate exit frees nothing
}

} // namespace
} // namespace orbet::test
