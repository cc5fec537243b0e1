#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QImage>

namespace orbet {

// Decodes a large baseline JPEG on two threads: one decodes the top part,
// the other skips to the bottom part (entropy decoding only) and decodes it,
// both straight into one image. Colour JPEGs only (YCbCr or RGB); for
// anything else (progressive, grey, CMYK, small pictures) or on any error it
// returns a null image and the caller uses the ordinary reader.
QImage decodeJpegInParallel(const QByteArray& bytes, qint64 allocationLimitBytes);

// The picture's size when decodeJpegInParallel takes it, from its header
// (the start of the file is enough); empty otherwise.
QSize largeJpegSize(const QByteArray& head, qint64 allocationLimitBytes);

// The top-left corner of a picture decodeJpegInParallel takes, decoded
// alone: the part of a large photo a pane shows first. Its pixels are those
// the whole decoding gives there; it is `corner` large, or the picture's
// size where that is smaller. `whole` receives the picture's size. Null for any picture decodeJpegInParallel declines.
// It reads the device only as far as the corner's last row.
QImage decodeJpegCorner(QIODevice& device, QSize corner, qint64 allocationLimitBytes, QSize* whole);

}  // namespace orbet
