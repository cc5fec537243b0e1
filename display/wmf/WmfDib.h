#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QList>
#include <QRgb>

// Bitmaps embedded in metafile records.
namespace orbet::wmf {

// Largest bitmap a record may unpack, in pixels (128 MiB at 4 bytes a pixel).
constexpr qint64 kMaxBitmapPixels = qint64(1) << 25;

// The twenty colours of the default logical palette, used for palette-index
// colours while the metafile has selected no palette of its own.
const QList<QRgb>& defaultPalette();

// Decodes a device-independent bitmap (BITMAPCOREHEADER or BITMAPINFOHEADER
// and its later versions): 1, 4, 8, 16, 24 and 32 bits a pixel, uncompressed,
// bit fields, RLE8 and RLE4, bottom-up and top-down. With paletteIndices the
// colour table holds 16-bit indices into `palette` instead of colours.
// Uncompressed pixel data must be present in full; run-length data may end
// early, and pixels it never sets stay transparent. The result is at most
// kMaxBitmapPixels and, for run-length data, at most 256 pixels per byte of
// input beyond a first megapixel, so memory follows the record's size. A null
// image for anything unusable (JPEG and PNG pass-through included).
QImage decodeDib(QByteArrayView dib, bool paletteIndices = false, const QList<QRgb>& palette = {});

// Decodes the device-dependent Bitmap16 object of the older bitmap records and
// pattern brushes: monochrome (0 black, 1 white), 24 and 32 bits a pixel.
QImage decodeBitmap16(QByteArrayView data);

} // namespace orbet::wmf
