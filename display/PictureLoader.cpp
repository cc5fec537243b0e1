#include "display/PictureLoader.h"

#include <QFile>
#include <QImageReader>

#include "display/JpegDecoder.h"
#include "display/wmf/WmfPlayer.h"
#include "platform/NativePath.h"

namespace orbet {

QImage loadBuiltInPicture(const QString& path, int allocationLimitMb) {
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
    QImage image = reader.read();
    if (image.isNull()) return {};
    // Paletted and odd formats are drawn much faster once converted.
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                        : image.convertToFormat(QImage::Format_RGB32);
    return image;
}

}  // namespace orbet
