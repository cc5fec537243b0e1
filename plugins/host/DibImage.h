#pragma once

#include <cstddef>

#include <QColor>
#include <QImage>

#include "plugins/host/SusieLibrary.h"

namespace orbet {

// Builds a picture from a device-independent bitmap: header points to the
// information header (40, 108 or 124 bytes) followed by its colour table,
// pixels to the rows. headerBytes and pixelBytes are how much may be read at
// each; nothing beyond them is touched.
//
// Refused (null image): a header or pixel block shorter than it must be, any
// other header size, a bit count other than 1, 4, 8, 16, 24 or 32, an
// encoding other than 0 (plain pixels), a colour table that does not fit,
// a width below 1, a height of 0, or sizes whose rows or total overflow.
//
// The result: 1 bit Format_Mono, 4 and 8 bits Format_Indexed8 (the colour
// table always has all 2^bits entries, missing ones black), 16 bits
// Format_RGB555, 24 bits Format_BGR888, 32 bits Format_ARGB32 with the fourth
// byte as alpha, except that a bitmap whose fourth bytes are all 0 is taken
// as opaque (Format_RGB32). Rows are top-down in the image whatever the
// bitmap's order. A positive resolution in the header carries over.
QImage dibToPicture(const void* header, std::size_t headerBytes, const void* pixels, std::size_t pixelBytes);

// The same for the blocks a plug-in handed back, read up to their usable
// sizes.
QImage dibToPicture(const PictureBlocks& blocks);

// How a picture is shown: one with alpha composed over the background
// colour, an opaque one unchanged.
QImage composeOver(const QImage& picture, const QColor& background);

} // namespace orbet
