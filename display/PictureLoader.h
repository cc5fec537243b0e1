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

// The top-left corner of a large photo (a colour baseline JPEG of millions
// of pixels), decoded alone so a pane can show it before the whole picture
// is ready; `whole` receives the picture's size. Null for any other file.
// True for a file loadJpegCorner takes, told from its first bytes.
bool showsCornerFirst(const QString& path, int allocationLimitMb = kDecodedPictureLimitMb);
QImage loadJpegCorner(const QString& path, QSize corner, QSize* whole,
                      int allocationLimitMb = kDecodedPictureLimitMb);

}  // namespace orbet
