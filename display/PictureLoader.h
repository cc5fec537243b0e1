#pragma once

#include <QImage>
#include <QString>

#include "display/ReadLimits.h"

namespace orbet {

// The built-in picture loader: BMP, GIF (first frame), JPEG and ICO through
// the toolkit's readers, WMF through the metafile player, at natural size and
// without applying any stored orientation. Any other format (PNG, TIFF, ...),
// whatever the file's name, gives a null image, as does a file it cannot read
// or a picture whose decoded size would pass allocationLimitMb.
QImage loadBuiltInPicture(const QString& path, int allocationLimitMb = kDecodedPictureLimitMb);

}  // namespace orbet
