#include "display/ReadLimits.h"

#include <QFileInfo>
#include <QImageReader>

namespace orbet {

bool pictureTooLarge(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile()) return false;
    if (info.size() > kPictureFileLimit) return true;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (!size.isValid()) return false;
    return qint64(size.width()) * size.height() * 4 > qint64(kDecodedPictureLimitMb) * 1024 * 1024;
}

}  // namespace orbet
