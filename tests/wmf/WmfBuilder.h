#pragma once

#include <initializer_list>

#include <QByteArray>
#include <QImage>
#include <QtEndian>

#include "display/wmf/WmfPlayer.h"

namespace orbet::test {

// Writes metafiles record by record for tests. Parameters are given in the
// order they appear in the record (for most records the reverse of the GDI
// call: a rectangle is bottom, right, top, left).
class WmfBuilder {
  public:
    // A placeable file whose bounding box is size x size logical units at 96
    // units per inch, so one logical unit is one pixel of the rendered image.
    static WmfBuilder square(int size = 100) {
        WmfBuilder b;
        b.placeable(0, 0, size, size, 96);
        b.record(0x020B, {0, 0});
        b.record(0x020C, {qint16(size), qint16(size)});
        return b;
    }

    WmfBuilder& placeable(int left, int top, int right, int bottom, int inch) {
        m_placeable.clear();
        put32(m_placeable, 0x9AC6CDD7);
        put16(m_placeable, 0);
        for (int v : {left, top, right, bottom, inch})
            put16(m_placeable, quint16(v));
        put32(m_placeable, 0);
        put16(m_placeable, 0);
        return *this;
    }

    WmfBuilder& record(quint16 function, std::initializer_list<int> words) {
        QByteArray params;
        for (int w : words)
            put16(params, quint16(w));
        return raw(function, params);
    }

    WmfBuilder& raw(quint16 function, QByteArray params) {
        if (params.size() % 2) params.append('\0');
        put32(m_records, quint32(3 + params.size() / 2));
        put16(m_records, function);
        m_records.append(params);
        return *this;
    }

    // Record bytes exactly as given, size field included.
    WmfBuilder& bytes(const QByteArray& b) {
        m_records.append(b);
        return *this;
    }

    WmfBuilder& pen(int style, int width, quint32 color) {
        return record(0x02FA, {style, width, 0, int(color & 0xFFFF), int(color >> 16)});
    }
    WmfBuilder& brush(int style, quint32 color, int hatch = 0) {
        return record(0x02FC, {style, int(color & 0xFFFF), int(color >> 16), hatch});
    }
    WmfBuilder& select(int index) { return record(0x012D, {index}); }
    WmfBuilder& remove(int index) { return record(0x01F0, {index}); }
    WmfBuilder& rect(int left, int top, int right, int bottom) {
        return record(0x041B, {bottom, right, top, left});
    }

    WmfBuilder& font(int height, int charset, const QByteArray& face, int weight = 400, int escapement = 0) {
        QByteArray p;
        for (int v : {height, 0, escapement, escapement, weight})
            put16(p, quint16(v));
        p.append(char(0)).append(char(0)).append(char(0)).append(char(charset));
        p.append(char(0)).append(char(0)).append(char(0)).append(char(0));
        QByteArray name = face.left(31);
        name.append(QByteArray(32 - name.size(), '\0'));
        return raw(0x02FB, p + name);
    }

    WmfBuilder& textOut(int x, int y, const QByteArray& text) {
        QByteArray p;
        put16(p, quint16(text.size()));
        p.append(text);
        if (text.size() % 2) p.append('\0');
        put16(p, quint16(y));
        put16(p, quint16(x));
        return raw(0x0521, p);
    }

    QByteArray build(int objects = 16) const {
        QByteArray out = m_placeable;
        QByteArray records = m_records;
        put32(records, 3);
        put16(records, 0);
        put16(out, 1);
        put16(out, 9);
        put16(out, 0x0300);
        put32(out, quint32((18 + records.size()) / 2));
        put16(out, quint16(objects));
        put32(out, 0);
        put16(out, 0);
        return out + records;
    }

    QImage render() const { return renderWmf(build()); }

    static void put16(QByteArray& b, quint16 v) {
        char raw[2];
        qToLittleEndian(v, raw);
        b.append(raw, 2);
    }
    static void put32(QByteArray& b, quint32 v) {
        char raw[4];
        qToLittleEndian(v, raw);
        b.append(raw, 4);
    }

  private:
    QByteArray m_placeable;
    QByteArray m_records;
};

// A bottom-up BITMAPINFOHEADER DIB of 24 bits a pixel from rows given top first.
inline QByteArray dib24(const QList<QList<QRgb>>& rowsTopFirst) {
    const int h = int(rowsTopFirst.size()), w = int(rowsTopFirst.first().size());
    QByteArray d;
    WmfBuilder::put32(d, 40);
    WmfBuilder::put32(d, quint32(w));
    WmfBuilder::put32(d, quint32(h));
    WmfBuilder::put16(d, 1);
    WmfBuilder::put16(d, 24);
    for (int i = 0; i < 6; ++i)
        WmfBuilder::put32(d, 0);
    for (int row = h - 1; row >= 0; --row) {
        QByteArray line;
        for (QRgb c : rowsTopFirst[row])
            line.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
        while (line.size() % 4)
            line.append('\0');
        d.append(line);
    }
    return d;
}

// Colour reference of an RGB colour: red in the low byte.
constexpr quint32 colorRef(int r, int g, int b) {
    return quint32(r) | quint32(g) << 8 | quint32(b) << 16;
}

// Colours compared channel by channel within a tolerance, since smoothing
// and antialiasing may move a channel by a few steps.
inline bool near(QRgb a, QRgb b, int tolerance = 12) {
    return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance &&
           qAbs(qBlue(a) - qBlue(b)) <= tolerance;
}

// Pixels in `area` that differ from `background`.
inline int inkIn(const QImage& image, const QRect& area, QRgb background = qRgb(255, 255, 255)) {
    int n = 0;
    const QRect r = area & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += !near(image.pixel(x, y), background, 40);
    return n;
}

} // namespace orbet::test
