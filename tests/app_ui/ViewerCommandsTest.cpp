#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolBar>

#include "Form1Fixture.h"
#include "app/ui/Navigator.h"
#include "app/ui/Panes.h"
#include "app/ui/ViewerCommands.h"
#include "display/ReadAhead.h"
#include "display/ReadLimits.h"
#include "display/ui/PictureBox.h"
#include "navigation/ui/Form3.h"
#include "navigation/ui/ListControls.h"
#include "platform/NativePath.h"
#include "support/TestSupport.h"
#include "viewers/ui/AllWindow.h"
#include "viewers/ui/ImageView.h"
#include "viewers/ui/MiniWindow.h"

namespace orbet::test {
namespace {

class ViewerCommandsTest : public Form1Test {
  protected:
    void SetUp() override {
        Form1Test::SetUp();
        start();
        // Three pictures of different sizes, in list order.
        for (const char* file : {"bmp/hopper.bmp", "bmp/pal8.bmp", "jpeg/hopper.jpg"}) {
            const QString src = testData(QStringLiteral("pictures/") + QString::fromLatin1(file));
            const QString name = QString::fromLatin1(file).replace(u'/', u'_');
            ASSERT_TRUE(QFile::copy(src, folder(name)));
        }
    }
    QString folder(const QString& name = {}) const { return QDir(data_.path()).filePath(name); }
    ViewerCommands& viewers() { return *form_->findChild<ViewerCommands*>(); }
    void openPictures() {
        form_->Combo1->setCurrentIndex(0);
        form_->navigator().OpenFolder(data_.path());
    }
    bool gone(const QPointer<QWidget>& w) {
        return QTest::qWaitFor([&] { return w.isNull(); }, 2000);
    }
};

TEST_F(ViewerCommandsTest, FullScreenCopiesTheMainPictureAndStepsTheMainList) {
    Form1& f = *form_;
    openPictures();
    ASSERT_EQ(f.File1->listCount(), 3);
    ASSERT_EQ(f.File1->fileName(), QStringLiteral("bmp_hopper.bmp"));
    f.action(Command::ZenBit)->trigger();
    QPointer<QWidget> all = viewers().allWindow();
    ASSERT_TRUE(all);
    AllWindow& w = *viewers().allWindow();
    EXPECT_EQ(w.geometry(), f.screen()->geometry());
    // The very picture of the main window, shared, not decoded again.
    EXPECT_EQ(w.Picture1->picture().cacheKey(), f.MP->picture().cacheKey());

    QTest::keyClick(&w, Qt::Key_Right);
    EXPECT_EQ(f.File1->listIndex(), 1);
    EXPECT_EQ(f.state().currentFilePath, folder(QStringLiteral("bmp_pal8.bmp")));
    EXPECT_EQ(w.Picture1->picture().size(), QSize(127, 64));
    EXPECT_EQ(w.Picture1->picture().cacheKey(), f.MP->picture().cacheKey());
    QTest::keyClick(&w, Qt::Key_Left);
    QTest::keyClick(&w, Qt::Key_Left);
    EXPECT_EQ(f.File1->listIndex(), 2); // wrapped to the last

    // The main window becoming active closes the full-screen window: the
    // main window is activated for real, the full-screen window having been
    // active (the main window losing the focus to it closes nothing).
    f.show();
    all->raise();
    all->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(all));
    ASSERT_FALSE(f.isActiveWindow());
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.isActiveWindow(); }, 2000));
    EXPECT_TRUE(gone(all));
    // The toolbar's button opens it as F8 does.
    QAction* button = f.TB->findChild<QAction*>(QStringLiteral("TB_allwin"));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isEnabled());
    button->trigger();
    all = viewers().allWindow();
    ASSERT_TRUE(all);
    QTest::keyClick(all, Qt::Key_X);
    EXPECT_TRUE(gone(all));
}

TEST_F(ViewerCommandsTest, FullScreenRefusesWhatItCannotShowAndShowsTextAtTheStandardSize) {
    Form1& f = *form_;
    QDir(folder()).mkdir(QStringLiteral("empty"));
    f.Combo1->setCurrentIndex(0);
    f.navigator().OpenFolder(folder(QStringLiteral("empty")));
    f.action(Command::ZenBit)->trigger();
    EXPECT_EQ(viewers().allWindow(), nullptr);

    ASSERT_TRUE(writeAll(folder(QStringLiteral("page.html")), "<p>x</p>"));
    f.Combo1->setCurrentIndex(9);
    f.navigator().OpenFolder(data_.path());
    f.action(Command::ZenBit)->trigger();
    EXPECT_EQ(viewers().allWindow(), nullptr);
    ASSERT_EQ(prompter_.records().size(), 2u);
    EXPECT_EQ(prompter_.records()[0].text, QStringLiteral("ピクチャがありません"));
    EXPECT_EQ(prompter_.records()[1].text, QStringLiteral("全画面表示に対応していません"));
    EXPECT_EQ(prompter_.records()[1].title, QStringLiteral("Orbet"));

    ASSERT_TRUE(writeAll(folder(QStringLiteral("a.txt")), "first text"));
    ASSERT_TRUE(writeAll(folder(QStringLiteral("b.txt")), "second text"));
    f.state().strSize = 14.5;
    f.Combo1->setCurrentIndex(6);
    f.navigator().OpenFolder(data_.path());
    f.action(Command::ZenBit)->trigger();
    AllWindow* w = viewers().allWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->RT->isVisible());
    EXPECT_TRUE(w->Picture1->isHidden());
    EXPECT_EQ(w->RT->toPlainText(), QStringLiteral("first text"));
    EXPECT_EQ(w->RT->font().pointSizeF(), 14.5);
    QTest::keyClick(w, Qt::Key_N);
    EXPECT_EQ(w->RT->toPlainText(), QStringLiteral("second text"));
    prompter_.clear();
    QTest::keyClick(w, Qt::Key_S);
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].text, QStringLiteral("スライドショー非対応です"));
    w->close();
}

TEST_F(ViewerCommandsTest, FullScreenTextsAreReadByTheirBytesWithTheirPictures) {
    Form1& f = *form_;
    // A name in code page 932 bytes, as Windows archives bring them.
    ByteNamedFolder dir;
    ASSERT_TRUE(dir.writeNative("\x83\x65\x83\x58\x83\x67.txt", "text under a Shift_JIS name"));
    ASSERT_TRUE(dir.writeNative("wmf.rtf", readAll(testData(QStringLiteral("text/rtf/rtfjs_wmf.rtf")))));
    f.Combo1->setCurrentIndex(8); // rich text and text
    f.navigator().OpenFolder(dir.path());
    ASSERT_EQ(f.File1->listCount(), 2);
    const int rtf = f.File1->entry(0) == QLatin1String("wmf.rtf") ? 0 : 1;
    f.File1->setListIndex(1 - rtf);
    ASSERT_EQ(f.state().currentFilePath, fromNative(dir.nativePath() + "\x83\x65\x83\x58\x83\x67.txt"));
    f.action(Command::ZenBit)->trigger();
    AllWindow* w = viewers().allWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->RT->toPlainText(), QStringLiteral("text under a Shift_JIS name"));
    w->close();

    // Its metafile pictures come along, as in the main pane.
    f.File1->setListIndex(rtf);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.panes().working(); }));
    int shownInMain = 0;
    for (QTextBlock b = f.RT->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            shownInMain += it.fragment().charFormat().isImageFormat();
    ASSERT_GT(shownInMain, 0);
    f.action(Command::ZenBit)->trigger();
    w = viewers().allWindow();
    ASSERT_NE(w, nullptr);
    int shown = 0;
    for (QTextBlock b = w->RT->document()->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat()) continue;
            const QVariant image = w->RT->document()->resource(QTextDocument::ImageResource,
                                                               QUrl(format.toImageFormat().name()));
            EXPECT_FALSE(image.value<QImage>().isNull());
            ++shown;
        }
    }
    EXPECT_EQ(shown, shownInMain);
    w->close();
    EXPECT_EQ(prompter_.records().size(), 0u);
}

TEST_F(ViewerCommandsTest, FullScreenTextIsBoundLikeTheTextPaneAndAVanishedOneIsAnError) {
    Form1& f = *form_;
    // 64 GB that take no disk space, the first 20 MB of them lines of text.
    const QString huge = folder(QStringLiteral("huge.txt"));
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray lines;
        while (lines.size() < 20 * 1024 * 1024)
            lines += "a line of the text file that goes on and on\r\n";
        file.write("the first line\r\n" + lines);
        ASSERT_TRUE(file.resize(64LL << 30));
    }
    ASSERT_TRUE(writeAll(folder(QStringLiteral("small.txt")), "small"));
    f.Combo1->setCurrentIndex(6);
    f.navigator().OpenFolder(data_.path());
    ASSERT_EQ(f.File1->entry(0), QStringLiteral("huge.txt"));
    ASSERT_EQ(f.File1->listIndex(), 0);
    ASSERT_FALSE(prompter_.records().empty()); // the main pane's
    prompter_.clear();
    f.action(Command::ZenBit)->trigger();
    AllWindow* w = viewers().allWindow();
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].text,
              QStringLiteral("ファイルが大きいため、先頭の16MBだけを表示しています"));
    EXPECT_EQ(prompter_.records()[0].title, QStringLiteral("Orbet"));
    EXPECT_TRUE(w->RT->toPlainText().startsWith(QStringLiteral("the first line")));
    EXPECT_LE(w->RT->toPlainText().size(), kTextReadLimit);
    w->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return viewers().allWindow() == nullptr; }));

    // A text that vanished after the main window showed it.
    prompter_.clear();
    f.File1->setListIndex(1);
    ASSERT_EQ(f.RT->toPlainText(), QStringLiteral("small"));
    ASSERT_TRUE(QFile::remove(folder(QStringLiteral("small.txt"))));
    f.action(Command::ZenBit)->trigger();
    EXPECT_EQ(viewers().allWindow(), nullptr);
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].text, QStringLiteral("予期せぬｴﾗｰが発生しました。"));
    // One that cannot be read.
    prompter_.clear();
    ASSERT_TRUE(writeAll(folder(QStringLiteral("small.txt")), "small"));
    f.File1->refresh();
    f.File1->setListIndex(1);
    ASSERT_EQ(f.state().currentFilePath, folder(QStringLiteral("small.txt")));
    ASSERT_TRUE(QFile::remove(folder(QStringLiteral("small.txt"))));
    ASSERT_TRUE(QDir(folder()).mkdir(QStringLiteral("small.txt")));
    f.action(Command::ZenBit)->trigger();
    EXPECT_EQ(viewers().allWindow(), nullptr);
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].text, QStringLiteral("予期せぬｴﾗｰが発生しました。"));
}

TEST_F(ViewerCommandsTest, FitMarksExcludeEachOtherAndTheTextSizeIsAsked) {
    Form1& f = *form_;
    ASSERT_TRUE(f.isChecked(Command::SetAutoPD));
    f.action(Command::ZenHi)->trigger();
    EXPECT_TRUE(f.isChecked(Command::ZenHi));
    EXPECT_FALSE(f.isChecked(Command::SetAutoPD));
    f.action(Command::ZenHi)->trigger();
    EXPECT_FALSE(f.isChecked(Command::ZenHi));
    EXPECT_FALSE(f.isChecked(Command::SetAutoPD));
    f.action(Command::SetAutoPD)->trigger();
    f.action(Command::ZenHi)->trigger();
    f.action(Command::SetAutoPD)->trigger();
    EXPECT_TRUE(f.isChecked(Command::SetAutoPD));
    EXPECT_FALSE(f.isChecked(Command::ZenHi));

    prompter_.reply(QStringLiteral("4"));
    prompter_.reply(QStringLiteral("4.5"));
    prompter_.reply(QString());
    f.action(Command::NomSizeSet)->trigger();
    ASSERT_EQ(prompter_.records().size(), 2u);
    EXPECT_EQ(prompter_.records()[0].text,
              QStringLiteral("文字サイズを入力してください\r\n現在のサイズ> 10.5"));
    EXPECT_EQ(prompter_.records()[0].title, QStringLiteral("Orbet"));
    EXPECT_EQ(prompter_.records()[0].defaultText, QStringLiteral("10.5"));
    EXPECT_EQ(prompter_.records()[1].text, QStringLiteral("4より大きい数を入力してください"));
    EXPECT_EQ(f.state().strSize, 10.5);
    f.action(Command::NomSizeSet)->trigger();
    EXPECT_EQ(f.state().strSize, 4.5);
    f.action(Command::NomSizeSet)->trigger();
    EXPECT_EQ(f.state().strSize, 4.5);
}

TEST_F(ViewerCommandsTest, MinimumWindowAndItsDirectoryChanger) {
    Form1& f = *form_;
    const QString sub = folder(QStringLiteral("sub"));
    QDir(folder()).mkdir(QStringLiteral("sub"));
    ASSERT_TRUE(
        QFile::copy(testData(QStringLiteral("pictures/gif/hopper.gif")), sub + QStringLiteral("/only.gif")));
    openPictures();
    f.show();
    f.state().minWindowOnMainWindow = true;
    f.action(Command::minwindow)->trigger();
    QPointer<QWidget> mini = viewers().miniWindow();
    ASSERT_TRUE(mini);
    EXPECT_TRUE(mini->isVisible());
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(mini->windowTitle(),
              QStringLiteral("ミニマムウィンドウ - ") + folder(QStringLiteral("bmp_hopper.bmp")));

    QTest::keyClick(mini, Qt::Key_D);
    QPointer<QWidget> changer = viewers().changer();
    ASSERT_TRUE(changer);
    Form3& c = *viewers().changer();
    EXPECT_TRUE(c.isVisible());
    EXPECT_EQ(c.windowTitle(), QStringLiteral("ミニマムディレクトリチェンジャー　- ") + f.Dir1->path());
    ASSERT_EQ(c.List1->count(), 3);
    EXPECT_EQ(c.List1->item(2)->text(), QStringLiteral("jpeg_hopper.jpg"));
    EXPECT_EQ(c.Combo1->count(), f.Combo2->count());
    // A file picked in the changer is shown by the main window and copied.
    c.List1->setCurrentRow(1);
    EXPECT_EQ(f.File1->listIndex(), 1);
    EXPECT_EQ(mini->windowTitle(),
              QStringLiteral("ミニマムウィンドウ - ") + folder(QStringLiteral("bmp_pal8.bmp")));

    // Enter on a folder opens it and refills the changer.
    c.Combo1->setEditText(sub);
    QTest::keyClick(c.Combo1, Qt::Key_Return);
    EXPECT_EQ(QDir::cleanPath(f.Dir1->path()), QDir::cleanPath(sub));
    ASSERT_EQ(c.List1->count(), 1);
    EXPECT_EQ(mini->windowTitle(),
              QStringLiteral("ミニマムウィンドウ - ") + sub + QStringLiteral("/only.gif"));
    // A path that names nothing changes nothing but the texts.
    c.Combo1->setEditText(folder(QStringLiteral("nowhere")));
    QTest::keyClick(c.Combo1, Qt::Key_Return);
    EXPECT_EQ(QDir::cleanPath(f.Dir1->path()), QDir::cleanPath(sub));
    EXPECT_EQ(f.Combo2->currentText(), folder(QStringLiteral("nowhere")));
    // ".." goes up again.
    c.go(QStringLiteral(".."));
    EXPECT_EQ(QDir::cleanPath(f.Dir1->path()), QDir::cleanPath(data_.path()));

    // Closing the changer brings the minimum window back; closing that
    // closes a changer still open and shows the main window.
    mini->hide();
    c.close();
    EXPECT_TRUE(mini->isVisible());
    QTest::keyClick(mini, Qt::Key_D);
    changer = viewers().changer();
    ASSERT_TRUE(changer);
    QTest::keyClick(mini, Qt::Key_X);
    EXPECT_TRUE(gone(mini));
    EXPECT_TRUE(gone(changer));
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(prompter_.records().size(), 0u);
}

TEST_F(ViewerCommandsTest, BadFilesBetweenStepsLeaveTheWindowUsable) {
    Form1& f = *form_;
    ASSERT_TRUE(QFile::copy(testData(QStringLiteral("pictures/broken/badwidth.bmp")),
                            folder(QStringLiteral("bmp_o.bmp"))));
    openPictures();
    ASSERT_EQ(f.File1->listCount(), 4);
    int broken = 0;
    while (f.File1->entry(broken) != QLatin1String("bmp_o.bmp"))
        ++broken;
    f.File1->setListIndex((broken + 3) % 4);
    f.action(Command::ZenBit)->trigger();
    AllWindow* w = viewers().allWindow();
    ASSERT_NE(w, nullptr);
    // The next picture vanishes while it is being decoded ahead.
    ASSERT_TRUE(QFile::remove(folder(QStringLiteral("bmp_o.bmp"))));
    QTest::keyClick(w, Qt::Key_Right);
    EXPECT_EQ(f.File1->listIndex(), broken);
    // Whatever the main window made of it, the viewer shows the same.
    EXPECT_EQ(w->Picture1->picture().cacheKey(), f.MP->picture().cacheKey());
    EXPECT_TRUE(w->isVisible());
    QTest::keyClick(w, Qt::Key_Right);
    EXPECT_FALSE(w->Picture1->picture().isNull());
    EXPECT_EQ(w->Picture1->picture().cacheKey(), f.MP->picture().cacheKey());

    // A slideshow over a folder that empties under it keeps going quietly.
    f.state().slideShowTimer = 10;
    w->close();
    f.action(Command::ZenBit)->trigger();
    w = viewers().allWindow();
    ASSERT_NE(w, nullptr);
    QTest::keyClick(w, Qt::Key_S);
    ASSERT_TRUE(w->slideshowRunning());
    QTest::qWait(100);
    for (const QString& name : QDir(data_.path()).entryList(QDir::Files))
        QFile::remove(folder(name));
    QTest::qWait(100);
    f.File1->refresh();
    EXPECT_EQ(f.File1->listCount(), 0);
    QTest::qWait(100);
    EXPECT_TRUE(w->isVisible());
    QTest::keyClick(w, Qt::Key_S);
    EXPECT_FALSE(w->slideshowRunning());
    w->close();
}

TEST_F(ViewerCommandsTest, TheNextPictureIsDecodedAheadForTheDownKeyToo) {
    Form1& f = *form_;
    openPictures();
    ReadAhead& ahead = viewers().readAhead();
    EXPECT_EQ(ahead.guesses(), QStringList{folder(QStringLiteral("bmp_pal8.bmp"))});
    f.File1->setFocus();
    QTest::keyClick(f.File1, Qt::Key_Down);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.MP->picture().size() == QSize(127, 64); }, 3000));
    EXPECT_EQ(ahead.guesses(), QStringList{folder(QStringLiteral("jpeg_hopper.jpg"))});
    EXPECT_LE(ahead.held(), 2);
}

} // namespace
} // namespace orbet::test
