#include "display/PictureLoader.h"

#include <QImageReader>

namespace orbet {

QImage loadBuiltInPicture(const QString& path, int allocationLimitMb) {
    QImageReader reader(path);
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
