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

// More one-pixel rectangles than the work budget pays for, then a black
// square in the corner that only a whole drawing reaches.
QByteArray manyRecordsThenMarked() {
    WmfBuilder b;
    b.placeable(0, 0, 400, 300, 96);
    b.record(0x020B, {0, 0});
    b.record(0x020C, {300, 400});
    b.brush(0, colorRef(200, 30, 30)).select(0);
    for (int i = 0; i < 60000; ++i) {
        const int x = 100 + i % 300, y = i / 300 % 300;
        b.rect(x, y, x + 1, y + 1);
    }
    b.brush(0, colorRef(0, 0, 0)).select(1).rect(0, 0, 50, 50);
    return b.build();
}

TEST_F(DrawingBombsTest, AMetafileBombShowsWhatWasDrawnAndTheWindowAnswersMeanwhile) {
    Form1& f = *form_;
    f.Combo1->setCurrentIndex(kMetafileFilter);
    write(QStringLiteral("a-small.wmf"),
          WmfBuilder::square(50).brush(0, colorRef(0, 200, 0)).select(0).rect(0, 0, 50, 50).build());
    write(QStringLiteral("b-bomb.wmf"), hatchedBomb(2000));
    write(QStringLiteral("c-cut.wmf"), manyRecordsThenMarked());
    f.navigator().OpenFolder(data_.path());
    ASSERT_EQ(f.File1->fileName(), QStringLiteral("a-small.wmf"));

    // The user picks the bomb, then, while it is still being drawn, the
    // file before it: that file shows, and the bomb's drawing never reaches
    // the pane.
    bool pickedWhileDrawing = false;
    QTimer::singleShot(0, &f, [&] {
        pickedWhileDrawing = f.panes().working();
        f.File1->setListIndex(0);
    });
    f.File1->setListIndex(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.panes().working(); }, 60000));
    EXPECT_EQ(f.File1->fileName(), QStringLiteral("a-small.wmf"));
    EXPECT_TRUE(pickedWhileDrawing);
    EXPECT_EQ(f.MP->picture().size(), QSize(50, 50));
    EXPECT_EQ(f.MP->picture().pixelColor(25, 25), QColor(0, 200, 0));

    // Left alone, a bomb shows cut short: what the budget paid for, but not
    // the black corner after it.
    for (int i = 0; i < f.File1->listCount(); ++i)
        if (f.File1->entry(i) == QStringLiteral("c-cut.wmf")) f.File1->setListIndex(i);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.panes().working(); }, 60000));
    const QImage shown = f.MP->picture();
    ASSERT_EQ(shown.size(), QSize(400, 300));
    EXPECT_GT(inkIn(shown, QRect(100, 0, 300, 300)), 1000);
    EXPECT_EQ(inkIn(shown, QRect(0, 0, 50, 50)), 0);
}

TEST_F(DrawingBombsTest, RichTextWithCostlyPicturesShowsItsTextAndWhatTheBudgetDrew) {
    // 60,000 records, each a rectangle of one pixel: cheap in pixels, but
    // more records than the work budget pays for.
    WmfBuilder b;
    b.placeable(0, 0, 400, 300, 96);
    b.record(0x020B, {0, 0});
    b.record(0x020C, {300, 400});
    b.brush(0, colorRef(200, 30, 30)).select(0);
    for (int i = 0; i < 60000; ++i)
        b.rect(i % 400, i % 300, i % 400 + 1, i % 300 + 1);
    write(QStringLiteral("b-bomb.rtf"), rtfWithPictures(b.build(), 3));
    // The folder opens on this one, so only the bomb's own show reads the bomb.
    write(QStringLiteral("a-plain.rtf"), "{\\rtf1 plain}");
    Form1& f = *form_;

    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ticks += f.panes().working(); });
    // Often enough to be seen during the reading, seldom enough to leave the
    // worker the cores.
    ticker.start(10);
    showFile(kRichTextFilter, QStringLiteral("b-bomb.rtf"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.panes().working(); }, 60000));
    ticker.stop();
    EXPECT_GT(ticks, 0); // the window's events ran while the text was read

    const QString text = f.RT->toPlainText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("before")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("after")));
    // The first picture spends the work budget; the copies after it are left
    // out instead of each being drawn again.
    EXPECT_EQ(text.count(QChar(0xFFFC)), 1);
}

} // namespace
} // namespace orbet::test
