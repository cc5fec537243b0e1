#include <cmath>

#include <QPainterPath>

#include <gtest/gtest.h>

#include "WmfBuilder.h"
#include "display/wmf/WmfFormat.h"
#include "display/wmf/WmfPlayback.h"
#include "display/wmf/WmfPlayer.h"
#include "display/wmf/WmfText.h"
#include "support/TestSupport.h"

namespace orbet {
namespace {

using test::colorRef;
using test::near;
using test::WmfBuilder;
namespace fn = wmf::fn;

const QRgb red = qRgb(255, 0, 0), white = qRgb(255, 255, 255);

// A red square drawn before whatever the case appends.
WmfBuilder redSquare() {
    WmfBuilder b = WmfBuilder::square(100);
    b.pen(5, 0, 0).select(0).brush(0, colorRef(255, 0, 0)).select(1).rect(10, 10, 40, 40);
    return b;
}

QByteArray sizeField(quint32 words, quint16 function) {
    QByteArray b;
    WmfBuilder::put32(b, words);
    WmfBuilder::put16(b, function);
    return b;
}

TEST(WmfRobustness, ImpossibleRecordSizesEndPlaybackKeepingWhatWasDrawn) {
    for (const quint32 words : {0u, 1u, 2u, 0x7FFFFFFFu, 0xFFFFFFFFu, 5000u}) {
        WmfBuilder b = redSquare();
        b.bytes(sizeField(words, fn::Rectangle) + QByteArray(8, '\0'));
        b.rect(60, 60, 90, 90);
        const QImage image = b.render();
        ASSERT_FALSE(image.isNull()) << words;
        EXPECT_TRUE(near(image.pixel(25, 25), red)) << words;
        EXPECT_TRUE(near(image.pixel(75, 75), white)) << words;
    }
}

TEST(WmfRobustness, JunkAfterTheEndRecordIsIgnored) {
    const QByteArray clean = redSquare().build();
    QByteArray junk = clean;
    for (int i = 0; i < 500; ++i)
        junk.append(char(i * 37));
    junk.append(redSquare().rect(0, 0, 100, 100).build());
    EXPECT_EQ(renderWmf(junk), renderWmf(clean));
}

TEST(WmfRobustness, EveryCutOfARealFileRendersOrIsRefused) {
    const QByteArray whole = test::readAll(test::testData(QStringLiteral("pictures/wmf/libwmf_fjftest.wmf")));
    ASSERT_FALSE(whole.isEmpty());
    for (qsizetype n = 0; n < whole.size(); n += 7) {
        const QByteArray cut = whole.left(n);
        const QImage image = renderWmf(cut);
        if (n < 40)
            EXPECT_TRUE(image.isNull()) << n;
        else
            EXPECT_EQ(image.size(), QSize(794, 1123)) << n;
    }
}

TEST(WmfRobustness, AbsurdCountsAreSkipped) {
    WmfBuilder b = redSquare();
    b.record(fn::Polygon, {30000, 0, 0, 100, 100});
    b.record(fn::Polyline, {-5, 0, 0});
    b.record(fn::PolyPolygon, {2, 65535, 65535, 0, 0, 100, 0});
    b.record(fn::PolyPolygon, {60000});
    b.raw(fn::CreatePalette, QByteArray("\x00\x03\xFF\xFF\x01\x02\x03\x00", 8));
    b.record(fn::TextOut, {32000, 0x4141});
    b.record(fn::ExtTextOut, {0, 0, 32000, 6, 0, 0, 10, 10});
    b.record(fn::ResizePalette, {65535});
    b.rect(60, 60, 90, 90);
    const QImage image = b.render();
    EXPECT_TRUE(near(image.pixel(25, 25), red));
    EXPECT_TRUE(near(image.pixel(75, 75), red));
    EXPECT_TRUE(near(image.pixel(50, 5), white));
}

QByteArray dibHeader(quint32 width, quint32 height, int bpp, quint32 compression, quint32 colours) {
    QByteArray h;
    for (quint32 v : {40u, width, height})
        WmfBuilder::put32(h, v);
    WmfBuilder::put16(h, 1);
    WmfBuilder::put16(h, quint16(bpp));
    for (quint32 v : {compression, 0u, 0u, 0u, colours, 0u})
        WmfBuilder::put32(h, v);
    return h;
}

TEST(WmfRobustness, BitmapsThatClaimMoreThanTheyHoldAreSkipped) {
    QByteArray params;
    for (int v : {0x0020, 0x00CC, 0, 100, 100, 0, 0, 100, 100, 0, 0})
        WmfBuilder::put16(params, quint16(v));
    WmfBuilder b = redSquare();
    b.raw(fn::StretchDib, params + dibHeader(30000, 30000, 24, 0, 0) + QByteArray(64, '\x7F'));
    b.raw(fn::StretchDib, params + dibHeader(100, 100, 24, 0, 0) + QByteArray(100 * 300 - 2, '\x7F'));
    // Run-length data may unpack far beyond its size, but not without limit:
    // sixteen million pixels from four bytes are refused.
    const QByteArray palette("\x00\x00\x00\x00", 4);
    b.raw(fn::StretchDib,
          params + dibHeader(4000, 4000, 8, 1, 1) + palette + QByteArray("\xFF\x00\x00\x01", 4));
    b.raw(fn::StretchDib, params + dibHeader(100, 100, 8, 1, 0xFFFFFFFF) + QByteArray(64, '\0'));
    const QImage image = b.render();
    EXPECT_TRUE(near(image.pixel(25, 25), red));
    EXPECT_TRUE(near(image.pixel(75, 75), white));
}

TEST(WmfRobustness, ExtentsAreCappedAndZeroExtentsRefused) {
    // 32767 units at one unit an inch would be three million pixels a side.
    WmfBuilder huge;
    huge.placeable(-32768, -32768, 32767, 100, 1);
    huge.rect(0, 0, 10, 10);
    const auto info = readWmfInfo(huge.build());
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->capped);
    EXPECT_LE(info->size.width(), kMaxPictureSide);
    EXPECT_LE(qint64(info->size.width()) * info->size.height(), kMaxPicturePixels);
    EXPECT_GE(info->size.height(), 1);

    // A zero bounding box falls back to the window; a zero window extent is
    // refused, so the first usable one sizes the picture.
    WmfBuilder zero;
    zero.placeable(0, 0, 0, 0, 1440);
    zero.record(fn::SetWindowExt, {0, 0}).record(fn::SetWindowExt, {-50, 80});
    zero.rect(0, 0, 10, 10);
    const auto fallback = readWmfInfo(zero.build());
    ASSERT_TRUE(fallback);
    EXPECT_EQ(fallback->size, QSize(80, 50));

    WmfBuilder nothing;
    nothing.placeable(5, 5, 5, 5, 0);
    QString error;
    EXPECT_FALSE(readWmfInfo(nothing.build(), &error));
    EXPECT_FALSE(error.isEmpty());

    // Mapping records that would scale by a billion do not break the render.
    WmfBuilder scaled = redSquare();
    for (int i = 0; i < 8; ++i)
        scaled.record(fn::ScaleViewportExt, {1, 32767, 1, 32767});
    scaled.record(fn::SetWindowExt, {1, 1}).rect(0, 0, 30000, 30000);
    EXPECT_FALSE(scaled.render().isNull());
}

TEST(WmfRobustness, HostileStateRecordsAreBounded) {
    WmfBuilder b = redSquare();
    for (int i = 0; i < 20000; ++i)
        b.record(fn::SaveDC, {});
    for (int i = 0; i < 2000; ++i)
        b.record(fn::ExcludeClipRect, {i % 90 + 2, i % 90 + 2, i % 90, i % 90});
    for (int i = 0; i < 2000; ++i)
        b.brush(0, 0);
    for (int i = 0; i < 2000; ++i)
        b.remove(3).brush(0, 0);
    b.font(-32768, wmf::ShiftJisCharset, "x").select(2002).textOut(0, 50, "\x82\xA0\x82\xA0");
    b.font(32767, 0, QByteArray(40, 'A'), 1000, 3000).select(2003).textOut(0, 50, "Ag");
    b.record(fn::RestoreDC, {-30000}).record(fn::RestoreDC, {1});
    const QImage image = b.render();
    EXPECT_FALSE(image.isNull());
    EXPECT_TRUE(near(image.pixel(25, 25), red));
}

QPolygonF scattered(int count, double from, double to) {
    QPolygonF points;
    quint32 seed = 12345;
    const auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return from + (to - from) * ((seed >> 8) % 10000) / 10000.0;
    };
    for (int i = 0; i < count; ++i)
        points.append(QPointF(next(), next()));
    return points;
}

TEST(WmfRobustness, PathsOfManyLongEdgesAreDrawnAliased) {
    const QRectF target(0, 0, 3000, 3000);
    QPainterPath hostile;
    hostile.addPolygon(scattered(300, -4500, 7500));
    EXPECT_FALSE(wmf::antialiasingAffordable(hostile, target));
    // What drawings hold: big simple shapes, long outlines of short edges.
    QPainterPath shapes;
    shapes.addEllipse(target);
    shapes.addRect(target.adjusted(10, 10, -10, -10));
    EXPECT_TRUE(wmf::antialiasingAffordable(shapes, target));
    QPolygonF walk;
    for (int i = 0; i < 20000; ++i) {
        const double t = i * 2 * M_PI / 20000, r = 1000 + 100 * std::sin(i / 7.0);
        walk.append(QPointF(1500 + r * std::cos(t), 1500 + r * std::sin(t)));
    }
    QPainterPath outline;
    outline.addPolygon(walk);
    EXPECT_TRUE(wmf::antialiasingAffordable(outline, target));

    // And such a polygon still renders.
    WmfBuilder b;
    b.placeable(0, 0, 3000, 3000, 96);
    b.brush(0, colorRef(255, 0, 0)).select(0).record(fn::SetPolyFillMode, {2});
    QByteArray points;
    WmfBuilder::put16(points, 300);
    for (const QPointF& p : scattered(300, -4500, 7500)) {
        WmfBuilder::put16(points, quint16(qint16(p.x())));
        WmfBuilder::put16(points, quint16(qint16(p.y())));
    }
    b.raw(fn::Polygon, points);
    EXPECT_GT(test::inkIn(b.render(), QRect(0, 0, 3000, 3000)), 100000);
}

TEST(WmfRobustness, GarbageIsNotAMetafile) {
    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919) >> 3);
    EXPECT_FALSE(isWmf(noise));
    EXPECT_TRUE(renderWmf(noise).isNull());
    EXPECT_FALSE(isWmf(QByteArray()));
    EXPECT_FALSE(isWmf(QByteArray("\xD7\xCD\xC6\x9A", 4)));
    QString error;
    EXPECT_TRUE(renderWmf(QByteArray(17, '\x01'), Qt::white, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
} // namespace orbet
