#pragma once

#include <QRect>

#include "platform/ProgramState.h"

// The one place where twips meet pixels: twips per pixel = 1440 / the
// screen's logical DPI (15 at 96 DPI). Everything else computes in twips.
namespace orbet::twips {

int perPixel();
int toPixels(double twips);
int fromPixels(int pixels);
QRect toPixels(const TwipsRect& r);
TwipsRect fromPixels(const QRect& r);

} // namespace orbet::twips
