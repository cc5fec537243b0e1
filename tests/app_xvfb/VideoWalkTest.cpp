#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "ScreenSupport.h"
#include "app/ui/Navigator.h"
#include "app/ui/Panes.h"
#include "display/ui/MediaControl.h"
#include "display/ui/PictureBox.h"
#include "display/ui/WebPane.h"
#include "navigation/ui/ListControls.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

class VideoWalkTest : public ScreenTest {
  protected:
    // A folder of its own holding copies of the test files.
    QString folderWith(const QString& name, const QStringList& sources) {
        const QString dir = QDir(data_.path()).filePath(name);
        QDir().mkpath(dir);
        for (const QString& s : sources)
            QFile::copy(testData(s), QDir(dir).filePath(QFileInfo(s).fileName()));
        return dir;
    }
    void go(const QString& folder, int filter) {
        form_->navigator().OpenFolder(folder);
        form_->Combo1->setCurrentIndex(filter);
        QTest::qWait(200);
    }
    void waitForVideo() {
        Form1& f = *form_;
        QTest::qWaitFor([&] { return f.MMC->video() && f.MMC->video()->isVisible(); }, 15000);
        ASSERT_NE(f.MMC->video(), nullptr);
        ASSERT_TRUE(f.MMC->video()->isVisible()) << "the video never showed";
    }
    // The video lies inside the frame and below the media panel, whose
    // buttons show on the screen as they draw themselves.
    void expectVideoBelowThePanel() {
        Form1& f = *form_;
        const QRect video = globalRect(f.MMC->video());
        EXPECT_GE(video.top(), globalRect(f.MCC).bottom() + 1);
        EXPECT_TRUE(globalRect(f.BP).contains(video));
        EXPECT_GT(video.height(), 0);
        for (QPushButton* b : {f.Command4, f.Command5, f.Command8})
            EXPECT_GT(sameFraction(screenOf(b), b->grab().toImage()), 0.9) << b->objectName().toStdString();
    }
};

TEST_F(VideoWalkTest, VideoThenWebPageThenPictureThenVideo) {
    Form1& f = *form_;
    f.setChecked(Command::SetAuD, true);
    const QString media = folderWith("media", {QStringLiteral("media/corkami_avi.avi")});
    const QString web = folderWith("web", {QStringLiteral("web/corkami_html.htm")});
    const QString pictures = folderWith("pictures", {});
    QImage red(300, 200, QImage::Format_RGB32);
    red.fill(QColor(255, 0, 0));
    ASSERT_TRUE(red.save(QDir(pictures).filePath("red.bmp")));

    go(media, 10);
    ASSERT_EQ(f.File1->fileName(), QStringLiteral("corkami_avi.avi"));
    waitForVideo();
    expectVideoBelowThePanel();

    // The web engine joins the window, which changes its surface.
    QSignalSpy loaded(f.WB1, &WebPane::loadFinished);
    go(web, 9);
    ASSERT_TRUE(f.WB1->hasEngine());
    if (loaded.isEmpty()) {
        ASSERT_TRUE(loaded.wait(30000));
    }

    // The picture after the video is the picture, on the screen.
    go(pictures, 0);
    ASSERT_EQ(f.MP->picture().size(), QSize(300, 200));
    const QPoint middle = f.MP->mapToGlobal(QPoint(150, 100));
    EXPECT_TRUE(waitForScreenColour(middle, QColor(255, 0, 0)))
        << "seen " << screenColour(middle).name().toStdString();

    go(media, 10);
    waitForVideo();
    expectVideoBelowThePanel();
    go(web, 9);
    go(media, 10);
    waitForVideo();
}

TEST_F(VideoWalkTest, LeavingTheMediaOrEmptyingThePaneTakesTheVideoAway) {
    Form1& f = *form_;
    const QString media = folderWith("media", {QStringLiteral("media/corkami_avi.avi")});
    go(media, 10);
    waitForVideo();

    // ShowFile's emptying of the panes.
    f.panes().clearAll();
    EXPECT_FALSE(f.MMC->video()->isVisible());
    f.Combo1->setCurrentIndex(0);
    f.Combo1->setCurrentIndex(10);
    waitForVideo();

    // The picture filter finds nothing in this folder, so nothing is shown,
    // yet the frame shows its own background again.
    f.Combo1->setCurrentIndex(0);
    EXPECT_FALSE(f.MMC->video()->isVisible());
    const QPoint middle = f.BP->mapToGlobal(f.BP->rect().center());
    EXPECT_TRUE(waitForScreenColour(middle, QColor(255, 255, 255)))
        << "seen " << screenColour(middle).name().toStdString();
}

} // namespace
} // namespace orbet::test
