#include "display/ReadLimits.h"

#include <algorithm>

#include <QByteArray>
#include <QFile>
#include <QImageReader>

#include "platform/NativePath.h"

namespace orbet {

bool pictureTooLarge(const QString& path) {
    const PathFacts facts = pathFacts(path);
    if (!facts.isRegular) return false;
    if (facts.size > kPictureFileLimit) return true;
    QFile file;
    if (!openNative(file, path)) return false;
    QImageReader reader(&file);
    const QSize size = reader.size();
    if (!size.isValid()) return false;
    return qint64(size.width()) * size.height() * 4 > qint64(kDecodedPictureLimitMb) * 1024 * 1024;
}

bool gifClaimsMoreThanItHolds(const QByteArray& head, qint64 fileSize) {
    if (head.size() < 10 || !(head.startsWith("GIF87a") || head.startsWith("GIF89a"))) return false;
    const auto word = [&](int at) { return qint64(quint8(head[at])) | qint64(quint8(head[at + 1])) << 8; };
    constexpr qint64 kHeaderBytes = 13;
    const qint64 data = std::max<qint64>(fileSize - kHeaderBytes, 0);
    return word(6) * word(8) > data * 8 / 3 * 4096;
}

}  // namespace orbet
