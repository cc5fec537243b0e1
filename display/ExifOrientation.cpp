#include "display/ExifOrientation.h"

#include <atomic>

#include <QFile>

#include "platform/NativePath.h"

namespace orbet {

namespace {

std::atomic<bool> followOrientation{true};

// Unsigned reads at an offset, in the structure's own byte order; a read
// past the end gives nothing.
struct Bytes {
    const QByteArray& data;
    bool little = false;
    bool fits(qint64 at, qint64 length) const { return at >= 0 && length >= 0 && at <= data.size() - length; }
    quint32 u16(qint64 at) const {
        const auto* p = reinterpret_cast<const uchar*>(data.constData()) + at;
        return little ? quint32(p[0] | p[1] << 8) : quint32(p[0] << 8 | p[1]);
    }
    quint32 u32(qint64 at) const {
        const auto* p = reinterpret_cast<const uchar*>(data.constData()) + at;
        return little ? quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24
                      : quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
    }
};

constexpr quint32 kOrientationTag = 0x0112;
constexpr quint32 kShort = 3;

bool tiffHeader(const QByteArray& tiff, Bytes& bytes, quint32& directory) {
    if (tiff.size() < 8) return false;
    if (tiff.startsWith("II"))
        bytes.little = true;
    else if (!tiff.startsWith("MM"))
        return false;
    if (bytes.u16(2) != 42) return false;
    directory = bytes.u32(4);
    return true;
}

// The orientation entries of a directory at `at` of `bytes`.
int directoryOrientation(const Bytes& bytes, qint64 at) {
    if (!bytes.fits(at, 2)) return 1;
    const quint32 count = bytes.u16(at);
    int found = 0;
    for (quint32 i = 0; i < count; ++i) {
        const qint64 entry = at + 2 + qint64(i) * 12;
        if (!bytes.fits(entry, 12)) break;
        if (bytes.u16(entry) != kOrientationTag) continue;
        if (bytes.u16(entry + 2) != kShort || bytes.u32(entry + 4) < 1) return 1;
        const int value = int(bytes.u16(entry + 8));
        if (value < 1 || value > 8 || (found && found != value)) return 1;
        found = value;
    }
    return found ? found : 1;
}

quint32 be32(const QByteArray& data, qint64 at) {
    return Bytes{data, false}.u32(at);
}

int jpegOrientation(const QByteArray& head) {
    qint64 at = 2;
    // The segments before the picture data; Exif comes first in practice.
    while (at + 4 <= head.size()) {
        if (uchar(head[at]) != 0xFF) return 1;
        const uchar marker = uchar(head[at + 1]);
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) return 1; // the picture data, or the end
        const qint64 length = (uchar(head[at + 2]) << 8) | uchar(head[at + 3]);
        if (length < 2) return 1;
        if (marker == 0xE1 && length >= 8 && head.mid(at + 4, 6) == QByteArray("Exif\0\0", 6)) {
            if (at + 2 + length > head.size()) return 1;
            return tiffOrientation(head.mid(at + 10, length - 8));
        }
        at += 2 + length;
    }
    return 1;
}

int pngOrientation(const QByteArray& head) {
    for (qint64 at = 8; at + 12 <= head.size();) {
        const qint64 length = be32(head, at);
        const QByteArray type = head.mid(at + 4, 4);
        if (type == "IDAT" || type == "IEND") return 1;
        if (length > head.size() - at - 12) return 1;
        if (type == "eXIf") return tiffOrientation(head.mid(at + 8, length));
        at += 12 + length;
    }
    return 1;
}

int webpOrientation(const QByteArray& head) {
    for (qint64 at = 12; at + 8 <= head.size();) {
        const qint64 length = Bytes{head, true}.u32(at + 4);
        if (length > head.size() - at - 8) return 1;
        if (head.mid(at, 4) == "EXIF") {
            QByteArray block = head.mid(at + 8, length);
            // Some writers keep JPEG's "Exif\0\0" prefix.
            if (block.startsWith(QByteArray("Exif\0\0", 6))) block.remove(0, 6);
            return tiffOrientation(block);
        }
        at += 8 + length + (length & 1);
    }
    return 1;
}

} // namespace

int tiffOrientation(const QByteArray& tiff) {
    Bytes bytes{tiff};
    quint32 directory = 0;
    if (!tiffHeader(tiff, bytes, directory)) return 1;
    return directoryOrientation(bytes, qint64(directory));
}

int storedOrientation(const QByteArray& head) {
    if (head.startsWith("\xff\xd8")) return jpegOrientation(head);
    if (head.startsWith("\x89PNG\r\n\x1a\n")) return pngOrientation(head);
    if (head.startsWith("RIFF") && head.mid(8, 4) == "WEBP") return webpOrientation(head);
    return tiffOrientation(head);
}

int storedOrientationOfFile(const QString& path) {
    constexpr qint64 kHead = 1024 * 1024;
    constexpr qint64 kDirectory = 8 * 1024;
    const PathFacts facts = pathFacts(path);
    QFile file;
    if (!facts.isRegular || !openNative(file, path)) return 1;
    const QByteArray head = file.read(kHead);
    Bytes bytes{head};
    quint32 directory = 0;
    if (!tiffHeader(head, bytes, directory) || file.atEnd() || qint64(directory) + kDirectory <= head.size())
        return storedOrientation(head);
    // A TIFF file's first directory may follow its pixels.
    if (!file.seek(directory)) return 1;
    QByteArray shifted = head.left(8) + file.read(kDirectory);
    Bytes moved{shifted, bytes.little};
    return directoryOrientation(moved, 8);
}

bool followsStoredOrientation() {
    return followOrientation.load(std::memory_order_relaxed);
}

void setFollowsStoredOrientation(bool on) {
    followOrientation.store(on, std::memory_order_relaxed);
}

} // namespace orbet
