#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "Form1Fixture.h"
#include "app/ui/Navigator.h"
#include "app/ui/Panes.h"
#include "display/ui/PictureBox.h"
#include "navigation/ui/ListControls.h"
#include "support/TestSupport.h"
#include "wmf/WmfBombs.h"

namespace orbet::test {
namespace {

constexpr int kMetafileFilter = 5;
constexpr int kRichTextFilter = 7;

// Small files that would keep the painter busy for minutes, shown through
// the real window: the window answers while they are drawn, and what was
// drawn within the work budget shows. (Their times are in bench/wmf.)
class DrawingBombsTest : public Form1Test {
protected:
    void SetUp() override {
        Form1Test::SetUp();
        start();
        form_->show();
    }
    void write(const QString& name, const QByteArray& bytes) {
        ASSERT_TRUE(writeAll(QDir(data_.path()).filePath(name), bytes));
    }
    // Selects the file as a click does, once the folder is open on the filter.
    void showFile(int filter, const QString& name) {
        Form1& f = *form_;
        f.navigator().OpenFolder(data_.path());
        f.Combo1->setCurrentIndex(filter);
        for (int i = 0; i < f.File1->listCount(); ++i)
            if (f.File1->entry(i) == name) f.File1->setListIndex(i);
    }
};

// 2,000 full-size hatched rectangles, then a black square in the corner that
// only a whole drawing reaches.
QByteArray hatchedThenMarked() {
    QByteArray wmf = hatchedBomb(2000);
    WmfBuilder tail;
    tail.brush(0, colorRef(0, 0, 0)).select(1).rect(0, 0, 200, 200);
    QByteArray records = tail.build().mid(18);  // its records, without a header
    records.chop(6);                            // nor its end record
    wmf.insert(wmf.size() - 6, records);
    return wmf;
}

TEST_F(DrawingBombsTest, AMetafileBombShowsWhatWasDrawnAndTheWindowAnswersMeanwhile) {
    write(QStringLiteral("a-bomb.wmf"), hatchedThenMarked());
    write(QStringLiteral("b-small.wmf"), WmfBuilder::square(50).brush(0, colorRef(0, 200, 0)).select(0).rect(0, 0, 50, 50).build());
    Form1& f = *form_;

    // The user presses Down while the bomb is still being drawn: the next
    // file shows, and the bomb's drawing never reaches the pane.
    bool pressedWhileDrawing = false;
    QTimer::singleShot(0, &f, [&] {
        pressedWhileDrawing = f.panes().working();
        f.File1->setFocus();
        QTest::keyClick(f.File1, Qt::Key_Down);
    });
    showFile(kMetafileFilter, QStringLiteral("a-bomb.wmf"));
    QTRY_COMPARE(f.File1->fileName(), QStringLiteral("b-small.wmf"));
    QTRY_VERIFY(!f.panes().working());
    EXPECT_TRUE(pressedWhileDrawing);
    EXPECT_EQ(f.MP->picture().size(), QSize(50, 50));
    EXPECT_EQ(f.MP->picture().pixelColor(25, 25), QColor(0, 200, 0));

    // Left alone, it shows cut short: hatched all over, but the drawing
    // stopped before the black corner.
    showFile(kMetafileFilter, QStringLiteral("a-bomb.wmf"));
    QTRY_VERIFY(!f.panes().working());
    const QImage shown = f.MP->picture();
    ASSERT_EQ(shown.size(), QSize(8192, 4096));
    EXPECT_GT(inkIn(shown, QRect(4000, 2000, 100, 100)), 100);
    EXPECT_LT(inkIn(shown, QRect(50, 50, 100, 100), qRgb(255, 255, 255)) , 10000);
    EXPECT_NE(shown.pixelColor(100, 100), QColor(0, 0, 0));
}

TEST_F(DrawingBombsTest, RichTextWithCostlyPicturesShowsItsTextAndWhatTheBudgetDrew) {
    WmfBuilder b;
    b.placeable(0, 0, 2000, 1500, 96);
    b.record(0x020B, {0, 0});
    b.record(0x020C, {1500, 2000});
    b.brush(2, colorRef(200, 30, 30), 5).select(0);
    for (int i = 0; i < 2000; ++i) b.rect(0, 0, 2000, 1500);
    write(QStringLiteral("bomb.rtf"), rtfWithPictures(b.build(), 3));
    Form1& f = *form_;

    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ticks += f.panes().working(); });
    // Often enough to be seen during the reading, seldom enough to leave the
    // worker the cores.
    ticker.start(10);
    showFile(kRichTextFilter, QStringLiteral("bomb.rtf"));
    ticker.stop();
    EXPECT_GT(ticks, 0);  // the window's events ran while the text was read

    const QString text = f.RT->toPlainText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("before")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("after")));
    // Three such pictures fit the memory allowed, but the first spends the
    // work budget; the copies after it are left out instead of each being
    // drawn again.
    EXPECT_EQ(text.count(QChar(0xFFFC)), 1);
}

}  // namespace
}  // namespace orbet::test
