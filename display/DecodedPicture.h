#pragma once

#include <QImage>
#include <QString>

namespace orbet {

// A picture a plug-in decoded from the file at `path`, as the screen shows
// it: converted through the profile the file embeds and turned upright by
// its EXIF orientation (while that is followed). Plug-ins give the pixels as
// stored; what the file says about them is read here, from its first
// megabyte.
QImage shownPicture(QImage decoded, const QString& path);

} // namespace orbet
