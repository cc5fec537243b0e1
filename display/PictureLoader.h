#pragma once

#include <atomic>

#include <QImage>
#include <QString>

#include "display/JpegDecoder.h"
#include "display/ReadLimits.h"

namespace orbet {

// The built-in picture loader: BMP, GIF (first frame), JPEG and ICO through
// the toolkit's readers, WMF through the metafile player, at natural size and
// turned upright by a JPEG's stored orientation while that is followed
// (followsStoredOrientation). Any other format (PNG, TIFF, ...),
// whatever the file's name, gives a null image, as does a file it cannot read
// or a picture whose decoded size would pass allocationLimitMb, and a JPEG
// shown by tiles (JpegTiles), which is never decoded whole at full size.
// With `corner`, a large photo hands its upright corner over while the rest
// decodes, and comes as stored when it is quarter-turned and the hand-off
// takes that (its wholeTurn() then tells the turn); every other picture
// hands over nothing, once it is decoded or refused. Once `stop` is set, a
// JPEG gives nothing, a large photo's decoding giving up within a band of
// rows.
QImage loadBuiltInPicture(const QString& path, int allocationLimitMb = decodedPictureLimitMb(),
                          JpegCornerHandOff* corner = nullptr, const std::atomic<bool>* stop = nullptr);

// True for a name the metafile player takes (".wmf" in any case).
bool isMetafileName(const QString& path);
// A metafile file drawn at natural size under a fresh work budget (see
// WmfBudget), stopping early when *cancel is set; *cutShort tells whether
// the picture holds only what was drawn before the budget ran out. Safe on
// any thread. A null image for a file that is no metafile.
QImage loadMetafile(const QString& path, const std::atomic<bool>* cancel = nullptr, bool* cutShort = nullptr);

// The format a picture's first bytes announce: "jpeg", "png", "bmp", "gif"
// or "ico"; empty for anything else. A reader told the format loads that
// one decoder; asked to find it out, the toolkit loads every image plug-in
// it has (a dozen libraries) to ask each in turn.
QByteArray pictureFormatOf(const QByteArray& head);

// One of the program's own pictures (the start-up picture), in any of the
// formats above; a null image when it is missing or none of them.
QImage loadProgramPicture(const QString& path);

// The top-left corner of a large photo (a colour baseline JPEG of millions
// of pixels), decoded alone so a pane can show it before the whole picture
// is ready; `whole` receives the picture's size. Null for any other file,
// and for a photo whose upright corner lies at the end of its file or an
// empty `corner` (`whole` then set: loadBuiltInPicture hands the corner
// over instead).
// Both are those of the upright picture, as loadBuiltInPicture gives it.
// True for a file loadJpegCorner takes, told from its first bytes.
bool showsCornerFirst(const QString& path, int allocationLimitMb = decodedPictureLimitMb());
QImage loadJpegCorner(const QString& path, QSize corner, QSize* whole,
                      int allocationLimitMb = decodedPictureLimitMb());

} // namespace orbet
