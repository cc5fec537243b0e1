#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include "platform/Numbers.h"

namespace orbet::twips {

int perPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    const auto per = num::toInt32(1440.0 / (dpi > 0 ? dpi : 96.0));
    return per && *per > 0 ? *per : 15;
}

int toPixels(double twips) {
    return int(num::intDiv(twips, perPixel()));
}

int fromPixels(int pixels) {
    return pixels * perPixel();
}

QRect toPixels(const TwipsRect& r) {
    return {toPixels(r.left), toPixels(r.top), toPixels(r.width), toPixels(r.height)};
}

TwipsRect fromPixels(const QRect& r) {
    return {fromPixels(r.left()), fromPixels(r.top()), fromPixels(r.width()), fromPixels(r.height())};
}

} // namespace orbet::twips
