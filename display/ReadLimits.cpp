#include "display/ReadLimits.h"

#include <algorithm>

#include <unistd.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QImageReader>

#include "display/JpegTiles.h"
#include "platform/NativePath.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(ReadLimits)
};
} // namespace

int decodedPictureLimitMb() {
    static const int limit = [] {
        const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
        if (pages <= 0 || pageSize <= 0) return kLeastDecodedPictureLimitMb;
        const qint64 quarterMb = qint64(pages) * pageSize / 4 / (1024 * 1024);
        return int(std::clamp<qint64>(quarterMb, kLeastDecodedPictureLimitMb, 1 << 20));
    }();
    return limit;
}

bool pictureTooLarge(const QString& path, int limitMb) {
    const PathFacts facts = pathFacts(path);
    if (!facts.isRegular) return false;
    if (facts.size > kPictureFileLimit) return true;
    QFile file;
    if (!openNative(file, path)) return false;
    const QSize tiled = tiledJpegSize(file.peek(1024 * 1024));
    if (!tiled.isEmpty()) return qint64(tiled.width()) * tiled.height() > kLargestTiledPixels;
    QImageReader reader(&file);
    const QSize size = reader.size();
    if (!size.isValid()) return false;
    return qint64(size.width()) * size.height() * 4 > qint64(limitMb) * 1024 * 1024;
}

std::optional<BoundedText> readBoundedText(const QString& path, qint64 limit) {
    if (!pathFacts(path).isRegular) return std::nullopt;
    QFile file;
    if (!openNative(file, path)) return std::nullopt;
    BoundedText text;
    text.bytes = file.read(limit);
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    text.cut = !file.atEnd();
    return text;
}

QString textCutMessage() {
    return Texts::tr("ファイルが大きいため、先頭の%1だけを表示しています")
        .arg(QLatin1String(kTextReadLimitText));
}

bool wrapsWell(const QString& text) {
    qsizetype longest = 0, start = 0;
    for (qsizetype i = 0; i <= text.size() && longest <= kLongestWrappedLine; ++i) {
        if (i == text.size() || text[i] == u'\n' || text[i] == QChar::ParagraphSeparator) {
            longest = std::max(longest, i - start);
            start = i + 1;
        }
    }
    return longest <= kLongestWrappedLine;
}

bool gifClaimsMoreThanItHolds(const QByteArray& head, qint64 fileSize) {
    if (head.size() < 10 || !(head.startsWith("GIF87a") || head.startsWith("GIF89a"))) return false;
    const auto word = [&](int at) { return qint64(quint8(head[at])) | qint64(quint8(head[at + 1])) << 8; };
    constexpr qint64 kHeaderBytes = 13;
    const qint64 data = std::max<qint64>(fileSize - kHeaderBytes, 0);
    return word(6) * word(8) > data * 8 / 3 * 4096;
}

} // namespace orbet
