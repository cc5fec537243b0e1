#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

#include "Form1Fixture.h"
#include "app/ui/Navigator.h"
#include "app/ui/ShowDispatch.h"
#include "display/ui/PictureBox.h"
#include "display/ui/WebPane.h"
#include "navigation/ui/ListControls.h"
#include "platform/Twips.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

class ShowFileTest : public Form1Test {
  protected:
    void SetUp() override {
        Form1Test::SetUp();
        start();
    }
    QString put(const QString& name, const QByteArray& bytes) {
        const QString path = QDir(data_.path()).filePath(name);
        writeAll(path, bytes);
        return path;
    }
    void openWithFilter(int filter) {
        form_->navigator().OpenFolder(data_.path());
        form_->Combo1->setCurrentIndex(filter);
    }
};

TEST_F(ShowFileTest, EveryBuiltInPictureKindShowsAtNaturalSize) {
    // Sizes from the files' headers and colours read by other decoders (the
    // palette of the bitmaps by hand, the GIF and JPEG by another library),
    // so a fault of the loader cannot hide behind itself. JPEG decoders may
    // round a little differently.
    struct Case {
        const char* source;
        QSize size;
        QPoint pixel;
        QRgb colour;
        int tolerance;
    } cases[] = {
        {"bmp/pal8.bmp", {127, 64}, {3, 7}, qRgb(0xff, 0x2b, 0x00), 0},
        {"gif/chi.gif", {320, 240}, {70, 63}, qRgb(0xb2, 0xce, 0x45), 0},
        {"ico/hopper.ico", {16, 16}, {8, 8}, qRgb(0xc4, 0x43, 0x23), 0},
        {"jpeg/hopper.jpg", {128, 128}, {64, 64}, qRgb(0xaa, 0x46, 0x38), 10},
    };
    for (const Case& c : cases) {
        const QString src = testData(QStringLiteral("pictures/") + QString::fromLatin1(c.source));
        ASSERT_TRUE(QFile::copy(src, QDir(data_.path()).filePath(QFileInfo(src).fileName()))) << c.source;
    }
    Form1& f = *form_;
    openWithFilter(0);
    ASSERT_EQ(f.File1->listCount(), 4);
    for (const Case& c : cases) {
        const QString name = QFileInfo(QString::fromLatin1(c.source)).fileName();
        const int found = f.File1->rowOf(name);
        ASSERT_GE(found, 0) << c.source;
        f.File1->setListIndex(found);
        ASSERT_EQ(f.MP->size(), c.size) << c.source;
        const QRgb shown = f.MP->picture().pixel(c.pixel);
        EXPECT_LE(std::abs(qRed(shown) - qRed(c.colour)), c.tolerance) << c.source;
        EXPECT_LE(std::abs(qGreen(shown) - qGreen(c.colour)), c.tolerance) << c.source;
        EXPECT_LE(std::abs(qBlue(shown) - qBlue(c.colour)), c.tolerance) << c.source;
        EXPECT_EQ(f.MP->pos(), QPoint(0, 0));
    }
}

TEST_F(ShowFileTest, LargePicturesScrollOverTheirWholeExtent) {
    QImage big(3000, 2400, QImage::Format_RGB32);
    big.fill(Qt::red);
    big.setPixel(2999, 2399, qRgb(0, 0, 255));
    big.save(QDir(data_.path()).filePath("big.bmp"));
    Form1& f = *form_;
    f.resize(640, 480);
    openWithFilter(1);
    ASSERT_EQ(f.MP->size(), QSize(3000, 2400));
    EXPECT_TRUE(f.YS->isEnabled());
    EXPECT_NEAR(f.YS->maximum(), twips::fromPixels(3000) - twips::fromPixels(f.BP->width()),
                twips::perPixel());
    EXPECT_EQ(f.YS->pageStep(), twips::fromPixels(3000));
    EXPECT_EQ(f.YS->singleStep(), twips::fromPixels(3000) / 50);
    f.YS->setValue(f.YS->maximum());
    f.TS->setValue(f.TS->maximum());
    // The picture's bottom-right corner meets the frame's.
    EXPECT_LE(std::abs(f.MP->x() + f.MP->width() - f.BP->width()), 1);
    EXPECT_LE(std::abs(f.MP->y() + f.MP->height() - f.BP->height()), 1);
    // Showing the file again starts at the top left.
    f.display().ShowFile(f.state().currentFilePath);
    EXPECT_EQ(f.YS->value(), 0);
    EXPECT_EQ(f.MP->pos(), QPoint(0, 0));
}

TEST_F(ShowFileTest, AnyFileAsksAboveOneHundredKilobytes) {
    auto lines = [](qsizetype size, char c) {
        QByteArray b(size, c);
        for (qsizetype i = 79; i < size; i += 80)
            b[i] = '\n';
        return b;
    };
    put("a.bin", lines(102400, 'a'));
    put("b.bin", lines(102401, 'b'));
    put("c.bin", lines(3 * 1024 * 1024, 'c'));
    Form1& f = *form_;
    openWithFilter(14);
    ASSERT_EQ(f.File1->fileName(), QStringLiteral("a.bin"));
    EXPECT_TRUE(prompter_.records().empty());
    EXPECT_EQ(f.RT->toPlainText().size(), 102400);

    prompter_.answer(Answer::No);
    f.File1->setListIndex(1);
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].text, QStringLiteral("ファイルサイズが大きい場合があるので読み込みに時間"
                                                          "がかかる場合があります。読み込みますか？(100KB)"));
    EXPECT_TRUE(f.RT->toPlainText().isEmpty());

    prompter_.answer(Answer::Yes);
    f.File1->setListIndex(2);
    EXPECT_TRUE(prompter_.records()[1].text.endsWith(QStringLiteral("(3.07MB)")));
    EXPECT_EQ(f.RT->toPlainText().size(), 3 * 1024 * 1024);
}

TEST_F(ShowFileTest, ProgramsAreOfferedOnEveryClickButNeverOnEnter) {
    put("tool.exe", "MZ");
    put("zz.com", "MZ");
    Form1& f = *form_;
    openWithFilter(13); // selecting the first file already asks
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].text,
              QDir(data_.path()).filePath("tool.exe") + QStringLiteral("を実行しますか？"));
    f.File1->setListIndex(0);
    EXPECT_EQ(prompter_.records().size(), 2u);
    f.File1->setFocus();
    QTest::keyClick(f.File1, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(prompter_.records().size(), 2u);
    // The arrow moves the selection, which counts as a click.
    QTest::keyClick(f.File1, Qt::Key_Down);
    QCoreApplication::processEvents();
    EXPECT_EQ(prompter_.records().size(), 3u);
    EXPECT_TRUE(prompter_.records()[2].text.startsWith(QDir(data_.path()).filePath("zz.com")));
}

TEST_F(ShowFileTest, NothingShowsWhileShowingIsOff) {
    put("n.txt", "words");
    Form1& f = *form_;
    openWithFilter(6);
    EXPECT_EQ(f.RT->toPlainText(), QStringLiteral("words"));
    f.state().showEnabled = false;
    f.RT->clear();
    f.File1->setListIndex(0);
    EXPECT_TRUE(f.RT->toPlainText().isEmpty());
    EXPECT_EQ(f.state().currentFilePath, QDir(data_.path()).filePath("n.txt"));
}

TEST_F(ShowFileTest, HoldingDownShowsOnlyWhereTheKeyStops) {
    for (int i = 0; i < 30; ++i) {
        QImage img(40, 30, QImage::Format_RGB32);
        img.fill(QColor(i * 8, 0, 0));
        img.save(QDir(data_.path()).filePath(QStringLiteral("p%1.bmp").arg(i, 2, 10, QLatin1Char('0'))));
    }
    Form1& f = *form_;
    openWithFilter(1);
    int shows = 0;
    f.display().decodeWithPlugins = nullptr;
    // Every show that loads a picture hands one to the picture box.
    QObject::connect(f.MP, &PictureBox::pictureChanged, [&] { shows += f.MP->isEmpty() ? 0 : 1; });
    f.File1->setFocus();
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(f.File1, Qt::Key_Down); // queued, as held keys arrive
    EXPECT_EQ(f.File1->listIndex(), 20);
    EXPECT_EQ(shows, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(f.MP->picture().pixel(0, 0), QColor(160, 0, 0).rgb());
}

TEST_F(ShowFileTest, WebPagesLoadInTheBrowserPane) {
    const QString page = put("page.html", "<html><body style='background:#00ff00'><p>hi</p></body></html>");
    Form1& f = *form_;
    f.show();
    openWithFilter(9);
    ASSERT_TRUE(f.WB1->hasEngine());
    QSignalSpy loaded(f.WB1, &WebPane::loadFinished);
    // The first page pays for the engine's start and says so.
    if (loaded.isEmpty()) {
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        ASSERT_TRUE(loaded.wait(20000));
    }
    EXPECT_TRUE(loaded.first().first().toBool());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(f.WB1->address(), page);
}

} // namespace
} // namespace orbet::test
