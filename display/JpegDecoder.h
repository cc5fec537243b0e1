#pragma once

#include <QByteArray>
#include <QImage>

namespace orbet {

// Decodes a large baseline JPEG on two threads: one decodes the top part,
// the other skips to the bottom part (entropy decoding only) and decodes it,
// both straight into one image. Colour JPEGs only (YCbCr or RGB); for
// anything else (progressive, grey, CMYK, small pictures) or on any error it
// returns a null image and the caller uses the ordinary reader.
QImage decodeJpegInParallel(const QByteArray& bytes, qint64 allocationLimitBytes);

}  // namespace orbet
