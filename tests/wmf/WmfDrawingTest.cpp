#include <gtest/gtest.h>

#include "WmfBuilder.h"
#include "display/wmf/WmfFormat.h"
#include "display/wmf/WmfPlayer.h"

namespace orbet {
namespace {

using test::colorRef;
using test::near;
using test::WmfBuilder;
namespace fn = wmf::fn;

const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255);
const QRgb yellow = qRgb(255, 255, 0), white = qRgb(255, 255, 255), black = qRgb(0, 0, 0);

// A 100 x 100 picture, one logical unit to a pixel, with a null pen selected
// so that filled shapes show only their brush.
WmfBuilder canvas() {
    WmfBuilder b = WmfBuilder::square(100);
    b.pen(5, 0, 0).select(0);
    return b;
}

TEST(WmfObjectTable, NewObjectsTakeTheLowestFreeIndex) {
    WmfBuilder b = canvas();         // pen at 0
    b.brush(0, colorRef(255, 0, 0)); // 1
    b.brush(0, colorRef(0, 255, 0)); // 2
    b.brush(0, colorRef(0, 0, 255)); // 3
    b.remove(2);
    b.brush(0, colorRef(255, 255, 0)); // takes 2 again
    b.select(2).rect(0, 0, 50, 50);
    b.select(3).rect(50, 0, 100, 50);
    b.remove(1).remove(0);
    b.brush(0, colorRef(0, 255, 0)); // takes 0
    b.select(0).rect(0, 50, 50, 100);
    const QImage image = b.render();
    EXPECT_TRUE(near(image.pixel(25, 25), yellow));
    EXPECT_TRUE(near(image.pixel(75, 25), blue));
    EXPECT_TRUE(near(image.pixel(25, 75), green));
}

TEST(WmfObjectTable, MissingAndDeletedIndicesChangeNothing) {
    WmfBuilder b = canvas();
    b.brush(0, colorRef(255, 0, 0)).select(1);
    b.brush(0, colorRef(0, 0, 255)).remove(2);
    b.select(2).select(60000).select(-1).remove(60000).remove(7);
    b.rect(0, 0, 100, 100);
    // Deleting the selected brush frees its index but not the selection.
    b.remove(1).rect(0, 0, 50, 50);
    const QImage image = b.render();
    EXPECT_TRUE(near(image.pixel(75, 75), red));
    EXPECT_TRUE(near(image.pixel(25, 25), red));
}

TEST(WmfObjectTable, FilesMayCreateMoreObjectsThanTheyDeclare) {
    WmfBuilder b = canvas();
    for (int i = 0; i < 40; ++i)
        b.brush(0, colorRef(0, 0, i));
    b.brush(0, colorRef(0, 255, 0)).select(41).rect(0, 0, 100, 100);
    EXPECT_TRUE(near(renderWmf(b.build(4)).pixel(50, 50), green));
}

TEST(WmfDcState, RestoreGoesBackRelativeOrAbsolute) {
    WmfBuilder b = canvas();
    b.brush(0, colorRef(255, 0, 0)).brush(0, colorRef(0, 255, 0)).brush(0, colorRef(0, 0, 255));
    b.select(1).record(fn::SaveDC, {});               // level 1: red
    b.select(2).record(fn::SaveDC, {});               // level 2: green
    b.select(3).record(fn::SaveDC, {});               // level 3: blue
    b.record(fn::RestoreDC, {-2}).rect(0, 0, 50, 50); // green, depth now 1
    b.record(fn::RestoreDC, {0}).record(fn::RestoreDC, {-5}).record(fn::RestoreDC, {3});
    b.rect(50, 0, 100, 50);                                      // still green: those are refused
    b.select(3).record(fn::RestoreDC, {1}).rect(0, 50, 50, 100); // red
    b.record(fn::RestoreDC, {-1}).rect(50, 50, 100, 100);        // nothing left: red stays
    const QImage image = b.render();
    EXPECT_TRUE(near(image.pixel(25, 25), green));
    EXPECT_TRUE(near(image.pixel(75, 25), green));
    EXPECT_TRUE(near(image.pixel(25, 75), red));
    EXPECT_TRUE(near(image.pixel(75, 75), red));
}

TEST(WmfDcState, RestoreBringsBackClipAndMapping) {
    WmfBuilder b = canvas();
    b.brush(0, colorRef(0, 0, 255)).select(1);
    b.record(fn::SaveDC, {});
    b.record(fn::IntersectClipRect, {10, 10, 0, 0});
    b.record(fn::SetWindowExt, {1000, 1000});
    b.record(fn::RestoreDC, {-1});
    b.rect(20, 20, 80, 80);
    const QImage image = b.render();
    EXPECT_TRUE(near(image.pixel(50, 50), blue));
    EXPECT_TRUE(near(image.pixel(5, 5), white));
}

TEST(WmfMapping, WindowAndViewportPlaceTheDrawing) {
    WmfBuilder b = canvas();
    b.brush(0, colorRef(255, 0, 0)).select(1);
    b.record(fn::SetWindowExt, {200, 200});  // two units a pixel
    b.rect(100, 100, 200, 200);              // bottom-right quarter
    b.record(fn::SetWindowOrg, {0, -100});   // x shifts by 100 units = 50 px
    b.record(fn::SetWindowExt, {-200, 200}); // y now runs upwards from the top edge
    b.brush(0, colorRef(0, 0, 255)).select(2).rect(0, -20, 20, -40);
    const QImage image = b.render();
    EXPECT_TRUE(near(image.pixel(75, 75), red));
    EXPECT_TRUE(near(image.pixel(25, 75), white));
    EXPECT_TRUE(near(image.pixel(55, 15), blue));
}

TEST(WmfMapping, ViewportOffsetsAndIsotropicScaling) {
    WmfBuilder b = canvas();
    b.brush(0, colorRef(0, 255, 0)).select(1);
    b.record(fn::OffsetViewportOrg, {50, 50}).rect(0, 0, 10, 10);
    b.record(fn::SetViewportOrg, {0, 0});
    b.record(fn::SetMapMode, {7});          // isotropic: the smaller scale wins
    b.record(fn::SetWindowExt, {100, 200}); // x: 0.5 px a unit, y: 1 px a unit
    b.brush(0, colorRef(0, 0, 255)).select(2).rect(0, 0, 40, 40);
    b.record(fn::ScaleWindowExt, {0, 1, 1, 1}); // zero denominator: refused
    b.record(fn::SetMapMode, {1});              // text mode: one unit a device unit
    b.brush(0, colorRef(255, 0, 0)).select(3).rect(80, 80, 90, 90);
    const QImage image = b.render();
    EXPECT_TRUE(near(image.pixel(55, 55), green));
    EXPECT_TRUE(near(image.pixel(10, 10), blue));
    EXPECT_TRUE(near(image.pixel(10, 30), white));
    EXPECT_TRUE(near(image.pixel(85, 85), red));
}

TEST(WmfClipping, IntersectAndExcludeRectangles) {
    WmfBuilder b = canvas();
    b.brush(0, colorRef(255, 0, 0)).select(1);
    b.record(fn::IntersectClipRect, {60, 60, 0, 0});
    b.record(fn::ExcludeClipRect, {30, 30, 10, 10});
    b.rect(0, 0, 100, 100);
    const QImage image = b.render();
    EXPECT_TRUE(near(image.pixel(50, 50), red));
    EXPECT_TRUE(near(image.pixel(20, 20), white));
    EXPECT_TRUE(near(image.pixel(70, 70), white));
}

TEST(WmfClipping, RegionsFillFrameAndClip) {
    // One scan from y 20 to 40 with two spans: 10..30 and 60..90.
    QByteArray region;
    for (int v : {0, 6, 0, 0, 0, 1, 0, 10, 20, 90, 40, 4, 20, 40, 10, 30, 60, 90, 4})
        WmfBuilder::put16(region, quint16(v));
    WmfBuilder b = canvas();
    b.raw(fn::CreateRegion, region); // 1
    b.brush(0, colorRef(0, 0, 255)); // 2
    b.record(fn::FillRegion, {1, 2});
    b.brush(0, colorRef(255, 0, 0)).select(3);
    b.record(fn::SelectClipRegion, {1});
    b.record(fn::OffsetClipRgn, {40, 0}); // now y 60..80
    b.rect(0, 0, 100, 100);
    const QImage image = b.render();
    EXPECT_TRUE(near(image.pixel(20, 30), blue));
    EXPECT_TRUE(near(image.pixel(45, 30), white));
    EXPECT_TRUE(near(image.pixel(75, 70), red));
    EXPECT_TRUE(near(image.pixel(45, 70), white));
    EXPECT_TRUE(near(image.pixel(20, 90), white));
}

TEST(WmfRasterOps, DrawModesCombineWithThePicture) {
    WmfBuilder b = canvas();
    b.brush(0, colorRef(0, 0, 0)).select(1).rect(0, 0, 100, 50);
    b.brush(0, colorRef(255, 0, 0)).select(2);
    b.record(fn::SetRop2, {6}).rect(0, 0, 20, 100);    // not: black -> white, white -> black
    b.record(fn::SetRop2, {7}).rect(40, 0, 60, 100);   // xor red: black -> red, white -> cyan
    b.record(fn::SetRop2, {11}).rect(80, 0, 100, 100); // no-op
    const QImage image = b.render();
    EXPECT_TRUE(near(image.pixel(10, 25), white));
    EXPECT_TRUE(near(image.pixel(10, 75), black));
    EXPECT_TRUE(near(image.pixel(50, 25), red));
    EXPECT_TRUE(near(image.pixel(50, 75), qRgb(0, 255, 255)));
    EXPECT_TRUE(near(image.pixel(90, 25), black));
    EXPECT_TRUE(near(image.pixel(90, 75), white));
}

TEST(WmfShapes, FillModesHatchesAndPens) {
    WmfBuilder b = canvas();
    b.brush(0, colorRef(0, 0, 255)).select(1);
    // A pentagram; its centre is inside by winding but outside by alternation.
    const std::initializer_list<int> star = {5, 25, 2, 38, 42, 3, 17, 47, 17, 12, 42};
    b.record(fn::SetPolyFillMode, {1}).record(fn::Polygon, star);
    b.record(fn::SetWindowOrg, {0, -50});
    b.record(fn::SetPolyFillMode, {2}).record(fn::Polygon, star);
    b.record(fn::SetWindowOrg, {0, 0});
    b.brush(2, colorRef(255, 0, 0), 1).select(2); // vertical hatch, opaque white background
    b.record(fn::SetBkColor, {int(colorRef(0, 255, 0) & 0xFFFF), 0});
    b.rect(0, 50, 50, 100);
    b.pen(0, 6, colorRef(255, 0, 0)).select(3);
    b.brush(1, 0).select(4).rect(60, 60, 90, 90); // hollow: only the outline
    const QImage image = b.render();
    EXPECT_TRUE(near(image.pixel(25, 22), white));
    EXPECT_TRUE(near(image.pixel(75, 22), blue));
    int hatch = 0, background = 0;
    for (int x = 2; x < 48; ++x) {
        hatch += near(image.pixel(x, 75), red);
        background += near(image.pixel(x, 75), green);
    }
    EXPECT_GT(hatch, 3);
    EXPECT_GT(background, 20);
    EXPECT_TRUE(near(image.pixel(75, 75), white));
    EXPECT_TRUE(near(image.pixel(75, 60), red));
}

TEST(WmfShapes, ArcsChordsAndPiesFollowTheirRadials) {
    WmfBuilder b = canvas();
    b.brush(0, colorRef(0, 0, 255)).select(1);
    // Pie over the ellipse (0,0)-(100,100) from the right radial to the top
    // one: counter-clockwise, so the upper right quarter.
    b.record(fn::Pie, {0, 50, 50, 100, 100, 100, 0, 0});
    b.brush(0, colorRef(255, 0, 0)).select(2);
    // Chord from the left radial to the right one: the lower half.
    b.record(fn::Chord, {50, 100, 50, 0, 100, 100, 0, 0});
    const QImage image = b.render();
    EXPECT_TRUE(near(image.pixel(70, 30), blue));
    EXPECT_TRUE(near(image.pixel(30, 30), white));
    EXPECT_TRUE(near(image.pixel(50, 80), red));
}

TEST(WmfBitmaps, StretchedDibsKeepTheirOrientation) {
    const QByteArray dib = test::dib24({{red, green}, {blue, yellow}});
    QByteArray p;
    for (int v : {0x0020, 0x00CC, 0, 2, 2, 0, 0, 100, 100, 0, 0})
        WmfBuilder::put16(p, quint16(v));
    WmfBuilder b = canvas();
    b.raw(fn::StretchDib, p + dib);
    const QImage image = b.render();
    EXPECT_TRUE(near(image.pixel(20, 20), red));
    EXPECT_TRUE(near(image.pixel(80, 20), green));
    EXPECT_TRUE(near(image.pixel(20, 80), blue));
    EXPECT_TRUE(near(image.pixel(80, 80), yellow));

    // A negative destination width mirrors the bitmap.
    QByteArray mirrored;
    for (int v : {0x0020, 0x00CC, 0, 2, 2, 0, 0, 100, -100, 0, 100})
        WmfBuilder::put16(mirrored, quint16(v));
    WmfBuilder m = canvas();
    m.raw(fn::StretchDib, mirrored + dib);
    EXPECT_TRUE(near(m.render().pixel(20, 20), green));
}

TEST(WmfBitmaps, BlitsWithoutABitmapFillByTheirOperation) {
    WmfBuilder b = canvas();
    b.brush(0, colorRef(0, 0, 255)).select(1);
    b.record(fn::DibBitBlt, {0x0042, 0x0000, 0, 0, 0, 50, 50, 0, 0});            // blackness
    b.record(fn::DibBitBlt, {0x0021, 0x00F0, 0, 0, 0, 50, 50, 0, 50});           // pattern copy
    b.record(fn::DibStretchBlt, {0x0009, 0x0055, 0, 0, 0, 0, 0, 100, 25, 0, 0}); // invert
    b.record(fn::PatBlt, {0x0021, 0x00F0, 50, 50, 50, 50});                      // pattern copy
    const QImage image = b.render();
    EXPECT_TRUE(near(image.pixel(35, 25), black));
    EXPECT_TRUE(near(image.pixel(10, 25), white));
    EXPECT_TRUE(near(image.pixel(75, 25), blue));
    EXPECT_TRUE(near(image.pixel(10, 75), black));
    EXPECT_TRUE(near(image.pixel(75, 75), blue));
}

TEST(WmfColours, PaletteIndicesUseTheSelectedPalette) {
    QByteArray palette;
    for (int v : {0x0300, 2})
        WmfBuilder::put16(palette, quint16(v));
    palette.append("\x00\x00\xFF\x00\x00\xFF\x00\x00", 8); // blue, green (red, green, blue, flags)
    WmfBuilder b = canvas();
    b.raw(fn::CreatePalette, palette); // 1
    b.record(fn::SelectPalette, {1});
    b.brush(0, 0x01000001).select(2).rect(0, 0, 50, 100);
    b.brush(0, 0x01000007).select(3).rect(50, 0, 100, 100); // past the end: black
    const QImage image = b.render();
    EXPECT_TRUE(near(image.pixel(25, 50), green));
    EXPECT_TRUE(near(image.pixel(75, 50), black));
}

} // namespace
} // namespace orbet
