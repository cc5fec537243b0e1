#include <gtest/gtest.h>

#include <Qt>

#include "viewers/FitModes.h"
#include "viewers/ViewerKeys.h"
#include "viewers/ViewerRules.h"

namespace orbet::test {
namespace {

TEST(FitModes, TheTwoMarksChooseTheMode) {
    EXPECT_EQ(fitModeFor(true, false), FitMode::Stretch);
    EXPECT_EQ(fitModeFor(false, true), FitMode::KeepRatio);
    EXPECT_EQ(fitModeFor(false, false), FitMode::Natural);
}

TEST(FitModes, KeepRatioOnA1024By768Screen) {
    // 15 twips a pixel: the screen is 15360 x 11520.
    const FitPlacement wide = fitPicture(FitMode::KeepRatio, 15360, 11520, 6000, 4500);
    EXPECT_EQ(wide.picture, (TwipsRect{0, 0, 15360, 11520}));
    EXPECT_FALSE(wide.barsVisible);
    const FitPlacement tall = fitPicture(FitMode::KeepRatio, 15360, 11520, 4500, 9000);
    EXPECT_EQ(tall.picture, (TwipsRect{4800, 0, 5760, 11520}));
    // A picture without size gets nothing, not a division by zero.
    EXPECT_EQ(fitPicture(FitMode::KeepRatio, 15360, 11520, 0, 0).picture, TwipsRect{});
    EXPECT_EQ(fitPicture(FitMode::Stretch, 15360, 11520, 4500, 9000).picture,
              (TwipsRect{0, 0, 15360, 11520}));
}

TEST(FitModes, NaturalSizeScrollsOnlyWhatDoesNotFit) {
    // The window less the 255-twip bar is the room.
    EXPECT_EQ(naturalScroll(6000, 15360), ScrollRange{});
    EXPECT_EQ(naturalScroll(15105, 15360), ScrollRange{});
    EXPECT_EQ(naturalScroll(15106, 15360), (ScrollRange{true, 1}));
    EXPECT_EQ(naturalScroll(90000, 11520), (ScrollRange{true, 90000 - 11265}));
    const ViewerBars bars = viewerBars(15360, 11520);
    EXPECT_EQ(bars.horizontal, (TwipsRect{0, 11265, 15360, 255}));
    EXPECT_EQ(bars.vertical, (TwipsRect{15105, 0, 255, 11520}));
    EXPECT_EQ(bars.horizontalLargeStep, 15360);
    // A screen past 32767 twips cannot carry the 16-bit step.
    EXPECT_FALSE(viewerBars(38400, 21600).horizontalLargeStep);
    EXPECT_EQ(viewerBars(38400, 21600).verticalLargeStep, 21600);
}

TEST(ViewerKeys, TheDispatcherActsOnTheFirstGroupInItsOrder) {
    ViewerKeyState keys;
    EXPECT_FALSE(keys.press(256));
    EXPECT_FALSE(keys.press(-1));
    // Every group held at once: next first, then previous, slideshow, changer, close.
    for (int code : {88, 68, 83, 66, 37, 78, 39})
        ASSERT_TRUE(keys.press(code));
    EXPECT_EQ(keys.dispatch(ViewerKind::Minimum), ViewerAction::Next);
    EXPECT_FALSE(keys.held(78));
    EXPECT_FALSE(keys.held(39)); // both keys of the group are cleared
    EXPECT_EQ(keys.dispatch(ViewerKind::Minimum), ViewerAction::Previous);
    EXPECT_EQ(keys.dispatch(ViewerKind::Minimum), ViewerAction::Slideshow);
    EXPECT_EQ(keys.dispatch(ViewerKind::Minimum), ViewerAction::DirectoryChanger);
    EXPECT_EQ(keys.dispatch(ViewerKind::Minimum), ViewerAction::Close);
    EXPECT_EQ(keys.dispatch(ViewerKind::Minimum), ViewerAction::None);
    // The full-screen window has no changer: D stays set and X acts.
    keys.press(68);
    keys.press(88);
    EXPECT_EQ(keys.dispatch(ViewerKind::FullScreen), ViewerAction::Close);
    EXPECT_TRUE(keys.held(68));
    keys.release(68);
    EXPECT_FALSE(keys.held(68));
    EXPECT_EQ(windowsKeyCode(Qt::Key_Right), 39);
    EXPECT_EQ(windowsKeyCode(Qt::Key_Left), 37);
    EXPECT_EQ(windowsKeyCode(Qt::Key_N), 78);
    EXPECT_EQ(windowsKeyCode(Qt::Key_F8), -1);
}

TEST(ViewerKeys, TheKeysOfOtherViewersStepCloseAndZoomFullScreenOnly) {
    ViewerKeyState keys;
    auto after = [&](int key, ViewerKind kind = ViewerKind::FullScreen) {
        keys.press(windowsKeyCode(key));
        return keys.dispatch(kind);
    };
    EXPECT_EQ(after(Qt::Key_Space), ViewerAction::Next);
    EXPECT_EQ(after(Qt::Key_PageDown), ViewerAction::Next);
    EXPECT_EQ(after(Qt::Key_Backspace), ViewerAction::Previous);
    EXPECT_EQ(after(Qt::Key_PageUp), ViewerAction::Previous);
    EXPECT_EQ(after(Qt::Key_Home), ViewerAction::First);
    EXPECT_EQ(after(Qt::Key_End), ViewerAction::Last);
    EXPECT_EQ(after(Qt::Key_Escape), ViewerAction::Close);
    EXPECT_EQ(after(Qt::Key_Plus), ViewerAction::ZoomIn);
    EXPECT_EQ(after(Qt::Key_Equal), ViewerAction::ZoomIn);
    EXPECT_EQ(after(Qt::Key_Minus), ViewerAction::ZoomOut);
    EXPECT_EQ(after(Qt::Key_0), ViewerAction::ZoomFit);
    EXPECT_EQ(after(Qt::Key_1), ViewerAction::ZoomNatural);
    // The minimum window steps and closes with them too, but never zooms.
    EXPECT_EQ(after(Qt::Key_Escape, ViewerKind::Minimum), ViewerAction::Close);
    EXPECT_EQ(after(Qt::Key_Plus, ViewerKind::Minimum), ViewerAction::None);
    // The viewer keeps them from its scroll bars; other keys pass.
    for (int key : {Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_Home, Qt::Key_End, Qt::Key_Space, Qt::Key_N})
        EXPECT_TRUE(ViewerKeyState::isViewerKey(windowsKeyCode(key))) << key;
    EXPECT_FALSE(ViewerKeyState::isViewerKey(windowsKeyCode(Qt::Key_Up)));
    EXPECT_FALSE(ViewerKeyState::isViewerKey(windowsKeyCode(Qt::Key_Q)));
}

TEST(ViewerRules, MinimumWindowFollowsThePicturesRatio) {
    // Type 0: taller makes wider; any other type: wider makes taller.
    EXPECT_EQ(ratioResize(QSize(200, 300), QSize(400, 300), 0), QSize(400, 300));
    EXPECT_EQ(ratioResize(QSize(600, 100), QSize(400, 300), 1), QSize(600, 450));
    EXPECT_EQ(ratioResize(QSize(600, 100), QSize(400, 300), 2), QSize(600, 450));
    EXPECT_EQ(ratioResize(QSize(600, 100), QSize(), 0), QSize(600, 100));
}

TEST(ViewerRules, TextSizePromptTakesOnlyValuesAboveFour) {
    EXPECT_EQ(textSizePrompt(10.5), QStringLiteral("文字サイズを入力してください\r\n現在のサイズ> 10.5"));
    EXPECT_EQ(textSizeDefault(10.5), QStringLiteral("10.5"));
    EXPECT_EQ(judgeTextSize(QStringLiteral("4")).verdict, TextSizeVerdict::Refuse);
    EXPECT_EQ(judgeTextSize(QStringLiteral("abc")).verdict, TextSizeVerdict::Refuse);
    const TextSizeAnswer ok = judgeTextSize(QStringLiteral(" 4.5pt"));
    EXPECT_EQ(ok.verdict, TextSizeVerdict::Accept);
    EXPECT_EQ(ok.size, 4.5);
    EXPECT_EQ(judgeTextSize(QString()).verdict, TextSizeVerdict::Keep);
    EXPECT_EQ(judgeTextSize(std::nullopt).verdict, TextSizeVerdict::Keep);
}

} // namespace
} // namespace orbet::test
