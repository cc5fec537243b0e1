#include "plugins/host/DibImage.h"

#include <cstdint>
#include <cstring>
#include <limits>

#include <QList>

namespace orbet {

namespace {

template <class T> T field(const unsigned char* bytes, std::size_t offset) {
    T value;
    std::memcpy(&value, bytes + offset, sizeof value);
    return value;
}

// Row length in 32-bit words for the bit counts a bitmap may have; 0 for any
// other bit count.
std::int64_t rowWords(int bits, std::int64_t width) {
    switch (bits) {
    case 1:
        return (width + 31) / 32;
    case 4:
        return (width + 7) / 8;
    case 8:
        return (width + 3) / 4;
    case 16:
        return (width + 1) / 2;
    case 24:
        return (3 * width + 3) / 4;
    case 32:
        return width;
    default:
        return 0;
    }
}

QImage::Format formatFor(int bits) {
    switch (bits) {
    case 1:
        return QImage::Format_Mono;
    case 4:
    case 8:
        return QImage::Format_Indexed8;
    case 16:
        return QImage::Format_RGB555;
    case 24:
        return QImage::Format_BGR888;
    default:
        return QImage::Format_ARGB32;
    }
}

void copyRow(int bits, const unsigned char* source, uchar* target, std::int64_t width, std::int64_t rowBytes,
             std::uint8_t& alphaSeen) {
    switch (bits) {
    case 1:
        std::memcpy(target, source, std::size_t(rowBytes));
        break;
    case 4:
        for (std::int64_t x = 0; x < width; ++x) {
            const unsigned char pair = source[x / 2];
            target[x] = (x % 2 == 0) ? (pair >> 4) : (pair & 0x0F);
        }
        break;
    case 8:
        std::memcpy(target, source, std::size_t(width));
        break;
    case 16:
        // The top bit of a 5-5-5 pixel is unused and may hold anything.
        for (std::int64_t x = 0; x < width; ++x) {
            std::uint16_t pixel = field<std::uint16_t>(source, std::size_t(2 * x)) & 0x7FFF;
            std::memcpy(target + 2 * x, &pixel, sizeof pixel);
        }
        break;
    case 24:
        std::memcpy(target, source, std::size_t(3 * width));
        break;
    default:
        std::memcpy(target, source, std::size_t(4 * width));
        for (std::int64_t x = 0; x < width; ++x)
            alphaSeen |= source[4 * x + 3];
        break;
    }
}

// Bitmaps written with a reserved fourth byte leave it 0; showing those as
// fully transparent would show nothing at all.
QImage opaqueFromZeroAlpha(QImage image) {
    for (int y = 0; y < image.height(); ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x)
            row[4 * x + 3] = 0xFF;
    }
    image.reinterpretAsFormat(QImage::Format_RGB32);
    return image;
}

} // namespace

QImage dibToPicture(const void* header, std::size_t headerBytes, const void* pixels, std::size_t pixelBytes) {
    if (!header || headerBytes < 4) return {};
    const auto* info = static_cast<const unsigned char*>(header);
    const std::uint32_t headerSize = field<std::uint32_t>(info, 0);
    if (headerSize != 40 && headerSize != 108 && headerSize != 124) return {};
    if (headerBytes < headerSize) return {};

    const std::int64_t width = field<std::int32_t>(info, 4);
    const std::int64_t height = field<std::int32_t>(info, 8);
    const int bits = field<std::uint16_t>(info, 14);
    const std::int64_t words = rowWords(bits, width);
    if (words == 0 || width < 1 || height == 0) return {};

    const std::int64_t rows = height < 0 ? -height : height;
    const std::int64_t rowBytes = words * 4;
    if (rowBytes > std::numeric_limits<std::int32_t>::max() ||
        rows > std::numeric_limits<std::int32_t>::max())
        return {};
    const std::int64_t imageBytes = rows * rowBytes;
    if (!pixels || std::uint64_t(imageBytes) > pixelBytes) return {};

    if (field<std::uint32_t>(info, 16) != 0) return {};

    std::uint64_t colours = field<std::uint32_t>(info, 32);
    if (colours == 0 && bits <= 8) colours = std::uint64_t(1) << bits;
    if (colours > 0 && headerSize + colours * 4 > headerBytes) return {};

    QImage image(int(width), int(rows), formatFor(bits));
    if (image.isNull()) return {};

    if (bits <= 8) {
        const std::uint64_t entries = std::uint64_t(1) << bits;
        QList<QRgb> table(qsizetype(entries), qRgb(0, 0, 0));
        const unsigned char* quads = info + headerSize;
        for (std::uint64_t i = 0; i < entries && i < colours; ++i)
            table[qsizetype(i)] = qRgb(quads[4 * i + 2], quads[4 * i + 1], quads[4 * i]);
        image.setColorTable(table);
    }

    const auto* source = static_cast<const unsigned char*>(pixels);
    const bool bottomUp = height > 0;
    std::uint8_t alphaSeen = 0;
    for (std::int64_t y = 0; y < rows; ++y) {
        const std::int64_t sourceRow = bottomUp ? rows - 1 - y : y;
        copyRow(bits, source + sourceRow * rowBytes, image.scanLine(int(y)), width, rowBytes, alphaSeen);
    }

    const std::int32_t xDensity = field<std::int32_t>(info, 24);
    const std::int32_t yDensity = field<std::int32_t>(info, 28);
    if (xDensity > 0) image.setDotsPerMeterX(xDensity);
    if (yDensity > 0) image.setDotsPerMeterY(yDensity);

    if (bits == 32 && alphaSeen == 0) return opaqueFromZeroAlpha(std::move(image));
    return image;
}

QImage dibToPicture(const PictureBlocks& blocks) {
    return dibToPicture(blocks.header.get(), blockSize(blocks.header.get()), blocks.pixels.get(),
                        blockSize(blocks.pixels.get()));
}

QImage composeOver(const QImage& picture, const QColor& background) {
    if (picture.isNull() || !picture.hasAlphaChannel()) return picture;
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    QImage shown(source.size(), QImage::Format_RGB32);
    shown.setDotsPerMeterX(source.dotsPerMeterX());
    shown.setDotsPerMeterY(source.dotsPerMeterY());
    const int backRed = background.red(), backGreen = background.green(), backBlue = background.blue();
    auto mix = [](int front, int back, int alpha) {
        return (front * alpha + back * (255 - alpha) + 127) / 255;
    };
    for (int y = 0; y < source.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(shown.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const int alpha = qAlpha(in[x]);
            out[x] = qRgb(mix(qRed(in[x]), backRed, alpha), mix(qGreen(in[x]), backGreen, alpha),
                          mix(qBlue(in[x]), backBlue, alpha));
        }
    }
    return shown;
}

} // namespace orbet
