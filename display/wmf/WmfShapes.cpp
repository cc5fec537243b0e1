#include <algorithm>
#include <cmath>
#include <numbers>

#include "display/wmf/WmfPlayback.h"

namespace orbet::wmf {

namespace {

enum Rop2Extra {
    R2NotMergePen = 2,
    R2MaskNotPen = 3,
    R2NotCopyPen = 4,
    R2MaskPenNot = 5,
    R2NotMaskPen = 8,
    R2MaskPen = 9,
    R2NotXorPen = 10,
    R2MergeNotPen = 12,
    R2MergePenNot = 14,
    R2MergePen = 15,
};

QPainter::CompositionMode compositionFor(int rop2) {
    switch (rop2) {
    case R2NotMergePen:
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case R2MaskNotPen:
        return QPainter::RasterOp_NotSourceAndDestination;
    case R2NotCopyPen:
        return QPainter::RasterOp_NotSource;
    case R2MaskPenNot:
        return QPainter::RasterOp_SourceAndNotDestination;
    case R2Not:
        return QPainter::RasterOp_NotDestination;
    case R2XorPen:
        return QPainter::RasterOp_SourceXorDestination;
    case R2NotMaskPen:
        return QPainter::RasterOp_NotSourceOrNotDestination;
    case R2MaskPen:
        return QPainter::RasterOp_SourceAndDestination;
    case R2NotXorPen:
        return QPainter::RasterOp_NotSourceXorDestination;
    case R2MergeNotPen:
        return QPainter::RasterOp_NotSourceOrDestination;
    case R2MergePenNot:
        return QPainter::RasterOp_SourceOrNotDestination;
    case R2MergePen:
        return QPainter::RasterOp_SourceOrDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

// Parametric angle, in degrees counter-clockwise on screen, of the point where
// the ray from the ellipse's centre through p meets the ellipse.
double ellipseAngle(const QRectF& r, QPointF p) {
    const QPointF c = r.center();
    const double rx = r.width() / 2, ry = r.height() / 2;
    if (rx <= 0 || ry <= 0) return 0;
    return std::atan2(-(p.y() - c.y()) / ry, (p.x() - c.x()) / rx) * 180 / std::numbers::pi;
}

constexpr double kAntialiasBudget = 1 << 22;

} // namespace

bool antialiasingAffordable(const QPainterPath& path, const QRectF& target) {
    const double span = target.height() / 16;
    double longEdges = 0;
    for (int i = 1; i < path.elementCount(); ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        if (e.isMoveTo()) continue;
        const double y0 = std::clamp(path.elementAt(i - 1).y, target.top(), target.bottom());
        const double y1 = std::clamp(e.y, target.top(), target.bottom());
        if (std::abs(y1 - y0) > span) ++longEdges;
    }
    return longEdges * longEdges * target.height() <= kAntialiasBudget;
}

QPen Playback::qtPen() const {
    const Pen& p = m_state.pen;
    const int style = p.style & 0x0F;
    if (style == PsNull) return Qt::NoPen;
    QColor c = color(p.color);
    if (m_state.rop2 == R2Black) c = Qt::black;
    if (m_state.rop2 == R2White) c = Qt::white;
    QPen pen(c);
    const double width = p.width * std::abs(scaleX());
    pen.setWidthF(width < 1.0 ? 0.0 : width);
    // Hairlines get the fixed pixel patterns of GDI's cosmetic pens; wider
    // pens dash in proportion to their width.
    const bool hairline = width < 1.0;
    switch (style) {
    case PsDash:
        hairline ? pen.setDashPattern({18, 6}) : pen.setStyle(Qt::DashLine);
        break;
    case PsDot:
        hairline ? pen.setDashPattern({3, 3}) : pen.setStyle(Qt::DotLine);
        break;
    case PsDashDot:
        hairline ? pen.setDashPattern({9, 6, 3, 6}) : pen.setStyle(Qt::DashDotLine);
        break;
    case PsDashDotDot:
        hairline ? pen.setDashPattern({9, 3, 3, 3, 3, 3}) : pen.setStyle(Qt::DashDotDotLine);
        break;
    default:
        break;
    }
    switch (p.style & 0x0F00) {
    case 0x0100:
        pen.setCapStyle(Qt::SquareCap);
        break;
    case 0x0200:
        pen.setCapStyle(Qt::FlatCap);
        break;
    default:
        pen.setCapStyle(Qt::RoundCap);
        break;
    }
    switch (p.style & 0xF000) {
    case 0x1000:
        pen.setJoinStyle(Qt::BevelJoin);
        break;
    case 0x2000:
        pen.setJoinStyle(Qt::MiterJoin);
        break;
    default:
        pen.setJoinStyle(Qt::RoundJoin);
        break;
    }
    return pen;
}

QBrush Playback::qtBrush(const Brush& b) const {
    QColor c = color(b.color);
    if (m_state.rop2 == R2Black) c = Qt::black;
    if (m_state.rop2 == R2White) c = Qt::white;
    switch (b.style) {
    case BsNull:
        return Qt::NoBrush;
    case BsHatched: {
        static constexpr Qt::BrushStyle kHatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                                      Qt::FDiagPattern, Qt::BDiagPattern,
                                                      Qt::CrossPattern, Qt::DiagCrossPattern};
        return QBrush(c, b.hatch >= 0 && b.hatch < 6 ? kHatches[b.hatch] : Qt::SolidPattern);
    }
    case BsPattern:
    case BsDibPattern:
    case BsDibPatternPt:
        if (!b.pattern.isNull()) return QBrush(b.pattern);
        return QBrush(c);
    default:
        return QBrush(c);
    }
}

bool Playback::beginPaint(int rop2) {
    if (rop2 == R2Nop) return false;
    if (!m_painter) return true;
    if (m_clipDirty) {
        m_painter->setClipRegion(m_state.clip ? m_state.clip->intersected(*m_base) : *m_base);
        m_clipDirty = false;
    }
    const QPainter::CompositionMode mode =
        m_rasterOps ? compositionFor(rop2) : QPainter::CompositionMode_SourceOver;
    m_painter->setCompositionMode(mode);
    // Antialiased edges would blend twice under a raster operation.
    m_painter->setRenderHint(QPainter::Antialiasing, mode == QPainter::CompositionMode_SourceOver);
    m_painter->setBackgroundMode(m_state.bkMode == Opaque ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter->setBackground(color(m_state.bkColor));
    return true;
}

void Playback::paintPath(const QPainterPath& path, bool fill, bool stroke) {
    const QPen pen = stroke ? qtPen() : QPen(Qt::NoPen);
    const QBrush brush = fill ? qtBrush(m_state.brush) : QBrush(Qt::NoBrush);
    if (pen.style() == Qt::NoPen && brush.style() == Qt::NoBrush) return;
    if (!beginPaint(m_state.rop2)) return;
    if (!m_painter) {
        const double half = std::max(pen.style() == Qt::NoPen ? 0.0 : pen.widthF() / 2, 0.5);
        addBounds(path.boundingRect().adjusted(-half, -half, half, half));
        return;
    }
    const double half = pen.style() == Qt::NoPen ? 0.0 : pen.widthF() / 2;
    if (!afford(path.boundingRect().adjusted(-half, -half, half, half))) return;
    if (m_painter->testRenderHint(QPainter::Antialiasing) && !antialiasingAffordable(path, m_frame.target))
        m_painter->setRenderHint(QPainter::Antialiasing, false);
    m_painter->setPen(pen);
    m_painter->setBrush(brush);
    m_painter->drawPath(path);
}

void Playback::fillRegion(const QRegion& region, const QBrush& brush, int rop2) {
    if (region.isEmpty() || !beginPaint(rop2)) return;
    if (!m_painter) {
        addBounds(region.boundingRect());
        return;
    }
    if (!afford(region.boundingRect())) return;
    for (const QRect& r : region)
        m_painter->fillRect(r, brush);
}

void Playback::lineTo(const Params& p) {
    if (!p.hasWords(2)) return;
    const QPointF to(p.i16(1), p.i16(0));
    QPainterPath path(map(m_state.position.x(), m_state.position.y()));
    path.lineTo(map(to.x(), to.y()));
    m_state.position = to;
    paintPath(path, false, true);
}

void Playback::polyline(const Params& p) {
    const int count = p.i16(0);
    if (count < 2 || !p.hasWords(1 + qsizetype(count) * 2)) return;
    QPainterPath path(map(p.i16(1), p.i16(2)));
    for (int i = 1; i < count; ++i)
        path.lineTo(map(p.i16(1 + i * 2), p.i16(2 + i * 2)));
    paintPath(path, false, true);
}

void Playback::polygon(const Params& p) {
    const int count = p.i16(0);
    if (count < 2 || !p.hasWords(1 + qsizetype(count) * 2)) return;
    QPolygonF poly;
    poly.reserve(count);
    for (int i = 0; i < count; ++i)
        poly.append(map(p.i16(1 + i * 2), p.i16(2 + i * 2)));
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    path.setFillRule(m_state.polyFillMode == Winding ? Qt::WindingFill : Qt::OddEvenFill);
    paintPath(path, true, true);
}

void Playback::polyPolygon(const Params& p) {
    const int polygons = p.u16(0);
    if (polygons == 0 || !p.hasWords(1 + qsizetype(polygons))) return;
    qsizetype total = 0;
    for (int i = 0; i < polygons; ++i)
        total += p.u16(1 + i);
    qsizetype word = 1 + polygons;
    if (!p.hasWords(word + total * 2)) return;
    QPainterPath path;
    path.setFillRule(m_state.polyFillMode == Winding ? Qt::WindingFill : Qt::OddEvenFill);
    for (int i = 0; i < polygons; ++i) {
        const int count = p.u16(1 + i);
        QPolygonF poly;
        poly.reserve(count);
        for (int k = 0; k < count; ++k, word += 2)
            poly.append(map(p.i16(word), p.i16(word + 1)));
        if (count < 2) continue;
        path.addPolygon(poly);
        path.closeSubpath();
    }
    paintPath(path, true, true);
}

void Playback::rectangle(const Params& p) {
    if (!p.hasWords(4)) return;
    QPainterPath path;
    path.addRect(mapRect(p.i16(3), p.i16(2), p.i16(1), p.i16(0)));
    paintPath(path, true, true);
}

void Playback::roundRect(const Params& p) {
    if (!p.hasWords(6)) return;
    const QRectF r = mapRect(p.i16(5), p.i16(4), p.i16(3), p.i16(2));
    const double rx = std::min(std::abs(p.i16(1) * scaleX()) / 2, r.width() / 2);
    const double ry = std::min(std::abs(p.i16(0) * scaleY()) / 2, r.height() / 2);
    QPainterPath path;
    path.addRoundedRect(r, rx, ry);
    paintPath(path, true, true);
}

void Playback::ellipse(const Params& p) {
    if (!p.hasWords(4)) return;
    QPainterPath path;
    path.addEllipse(mapRect(p.i16(3), p.i16(2), p.i16(1), p.i16(0)));
    paintPath(path, true, true);
}

void Playback::arcFamily(const Params& p, quint16 function) {
    if (!p.hasWords(8)) return;
    const QRectF r = mapRect(p.i16(7), p.i16(6), p.i16(5), p.i16(4));
    if (r.isEmpty()) return;
    const double start = ellipseAngle(r, map(p.i16(3), p.i16(2)));
    const double end = ellipseAngle(r, map(p.i16(1), p.i16(0)));
    // Counter-clockwise as seen on the device, the default arc direction.
    double sweep = end - start;
    if (sweep <= 0) sweep += 360;
    QPainterPath path;
    if (function == fn::Pie) {
        path.moveTo(r.center());
        path.arcTo(r, start, sweep);
        path.closeSubpath();
    } else {
        path.arcMoveTo(r, start);
        path.arcTo(r, start, sweep);
        if (function == fn::Chord) path.closeSubpath();
    }
    paintPath(path, function != fn::Arc, true);
}

void Playback::setPixel(const Params& p) {
    if (!p.hasWords(4)) return;
    const QPointF at = map(p.i16(3), p.i16(2));
    const double w = std::max(1.0, std::abs(scaleX())), h = std::max(1.0, std::abs(scaleY()));
    const QRectF pixel(at, QSizeF(w, h));
    if (!beginPaint(R2CopyPen)) return;
    if (!m_painter) {
        addBounds(pixel);
        return;
    }
    if (!afford(pixel)) return;
    m_painter->fillRect(pixel, color(p.u32(0)));
}

void Playback::regionRecord(const Params& p, quint16 function) {
    if (!p.hasWords(1)) return;
    const Object* o = m_objects.at(p.u16(0));
    const auto* region = o ? std::get_if<Region>(o) : nullptr;
    if (!region) return;
    const QRegion target = regionToTarget(*region);
    if (function == fn::PaintRegion) {
        fillRegion(target, qtBrush(m_state.brush), R2CopyPen);
    } else if (function == fn::InvertRegion) {
        fillRegion(target, Qt::black, m_rasterOps ? R2Not : R2Nop);
    } else {
        const Object* b = p.hasWords(2) ? m_objects.at(p.u16(1)) : nullptr;
        const auto* brush = b ? std::get_if<Brush>(b) : nullptr;
        if (!brush) return;
        if (function == fn::FillRegion) {
            fillRegion(target, qtBrush(*brush), R2CopyPen);
            return;
        }
        if (!p.hasWords(4)) return;
        const int w = std::max(1, int(std::round(std::abs(p.i16(3) * scaleX()))));
        const int h = std::max(1, int(std::round(std::abs(p.i16(2) * scaleY()))));
        const QRegion inner = target.translated(w, 0) & target.translated(-w, 0) & target.translated(0, h) &
                              target.translated(0, -h) & target;
        fillRegion(target - inner, qtBrush(*brush), R2CopyPen);
    }
}

} // namespace orbet::wmf
