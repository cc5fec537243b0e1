#include <algorithm>
#include <cmath>

#include "display/wmf/WmfDib.h"
#include "display/wmf/WmfPlayback.h"

namespace orbet::wmf {

namespace {

enum TernaryRop : quint32 {
    SrcCopy = 0x00CC0020,
    SrcPaint = 0x00EE0086,
    SrcAnd = 0x008800C6,
    SrcInvert = 0x00660046,
    SrcErase = 0x00440328,
    NotSrcCopy = 0x00330008,
    NotSrcErase = 0x001100A6,
    MergePaint = 0x00BB0226,
    PatCopy = 0x00F00021,
    PatInvert = 0x005A0049,
    DstInvert = 0x00550009,
    Blackness = 0x00000042,
    Whiteness = 0x00FF0062,
};

constexpr int kHalftone = 4;

// The ternary operation's truth table is its third byte, indexed by pattern
// (0xF0), source (0xCC) and destination (0xAA) bits.
bool usesSource(quint32 rop) {
    const quint32 table = (rop >> 16) & 0xFF;
    return ((table >> 2) & 0x33) != (table & 0x33);
}

QPainter::CompositionMode blitComposition(quint32 rop) {
    switch (rop) {
    case SrcPaint:
        return QPainter::RasterOp_SourceOrDestination;
    case SrcAnd:
        return QPainter::RasterOp_SourceAndDestination;
    case SrcInvert:
        return QPainter::RasterOp_SourceXorDestination;
    case SrcErase:
        return QPainter::RasterOp_SourceAndNotDestination;
    case NotSrcCopy:
        return QPainter::RasterOp_NotSource;
    case NotSrcErase:
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case MergePaint:
        return QPainter::RasterOp_NotSourceOrDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

bool dibIsBottomUp(const Params& dib) {
    const quint32 headerSize = dib.u32(0);
    return headerSize == 12 || qint32(dib.u32(4)) > 0;
}

} // namespace

void Playback::bitmapRecord(const Params& p, quint16 function) {
    // Records without a bitmap have exactly as many parameter words as the
    // high byte of their function number says; they fill with the brush.
    const bool noBitmap =
        p.words() == qsizetype(function >> 8) && function != fn::StretchDib && function != fn::SetDibToDev;
    if (noBitmap) {
        const bool stretch = function == fn::DibStretchBlt || function == fn::StretchBlt;
        const qsizetype d = stretch ? 7 : 5;
        if (!p.hasWords(d + 4)) return;
        fillWithRop(mapRect(p.i16(d + 3), p.i16(d + 2), p.i16(d + 3) + p.i16(d + 1), p.i16(d + 2) + p.i16(d)),
                    p.u32(0));
        return;
    }
    // Word positions of the fields, which differ between the record kinds.
    struct Layout {
        qsizetype srcH, srcW, ySrc, xSrc, destH, destW, yDest, xDest, bits;
        bool device, stretch;
    };
    Layout l{};
    quint32 rop = SrcCopy;
    bool paletteIndices = false;
    switch (function) {
    case fn::BitBlt:
    case fn::DibBitBlt:
        l = {4, 5, 2, 3, 4, 5, 6, 7, 16, function == fn::BitBlt, false};
        rop = p.u32(0);
        break;
    case fn::StretchBlt:
    case fn::DibStretchBlt:
        l = {2, 3, 4, 5, 6, 7, 8, 9, 20, function == fn::StretchBlt, true};
        rop = p.u32(0);
        break;
    case fn::StretchDib:
        l = {3, 4, 5, 6, 7, 8, 9, 10, 22, false, true};
        rop = p.u32(0);
        paletteIndices = p.u16(2) == 1;
        break;
    default:
        l = {5, 6, 3, 4, 5, 6, 7, 8, 18, false, false};
        paletteIndices = p.u16(0) == 1;
        break;
    }
    if (!p.hasWords(l.bits / 2)) return;
    const double xDest = p.i16(l.xDest), yDest = p.i16(l.yDest);
    const QPointF a = map(xDest, yDest);
    const QPointF b = map(xDest + p.i16(l.destW), yDest + p.i16(l.destH));
    if (!usesSource(rop)) {
        fillWithRop(QRectF(a, b).normalized(), rop);
        return;
    }
    const Params bits = p.from(l.bits);
    const QImage image =
        l.device ? decodeBitmap16(bits.all()) : decodeDib(bits.all(), paletteIndices, m_state.palette);
    if (image.isNull()) return;
    QRectF source(p.i16(l.xSrc), p.i16(l.ySrc), p.i16(l.srcW), p.i16(l.srcH));
    // The unstretched transfers give one size for both rectangles, in the
    // destination's logical units; when that does not fit the bitmap, the
    // writer meant the whole bitmap to fill the destination.
    if (!l.stretch && !QRectF(image.rect()).contains(source.normalized())) source = QRectF(image.rect());
    const bool originAtBottom =
        (function == fn::StretchDib || function == fn::SetDibToDev) && dibIsBottomUp(bits);
    blit(image, source, QRectF(a, b), rop, originAtBottom);
}

void Playback::blit(const QImage& image, QRectF source, QRectF dest, quint32 rop, bool bottomUpSource) {
    if (source.width() == 0 || source.height() == 0 || dest.width() == 0 || dest.height() == 0) return;
    // Mirroring follows the signs of the source and of the device extents.
    const bool flipX = (source.width() < 0) != (dest.width() < 0);
    const bool flipY = (source.height() < 0) != (dest.height() < 0);
    source = source.normalized();
    dest = dest.normalized();
    if (bottomUpSource) source.moveTop(image.height() - source.bottom());
    const QRectF clipped = source & QRectF(image.rect());
    if (clipped.isEmpty()) return;
    const double kx = dest.width() / source.width(), ky = dest.height() / source.height();
    const double left = flipX ? source.right() - clipped.right() : clipped.left() - source.left();
    const double top = flipY ? source.bottom() - clipped.bottom() : clipped.top() - source.top();
    const QRectF target(dest.left() + left * kx, dest.top() + top * ky, clipped.width() * kx,
                        clipped.height() * ky);
    if (!beginPaint(R2CopyPen)) return;
    if (!m_painter) {
        addBounds(target);
        return;
    }
    if (!afford(target)) return;
    const QRect pixels = clipped.toAlignedRect() & image.rect();
    QImage part = image.copy(pixels);
    if (flipX || flipY) part = part.mirrored(flipX, flipY);
    if (m_rasterOps) m_painter->setCompositionMode(blitComposition(rop));
    const bool enlarging = target.width() > pixels.width() || target.height() > pixels.height();
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, m_state.stretchMode == kHalftone || !enlarging);
    m_painter->drawImage(target, part);
}

void Playback::patBlt(const Params& p) {
    if (!p.hasWords(6)) return;
    const double x = p.i16(5), y = p.i16(4);
    fillWithRop(mapRect(x, y, x + p.i16(3), y + p.i16(2)), p.u32(0));
}

void Playback::fillWithRop(const QRectF& dest, quint32 rop) {
    if (dest.isEmpty()) return;
    QBrush brush = qtBrush(m_state.brush);
    int rop2 = R2CopyPen;
    switch (rop) {
    case Blackness:
        brush = QBrush(Qt::black);
        break;
    case Whiteness:
        brush = QBrush(Qt::white);
        break;
    case DstInvert:
        rop2 = R2Not;
        break;
    case PatInvert:
        rop2 = R2XorPen;
        break;
    default:
        break;
    }
    if ((rop2 != R2CopyPen && !m_rasterOps && m_painter) || brush.style() == Qt::NoBrush) return;
    if (!beginPaint(rop2)) return;
    if (!m_painter) {
        addBounds(dest);
        return;
    }
    if (!afford(dest)) return;
    m_painter->fillRect(dest, brush);
}

} // namespace orbet::wmf
