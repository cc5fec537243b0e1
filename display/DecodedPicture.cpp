#include "display/DecodedPicture.h"

#include <QFile>

#include "display/ColourProfile.h"
#include "display/ExifOrientation.h"
#include "display/Orientation.h"
#include "platform/NativePath.h"

namespace orbet {

QImage shownPicture(QImage decoded, const QString& path) {
    if (decoded.isNull()) return decoded;
    QFile file;
    if (!pathFacts(path).isRegular || !openNative(file, path)) return decoded;
    const QByteArray head = file.read(1024 * 1024);
    file.close();
    const auto colour = ColourConversion::from(embeddedProfile(head));
    const int orientation = followsStoredOrientation() ? storedOrientationOfFile(path) : 1;
    return orientedImage(convertedPicture(std::move(decoded), colour.get()), orientation);
}

} // namespace orbet
