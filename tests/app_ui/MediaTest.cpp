#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMediaPlayer>
#include <QPushButton>
#include <QTest>

#include "Form1Fixture.h"
#include "display/ui/MediaControl.h"
#include "display/ui/PictureBox.h"
#include "navigation/ui/ListControls.h"
#include "support/TestSupport.h"

// The media pane with the real media files and the installed decoders.
namespace orbet::test {
namespace {

class MediaTest : public Form1Test {
  protected:
    void copyMedia(const QStringList& names) {
        for (const QString& name : names)
            ASSERT_TRUE(
                QFile::copy(testData(QStringLiteral("media/") + name), QDir(data_.path()).filePath(name)))
                << name.toStdString();
    }
    Form1& startOnMedia(int filter) {
        writeIni("LastFilter=" + QByteArray::number(filter) + "\r\nLastPath=" + data_.path().toUtf8() +
                 "\r\nAutoPlay=1\r\n");
        return start();
    }
    static QMediaPlayer* player(Form1& f) { return f.MMC->findChild<QMediaPlayer*>(); }
    // Waits until the player has found out what it can do with the file.
    static bool settled(QMediaPlayer* p) {
        const auto s = p->mediaStatus();
        return p->error() != QMediaPlayer::NoError || s == QMediaPlayer::LoadedMedia ||
               s == QMediaPlayer::BufferedMedia || s == QMediaPlayer::EndOfMedia ||
               s == QMediaPlayer::InvalidMedia;
    }
};

TEST_F(MediaTest, EveryListedKindOfTheTestFilesPlays) {
    // One file of each kind the media filters list and the test data hold.
    const QStringList files = {"corkami_avi.avi", "marc_kravetz.mp3", "indiana.mid", "kde_click.wav",
                               "test_audio_video.mpg"};
    copyMedia(files);
    Form1& f = startOnMedia(10);
    ASSERT_EQ(f.File1->listCount(), files.size());
    for (int i = 0; i < f.File1->listCount(); ++i) {
        f.File1->setListIndex(i);
        const std::string name = f.File1->fileName().toStdString();
        // The media opens once the events waiting have run.
        EXPECT_TRUE(QTest::qWaitFor([&] { return f.OPM->text() == f.state().currentFilePath; })) << name;
        QMediaPlayer* p = player(f);
        ASSERT_NE(p, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return settled(p); }, 15000)) << name;
        EXPECT_EQ(p->error(), QMediaPlayer::NoError) << name << ": " << p->errorString().toStdString();
        EXPECT_NE(p->mediaStatus(), QMediaPlayer::InvalidMedia) << name;
        // Playing moves the position on (or reaches the end of a short sound).
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return p->position() > 0 || p->mediaStatus() == QMediaPlayer::EndOfMedia; }, 15000))
            << name;
        EXPECT_EQ(p->error(), QMediaPlayer::NoError) << name;
    }
}

TEST_F(MediaTest, APictureAfterAVideoShowsThePictureNotTheLastFrame) {
    copyMedia({"test_audio_video.mpg"});
    QFile::copy(testData(QStringLiteral("pictures/bmp/pal8.bmp")), QDir(data_.path()).filePath("still.bmp"));
    Form1& f = startOnMedia(11);
    f.show();
    ASSERT_EQ(f.File1->fileName(), QStringLiteral("test_audio_video.mpg"));
    QMediaPlayer* p = player(f);
    ASSERT_NE(p, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return p->hasVideo(); }, 15000));
    QWidget* video = f.MMC->video();
    ASSERT_NE(video, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return video->isVisible(); }, 15000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return p->position() > 0; }, 15000));

    f.Combo1->setCurrentIndex(1); // the BMP filter
    ASSERT_EQ(f.File1->fileName(), QStringLiteral("still.bmp"));
    EXPECT_EQ(f.MP->size(), QSize(127, 64));
    EXPECT_TRUE(f.MP->isVisible());
    EXPECT_FALSE(video->isVisible());
    // Late news from the player about the stopped video does not bring it back.
    QTest::qWait(300);
    EXPECT_FALSE(video->isVisible());

    // Back to the video: its surface shows again.
    f.Combo1->setCurrentIndex(11);
    ASSERT_TRUE(QTest::qWaitFor([&] { return video->isVisible(); }, 15000));
}

// A file the engine cannot play: Play leaves the status saying so, in the
// engine's words, and can be pressed again.
TEST_F(MediaTest, PlayThatCannotSoundSaysWhyInTheStatus) {
    writeAll(QDir(data_.path()).filePath(QStringLiteral("broken.wav")), QByteArray(4096, '\x5a'));
    writeIni("LastFilter=10\r\nLastPath=" + data_.path().toUtf8() + "\r\n");
    Form1& f = start();
    ASSERT_EQ(f.File1->fileName(), QStringLiteral("broken.wav"));
    QMediaPlayer* p = player(f);
    ASSERT_NE(p, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return settled(p); }, 15000));
    f.Command4->click();
    const QString cannot = QStringLiteral("再生できません: ");
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.NoeP->text().startsWith(cannot); }, 15000))
        << f.NoeP->text().toStdString();
    EXPECT_GT(f.NoeP->text().size(), cannot.size());
    EXPECT_TRUE(f.Command4->isEnabled());
}

} // namespace
} // namespace orbet::test
