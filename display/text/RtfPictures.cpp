#include "display/text/RtfPictures.h"

#include <algorithm>
#include <array>

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

namespace orbet {

namespace {

constexpr std::array<signed char, 256> makeHexTable() {
    std::array<signed char, 256> table{};
    for (auto& v : table)
        v = -1;
    for (int c = '0'; c <= '9'; ++c)
        table[c] = static_cast<signed char>(c - '0');
    for (int c = 'a'; c <= 'f'; ++c)
        table[c] = static_cast<signed char>(c - 'a' + 10);
    for (int c = 'A'; c <= 'F'; ++c)
        table[c] = static_cast<signed char>(c - 'A' + 10);
    return table;
}

constexpr std::array<signed char, 256> kHex = makeHexTable();

constexpr double kTwipsPerPixel = 15.0;
constexpr double kMaxPixels = 20000.0;

QImage readImage(const QByteArray& data, const char* format, qint64& budgetBytes) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    const qint64 claimed = size.isValid() ? qint64(size.width()) * size.height() * 4 : 0;
    if (claimed > budgetBytes) {
        budgetBytes = 0;
        return {};
    }
    reader.setAllocationLimit(int(std::min<qint64>(budgetBytes >> 20, 1 << 30) + 1));
    QImage image = reader.read();
    budgetBytes -= std::max(claimed, qint64(image.sizeInBytes()));
    return budgetBytes < 0 ? QImage() : image;
}

// A packed DIB becomes a BMP file by putting the 14-byte file header in front;
// the only work is finding where the pixels start.
QByteArray bmpFromDib(const QByteArray& dib) {
    if (dib.size() < 12) return {};
    const auto* p = reinterpret_cast<const uchar*>(dib.constData());
    const quint32 headerSize = qFromLittleEndian<quint32>(p);
    if (headerSize < 12 || headerSize > quint32(dib.size())) return {};
    quint32 bitCount = 0, colours = 0, masks = 0, entrySize = 4;
    if (headerSize == 12) {
        bitCount = qFromLittleEndian<quint16>(p + 10);
        entrySize = 3;
    } else {
        if (headerSize < 36) return {};
        bitCount = qFromLittleEndian<quint16>(p + 14);
        const quint32 compression = qFromLittleEndian<quint32>(p + 16);
        colours = qFromLittleEndian<quint32>(p + 32);
        if (headerSize == 40 && compression == 3) masks = 12;
        if (headerSize == 40 && compression == 6) masks = 16;
    }
    if (colours == 0 && bitCount <= 8) colours = 1u << bitCount;
    if (colours > 65536) return {};
    const quint32 offset = 14 + headerSize + masks + colours * entrySize;
    QByteArray file(14, '\0');
    file[0] = 'B';
    file[1] = 'M';
    qToLittleEndian<quint32>(quint32(14 + dib.size()), file.data() + 2);
    qToLittleEndian<quint32>(offset, file.data() + 10);
    return file + dib;
}

} // namespace

void RtfPicture::appendHex(std::string_view text) {
    const qsizetype start = data.size();
    data.resize(start + qsizetype(text.size() / 2) + 1);
    char* out = data.data() + start;
    int nibble = pendingNibble_;
    for (const char c : text) {
        const int v = kHex[static_cast<unsigned char>(c)];
        if (v < 0) continue;
        if (nibble < 0) {
            nibble = v;
        } else {
            *out++ = static_cast<char>(nibble * 16 + v);
            nibble = -1;
        }
    }
    pendingNibble_ = nibble;
    data.truncate(out - data.constData());
}

void RtfPicture::appendBinary(std::string_view bytes) {
    data.append(bytes.data(), qsizetype(bytes.size()));
    pendingNibble_ = -1;
}

QImage decodePicture(const RtfPicture& picture, const MetafileDecoder& decodeWmf, qint64& budgetBytes) {
    if (picture.data.isEmpty() || budgetBytes <= 0) return {};
    switch (picture.kind) {
    case RtfPictureKind::Png:
    case RtfPictureKind::Jpeg:
        return readImage(picture.data, nullptr, budgetBytes);
    case RtfPictureKind::Dib: {
        const QByteArray bmp = bmpFromDib(picture.data);
        return bmp.isEmpty() ? QImage() : readImage(bmp, "bmp", budgetBytes);
    }
    case RtfPictureKind::Wmf: {
        if (!decodeWmf) return {};
        qint64 claimed = 0;
        QImage image = decodeWmf(picture.data, budgetBytes, &claimed);
        budgetBytes -= std::max(claimed, qint64(image.sizeInBytes()));
        return budgetBytes < 0 ? QImage() : image;
    }
    case RtfPictureKind::Emf:
    case RtfPictureKind::Unknown:
        return {};
    }
    return {};
}

QSizeF pictureDisplaySize(const RtfPicture& picture, QSize imageSize) {
    const bool metafile = picture.kind == RtfPictureKind::Wmf || picture.kind == RtfPictureKind::Emf;
    auto natural = [&](std::int32_t goal, std::int32_t declared, int pixels) -> double {
        if (goal > 0) return goal / kTwipsPerPixel;
        if (metafile && declared > 0) return declared * 96.0 / 2540.0;
        if (pixels > 0) return pixels;
        return declared > 0 ? double(declared) : 0.0;
    };
    auto scaled = [](double size, std::int32_t percent) {
        if (percent > 0) size = size * percent / 100.0;
        return std::clamp(size, 1.0, kMaxPixels);
    };
    return {scaled(natural(picture.goalWidth, picture.width, imageSize.width()), picture.scaleX),
            scaled(natural(picture.goalHeight, picture.height, imageSize.height()), picture.scaleY)};
}

} // namespace orbet
