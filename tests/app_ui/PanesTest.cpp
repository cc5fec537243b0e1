#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

#include "display/ui/WebPane.h"

#include "Form1Fixture.h"
#include "app/ui/MediaPanel.h"
#include "app/ui/Navigator.h"
#include "app/ui/Panes.h"
#include "app/ui/ShowDispatch.h"
#include "app/ui/TextPane.h"
#include "display/ui/MediaControl.h"
#include "display/ui/PictureBox.h"
#include "navigation/ui/ListControls.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

class PanesTest : public Form1Test {
  protected:
    void SetUp() override {
        Form1Test::SetUp();
        start();
        form_->textPane().printDialog = [this](QPrinter& printer, bool selection) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf());
            printedSelection_ = selection;
            return true;
        };
    }
    QString pdf() const { return QDir(data_.path()).filePath(QStringLiteral("out.pdf")); }
    void showFolderWith(int filter, const QStringList& sources) {
        for (const QString& s : sources)
            QFile::copy(testData(s), QDir(data_.path()).filePath(QFileInfo(s).fileName()));
        form_->navigator().OpenFolder(data_.path());
        form_->Combo1->setCurrentIndex(filter);
        // The media opens once the events waiting have run.
        EXPECT_TRUE(QTest::qWaitFor([this] { return !form_->panes().working(); }));
    }
    bool printedSelection_ = false;
};

// A large photo shows in the window at its full size at once (its corner
// decoded first) and is the whole picture as soon as anything asks for it.
TEST_F(PanesTest, ALargePhotoIsShownWholeWhicheverWayItArrives) {
    QImage scene(2400, 1600, QImage::Format_RGB32);
    scene.fill(Qt::darkCyan);
    {
        QPainter p(&scene);
        p.fillRect(100, 100, 300, 200, Qt::red);
        p.fillRect(2000, 1300, 300, 200, Qt::yellow);
    }
    const QString path = QDir(data_.path()).filePath(QStringLiteral("big.jpg"));
    ASSERT_TRUE(scene.save(path, "jpeg", 90));
    const QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
    Form1& f = *form_;
    QSignalSpy changed(f.MP, &PictureBox::pictureChanged);
    ASSERT_TRUE(f.panes().loadPicture(path));
    EXPECT_EQ(f.MP->size(), QSize(2400, 1600));
    ASSERT_TRUE(changed.count() == 1 || changed.wait(10000)) << "the whole picture never arrived";
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(f.MP->isComplete());
    EXPECT_EQ(f.MP->picture(), reference);

    // Shown again, the same picture.
    f.panes().clearPicture();
    ASSERT_TRUE(f.panes().loadPicture(path));
    EXPECT_EQ(f.MP->picture(), reference);
}

TEST_F(PanesTest, EditingSwitchFollowsTheMenuAtOnce) {
    Form1& f = *form_;
    EXPECT_TRUE(f.RT->isReadOnly());
    f.action(Command::EdiOK)->trigger();
    EXPECT_FALSE(f.RT->isReadOnly());
    f.action(Command::EdiOK)->trigger();
    EXPECT_TRUE(f.RT->isReadOnly());
}

TEST_F(PanesTest, SaveWritesThePlainText) {
    writeAll(QDir(data_.path()).filePath("n.txt"), "line one\nline two\n");
    showFolderWith(6, {});
    Form1& f = *form_;
    const QString target = QDir(data_.path()).filePath("saved.out");
    prompter_.reply(target);
    f.action(Command::rtfsa)->trigger();
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].title, QStringLiteral("RTF Menu Save txt file"));
    EXPECT_EQ(readAll(target), QByteArray("line one\nline two\n"));
}

TEST_F(PanesTest, PrintsThePictureOrTheTextAndRefusesOtherPanes) {
    Form1& f = *form_;
    f.show();
    showFolderWith(1, {QStringLiteral("pictures/bmp/hopper.bmp")});
    ASSERT_FALSE(f.MP->isEmpty());
    f.action(Command::pri)->trigger();
    ASSERT_TRUE(QFile::exists(pdf()));
    EXPECT_TRUE(readAll(pdf()).contains("/Image"));
    QFile::remove(pdf());

    writeAll(QDir(data_.path()).filePath("t.txt"), "printable words");
    f.Combo1->setCurrentIndex(6);
    f.action(Command::pri)->trigger();
    EXPECT_GT(QFile(pdf()).size(), 500);
    EXPECT_FALSE(printedSelection_);
    f.RT->selectAll();
    f.action(Command::pri)->trigger();
    EXPECT_TRUE(printedSelection_);

    f.Combo1->setCurrentIndex(9);
    f.action(Command::pri)->trigger();
    ASSERT_FALSE(prompter_.records().empty());
    EXPECT_EQ(prompter_.records().back().text,
              QStringLiteral("error そのタイプは、印刷コマンドの実行はできません"));
}

TEST_F(PanesTest, MediaRepeatsWithAndWithoutTheQuestion) {
    Form1& f = *form_;
    f.setChecked(Command::SetAuD, true);
    f.setChecked(Command::SetAuRepD, true);
    showFolderWith(12, {QStringLiteral("media/kde_click.wav")});
    ASSERT_EQ(f.File1->fileName(), QStringLiteral("kde_click.wav"));
    EXPECT_EQ(f.NoeP->text(), QStringLiteral("再生"));
    EXPECT_TRUE(f.Check1->isChecked());
    QSignalSpy done(f.MMC, &MediaControl::completed);
    ASSERT_TRUE(done.wait(15000)) << "playback did not finish";
    // Repeat on, no question: it starts again.
    EXPECT_TRUE(prompter_.records().empty());
    ASSERT_TRUE(done.wait(15000)) << "playback did not repeat";

    // With the question, No closes the file and clears the repeat.
    f.setChecked(Command::SetRepD, true);
    prompter_.answer(Answer::No);
    ASSERT_TRUE(done.wait(15000));
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].text, QStringLiteral("リピートしますか？\r\n") + f.MMC->fileName());
    EXPECT_FALSE(f.Check1->isChecked());
    EXPECT_FALSE(f.MMC->isOpen());

    // Reset opens it again; play, then stop clears the repeat.
    f.Command8->click();
    EXPECT_TRUE(f.MMC->isOpen());
    f.Check1->setChecked(true);
    f.Command4->click();
    EXPECT_FALSE(f.Command4->isEnabled());
    EXPECT_EQ(f.NoeP->text(), QStringLiteral("再生中"));
    f.Command5->click();
    EXPECT_FALSE(f.Check1->isChecked());
    EXPECT_TRUE(f.Command4->isEnabled());
    EXPECT_EQ(f.NoeP->text(), QStringLiteral("停止"));
}

TEST_F(PanesTest, MediaThatIsNotMediaFailsQuietly) {
    Form1& f = *form_;
    writeAll(QDir(data_.path()).filePath("fake.mp3"), QByteArray(4096, 'z'));
    showFolderWith(11, {});
    EXPECT_EQ(f.OPM->text(), QDir(data_.path()).filePath("fake.mp3"));
    EXPECT_TRUE(prompter_.records().empty());
}

TEST_F(PanesTest, HeavyPanesWaitUntilAFileNeedsThem) {
    Form1& f = *form_;
    EXPECT_FALSE(f.WB1->hasEngine());
    EXPECT_FALSE(f.MMC->hasPlayer());
    showFolderWith(10, {QStringLiteral("media/test_audio_video.mpg")});
    EXPECT_TRUE(f.MMC->hasPlayer());
    EXPECT_FALSE(f.WB1->hasEngine());
}

TEST_F(PanesTest, VideoShowsInTheDisplayArea) {
    Form1& f = *form_;
    f.show();
    showFolderWith(10, {QStringLiteral("media/corkami_avi.avi")});
    ASSERT_NE(f.MMC->video(), nullptr);
    QSignalSpy video(f.MMC, &MediaControl::videoAvailable);
    if (!f.MMC->video()->isVisible()) ASSERT_TRUE(video.wait(10000));
    EXPECT_TRUE(f.MMC->video()->isVisible());
    EXPECT_EQ(f.MMC->video()->parentWidget(), f.BP);
}

} // namespace
} // namespace orbet::test
