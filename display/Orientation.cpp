#include "display/Orientation.h"

#include <algorithm>

#include <emmintrin.h>

namespace orbet {

namespace {

bool turns(int orientation) {
    return orientation >= 2 && orientation <= 8;
}

// The upright position of the stored pixel (x, y) of a stored picture w x h.
QPoint upright(int x, int y, int w, int h, int orientation) {
    switch (orientation) {
    case 2:
        return {w - 1 - x, y};
    case 3:
        return {w - 1 - x, h - 1 - y};
    case 4:
        return {x, h - 1 - y};
    case 5:
        return {y, x};
    case 6:
        return {h - 1 - y, x};
    case 7:
        return {h - 1 - y, w - 1 - x};
    case 8:
        return {y, w - 1 - x};
    default:
        return {x, y};
    }
}

} // namespace

bool cornerComesFirst(int orientation) {
    return orientation == 2 || orientation == 5 || orientation == 8 || !turns(orientation);
}

QSize uprightSize(QSize stored, int orientation) {
    return orientation >= 5 && orientation <= 8 ? stored.transposed() : stored;
}

QRect storedRect(QRect rect, QSize stored, int orientation) {
    if (!turns(orientation) || rect.isEmpty()) return rect;
    // Map back through the inverse: the stored pixels whose upright places
    // are the rectangle's corners span it.
    const QSize up = uprightSize(stored, orientation);
    int inverse = orientation;
    if (orientation == 6)
        inverse = 8;
    else if (orientation == 8)
        inverse = 6;
    const QPoint a = upright(rect.left(), rect.top(), up.width(), up.height(), inverse);
    const QPoint b = upright(rect.right(), rect.bottom(), up.width(), up.height(), inverse);
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

void placeStoredRows(const uchar* band, qsizetype bandStride, int width, int rows, QPoint origin,
                     QSize stored, int orientation, QImage& target) {
    if (width <= 0 || rows <= 0) return;
    uchar* bits = target.bits();
    const qsizetype bpl = target.bytesPerLine();
    const int tw = target.width(), th = target.height();
    const int w = stored.width(), h = stored.height();
    // The upright places are linear in the stored ones: the first pixel's,
    // and the steps along a stored row and down a stored column.
    const QPoint first = upright(origin.x(), origin.y(), w, h, orientation);
    const QPoint alongRow = upright(origin.x() + 1, origin.y(), w, h, orientation) - first;
    const QPoint downColumn = upright(origin.x(), origin.y() + 1, w, h, orientation) - first;
    const bool transposes = orientation >= 5 && orientation <= 8;
    constexpr int kLongestRun = 64;
    auto inside = [&](int i, int r) {
        const int x = first.x() + i * alongRow.x() + r * downColumn.x();
        const int y = first.y() + i * alongRow.y() + r * downColumn.y();
        return uint(x) < uint(tw) && uint(y) < uint(th);
    };
    if (inside(0, 0) && inside(width - 1, 0) && inside(0, rows - 1) && inside(width - 1, rows - 1)) {
        // The band lands inside the target whole (the map is affine): no
        // pixel needs checking, and the walk is a pointer's.
        const qsizetype stepI = alongRow.y() * bpl + alongRow.x() * 4;
        const qsizetype stepR = downColumn.y() * bpl + downColumn.x() * 4;
        uchar* base = bits + first.y() * bpl + qsizetype(first.x()) * 4;
        const uchar* lowest = base + (stepR < 0 ? (rows - 1) * stepR : 0);
        if (transposes && rows % 4 == 0 && rows <= kLongestRun && stepI % 16 == 0 &&
            quintptr(lowest) % 16 == 0) {
            // A stored row becomes an upright column, and the band's rows
            // become runs across the upright rows, each its own cache lines:
            // a run is gathered here and, into a large picture, written past
            // the cache, so the processor does not first read every line it
            // is about to overwrite whole.
            // Four stored columns are gathered at once, four rows at a time
            // turned by a 4 x 4 transpose in registers.
            alignas(16) quint32 runs[4][kLongestRun];
            const bool downward = stepR > 0;
            // A target this small is read again while it is still in the
            // cache (a pane paints it): written past the cache it would come
            // from memory.
            constexpr qsizetype kCachedBytes = qsizetype(8) << 20;
            const bool pastCache = target.sizeInBytes() > kCachedBytes;
            auto stream = [&](int i, const quint32* run) {
                auto* out = reinterpret_cast<__m128i*>(const_cast<uchar*>(lowest) + i * stepI);
                for (int k = 0; k < rows; k += 4, ++out) {
                    const __m128i four = _mm_load_si128(reinterpret_cast<const __m128i*>(run + k));
                    if (pastCache)
                        _mm_stream_si128(out, four);
                    else
                        _mm_store_si128(out, four);
                }
            };
            int i = 0;
            for (; i + 4 <= width; i += 4) {
                const uchar* in = band + qsizetype(i) * 4;
                for (int r = 0; r < rows; r += 4, in += 4 * bandStride) {
                    const __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
                    const __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + bandStride));
                    const __m128i a2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * bandStride));
                    const __m128i a3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 3 * bandStride));
                    const __m128i t0 = _mm_unpacklo_epi32(a0, a1), t1 = _mm_unpacklo_epi32(a2, a3);
                    const __m128i t2 = _mm_unpackhi_epi32(a0, a1), t3 = _mm_unpackhi_epi32(a2, a3);
                    const __m128i columns[4] = {_mm_unpacklo_epi64(t0, t1), _mm_unpackhi_epi64(t0, t1),
                                                _mm_unpacklo_epi64(t2, t3), _mm_unpackhi_epi64(t2, t3)};
                    // Upwards, the band's last row comes first in the run.
                    for (int k = 0; k < 4; ++k) {
                        if (downward)
                            _mm_store_si128(reinterpret_cast<__m128i*>(runs[k] + r), columns[k]);
                        else
                            _mm_store_si128(reinterpret_cast<__m128i*>(runs[k] + rows - 4 - r),
                                            _mm_shuffle_epi32(columns[k], 0x1B));
                    }
                }
                for (int k = 0; k < 4; ++k)
                    stream(i + k, runs[k]);
            }
            for (; i < width; ++i) {
                const uchar* in = band + qsizetype(i) * 4;
                quint32* run = runs[0];
                if (downward)
                    for (int r = 0; r < rows; ++r, in += bandStride)
                        run[r] = *reinterpret_cast<const quint32*>(in);
                else
                    for (int r = rows - 1; r >= 0; --r, in += bandStride)
                        run[r] = *reinterpret_cast<const quint32*>(in);
                stream(i, run);
            }
            // Written past the cache, they must be visible before the
            // picture is handed on.
            _mm_sfence();
        } else if (transposes) {
            // A stored row becomes an upright column: walking the band a
            // column at a time writes neighbouring pixels of one upright row
            // together.
            for (int i = 0; i < width; ++i) {
                uchar* out = base + i * stepI;
                const uchar* in = band + qsizetype(i) * 4;
                for (int r = 0; r < rows; ++r, out += stepR, in += bandStride)
                    *reinterpret_cast<quint32*>(out) = *reinterpret_cast<const quint32*>(in);
            }
        } else {
            for (int r = 0; r < rows; ++r) {
                uchar* out = base + r * stepR;
                const auto* in = reinterpret_cast<const quint32*>(band + r * bandStride);
                for (int i = 0; i < width; ++i, out += stepI)
                    *reinterpret_cast<quint32*>(out) = in[i];
            }
        }
        return;
    }
    // Partly outside (a corner of the picture): each pixel on its own.
    for (int r = 0; r < rows; ++r) {
        const auto* in = reinterpret_cast<const quint32*>(band + r * bandStride);
        for (int i = 0; i < width; ++i) {
            const int x = first.x() + i * alongRow.x() + r * downColumn.x();
            const int y = first.y() + i * alongRow.y() + r * downColumn.y();
            if (uint(x) < uint(tw) && uint(y) < uint(th))
                reinterpret_cast<quint32*>(bits + y * bpl)[x] = in[i];
        }
    }
}

QImage orientedPart(const QImage& image, QRect part, int orientation) {
    part &= image.rect();
    if (image.depth() != 32) return orientedImage(image.copy(part), orientation);
    if (!turns(orientation) || part.isEmpty()) return image.copy(part);
    QImage turned(uprightSize(part.size(), orientation), image.format());
    if (turned.isNull()) return {};
    // Bands of rows keep the writes of a quarter turn close together.
    constexpr int kBand = 64;
    for (int y = 0; y < part.height(); y += kBand)
        placeStoredRows(image.constScanLine(part.top() + y) + qsizetype(part.left()) * 4,
                        image.bytesPerLine(), part.width(), std::min(kBand, part.height() - y), QPoint(0, y),
                        part.size(), orientation, turned);
    return turned;
}

QImage orientedImage(QImage image, int orientation) {
    if (!turns(orientation) || image.isNull()) return image;
    if (image.depth() != 32)
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                              : QImage::Format_RGB32);
    QImage turned = orientedPart(image, image.rect(), orientation);
    if (turned.isNull()) return {};
    turned.setDotsPerMeterX(orientation >= 5 ? image.dotsPerMeterY() : image.dotsPerMeterX());
    turned.setDotsPerMeterY(orientation >= 5 ? image.dotsPerMeterX() : image.dotsPerMeterY());
    return turned;
}

} // namespace orbet
