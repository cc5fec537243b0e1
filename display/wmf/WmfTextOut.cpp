#include <algorithm>
#include <cmath>

#include <QFontMetricsF>

#include "display/wmf/WmfPlayback.h"
#include "display/wmf/WmfText.h"

namespace orbet::wmf {

namespace {

enum ExtTextOptions { EtoOpaque = 0x0002, EtoClipped = 0x0004, EtoGlyphIndex = 0x0010, EtoPdy = 0x2000 };

// Larger text would only be a few glyph fragments across any picture this
// player renders, and costs outline rasterisation in proportion.
constexpr double kMaxFontPixels = 16384;
constexpr double kDefaultFontPixels = 16;

QFont::StyleHint styleHintFor(int pitchAndFamily) {
    switch (pitchAndFamily >> 4) {
    case 1:
        return QFont::Serif;
    case 2:
        return QFont::SansSerif;
    case 3:
        return QFont::TypeWriter;
    case 4:
        return QFont::Cursive;
    case 5:
        return QFont::Decorative;
    default:
        return QFont::AnyStyle;
    }
}

} // namespace

QFont Playback::realizedFont() {
    if (m_realizedSerial == m_state.fontSerial && m_realizedTransform == m_toTarget) return m_realizedFont;
    const Font& f = m_state.font;
    QString face = decodeFaceName(f.faceName, f.charset);
    // A leading '@' asks for vertical writing, which is drawn horizontally here.
    if (face.startsWith(QLatin1Char('@'))) face.remove(0, 1);
    QFont font;
    if (isMappedSymbolFace(f.charset, face)) {
        font.setStyleHint(QFont::Serif);
        font.setFamily(font.defaultFamily());
    } else {
        font.setStyleHint(styleHintFor(f.pitchAndFamily));
        if (!face.isEmpty() && face.compare(QLatin1String("System"), Qt::CaseInsensitive) != 0)
            font.setFamily(face);
    }
    font.setWeight(f.weight <= 0 ? QFont::Normal : QFont::Weight(std::clamp(f.weight, 1, 1000)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    const double sy = std::abs(scaleY());
    double pixels = kDefaultFontPixels * m_frame.pixelScale;
    if (f.height < 0) {
        pixels = -double(f.height) * sy;
    } else if (f.height > 0) {
        // A positive height is the cell (ascent plus descent), not the em.
        font.setPixelSize(1000);
        const QFontMetricsF probe(font);
        const double cell = probe.ascent() + probe.descent();
        pixels = f.height * sy * (cell > 0 ? 1000 / cell : 1);
    }
    font.setPixelSize(int(std::clamp(std::round(pixels), 1.0, kMaxFontPixels)));
    if (f.width != 0) {
        const double average = QFontMetricsF(font).averageCharWidth();
        const double wanted = std::abs(f.width * scaleX());
        if (average > 0) font.setStretch(int(std::clamp(std::round(100 * wanted / average), 1.0, 4000.0)));
    }
    m_realizedFont = font;
    m_realizedSerial = m_state.fontSerial;
    m_realizedTransform = m_toTarget;
    return font;
}

void Playback::textOut(const Params& p) {
    const int length = p.i16(0);
    if (length <= 0) return;
    const qsizetype stringWords = (qsizetype(length) + 1) / 2;
    if (!p.hasWords(1 + stringWords + 2)) return;
    const QPointF at(p.i16(2 + stringWords), p.i16(1 + stringWords));
    drawText(at, p.bytes(2, length), 0, QRectF(), Params(), false);
}

void Playback::extTextOut(const Params& p) {
    if (!p.hasWords(4)) return;
    const QPointF at(p.i16(1), p.i16(0));
    const int length = p.i16(2);
    const int options = p.u16(3);
    qsizetype offset = 8;
    QRectF box;
    if (options & (EtoOpaque | EtoClipped)) {
        if (!p.hasWords(8)) return;
        box = mapRect(p.i16(4), p.i16(5), p.i16(6), p.i16(7));
        offset = 16;
    }
    if (length > 0 && p.size() < offset + length) return;
    if (options & EtoOpaque && !box.isEmpty() && beginPaint(R2CopyPen)) {
        if (m_painter && afford(box))
            m_painter->fillRect(box, color(m_state.bkColor));
        else
            addBounds(box);
    }
    if (length <= 0 || (options & EtoGlyphIndex)) return;
    const Params dx = p.from(offset + ((qsizetype(length) + 1) & ~qsizetype(1)));
    drawText(at, p.bytes(offset, length), options, box, dx, options & EtoPdy);
}

void Playback::drawText(QPointF reference, QByteArrayView bytes, int options, const QRectF& box,
                        const Params& dx, bool pairs) {
    const Font& f = m_state.font;
    const DecodedText decoded = decodeText(bytes, f.charset, decodeFaceName(f.faceName, f.charset));
    const QString& text = decoded.text;
    if (text.isEmpty()) return;
    QFont font = realizedFont();
    const double sx = scaleX();
    if (m_state.charExtra != 0)
        font.setLetterSpacing(QFont::AbsoluteSpacing, m_state.charExtra * std::abs(sx));
    const QFontMetricsF metrics(font);

    // Per-unit advances when the record gives them: the advances of all the
    // bytes a character was decoded from belong to that character.
    const qsizetype stride = pairs ? 2 : 1;
    const bool haveDx = dx.words() >= bytes.size() * stride;
    QList<double> advances;
    double width = 0;
    if (haveDx) {
        advances.resize(text.size(), 0.0);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const int first = decoded.sourceByte[i];
            if (i > 0 && decoded.sourceByte[i - 1] == first) continue;
            qsizetype next = i + 1;
            while (next < text.size() && decoded.sourceByte[next] == first)
                ++next;
            const int last = next < text.size() ? decoded.sourceByte[next] : int(bytes.size());
            double sum = 0;
            for (int b = first; b < last; ++b)
                sum += dx.i16(b * stride);
            advances[i] = sum * std::abs(sx);
            width += advances[i];
        }
    } else {
        width = metrics.horizontalAdvance(text);
    }

    const int align = m_state.textAlign;
    const bool updateCp = align & TaUpdateCp;
    const QPointF origin = updateCp ? m_state.position : reference;
    const QPointF anchor = map(origin.x(), origin.y());
    double x0 = 0;
    if ((align & TaCenter) == TaCenter)
        x0 = -width / 2;
    else if (align & TaRight)
        x0 = -width;
    double baseline = metrics.ascent();
    if ((align & TaBaseline) == TaBaseline)
        baseline = 0;
    else if (align & TaBottom)
        baseline = -metrics.descent();
    if (updateCp && sx != 0) {
        if ((align & TaCenter) != TaCenter)
            m_state.position.rx() += ((align & TaRight) ? -width : width) / sx;
    }

    QTransform placement = QTransform::fromTranslate(anchor.x(), anchor.y());
    placement.rotate(-f.escapement / 10.0);
    const QRectF cell(x0, baseline - metrics.ascent(), width, metrics.ascent() + metrics.descent());
    if (!beginPaint(R2CopyPen)) return;
    if (!m_painter) {
        QRectF r = placement.mapRect(cell);
        if (options & EtoClipped) r &= box;
        addBounds(r);
        return;
    }
    if (!afford(placement.mapRect(cell))) return;
    m_painter->save();
    if (options & EtoClipped) m_painter->setClipRect(box, Qt::IntersectClip);
    m_painter->setTransform(placement, true);
    m_painter->setRenderHint(QPainter::TextAntialiasing, true);
    if (m_state.bkMode == Opaque && !(options & EtoOpaque)) m_painter->fillRect(cell, color(m_state.bkColor));
    m_painter->setFont(font);
    m_painter->setPen(color(m_state.textColor));
    m_painter->setBackgroundMode(Qt::TransparentMode);
    if (haveDx) {
        double x = x0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (i > 0 && decoded.sourceByte[i - 1] == decoded.sourceByte[i]) continue;
            qsizetype units = 1;
            while (i + units < text.size() && decoded.sourceByte[i + units] == decoded.sourceByte[i])
                ++units;
            m_painter->drawText(QPointF(x, baseline), text.mid(i, units));
            x += advances[i];
        }
    } else {
        m_painter->drawText(QPointF(x0, baseline), text);
    }
    m_painter->restore();
}

} // namespace orbet::wmf
