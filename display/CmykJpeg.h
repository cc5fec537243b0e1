#pragma once

#include <QByteArray>
#include <QImage>

namespace orbet {

class ColourConversion;

// A CMYK JPEG decoded as its C, M, Y and K bytes and converted through its
// profile (`cmyk`, made for inverted CMYK input, as Adobe stores it), which
// the toolkit's reader would instead turn to RGB by a rule of thumb. Null for
// any other JPEG, one whose pixels would pass the limit, or a broken file.
QImage decodeCmykJpeg(const QByteArray& bytes, const ColourConversion& cmyk, qint64 allocationLimitBytes);

} // namespace orbet
