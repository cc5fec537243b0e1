#include "display/wmf/WmfObjects.h"

#include <algorithm>

namespace orbet::wmf {

int ObjectTable::add(Object object) {
    for (size_t i = m_firstMaybeFree; i < m_slots.size(); ++i) {
        if (std::holds_alternative<std::monostate>(m_slots[i])) {
            m_slots[i] = std::move(object);
            m_firstMaybeFree = i + 1;
            return int(i);
        }
    }
    if (m_slots.size() >= size_t(kMaxSize)) return -1;
    m_slots.push_back(std::move(object));
    m_firstMaybeFree = m_slots.size();
    return int(m_slots.size() - 1);
}

const Object* ObjectTable::at(int index) const {
    if (index < 0 || size_t(index) >= m_slots.size()) return nullptr;
    const Object& o = m_slots[size_t(index)];
    return std::holds_alternative<std::monostate>(o) ? nullptr : &o;
}

bool ObjectTable::remove(int index) {
    if (!at(index)) return false;
    m_slots[size_t(index)] = std::monostate{};
    m_firstMaybeFree = std::min(m_firstMaybeFree, size_t(index));
    return true;
}

Pen parsePen(const Params& p) {
    Pen pen;
    pen.style = p.u16(0);
    pen.width = qAbs(int(p.i16(1)));
    pen.color = p.u32(3);
    return pen;
}

Brush parseBrush(const Params& p) {
    Brush brush;
    brush.style = p.u16(0);
    brush.color = p.u32(1);
    brush.hatch = p.u16(3);
    return brush;
}

Font parseFont(const Params& p) {
    Font font;
    font.height = p.i16(0);
    font.width = p.i16(1);
    font.escapement = p.i16(2);
    font.weight = p.i16(4);
    font.italic = p.u8(10) != 0;
    font.underline = p.u8(11) != 0;
    font.strikeOut = p.u8(12) != 0;
    font.charset = p.u8(13);
    font.pitchAndFamily = p.u8(17);
    const QByteArrayView face = p.bytes(18, 32);
    const qsizetype end = face.indexOf('\0');
    font.faceName = (end < 0 ? face : face.first(end)).toByteArray();
    return font;
}

Palette parsePalette(const Params& p) {
    Palette palette;
    const qsizetype declared = p.u16(1);
    const qsizetype present = qMax<qsizetype>(0, (p.size() - 4) / 4);
    const qsizetype count = qMin(declared, present);
    palette.colors.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype at = 4 + i * 4;
        palette.colors.append(qRgb(p.u8(at), p.u8(at + 1), p.u8(at + 2)));
    }
    return palette;
}

std::optional<Region> parseRegion(const Params& p) {
    // Header: next-in-chain, object type, object count (2 words), region
    // size, scan count, max scan, bounding rectangle (4 words).
    constexpr qsizetype kHeaderWords = 11;
    if (p.words() == 4) {
        // Some writers store a rectangular region as a bare rectangle,
        // bottom, right, top, left like the rectangle records.
        Region region;
        const QRect r(QPoint(p.i16(3), p.i16(2)), QPoint(p.i16(1) - 1, p.i16(0) - 1));
        if (r.isValid()) region.rects.append(r);
        return region;
    }
    if (!p.hasWords(kHeaderWords)) return std::nullopt;
    const int scanCount = p.i16(5);
    Region region;
    qsizetype word = kHeaderWords;
    for (int s = 0; s < scanCount; ++s) {
        if (!p.hasWords(word + 3)) return std::nullopt;
        const int count = p.u16(word);
        const int top = p.i16(word + 1);
        const int bottom = p.i16(word + 2);
        const int pairs = count / 2;
        if (!p.hasWords(word + 3 + qsizetype(pairs) * 2 + 1)) return std::nullopt;
        for (int k = 0; k < pairs; ++k) {
            const int left = p.i16(word + 3 + k * 2);
            const int right = p.i16(word + 4 + k * 2);
            if (right > left && bottom > top)
                region.rects.append(QRect(left, top, right - left, bottom - top));
        }
        word += 3 + qsizetype(pairs) * 2 + 1;
    }
    return region;
}

} // namespace orbet::wmf
