#pragma once

#include <QByteArray>

#include "wmf/WmfBuilder.h"

// Small metafiles that cost the painter far more than their size: the worst
// cases of each kind of record, for the tests and the benchmarks.
namespace orbet::test {

// An 8192 x 4096 picture painted over by `count` full-size rectangles with a
// hatched brush, 14 bytes each.
inline QByteArray hatchedBomb(int count) {
    WmfBuilder b;
    b.placeable(0, 0, 8192, 4096, 96);
    b.record(0x020B, {0, 0});
    b.record(0x020C, {4096, 8192});
    b.brush(2, colorRef(200, 30, 30), 5).select(0);
    for (int i = 0; i < count; ++i)
        b.rect(0, 0, 8192, 4096);
    return b.build();
}

// A 4000 x 4000 picture crossed by `count` short lines, 14 bytes each
// with the move.
inline QByteArray lineBomb(int count) {
    WmfBuilder b = WmfBuilder::square(4000);
    b.pen(0, 1, colorRef(0, 0, 0)).select(0);
    for (int i = 0; i < count; ++i) {
        const int x = (i * 37) % 4000, y = (i * 91) % 4000;
        b.record(0x0214, {y, x});         // MoveTo
        b.record(0x0213, {y + 3, x + 3}); // LineTo
    }
    return b.build();
}

// Text drawn with a font made, chosen and deleted again for every line, so
// every record realises a font.
inline QByteArray textBomb(int count) {
    WmfBuilder b = WmfBuilder::square(4000);
    for (int i = 0; i < count; ++i) {
        b.font(-(12 + i % 40), 0, i % 2 ? "DejaVu Sans" : "DejaVu Serif", 400, (i % 36) * 100).select(0);
        b.textOut((i * 53) % 4000, (i * 17) % 4000, "The quick brown fox jumps");
        b.remove(0);
    }
    return b.build();
}

// Polygons of 200 vertices each scattered over three times the picture: many
// long edges cross every scan line.
inline QByteArray polygonBomb(int count) {
    WmfBuilder b = WmfBuilder::square(4000);
    b.brush(0, colorRef(0, 0, 255)).select(0);
    quint32 seed = 12345;
    for (int n = 0; n < count; ++n) {
        QByteArray p;
        WmfBuilder::put16(p, 200);
        for (int i = 0; i < 400; ++i) {
            seed = seed * 1103515245u + 12345u;
            WmfBuilder::put16(p, quint16(int((seed >> 8) % 12000) - 4000));
        }
        b.raw(0x0324, p);
    }
    return b.build();
}

// A rich text document holding `copies` of a metafile picture.
inline QByteArray rtfWithPictures(const QByteArray& wmf, int copies) {
    // The RTF picture is a standard metafile: the placeable header goes.
    const QByteArray standard = wmf.startsWith(QByteArray("\xd7\xcd\xc6\x9a", 4)) ? wmf.mid(22) : wmf;
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 before\\par ";
    for (int i = 0; i < copies; ++i)
        rtf += "{\\pict\\wmetafile8\\picw216740\\pich108370 " + standard.toHex() + "}\\par ";
    return rtf + "after}";
}

} // namespace orbet::test
