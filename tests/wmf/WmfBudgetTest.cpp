#include <atomic>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "display/wmf/WmfPlayer.h"
#include "support/TestSupport.h"
#include "wmf/WmfBombs.h"
#include "wmf/WmfBuilder.h"

namespace orbet {
namespace {

using test::colorRef;
using test::inkIn;
using test::WmfBuilder;

// Four squares side by side on a 400 x 100 picture, each a record.
QByteArray fourSquares() {
    WmfBuilder b;
    b.placeable(0, 0, 400, 100, 96);
    b.record(0x020B, {0, 0});
    b.record(0x020C, {100, 400});
    b.brush(0, colorRef(0, 0, 0)).select(0);
    for (int i = 0; i < 4; ++i)
        b.rect(i * 100, 0, i * 100 + 100, 100);
    return b.build();
}

int squaresDrawn(const QImage& image) {
    int n = 0;
    for (int i = 0; i < 4; ++i)
        n += inkIn(image, QRect(i * 100 + 40, 40, 20, 20)) == 400;
    return n;
}

TEST(WmfBudget, DrawingStopsWhereThePixelsRunOutAndSaysSo) {
    const QByteArray wmf = fourSquares();
    WmfBudget whole;
    EXPECT_EQ(squaresDrawn(renderWmf(wmf, Qt::white, nullptr, &whole)), 4);
    EXPECT_FALSE(whole.cutShort);

    // Each square covers 10,000 pixels: room for two and a half.
    WmfBudget pixels;
    pixels.pixels = 26000;
    const QImage cut = renderWmf(wmf, Qt::white, nullptr, &pixels);
    EXPECT_EQ(squaresDrawn(cut), 2);
    EXPECT_TRUE(inkIn(cut, QRect(300, 0, 100, 100)) == 0);
    EXPECT_TRUE(pixels.cutShort);

    // The same budget across two pictures: what the first spent, the second
    // does not get.
    WmfBudget shared;
    shared.pixels = 55000;
    EXPECT_EQ(squaresDrawn(renderWmf(wmf, Qt::white, nullptr, &shared)), 4);
    EXPECT_FALSE(shared.cutShort);
    EXPECT_EQ(squaresDrawn(renderWmf(wmf, Qt::white, nullptr, &shared)), 1);
    EXPECT_TRUE(shared.cutShort);
}

TEST(WmfBudget, StepsRunOutOnRecordsAndACancelStopsAtTheNext) {
    const QByteArray wmf = fourSquares();
    // Window and brush records cost a step each, every drawing more.
    WmfBudget steps;
    steps.steps = 4 + 3 * 10;
    EXPECT_LT(squaresDrawn(renderWmf(wmf, Qt::white, nullptr, &steps)), 4);
    EXPECT_TRUE(steps.cutShort);

    std::atomic<bool> cancel{true};
    WmfBudget cancelled;
    cancelled.cancel = &cancel;
    const QImage none = renderWmf(wmf, Qt::white, nullptr, &cancelled);
    EXPECT_EQ(none.size(), QSize(400, 100));
    EXPECT_EQ(squaresDrawn(none), 0);
    EXPECT_TRUE(cancelled.cutShort);
}

TEST(WmfBudget, EveryRealMetafileDrawsWholeWithinTheDefaultBudget) {
    const QDir dir(test::testData(QStringLiteral("pictures/wmf")));
    int files = 0;
    for (const QString& name :
         dir.entryList({QStringLiteral("*.wmf"), QStringLiteral("*.WMF")}, QDir::Files)) {
        WmfBudget budget;
        renderWmf(test::readAll(dir.filePath(name)), Qt::white, nullptr, &budget);
        EXPECT_FALSE(budget.cutShort) << name.toStdString();
        ++files;
    }
    EXPECT_GT(files, 5);
    // While the hostile files are cut short.
    for (const QByteArray& bomb : {test::hatchedBomb(500), test::polygonBomb(200), test::lineBomb(40000)}) {
        WmfBudget budget;
        renderWmf(bomb, Qt::white, nullptr, &budget);
        EXPECT_TRUE(budget.cutShort);
    }
}

TEST(WmfBudget, TheRichTextDecoderRefusesByNaturalSizeBeforeDrawing) {
    const QByteArray wmf = fourSquares().mid(22); // standard, as RTF holds it
    WmfBudget budget;
    const auto decode = metafileDecoder(&budget);
    qint64 claimed = 0;
    EXPECT_TRUE(decode(wmf, 400 * 100 * 4 - 1, &claimed).isNull());
    EXPECT_EQ(claimed, 400 * 100 * 4);
    EXPECT_EQ(budget.pixels, WmfBudget::kPixels); // nothing drawn
    EXPECT_EQ(decode(wmf, 400 * 100 * 4, &claimed).size(), QSize(400, 100));
    EXPECT_LT(budget.pixels, WmfBudget::kPixels);
    // Once the budget is spent, the next picture is not drawn at all.
    budget.cutShort = true;
    EXPECT_TRUE(decode(wmf, 1 << 30, &claimed).isNull());
    EXPECT_EQ(claimed, 400 * 100 * 4);
}

} // namespace
} // namespace orbet
