#include "display/wmf/WmfPlayer.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include <QPainter>

#include "display/wmf/WmfFormat.h"
#include "display/wmf/WmfPlayback.h"

namespace orbet {

namespace {

using namespace wmf;

constexpr double kPixelsPerInch = 96;
constexpr double kTwipsPerInch = 1440;
// Placeable files that leave units per inch at 0 are taken to count in twips,
// the unit most writers use.
constexpr int kFallbackUnitsPerInch = 1440;

struct Layout {
    Header header;
    QRectF device;
    Mapping initial;
    QSizeF natural;
    QSize size;
    QSizeF twips;
    QRectF bounds;
    bool capped = false;
};

bool isDrawingRecord(quint16 function) {
    switch (function) {
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
    case fn::TextOut:
    case fn::ExtTextOut:
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
    case fn::FloodFill:
    case fn::ExtFloodFill:
        return true;
    default:
        return false;
    }
}

void setError(QString* error, const char* text) {
    if (error) *error = QString::fromLatin1(text);
}

// The window and viewport a picture loader would find when drawing starts:
// the mapping records before the first drawing record, applied to the
// placeable bounding box.
struct Prescan {
    Mapping mapping;
    bool windowSet = false;
    bool viewportSet = false;
    std::optional<QPointF> laterWindowExt;
};

Prescan prescan(const QByteArray& bytes, const Header& header, bool bboxUsable) {
    Prescan s;
    Mapping& m = s.mapping;
    if (bboxUsable) {
        m.windowOrg = QPointF(header.left, header.top);
        m.setWindowExt(header.right - header.left, header.bottom - header.top);
        s.windowSet = true;
    }
    RecordReader reader(bytes, header.recordsOffset);
    Record r;
    bool drawing = false;
    while (reader.next(r)) {
        const Params& p = r.params;
        drawing = drawing || isDrawingRecord(r.function);
        const bool twoWords = p.hasWords(2);
        const bool usableExt = twoWords && p.i16(0) != 0 && p.i16(1) != 0;
        if (drawing) {
            if (s.windowSet) break;
            if (r.function == fn::SetWindowExt && usableExt) {
                s.laterWindowExt = QPointF(p.i16(1), p.i16(0));
                break;
            }
            continue;
        }
        switch (r.function) {
        case fn::SetWindowOrg:
            if (twoWords) m.windowOrg = QPointF(p.i16(1), p.i16(0));
            break;
        case fn::SetWindowExt:
            if (usableExt) m.setWindowExt(p.i16(1), p.i16(0)), s.windowSet = true;
            break;
        case fn::SetViewportOrg:
            if (twoWords) m.viewportOrg = QPointF(p.i16(1), p.i16(0));
            break;
        case fn::SetViewportExt:
            if (usableExt) m.setViewportExt(p.i16(1), p.i16(0)), s.viewportSet = true;
            break;
        case fn::OffsetWindowOrg:
            if (twoWords) m.windowOrg += QPointF(p.i16(1), p.i16(0));
            break;
        case fn::OffsetViewportOrg:
            if (twoWords) m.viewportOrg += QPointF(p.i16(1), p.i16(0));
            break;
        case fn::ScaleWindowExt:
            if (p.hasWords(4)) m.scaleWindowExt(p.i16(3), p.i16(2), p.i16(1), p.i16(0));
            break;
        case fn::ScaleViewportExt:
            if (p.hasWords(4)) m.scaleViewportExt(p.i16(3), p.i16(2), p.i16(1), p.i16(0));
            break;
        default:
            break;
        }
    }
    return s;
}

QRectF rectOf(QPointF origin, QPointF extent) {
    return QRectF(origin, QSizeF(extent.x(), extent.y())).normalized();
}

QSize capped(QSizeF natural, bool* wasCapped) {
    const double w = std::max(natural.width(), 1.0), h = std::max(natural.height(), 1.0);
    double s = 1;
    if (w > kMaxPictureSide) s = std::min(s, kMaxPictureSide / w);
    if (h > kMaxPictureSide) s = std::min(s, kMaxPictureSide / h);
    if (w * h * s * s > double(kMaxPicturePixels))
        s = std::min(s, std::sqrt(double(kMaxPicturePixels) / (w * h)));
    *wasCapped = s < 1;
    const auto side = [&](double v) {
        return int(std::clamp(s < 1 ? std::floor(v * s) : std::round(v), 1.0, double(kMaxPictureSide)));
    };
    return QSize(side(w), side(h));
}

std::optional<Layout> computeLayout(const QByteArray& bytes, QString* error) {
    const auto header = parseHeader(bytes, error);
    if (!header) return std::nullopt;
    Layout l;
    l.header = *header;
    const bool bboxUsable =
        header->placeable && header->right != header->left && header->bottom != header->top;
    const Prescan s = prescan(bytes, *header, bboxUsable);
    const Mapping& m = s.mapping;
    const QRectF window = rectOf(m.windowOrg, m.windowExt);
    bool measured = false;

    if (s.viewportSet)
        l.device = rectOf(m.viewportOrg, m.viewportExt);
    else if (s.windowSet)
        l.device = window;
    else if (s.laterWindowExt)
        l.device = rectOf(m.windowOrg, *s.laterWindowExt);

    if (bboxUsable) {
        const double inch = header->unitsPerInch > 0 ? header->unitsPerInch : kFallbackUnitsPerInch;
        l.bounds =
            QRectF(QPointF(header->left, header->top), QPointF(header->right, header->bottom)).normalized();
        l.twips = l.bounds.size() * (kTwipsPerInch / inch);
        l.natural = l.bounds.size() * (kPixelsPerInch / inch);
    } else if (s.windowSet || s.laterWindowExt) {
        l.bounds = s.windowSet ? window : l.device;
        l.natural = l.bounds.size();
    } else if (s.viewportSet) {
        l.bounds = l.device;
        l.natural = l.bounds.size();
    } else {
        Frame probe{QRectF(0, 0, 1, 1), QRectF(0, 0, 1, 1), Mapping{}};
        Playback measure(bytes, *header, probe, nullptr);
        measure.run();
        if (measure.bounds().isEmpty()) {
            setError(error, "The metafile gives no size and draws nothing.");
            return std::nullopt;
        }
        l.device = l.bounds = measure.bounds();
        l.natural = l.bounds.size();
        measured = true;
    }
    if (!l.twips.isValid() || l.twips.isEmpty()) l.twips = l.natural * (kTwipsPerInch / kPixelsPerInch);
    l.size = capped(l.natural, &l.capped);

    if (measured) {
        // Playback measured with an identity mapping; it plays the same way.
        l.initial = Mapping{};
    } else {
        Mapping& init = l.initial;
        init.windowOrg = bboxUsable ? QPointF(header->left, header->top) : l.device.topLeft();
        if (bboxUsable)
            init.setWindowExt(header->right - header->left, header->bottom - header->top);
        else
            init.setWindowExt(l.device.width(), l.device.height());
        init.viewportOrg = l.device.topLeft();
        init.setViewportExt(l.device.width(), l.device.height());
    }
    l.initial.deviceUnitsPerInch = kPixelsPerInch * l.device.width() / std::max(l.natural.width(), 1e-9);
    return l;
}

void play(const QByteArray& bytes, const Layout& l, QPainter& painter, const QRectF& target,
          WmfBudget* budget) {
    WmfBudget own;
    if (!budget) budget = &own;
    Frame frame{l.device, target, l.initial};
    frame.pixelScale = target.width() / std::max(l.natural.width(), 1.0);
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    Playback(bytes, l.header, frame, &painter, budget).run();
    painter.restore();
}

} // namespace

bool isWmf(const QByteArray& bytes) {
    return parseHeader(bytes).has_value();
}

std::optional<WmfInfo> readWmfInfo(const QByteArray& bytes, QString* error) {
    const auto l = computeLayout(bytes, error);
    if (!l) return std::nullopt;
    WmfInfo info;
    info.size = l->size;
    const auto twips = [](double v) { return int(std::clamp(std::round(v), 1.0, double(INT_MAX))); };
    info.twips = QSize(twips(l->twips.width()), twips(l->twips.height()));
    info.bounds = l->bounds;
    info.unitsPerInch = l->header.placeable ? l->header.unitsPerInch : 0;
    info.placeable = l->header.placeable;
    info.capped = l->capped;
    return info;
}

QImage renderWmf(const QByteArray& bytes, const QColor& background, QString* error, WmfBudget* budget) {
    const auto l = computeLayout(bytes, error);
    if (!l) return {};
    QImage image(l->size,
                 background.alpha() == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        setError(error, "There is not enough memory for the picture.");
        return {};
    }
    image.fill(background);
    QPainter painter(&image);
    play(bytes, *l, painter, QRectF(image.rect()), budget);
    return image;
}

std::function<QImage(const QByteArray&, qint64, qint64*)> metafileDecoder(WmfBudget* budget) {
    return [budget](const QByteArray& data, qint64 budgetBytes, qint64* claimed) -> QImage {
        const auto info = readWmfInfo(data);
        if (!info) return {};
        const qint64 bytes = qint64(info->size.width()) * info->size.height() * 4;
        if (claimed) *claimed = bytes;
        if (bytes > budgetBytes || (budget && budget->spent())) return {};
        return renderWmf(data, Qt::white, nullptr, budget);
    };
}

bool playWmf(const QByteArray& bytes, QPainter& painter, const QRectF& target, QString* error,
             WmfBudget* budget) {
    if (target.isEmpty()) {
        setError(error, "The target rectangle is empty.");
        return false;
    }
    const auto l = computeLayout(bytes, error);
    if (!l) return false;
    play(bytes, *l, painter, target, budget);
    return true;
}

} // namespace orbet
