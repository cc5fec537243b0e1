#include <utility>
#include <vector>

#include <QAction>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include "FakeHost.h"
#include "platform/NativePath.h"
#include "platform/ScriptedPrompter.h"
#include "viewers/ui/AllWindow.h"
#include "viewers/ui/ImageView.h"
#include "viewers/ui/MiniWindow.h"

namespace orbet::test {
namespace {

const QRect kScreen(0, 0, 1024, 768);

class ViewerWindows : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_EQ(prompter_.pending(), 0); }

    // A full-screen window opened on the host's current picture.
    std::unique_ptr<AllWindow> openFull(FitMode mode) {
        mode_ = mode;
        auto w = std::make_unique<AllWindow>(
            host_, prompter_, state_, [this] { return mode_; }, nullptr);
        w->load(kScreen);
        w->show();
        w->openPicture(host_.picture(), Qt::black);
        return w;
    }

    FakeHost host_;
    ScriptedPrompter prompter_;
    ProgramState state_;
    FitMode mode_ = FitMode::KeepRatio;
};

TEST_F(ViewerWindows, KeepRatioCentresAndTouchesTheTop) {
    host_.entries = {{FakeHost::solid(400, 300, Qt::red), {}}, {FakeHost::solid(300, 600, Qt::blue), {}}};
    host_.index = 0;
    auto w = openFull(FitMode::KeepRatio);
    EXPECT_EQ(w->geometry(), kScreen);
    EXPECT_EQ(w->Picture1->geometry(), QRect(0, 0, 1024, 768));
    EXPECT_TRUE(w->TS->isHidden());
    // Right steps to the tall picture: 5760 x 11520 twips at left 4800.
    QTest::keyClick(w.get(), Qt::Key_Right);
    EXPECT_EQ(host_.index, 1);
    EXPECT_EQ(w->Picture1->geometry(), QRect(320, 0, 384, 768));
    EXPECT_EQ(w->Picture1->picture().pixel(0, 0), QColor(Qt::blue).rgb());
    // Stretch fills the screen whatever the ratio.
    mode_ = FitMode::Stretch;
    w->applyFitMode(true);
    EXPECT_EQ(w->Picture1->geometry(), QRect(0, 0, 1024, 768));
}

TEST_F(ViewerWindows, NaturalSizeScrollsALargePictureAndKeepsThePositionWhereTheNextStillReachesIt) {
    host_.entries = {{FakeHost::solid(400, 300, Qt::red), {}},
                     {FakeHost::solid(2000, 1500, Qt::green), {}},
                     {FakeHost::solid(1200, 900, Qt::blue), {}}};
    host_.index = 0;
    auto w = openFull(FitMode::Natural);
    EXPECT_EQ(w->Picture1->geometry(), QRect(0, 0, 400, 300));
    EXPECT_FALSE(w->TS->isEnabled());
    EXPECT_FALSE(w->YS->isEnabled());
    EXPECT_TRUE(w->TS->isVisible());
    // Bars along the right and bottom edges, 255 twips thick.
    EXPECT_EQ(w->YS->geometry(), QRect(0, 751, 1024, 17));
    EXPECT_EQ(w->TS->geometry(), QRect(1007, 0, 17, 768));
    EXPECT_EQ(w->YS->pageStep(), 15360);

    QTest::keyClick(w.get(), Qt::Key_N);
    EXPECT_EQ(w->Picture1->size(), QSize(2000, 1500));
    ASSERT_TRUE(w->YS->isEnabled());
    EXPECT_EQ(w->YS->maximum(), 30000 - (15360 - 255));
    EXPECT_EQ(w->TS->maximum(), 22500 - (11520 - 255));
    w->TS->setValue(w->TS->maximum());
    w->YS->setValue(1500);
    EXPECT_EQ(w->Picture1->y(), -749);
    EXPECT_EQ(w->Picture1->x(), -100);
    // A smaller picture that still scrolls: across, the position is within
    // its reach and stays; down, it is past the end and comes back to it,
    // the picture's bottom edge on the bar.
    QTest::keyClick(w.get(), Qt::Key_N);
    EXPECT_EQ(w->Picture1->size(), QSize(1200, 900));
    EXPECT_EQ(w->Picture1->x(), -100);
    EXPECT_EQ(w->TS->value(), 13500 - (11520 - 255));
    EXPECT_EQ(w->Picture1->geometry().bottom() + 1, w->TS->height() - w->YS->height());
    // A picture that fits the screen is seen whole, whatever was scrolled.
    QTest::keyClick(w.get(), Qt::Key_N);
    EXPECT_EQ(w->Picture1->geometry(), QRect(0, 0, 400, 300));
    EXPECT_FALSE(w->TS->isEnabled());
    EXPECT_EQ(w->TS->value(), 0);
    EXPECT_EQ(w->YS->value(), 0);
    // Back to the large one: the position starts from the top left again.
    QTest::keyClick(w.get(), Qt::Key_N);
    EXPECT_EQ(w->Picture1->pos(), QPoint(0, 0));
    EXPECT_TRUE(w->TS->isEnabled());
}

TEST_F(ViewerWindows, KeysStepWrapAndClose) {
    for (int i = 0; i < 5; ++i)
        host_.entries.push_back({FakeHost::solid(40, 30, QColor(i * 40, 0, 0)), {}});
    host_.index = 4;
    auto w = openFull(FitMode::KeepRatio);
    QTest::keyClick(w.get(), Qt::Key_Right);
    EXPECT_EQ(host_.index, 0);
    QTest::keyClick(w->Picture1, Qt::Key_Left); // keys on a control reach the window
    EXPECT_EQ(host_.index, 4);
    w->listnext->trigger();
    EXPECT_EQ(host_.index, 0);
    w->Back->trigger();
    EXPECT_EQ(host_.index, 4);
    // One step per key-down, however long the key is held.
    QTest::keyPress(w.get(), Qt::Key_N);
    QTest::keyPress(w.get(), Qt::Key_N, Qt::NoModifier, -1);
    QTest::keyRelease(w.get(), Qt::Key_N);
    EXPECT_EQ(host_.index, 1);
    EXPECT_EQ(host_.selections, 6);
    // A random order with one file always finds it again.
    host_.entries.resize(1);
    host_.index = 0;
    w->RndList->trigger();
    EXPECT_TRUE(w->RndList->isChecked());
    QTest::keyClick(w.get(), Qt::Key_N);
    EXPECT_EQ(host_.index, 0);
    EXPECT_EQ(host_.selections, 7);
    QTest::keyClick(w.get(), Qt::Key_X);
    EXPECT_FALSE(w->isVisible());
}

TEST_F(ViewerWindows, AnEmptyListStepsNowhere) {
    host_.entries = {{FakeHost::solid(40, 30, Qt::red), {}}};
    host_.index = 0;
    auto w = openFull(FitMode::Stretch);
    host_.entries.clear();
    host_.index = -1;
    QTest::keyClick(w.get(), Qt::Key_Right);
    QTest::keyClick(w.get(), Qt::Key_Left);
    EXPECT_EQ(host_.selections, 0);
    EXPECT_FALSE(w->Picture1->picture().isNull()); // the last picture stays
}

TEST_F(ViewerWindows, SlideshowRunsOnPicturesAndIsRefusedOnText) {
    state_.slideShowTimer = 20;
    for (int i = 0; i < 3; ++i)
        host_.entries.push_back({FakeHost::solid(40, 30, Qt::red), {}});
    host_.index = 0;
    auto w = openFull(FitMode::KeepRatio);
    // Held to the shortest interval the options dialog accepts.
    EXPECT_EQ(w->Slide->interval(), 100);
    QTest::keyClick(w.get(), Qt::Key_S);
    EXPECT_TRUE(w->slideshowRunning());
    EXPECT_TRUE(w->Slideon->isChecked());
    // It wraps around the list and keeps going.
    EXPECT_TRUE(QTest::qWaitFor([&] { return host_.selections >= 5; }, 5000));
    w->Slideon->trigger();
    EXPECT_FALSE(w->slideshowRunning());
    EXPECT_FALSE(w->Slideon->isChecked());

    auto text = std::make_unique<AllWindow>(
        host_, prompter_, state_, [] { return FitMode::Stretch; }, nullptr);
    host_.entries = {{{}, QStringLiteral("one")}, {{}, QStringLiteral("two")}, {{}, QStringLiteral("three")}};
    host_.index = 0;
    text->load(kScreen);
    text->show();
    text->openText(QString());
    QTest::keyClick(text.get(), Qt::Key_S);
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].text, QStringLiteral("スライドショー非対応です"));
    EXPECT_EQ(prompter_.records()[0].title, QStringLiteral("Orbet"));
    EXPECT_FALSE(text->slideshowRunning());
    // Text steps copy the main window's text and ignore the random order
    // (which would pick the first entry again).
    text->setUniformSource([] { return 0.0; });
    text->RndList->trigger();
    QTest::keyClick(text.get(), Qt::Key_Right);
    EXPECT_EQ(text->RT->toPlainText(), QStringLiteral("two"));
    QTest::keyClick(text.get(), Qt::Key_Left);
    EXPECT_EQ(text->RT->toPlainText(), QStringLiteral("one"));
}

TEST_F(ViewerWindows, RandomOrderPicksWhatTheSourceSays) {
    for (int i = 0; i < 4; ++i)
        host_.entries.push_back({FakeHost::solid(40, 30, QColor(i * 60, 0, 0)), {}});
    host_.index = 0;
    state_.rnd = true; // the program-wide setting starts the mark
    auto w = openFull(FitMode::KeepRatio);
    ASSERT_TRUE(w->RndList->isChecked());
    std::vector<double> numbers{0.6, 0.99, 0.3};
    w->setUniformSource([&] {
        const double u = numbers.front();
        numbers.erase(numbers.begin());
        return u;
    });
    // Both ways go where the number falls, not next door.
    QTest::keyClick(w.get(), Qt::Key_Right);
    EXPECT_EQ(host_.index, 2);
    QTest::keyClick(w.get(), Qt::Key_Left);
    EXPECT_EQ(host_.index, 3);
    EXPECT_EQ(w->Picture1->picture().pixel(0, 0), QColor(180, 0, 0).rgb());
    // Unchecked, the order is the list's again.
    w->RndList->trigger();
    QTest::keyClick(w.get(), Qt::Key_Right);
    EXPECT_EQ(host_.index, 0);
    EXPECT_EQ(numbers.size(), 1u);

    // The minimum window takes the random order for texts too.
    host_.entries = {{{}, QStringLiteral("one")}, {{}, QStringLiteral("two")}, {{}, QStringLiteral("three")}};
    host_.index = 0;
    MiniWindow mini(host_, prompter_, state_, nullptr);
    mini.setUniformSource([] { return 0.7; });
    mini.load(kScreen);
    QTest::keyClick(&mini, Qt::Key_N);
    EXPECT_EQ(mini.RT->toPlainText(), QStringLiteral("three"));
}

TEST_F(ViewerWindows, AStepAskedForWhileOneIsShowingRunsWhenItEnds) {
    for (int i = 0; i < 5; ++i)
        host_.entries.push_back({FakeHost::solid(40, 30, QColor(i * 40, 0, 0)), {}});
    host_.index = 0;
    auto w = openFull(FitMode::KeepRatio);
    // The user presses the key again while the main window is still busy
    // with the first step (a slow decoding, a message box).
    bool again = true;
    host_.whileShowing = [&](int) {
        if (std::exchange(again, false)) QTest::keyClick(w.get(), Qt::Key_Right);
    };
    QTest::keyClick(w.get(), Qt::Key_Right);
    EXPECT_EQ(host_.selections, 2);
    EXPECT_EQ(host_.index, 2);
    EXPECT_EQ(w->Picture1->picture().pixel(0, 0), QColor(80, 0, 0).rgb());
    // Several keys meanwhile make one step, not a run of them.
    again = true;
    host_.whileShowing = [&](int) {
        if (!std::exchange(again, false)) return;
        QTest::keyClick(w.get(), Qt::Key_Right);
        QTest::keyClick(w.get(), Qt::Key_Left);
    };
    QTest::keyClick(w.get(), Qt::Key_Right);
    EXPECT_EQ(host_.selections, 4);
    EXPECT_EQ(host_.index, 2);
}

TEST_F(ViewerWindows, ASlideshowThatFellBehindGoesOnAtItsPaceWithoutABurst) {
    state_.slideShowTimer = 100;
    for (int i = 0; i < 3; ++i)
        host_.entries.push_back({FakeHost::solid(40, 30, Qt::red), {}});
    host_.index = 0;
    auto w = openFull(FitMode::KeepRatio);
    QElapsedTimer clock;
    clock.start();
    std::vector<qint64> starts, ends;
    host_.whileShowing = [&](int) {
        starts.push_back(clock.elapsed());
        // The second picture takes far longer than the interval to show.
        if (starts.size() == 2) QThread::msleep(700);
        ends.push_back(clock.elapsed());
    };
    QTest::keyClick(w.get(), Qt::Key_S);
    ASSERT_TRUE(QTest::qWaitFor([&] { return starts.size() >= 4; }, 10000));
    w->Slideon->trigger();
    // Timers only ever fire late, never early: each step after the long one
    // waits about an interval again.
    EXPECT_GE(starts[2] - ends[1], 80);
    EXPECT_GE(starts[3] - ends[2], 80);
}

TEST_F(ViewerWindows, ATextWhereAPictureWasExpectedLeavesAnEmptyPicture) {
    host_.entries = {{FakeHost::solid(400, 300, Qt::red), {}}, {{}, QStringLiteral("text")}};
    host_.index = 0;
    for (FitMode mode : {FitMode::KeepRatio, FitMode::Natural}) {
        auto w = openFull(mode);
        host_.index = 0;
        QTest::keyClick(w.get(), Qt::Key_Right);
        EXPECT_TRUE(w->Picture1->picture().isNull());
        QTest::keyClick(w.get(), Qt::Key_Right);
        EXPECT_EQ(w->Picture1->picture().size(), QSize(400, 300));
        EXPECT_TRUE(w->isVisible());
    }
}

TEST_F(ViewerWindows, MinimumWindowStretchesAndFollowsTheRatioWhenAsked) {
    host_.entries = {{FakeHost::solid(400, 300, Qt::red), {}}, {FakeHost::solid(100, 100, Qt::blue), {}}};
    host_.index = 0;
    MiniWindow w(host_, prompter_, state_, nullptr);
    w.load(kScreen);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("ミニマムウィンドウ - /pictures/0"));
    EXPECT_EQ(w.Picture1->picture().size(), w.size()); // stretched to the window

    // Off: a resize does not redraw the copy.
    const QSize before = w.Picture1->picture().size();
    w.resize(500, 200);
    QTest::qWait(20);
    EXPECT_EQ(w.Picture1->picture().size(), before);

    state_.minWindowSize = true;
    state_.minWindowSizeType = 0;
    w.resize(100, 300);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.size() == QSize(400, 300); }, 2000))
        << w.width() << "x" << w.height();
    EXPECT_EQ(w.Picture1->picture().size(), QSize(400, 300));
    state_.minWindowSizeType = 1;
    w.resize(800, 10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.size() == QSize(800, 600); }, 2000))
        << w.width() << "x" << w.height();

    QTest::keyClick(&w, Qt::Key_N);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("ミニマムウィンドウ - /pictures/1"));
    EXPECT_EQ(w.Picture1->picture().pixel(0, 0), QColor(Qt::blue).rgb());
    // A name in code page 932 bytes reads as its characters, not escapes.
    host_.path = fromNative(QByteArray("/p/\x83\x65\x83\x58\x83\x67.txt"));
    QTest::keyClick(&w, Qt::Key_N);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("ミニマムウィンドウ - /p/テスト.txt"));
}

TEST_F(ViewerWindows, MinimumWindowKeysOpenTheChangerAndClosingShowsTheMainWindow) {
    host_.entries = {{FakeHost::solid(40, 30, Qt::red), {}}, {{}, QStringLiteral("a text")}};
    host_.index = 0;
    int changers = 0, changersClosed = 0, mainShown = 0;
    auto* w = new MiniWindow(host_, prompter_, state_, nullptr);
    w->openChanger = [&] { ++changers; };
    w->closeChanger = [&] { ++changersClosed; };
    w->showMainWindow = [&] { ++mainShown; };
    w->load(kScreen);
    QTest::keyClick(w, Qt::Key_D);
    EXPECT_EQ(changers, 1);
    w->mind->trigger();
    EXPECT_EQ(changers, 2);
    // A text is shown as text, and refuses the slideshow.
    QTest::keyClick(w, Qt::Key_Right);
    EXPECT_TRUE(w->RT->isVisible());
    EXPECT_EQ(w->RT->toPlainText(), QStringLiteral("a text"));
    QTest::keyClick(w, Qt::Key_S);
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].text, QStringLiteral("スライドショー非対応です"));
    QTest::keyClick(w, Qt::Key_X);
    EXPECT_EQ(changersClosed, 1);
    EXPECT_EQ(mainShown, 1);
    delete w;
    // Resident in the tray: the main window stays hidden.
    state_.resident = true;
    MiniWindow resident(host_, prompter_, state_, nullptr);
    resident.showMainWindow = [&] { ++mainShown; };
    resident.load(kScreen);
    resident.ExitF->trigger();
    EXPECT_EQ(mainShown, 1);
}

} // namespace
} // namespace orbet::test
