#include "display/wmf/WmfDib.h"

#include <bit>

#include "display/wmf/WmfFormat.h"

namespace orbet::wmf {

namespace {

enum Compression : quint32 { BiRgb = 0, BiRle8 = 1, BiRle4 = 2, BiBitfields = 3 };

constexpr qint64 kRlePixelsPerByte = 256;
constexpr qint64 kRleFreePixels = qint64(1) << 20;

quint32 readU32(QByteArrayView d, qint64 at) {
    return quint32(quint8(d[at])) | quint32(quint8(d[at + 1])) << 8 | quint32(quint8(d[at + 2])) << 16 |
           quint32(quint8(d[at + 3])) << 24;
}

// One channel of a bit-field pixel, widened to eight bits.
struct Channel {
    quint32 mask = 0;
    int shift = 0;
    quint32 max = 0;

    explicit Channel(quint32 m) : mask(m) {
        if (!m) return;
        shift = std::countr_zero(m);
        max = m >> shift;
    }
    int value(quint32 pixel) const {
        if (!max) return 0;
        return int(((pixel & mask) >> shift) * 255 / max);
    }
};

struct DibLayout {
    qint64 width = 0;
    qint64 height = 0;
    bool topDown = false;
    int bpp = 0;
    quint32 compression = BiRgb;
    QList<QRgb> colors;
    quint32 masks[3] = {0, 0, 0};
    qint64 bitsOffset = 0;
};

std::optional<DibLayout> readLayout(QByteArrayView dib, bool paletteIndices, const QList<QRgb>& palette) {
    const Params p(dib);
    if (p.size() < 12) return std::nullopt;
    const quint32 headerSize = p.u32(0);
    DibLayout l;
    qint64 tableCount = 0;
    int entrySize = 4;
    if (headerSize == 12) {
        l.width = p.u16(2);
        l.height = p.u16(3);
        l.bpp = p.u16(5);
        entrySize = 3;
        if (l.bpp <= 8) tableCount = qint64(1) << l.bpp;
    } else if (headerSize >= 40 && headerSize <= quint32(p.size())) {
        l.width = qint32(p.u32(2));
        const qint32 h = qint32(p.u32(4));
        l.topDown = h < 0;
        l.height = qAbs(qint64(h));
        l.bpp = p.u16(7);
        l.compression = p.u32(8);
        const quint32 used = p.u32(16);
        tableCount = used ? qint64(used) : (l.bpp <= 8 ? qint64(1) << l.bpp : 0);
    } else {
        return std::nullopt;
    }
    if (l.width <= 0 || l.height <= 0 || l.width * l.height > kMaxBitmapPixels) return std::nullopt;
    if (l.bpp != 1 && l.bpp != 4 && l.bpp != 8 && l.bpp != 16 && l.bpp != 24 && l.bpp != 32)
        return std::nullopt;
    const bool rleOk = (l.compression == BiRle8 && l.bpp == 8) || (l.compression == BiRle4 && l.bpp == 4);
    const bool fieldsOk = l.compression == BiBitfields && (l.bpp == 16 || l.bpp == 32);
    if (l.compression != BiRgb && !rleOk && !fieldsOk) return std::nullopt;
    if (l.topDown && rleOk) return std::nullopt;

    qint64 offset = headerSize;
    if (fieldsOk) {
        if (offset == 40) offset += 12;
        if (p.size() < 52) return std::nullopt;
        for (int i = 0; i < 3; ++i)
            l.masks[i] = readU32(dib, 40 + i * 4);
    } else if (l.bpp == 16) {
        l.masks[0] = 0x7C00, l.masks[1] = 0x03E0, l.masks[2] = 0x001F;
    }
    if (paletteIndices && l.bpp <= 8) entrySize = 2;
    if (tableCount > (p.size() - offset) / entrySize) return std::nullopt;
    if (l.bpp <= 8) {
        const qint64 n = qMin<qint64>(tableCount, qint64(1) << l.bpp);
        l.colors.reserve(n);
        for (qint64 i = 0; i < n; ++i) {
            const qint64 at = offset + i * entrySize;
            if (entrySize == 2) {
                const int index = quint8(dib[at]) | quint8(dib[at + 1]) << 8;
                l.colors.append(index < palette.size() ? palette[index] : qRgb(0, 0, 0));
            } else {
                l.colors.append(qRgb(quint8(dib[at + 2]), quint8(dib[at + 1]), quint8(dib[at])));
            }
        }
    }
    l.bitsOffset = offset + tableCount * entrySize;
    return l;
}

QRgb indexed(const DibLayout& l, int index) {
    return index < l.colors.size() ? (l.colors[index] | 0xFF000000u) : qRgb(0, 0, 0);
}

QImage decodeUncompressed(QByteArrayView dib, const DibLayout& l) {
    const qint64 stride = (l.width * l.bpp + 31) / 32 * 4;
    const qint64 lastRow = (l.width * l.bpp + 7) / 8;
    const qint64 available = dib.size() - l.bitsOffset;
    if ((l.height - 1) * stride + lastRow > available) return {};
    QImage image(int(l.width), int(l.height), QImage::Format_RGB32);
    if (image.isNull()) return {};
    const Channel r(l.masks[0]), g(l.masks[1]), b(l.masks[2]);
    for (qint64 row = 0; row < l.height; ++row) {
        const auto* src = reinterpret_cast<const uchar*>(dib.data() + l.bitsOffset + row * stride);
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(int(l.topDown ? row : l.height - 1 - row)));
        for (qint64 x = 0; x < l.width; ++x) {
            switch (l.bpp) {
            case 1:
                dst[x] = indexed(l, (src[x >> 3] >> (7 - (x & 7))) & 1);
                break;
            case 4:
                dst[x] = indexed(l, (x & 1) ? src[x >> 1] & 0x0F : src[x >> 1] >> 4);
                break;
            case 8:
                dst[x] = indexed(l, src[x]);
                break;
            case 16: {
                const quint32 v = quint32(src[x * 2]) | quint32(src[x * 2 + 1]) << 8;
                dst[x] = qRgb(r.value(v), g.value(v), b.value(v));
                break;
            }
            case 24:
                dst[x] = qRgb(src[x * 3 + 2], src[x * 3 + 1], src[x * 3]);
                break;
            default: {
                const quint32 v = quint32(src[x * 4]) | quint32(src[x * 4 + 1]) << 8 |
                                  quint32(src[x * 4 + 2]) << 16 | quint32(src[x * 4 + 3]) << 24;
                dst[x] = l.compression == BiBitfields ? qRgb(r.value(v), g.value(v), b.value(v))
                                                      : (v | 0xFF000000u);
                break;
            }
            }
        }
    }
    return image;
}

QImage decodeRle(QByteArrayView dib, const DibLayout& l) {
    const qint64 size = dib.size() - l.bitsOffset;
    if (size <= 0 || l.width * l.height > kRleFreePixels + kRlePixelsPerByte * size) return {};
    QImage image(int(l.width), int(l.height), QImage::Format_ARGB32);
    if (image.isNull()) return {};
    image.fill(Qt::transparent);
    const auto* d = reinterpret_cast<const uchar*>(dib.data() + l.bitsOffset);
    const bool four = l.compression == BiRle4;
    qint64 x = 0, y = 0, pos = 0;
    auto put = [&](int index) {
        if (x < l.width && y < l.height)
            reinterpret_cast<QRgb*>(image.scanLine(int(l.height - 1 - y)))[x] = indexed(l, index);
        ++x;
    };
    while (pos + 1 < size && y < l.height) {
        const int count = d[pos];
        const int value = d[pos + 1];
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                put(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (pos + 1 >= size) break;
            x += d[pos];
            y += d[pos + 1];
            pos += 2;
        } else {
            const qint64 bytes = four ? (value + 1) / 2 : value;
            if (pos + bytes > size) break;
            for (int i = 0; i < value; ++i) {
                const int byte = d[pos + (four ? i / 2 : i)];
                put(four ? ((i & 1) ? byte & 0x0F : byte >> 4) : byte);
            }
            pos += (bytes + 1) & ~qint64(1);
        }
    }
    return image;
}

} // namespace

const QList<QRgb>& defaultPalette() {
    static const QList<QRgb> colors = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),     qRgb(0, 128, 0),     qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128),   qRgb(0, 128, 128),   qRgb(192, 192, 192),
        qRgb(192, 220, 192), qRgb(166, 202, 240), qRgb(255, 251, 240), qRgb(160, 160, 164),
        qRgb(128, 128, 128), qRgb(255, 0, 0),     qRgb(0, 255, 0),     qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255),   qRgb(0, 255, 255),   qRgb(255, 255, 255),
    };
    return colors;
}

QImage decodeDib(QByteArrayView dib, bool paletteIndices, const QList<QRgb>& palette) {
    const auto layout = readLayout(dib, paletteIndices, palette);
    if (!layout || layout->bitsOffset > dib.size()) return {};
    if (layout->compression == BiRle8 || layout->compression == BiRle4) return decodeRle(dib, *layout);
    return decodeUncompressed(dib, *layout);
}

QImage decodeBitmap16(QByteArrayView data) {
    const Params p(data);
    if (p.size() < 10) return {};
    const qint64 width = p.i16(1);
    const qint64 height = p.i16(2);
    const qint64 stride = p.i16(3);
    const int bpp = p.u8(9);
    if (width <= 0 || height <= 0 || stride <= 0 || width * height > kMaxBitmapPixels) return {};
    if ((bpp != 1 && bpp != 24 && bpp != 32) || stride < (width * bpp + 7) / 8) return {};
    if (stride * height > p.size() - 10) return {};
    QImage image(int(width), int(height), QImage::Format_RGB32);
    if (image.isNull()) return {};
    for (qint64 row = 0; row < height; ++row) {
        const auto* src = reinterpret_cast<const uchar*>(data.data() + 10 + row * stride);
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(int(row)));
        for (qint64 x = 0; x < width; ++x) {
            if (bpp == 1)
                dst[x] = ((src[x >> 3] >> (7 - (x & 7))) & 1) ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
            else
                dst[x] = qRgb(src[x * bpp / 8 + 2], src[x * bpp / 8 + 1], src[x * bpp / 8]);
        }
    }
    return image;
}

} // namespace orbet::wmf
