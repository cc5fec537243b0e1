#pragma once

#include <QByteArray>
#include <QString>

namespace orbet {

// The stored orientation of a picture as EXIF numbers it: 1 upright as
// stored, 2 mirrored left to right, 3 turned half round, 4 mirrored top to
// bottom, 5 transposed, 6 to be turned a quarter right, 7 transversed, 8 to
// be turned a quarter left. Anything unreadable, outside 1-8 or
// contradictory (the tag repeated with another value) counts as 1.

// The orientation a TIFF structure (EXIF's own, or a whole TIFF file)
// gives in its first directory. Reads only inside `tiff`.
int tiffOrientation(const QByteArray& tiff);

// The orientation the first bytes of a picture file give: JPEG's APP1 Exif
// segment, PNG's eXIf chunk, WebP's EXIF chunk or a TIFF file's tag. Every
// length and offset is checked against `head`; an EXIF block that points
// outside itself gives 1.
int storedOrientation(const QByteArray& head);

// The same, read from the file: at most the first megabyte, and for a TIFF
// file whose first directory lies beyond it, a few kilobytes there.
int storedOrientationOfFile(const QString& path);

// Whether pictures are shown upright by their stored orientation (the
// option, on by default). Read by the decoding threads.
bool followsStoredOrientation();
void setFollowsStoredOrientation(bool on);

} // namespace orbet
