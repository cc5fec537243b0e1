#include "display/ReadLimits.h"

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

}  // namespace orbet
