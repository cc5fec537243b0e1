#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace orbet {

// Turning pictures upright by their stored orientation (numbered as EXIF
// numbers it, see ExifOrientation.h). Numbers outside 2-8 leave a picture
// as it is.

// The size of the upright picture of a stored one.
QSize uprightSize(QSize stored, int orientation);

// True when the upright picture's top-left corner comes from the stored
// picture's first rows (1, 2, 5, 8): only then can a JPEG's corner be
// decoded ahead of the rest, since a file is read from its start.
bool cornerComesFirst(int orientation);

// The part of the stored picture that becomes `upright` (a rectangle of the
// upright picture) once turned.
QRect storedRect(QRect upright, QSize stored, int orientation);

// Writes rows of stored pixels (32 bits each) into their upright places in
// `target`, the upright picture's top-left part (the whole picture, or a
// corner of it); pixels that fall outside target are dropped. The band's
// first pixel is the stored picture's pixel at `origin`.
void placeStoredRows(const uchar* band, qsizetype bandStride, int width, int rows, QPoint origin,
                     QSize stored, int orientation, QImage& target);

// The picture turned upright. 32-bit pictures keep their format; others
// become RGB32 or premultiplied ARGB32 first.
QImage orientedImage(QImage image, int orientation);
// The part `part` of the stored picture turned upright, as orientedImage
// turns it, without copying it out first: what a pane paints of a picture
// it holds as stored.
QImage orientedPart(const QImage& image, QRect part, int orientation);

} // namespace orbet
