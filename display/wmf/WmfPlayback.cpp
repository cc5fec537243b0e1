#include "display/wmf/WmfPlayback.h"

#include <algorithm>
#include <cmath>

#include <QPaintEngine>

#include "display/wmf/WmfDib.h"

namespace orbet::wmf {

namespace {

// Coordinates beyond this are clamped before they reach the rasteriser, whose
// fixed-point arithmetic cannot take them; no sane picture comes near it.
constexpr double kCoordLimit = 1 << 22;
constexpr int kRegionLimit = 1 << 24;
// SaveDC levels kept; deeper saves are ignored rather than grown without end.
constexpr size_t kMaxSavedStates = 100000;
constexpr int kMaxClipRects = 10000;

QRegion limitRegion() {
    return QRegion(-kRegionLimit, -kRegionLimit, 2 * kRegionLimit, 2 * kRegionLimit);
}

QRect toRegionRect(const QRectF& r) {
    const auto clampInt = [](double v) {
        return int(std::clamp(std::round(v), -double(kRegionLimit), double(kRegionLimit)));
    };
    const QPoint topLeft(clampInt(r.left()), clampInt(r.top()));
    const QPoint bottomRight(clampInt(r.right()), clampInt(r.bottom()));
    return QRect(topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y()));
}

// Steps a record costs: what a painter call costs besides its pixels. Text
// realises a font and shapes every character.
qint64 stepsFor(const Record& r) {
    switch (r.function) {
    case fn::TextOut:
    case fn::ExtTextOut:
        return 40 + r.params.size();
    case fn::LineTo:
    case fn::Polyline:
    case fn::Polygon:
    case fn::PolyPolygon:
    case fn::Rectangle:
    case fn::RoundRect:
    case fn::Ellipse:
    case fn::Arc:
    case fn::Chord:
    case fn::Pie:
    case fn::SetPixel:
    case fn::PatBlt:
    case fn::BitBlt:
    case fn::StretchBlt:
    case fn::DibBitBlt:
    case fn::DibStretchBlt:
    case fn::StretchDib:
    case fn::SetDibToDev:
    case fn::FillRegion:
    case fn::FrameRegion:
    case fn::PaintRegion:
    case fn::InvertRegion:
        return 8 + r.params.size() / 4;
    default:
        return 1;
    }
}

} // namespace

Playback::Playback(const QByteArray& bytes, const Header& header, const Frame& frame, QPainter* painter,
                   WmfBudget* budget)
    : m_bytes(bytes), m_header(header), m_frame(frame), m_painter(painter), m_budget(budget) {
    const QRectF& d = m_frame.device;
    const QRectF& t = m_frame.target;
    m_frameTransform = QTransform::fromTranslate(-d.left(), -d.top()) *
                       QTransform::fromScale(t.width() / d.width(), t.height() / d.height()) *
                       QTransform::fromTranslate(t.left(), t.top());
    m_state.mapping = m_frame.initial;
    m_state.palette = defaultPalette();
    mappingChanged();
    if (m_painter) {
        QRegion base(t.toAlignedRect());
        if (m_painter->hasClipping()) base &= m_painter->clipRegion();
        m_base = base;
        m_rasterOps =
            m_painter->paintEngine() && m_painter->paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    }
}

void Playback::run() {
    RecordReader reader(m_bytes, m_header.recordsOffset);
    Record r;
    if (m_painter) m_painter->save();
    while (!m_stopped && reader.next(r)) {
        if (m_budget) {
            const qint64 cost = stepsFor(r);
            if ((m_budget->cancel && m_budget->cancel->load(std::memory_order_relaxed)) ||
                m_budget->steps < cost) {
                m_stopped = true;
                break;
            }
            m_budget->steps -= cost;
        }
        play(r);
        ++m_records;
    }
    if (m_stopped && m_budget) m_budget->cutShort = true;
    if (m_painter) m_painter->restore();
}

bool Playback::afford(const QRectF& area) {
    if (!m_budget) return true;
    const QRectF visible = area.normalized() & m_frame.target;
    const qint64 pixels =
        visible.isEmpty() ? 1 : qint64(std::ceil(visible.width()) * std::ceil(visible.height()));
    if (pixels > m_budget->pixels) {
        m_budget->pixels = 0;
        m_stopped = true;
        return false;
    }
    m_budget->pixels -= pixels;
    return true;
}

void Playback::play(const Record& r) {
    const Params& p = r.params;
    Mapping& m = m_state.mapping;
    switch (r.function) {
    case fn::SetWindowOrg:
        if (p.hasWords(2)) m.windowOrg = QPointF(p.i16(1), p.i16(0)), mappingChanged();
        break;
    case fn::SetWindowExt:
        if (p.hasWords(2)) m.setWindowExt(p.i16(1), p.i16(0)), mappingChanged();
        break;
    case fn::SetViewportOrg:
        if (p.hasWords(2)) m.viewportOrg = QPointF(p.i16(1), p.i16(0)), mappingChanged();
        break;
    case fn::SetViewportExt:
        if (p.hasWords(2)) m.setViewportExt(p.i16(1), p.i16(0)), mappingChanged();
        break;
    case fn::OffsetWindowOrg:
        if (p.hasWords(2)) m.windowOrg += QPointF(p.i16(1), p.i16(0)), mappingChanged();
        break;
    case fn::OffsetViewportOrg:
        if (p.hasWords(2)) m.viewportOrg += QPointF(p.i16(1), p.i16(0)), mappingChanged();
        break;
    case fn::ScaleWindowExt:
        if (p.hasWords(4)) m.scaleWindowExt(p.i16(3), p.i16(2), p.i16(1), p.i16(0)), mappingChanged();
        break;
    case fn::ScaleViewportExt:
        if (p.hasWords(4)) m.scaleViewportExt(p.i16(3), p.i16(2), p.i16(1), p.i16(0)), mappingChanged();
        break;
    case fn::SetMapMode:
        if (p.hasWords(1)) m.setMode(p.u16(0)), mappingChanged();
        break;
    case fn::SaveDC:
        saveDC();
        break;
    case fn::RestoreDC:
        if (p.hasWords(1)) restoreDC(p.i16(0));
        break;
    case fn::SetBkColor:
        if (p.hasWords(2)) m_state.bkColor = p.u32(0);
        break;
    case fn::SetTextColor:
        if (p.hasWords(2)) m_state.textColor = p.u32(0);
        break;
    case fn::SetBkMode:
        if (p.hasWords(1)) m_state.bkMode = p.u16(0);
        break;
    case fn::SetTextAlign:
        if (p.hasWords(1)) m_state.textAlign = p.u16(0);
        break;
    case fn::SetPolyFillMode:
        if (p.hasWords(1)) m_state.polyFillMode = p.u16(0);
        break;
    case fn::SetRop2:
        if (p.hasWords(1)) m_state.rop2 = p.u16(0);
        break;
    case fn::SetStretchBltMode:
        if (p.hasWords(1)) m_state.stretchMode = p.u16(0);
        break;
    case fn::SetTextCharExtra:
        if (p.hasWords(1)) m_state.charExtra = p.i16(0);
        break;
    case fn::MoveTo:
        if (p.hasWords(2)) m_state.position = QPointF(p.i16(1), p.i16(0));
        break;
    case fn::CreatePenIndirect:
        createObject(parsePen(p));
        break;
    case fn::CreateBrushIndirect: {
        Brush b = parseBrush(p);
        if (b.style != BsNull && b.style != BsHatched) b.style = BsSolid;
        createObject(b);
        break;
    }
    case fn::CreateFontIndirect:
        createObject(parseFont(p));
        break;
    case fn::CreatePalette:
        createObject(parsePalette(p));
        break;
    case fn::CreateRegion:
        createObject(parseRegion(p).value_or(Region{}));
        break;
    case fn::DibCreatePatternBrush:
        createDibPatternBrush(p);
        break;
    case fn::CreatePatternBrush:
        createPatternBrush(p);
        break;
    case fn::SelectObject:
        if (p.hasWords(1)) selectObject(p.u16(0));
        break;
    case fn::DeleteObject:
        if (p.hasWords(1)) m_objects.remove(p.u16(0));
        break;
    case fn::SelectPalette:
        // The index is the record's last word; some writers put a
        // background flag before it.
        if (const Object* o = p.hasWords(1) ? m_objects.at(p.u16(p.words() - 1)) : nullptr)
            if (const auto* pal = std::get_if<Palette>(o)) m_state.palette = pal->colors;
        break;
    case fn::SetPalEntries:
    case fn::AnimatePalette:
        setPaletteEntries(p, false);
        break;
    case fn::ResizePalette:
        setPaletteEntries(p, true);
        break;
    case fn::IntersectClipRect:
        clipToRect(p, false);
        break;
    case fn::ExcludeClipRect:
        clipToRect(p, true);
        break;
    case fn::OffsetClipRgn:
        offsetClip(p);
        break;
    case fn::SelectClipRegion:
        if (p.hasWords(1)) selectClipRegion(p.u16(0));
        break;
    case fn::LineTo:
        lineTo(p);
        break;
    case fn::Polyline:
        polyline(p);
        break;
    case fn::Polygon:
        polygon(p);
        break;
    case fn::PolyPolygon:
        polyPolygon(p);
        break;
    case fn::Rectangle:
        rectangle(p);
        break;
    case fn::RoundRect:
        roundRect(p);
        break;
    case fn::Ellipse:
        ellipse(p);
        break;
    case fn::Arc:
    case fn::Chord:
    case fn::Pie:
        arcFamily(p, r.function);
        break;
    case fn::SetPixel:
        setPixel(p);
        break;
    case fn::FillRegion:
    case fn::FrameRegion:
    case fn::PaintRegion:
    case fn::InvertRegion:
        regionRecord(p, r.function);
        break;
    case fn::TextOut:
        textOut(p);
        break;
    case fn::ExtTextOut:
        extTextOut(p);
        break;
    case fn::PatBlt:
        patBlt(p);
        break;
    case fn::BitBlt:
    case fn::StretchBlt:
    case fn::DibBitBlt:
    case fn::DibStretchBlt:
    case fn::StretchDib:
    case fn::SetDibToDev:
        bitmapRecord(p, r.function);
        break;
    default:
        // Escapes, flood fills, layout and justification records and unknown
        // records change nothing this player can show.
        break;
    }
}

void Playback::mappingChanged() {
    m_toTarget = m_state.mapping.toDevice() * m_frameTransform;
}

QPointF Playback::map(double x, double y) const {
    const QPointF t = m_toTarget.map(QPointF(x, y));
    return QPointF(std::clamp(t.x(), -kCoordLimit, kCoordLimit),
                   std::clamp(t.y(), -kCoordLimit, kCoordLimit));
}

QRectF Playback::mapRect(double left, double top, double right, double bottom) const {
    return QRectF(map(left, top), map(right, bottom)).normalized();
}

void Playback::saveDC() {
    if (m_saved.size() < kMaxSavedStates) m_saved.push_back(m_state);
}

void Playback::restoreDC(int which) {
    const qsizetype depth = qsizetype(m_saved.size());
    const qsizetype keep = which < 0 ? depth + which : qsizetype(which) - 1;
    if (which == 0 || keep < 0 || keep >= depth) return;
    const bool clipChanged = m_saved[size_t(keep)].clip != m_state.clip;
    m_state = std::move(m_saved[size_t(keep)]);
    m_saved.resize(size_t(keep));
    if (clipChanged) m_clipDirty = true;
    mappingChanged();
}

void Playback::createObject(Object object) {
    if (auto* region = std::get_if<Region>(&object)) region->serial = m_nextSerial++;
    m_objects.add(std::move(object));
}

void Playback::selectObject(int index) {
    const Object* o = m_objects.at(index);
    if (!o) return;
    if (const auto* pen = std::get_if<Pen>(o)) {
        m_state.pen = *pen;
    } else if (const auto* brush = std::get_if<Brush>(o)) {
        m_state.brush = *brush;
    } else if (const auto* font = std::get_if<Font>(o)) {
        m_state.font = *font;
        m_state.fontSerial = m_nextSerial++;
    } else if (std::holds_alternative<Region>(*o)) {
        selectClipRegion(index);
    }
}

void Playback::createDibPatternBrush(const Params& p) {
    Brush brush;
    brush.style = BsDibPattern;
    const int style = p.u16(0);
    const bool paletteIndices = p.u16(1) == 1;
    brush.pattern = style == BsPattern ? decodeBitmap16(p.from(4).all())
                                       : decodeDib(p.from(4).all(), paletteIndices, m_state.palette);
    if (brush.pattern.isNull()) brush.style = BsSolid;
    createObject(brush);
}

void Playback::createPatternBrush(const Params& p) {
    // A Bitmap16 header whose bits pointer and 18 reserved bytes precede the bits.
    QByteArray bitmap = p.bytes(0, 10).toByteArray();
    bitmap.append(p.from(32).all().toByteArray());
    Brush brush;
    brush.style = BsPattern;
    brush.pattern = decodeBitmap16(bitmap);
    if (brush.pattern.isNull()) brush.style = BsSolid;
    createObject(brush);
}

void Playback::setPaletteEntries(const Params& p, bool resize) {
    QList<QRgb>& colors = m_state.palette;
    if (resize) {
        if (p.hasWords(1)) colors.resize(p.u16(0), qRgb(0, 0, 0));
        return;
    }
    const qsizetype start = p.u16(0);
    const qsizetype count = qMin<qsizetype>(p.u16(1), (p.size() - 4) / 4);
    for (qsizetype i = 0; i < count && start + i < colors.size(); ++i) {
        const qsizetype at = 4 + i * 4;
        colors[start + i] = qRgb(p.u8(at), p.u8(at + 1), p.u8(at + 2));
    }
}

QRegion Playback::regionToTarget(const Region& region) {
    if (region.serial == m_regionCacheSerial && m_toTarget == m_regionCacheTransform) return m_regionCache;
    // Uniting pairwise keeps large regions near-linear; one rectangle at a
    // time would be quadratic in their size.
    std::vector<QRegion> parts;
    parts.reserve(size_t(region.rects.size()));
    for (const QRect& r : region.rects)
        parts.emplace_back(
            toRegionRect(mapRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height())));
    while (parts.size() > 1) {
        std::vector<QRegion> next;
        next.reserve(parts.size() / 2 + 1);
        for (size_t i = 0; i + 1 < parts.size(); i += 2)
            next.push_back(parts[i].united(parts[i + 1]));
        if (parts.size() % 2) next.push_back(parts.back());
        parts = std::move(next);
    }
    m_regionCache = parts.empty() ? QRegion() : parts.front();
    m_regionCacheSerial = region.serial;
    m_regionCacheTransform = m_toTarget;
    return m_regionCache;
}

QRegion Playback::currentClip() const {
    if (m_state.clip) return *m_state.clip;
    if (m_base) return *m_base;
    return limitRegion();
}

void Playback::setClip(std::optional<QRegion> clip) {
    m_state.clip = std::move(clip);
    m_clipDirty = true;
}

void Playback::clipToRect(const Params& p, bool exclude) {
    if (!p.hasWords(4)) return;
    const QRect r = toRegionRect(mapRect(p.i16(3), p.i16(2), p.i16(1), p.i16(0)));
    const QRegion current = currentClip();
    // Each exclusion may split every rectangle of the clip; past a limit the
    // clip stops growing more complex.
    if (exclude && current.rectCount() > kMaxClipRects) return;
    setClip(exclude ? current.subtracted(r) : current.intersected(r));
}

void Playback::offsetClip(const Params& p) {
    if (!p.hasWords(2) || !m_state.clip) return;
    const auto shift = [](double v) {
        return int(std::clamp(std::round(v), -double(kRegionLimit), double(kRegionLimit)));
    };
    // Back within the limits at once, so repeated offsets cannot overflow.
    setClip(m_state.clip->translated(shift(p.i16(1) * scaleX()), shift(p.i16(0) * scaleY())) & limitRegion());
}

void Playback::selectClipRegion(int index) {
    const Object* o = m_objects.at(index);
    const auto* region = o ? std::get_if<Region>(o) : nullptr;
    setClip(region ? std::optional<QRegion>(regionToTarget(*region)) : std::nullopt);
}

void Playback::addBounds(QRectF rect) {
    if (m_state.clip) rect &= QRectF(m_state.clip->boundingRect());
    if (!rect.isEmpty()) m_bounds |= rect;
}

} // namespace orbet::wmf
