#include "display/PictureLoader.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include "display/JpegDecoder.h"
#include "display/ReadLimits.h"
#include "display/wmf/WmfPlayer.h"
#include "platform/NativePath.h"

namespace orbet {

bool showsCornerFirst(const QString& path, int allocationLimitMb) {
    const PathFacts facts = pathFacts(path);
    if (!facts.isRegular || facts.size > kPictureFileLimit) return false;
    QFile file;
    if (!openNative(file, path)) return false;
    // Room for the metadata a camera writes ahead of the picture's header.
    const QByteArray head = file.read(512 * 1024);
    return head.startsWith(QByteArray("\xff\xd8\xff", 3)) &&
           !largeJpegSize(head, qint64(allocationLimitMb) * 1024 * 1024).isEmpty();
}

QImage loadJpegCorner(const QString& path, QSize corner, QSize* whole, int allocationLimitMb) {
    if (whole) *whole = QSize();
    const PathFacts facts = pathFacts(path);
    if (!facts.isRegular || facts.size > kPictureFileLimit) return {};
    QFile file;
    if (!openNative(file, path) || file.peek(3) != QByteArray("\xff\xd8\xff", 3)) return {};
    return decodeJpegCorner(file, corner, qint64(allocationLimitMb) * 1024 * 1024, whole);
}

QImage loadBuiltInPicture(const QString& path, int allocationLimitMb) {
    // Pipes, sockets and devices are never read: they may block or never end.
    // Nor is a file larger than any picture we would decode.
    const PathFacts facts = pathFacts(path);
    if (!facts.isRegular || facts.size > kPictureFileLimit) return {};
    // Metafiles are drawings, not bitmaps: they go to our own player.
    if (path.endsWith(QLatin1String(".wmf"), Qt::CaseInsensitive)) {
        QFile file;
        if (!openNative(file, path)) return {};
        const QByteArray bytes = file.read(64 * 1024 * 1024);
        if (isWmf(bytes)) return renderWmf(bytes);
    }
    QFile file;
    if (!openNative(file, path)) return {};
    if (file.peek(3) == QByteArray("\xff\xd8\xff", 3)) {
        QImage image = decodeJpegInParallel(file.readAll(), qint64(allocationLimitMb) * 1024 * 1024);
        if (!image.isNull()) return image;
        file.seek(0);
    }
    QImageReader reader(&file);
    reader.setAutoTransform(false);
    reader.setAllocationLimit(allocationLimitMb);
    reader.setDecideFormatFromContent(true);
    // Only the kinds the built-in route promises; every other format the
    // toolkit happens to read is the plug-ins' to decode, or nobody's.
    static const QList<QByteArray> kBuiltInFormats = {"bmp", "gif", "jpeg", "jpg", "ico"};
    if (!kBuiltInFormats.contains(reader.format().toLower())) return {};
    QImage image = reader.read();
    if (image.isNull()) return {};
    // Paletted and odd formats are drawn much faster once converted.
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                        : image.convertToFormat(QImage::Format_RGB32);
    return image;
}

}  // namespace orbet
