#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>

#include "Form1Fixture.h"
#include "app/ui/Panes.h"
#include "app/ui/Shutdown.h"
#include "display/DisplayLayout.h"
#include "display/ui/PictureBox.h"
#include "display/ui/WebPane.h"
#include "navigation/ui/ListControls.h"
#include "platform/Twips.h"
#include "support/TestSupport.h"

// Rules of the main window seen through the real window: every settings key
// loaded and saved, the user filters' reading methods, the background colour
// and the scroll bars at the frame's edge.
namespace orbet::test {
namespace {

class WindowRulesTest : public Form1Test {
  protected:
    QString put(const char* name, const char* source) {
        const QString path = QDir(data_.path()).filePath(QString::fromLatin1(name));
        EXPECT_TRUE(QFile::copy(testData(QString::fromLatin1(source)), path)) << source;
        return path;
    }
};

TEST_F(WindowRulesTest, EveryKeyIsLoadedIntoTheWindowAndSavedBackUnchanged) {
    put("a.jpg", "pictures/jpeg/hopper.jpg");
    put("b.jpg", "pictures/jpeg/hopper_gray.jpg");
    // Each key away from its default, in the order and form the program writes.
    const QByteArray ini =
        "LastPath=" + data_.path().toUtf8() +
        "\r\nWisndowStatas=0\r\nLeft=600\r\nTop=450\r\nWidth=9000\r\nHeight=7200\r\n"
        "LastFileList=1\r\nLastFilter=3\r\nBar=2535\r\nAutoMode=0\r\nSetAutoH=1\r\n"
        "NotIniBat=0\r\nTxtEdi=1\r\nAutoPlay=1\r\nAutoRep=1\r\nAutoRepv2=0\r\nStrSize= 12.5\r\n"
        "Archive=0\r\nHide=1\r\nSystem=1\r\nSlideShowTimer=750\r\nBackcolorR= 10 \r\n"
        "BackcolorG= 20 \r\nBackcolorB= 30 \r\nRnd=1\r\nNodeExpand=1\r\nNodeClose=1\r\n"
        "MinWindow_on_MainWindow=1\r\nMinWindowSize=1\r\nMinWindowSizeType=1\r\n"
        "HideDirectory=1\r\n";
    writeIni(ini);
    Form1& f = start();
    // What the window shows for each key.
    EXPECT_EQ(f.Dir1->path(), data_.path());
    EXPECT_EQ(f.windowState(), Qt::WindowNoState);
    EXPECT_EQ(f.rectTwips(), (TwipsRect{600, 450, 9000, 7200}));
    EXPECT_EQ(f.File1->fileName(), QStringLiteral("b.jpg"));
    EXPECT_EQ(f.Combo1->currentIndex(), 3);
    EXPECT_EQ(f.barTop(), 2535);
    EXPECT_EQ(f.Bar->y(), twips::toPixels(2535));
    const struct {
        Command item;
        bool on;
    } marks[] = {{Command::SetAutoPD, false}, {Command::ZenHi, true},     {Command::InBaNotD, false},
                 {Command::EdiOK, true},      {Command::SetAuD, true},    {Command::SetRepD, true},
                 {Command::SetAuRepD, false}, {Command::MunuASet, false}, {Command::Hiddemset, true},
                 {Command::SYSSet, true}};
    for (const auto& m : marks)
        EXPECT_EQ(f.isChecked(m.item), m.on) << commandName(m.item);
    EXPECT_FALSE(f.RT->isReadOnly());
    EXPECT_FALSE(f.File1->attributes().archive);
    EXPECT_TRUE(f.File1->attributes().hidden);
    EXPECT_TRUE(f.File1->attributes().system);
    const ProgramState& st = f.state();
    EXPECT_EQ(st.strSize, 12.5);
    EXPECT_EQ(st.slideShowTimer, 750);
    EXPECT_EQ(st.backcolorR, 10);
    EXPECT_EQ(st.backcolorG, 20);
    EXPECT_EQ(st.backcolorB, 30);
    EXPECT_TRUE(st.rnd);
    EXPECT_TRUE(st.nodeExpand);
    EXPECT_TRUE(st.nodeClose);
    EXPECT_TRUE(st.minWindowOnMainWindow);
    EXPECT_TRUE(st.minWindowSize);
    EXPECT_EQ(st.minWindowSizeType, 1);
    EXPECT_EQ(st.hideDirectory, 1);

    prompter_.answer(Answer::Yes);
    ASSERT_TRUE(f.close());
    EXPECT_EQ(QString::fromUtf8(savedIni()), QString::fromUtf8(ini));
}

TEST_F(WindowRulesTest, UserFilterRowsShowByTheirReadingMethod) {
    put("p.bmp", "pictures/bmp/pal8.bmp");
    const QString sound = put("m.wav", "media/kde_click.wav");
    const QDir dir(data_.path());
    writeAll(dir.filePath("t.txt"), "plain words");
    const QString page = dir.filePath("w.html");
    writeAll(page, "<p>page</p>");
    ASSERT_TRUE(
        writeAll(home(QStringLiteral("Vae011.vaf")),
                 "\"Pics\",\"*.bmp\",0,\"Texts\",\"*.txt\",1,\"Webs\",\"*.html\",2,\"Sounds\",\"*.wav\",3," +
                     QByteArray(2988, ',')));
    writeIni("LastFilter=15\r\nLastPath=" + data_.path().toUtf8() + "\r\n");
    Form1& f = start();
    ASSERT_EQ(f.Combo1->count(), 19);

    ASSERT_EQ(f.Combo1->currentIndex(), 15);
    EXPECT_EQ(f.MP->size(), QSize(127, 64));
    EXPECT_TRUE(f.BP->isVisible());
    EXPECT_FALSE(f.RT->isVisible());

    f.Combo1->setCurrentIndex(16);
    EXPECT_EQ(f.RT->toPlainText(), QStringLiteral("plain words"));
    EXPECT_TRUE(f.RT->isVisible());
    EXPECT_FALSE(f.BP->isVisible());

    f.Combo1->setCurrentIndex(17);
    EXPECT_TRUE(f.WB1->isVisible());
    EXPECT_EQ(f.WB1->address(), page);
    EXPECT_TRUE(f.RT->toPlainText().isEmpty());

    f.Combo1->setCurrentIndex(18);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.panes().working(); }));
    EXPECT_TRUE(f.MCC->isVisible());
    EXPECT_FALSE(f.WB1->isVisible());
    EXPECT_EQ(f.OPM->text(), sound);
    EXPECT_EQ(f.NoeP->text(), QStringLiteral("停止"));
    EXPECT_TRUE(f.MP->isEmpty());
}

TEST_F(WindowRulesTest, TheBackgroundColourReachesThePictureFrame) {
    put("p.bmp", "pictures/bmp/pal8.bmp");
    writeIni("LastFilter=1\r\nLastPath=" + data_.path().toUtf8() +
             "\r\nBackcolorR= 10 \r\nBackcolorG= 20 \r\nBackcolorB= 30 \r\n");
    Form1& f = start();
    f.resize(800, 700);
    QCoreApplication::processEvents();
    ASSERT_EQ(f.MP->size(), QSize(127, 64));
    const QImage frame = f.BP->grab().toImage();
    ASSERT_GT(frame.width(), 200);
    ASSERT_GT(frame.height(), 100);
    // Outside the picture the frame shows the colour; inside, the picture.
    EXPECT_EQ(QColor(frame.pixel(frame.width() - 5, frame.height() - 5)), QColor(10, 20, 30));
    EXPECT_EQ(QColor(frame.pixel(150, 80)), QColor(10, 20, 30));
    EXPECT_NE(QColor(frame.pixel(3, 7)), QColor(10, 20, 30));
}

TEST_F(WindowRulesTest, AScrollBarTurnsOnOnlyPastTheFrame) {
    // The rule in twips: as wide as the frame is off, one twip more is on.
    const int frameWidth = 9600 - 255 - 130 - 30;
    const DisplayLayout exact = LayoutDisplay(9600, 7200, 3000, 255, 255, 1, frameWidth, 100);
    EXPECT_FALSE(exact.horizontal.enabled);
    EXPECT_EQ(exact.horizontal.maximum, 0);
    const DisplayLayout wider = LayoutDisplay(9600, 7200, 3000, 255, 255, 1, frameWidth + 1, 100);
    EXPECT_TRUE(wider.horizontal.enabled);
    EXPECT_EQ(wider.horizontal.maximum, 1);
    const int frameHeight = exact.frame.height;
    EXPECT_FALSE(LayoutDisplay(9600, 7200, 3000, 255, 255, 1, 100, frameHeight).vertical.enabled);
    const DisplayLayout taller = LayoutDisplay(9600, 7200, 3000, 255, 255, 1, 100, frameHeight + 1);
    EXPECT_TRUE(taller.vertical.enabled);
    EXPECT_EQ(taller.vertical.maximum, 1);

    // In the window, whose pictures come in whole pixels.
    writeIni("LastFilter=1\r\nLastPath=" + data_.path().toUtf8() + "\r\n");
    Form1& f = start();
    f.resize(800, 700);
    QCoreApplication::processEvents();
    const QSize frame = f.BP->size();
    const struct {
        QSize picture;
        bool horizontal, vertical;
    } cases[] = {
        {frame, false, false},
        {frame + QSize(1, 0), true, false},
        {frame + QSize(0, 1), false, true},
    };
    for (const auto& c : cases) {
        QImage image(c.picture, QImage::Format_RGB32);
        image.fill(Qt::green);
        f.MP->setPicture(image);
        f.layoutDisplay();
        EXPECT_EQ(f.YS->isEnabled(), c.horizontal) << c.picture.width();
        EXPECT_EQ(f.TS->isEnabled(), c.vertical) << c.picture.height();
        // One pixel past the frame scrolls by at most that pixel.
        EXPECT_EQ(f.YS->maximum() > 0, c.horizontal);
        EXPECT_EQ(f.TS->maximum() > 0, c.vertical);
        EXPECT_LE(f.YS->maximum(), twips::perPixel());
        EXPECT_LE(f.TS->maximum(), twips::perPixel());
    }
}

} // namespace
} // namespace orbet::test
