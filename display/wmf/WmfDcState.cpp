#include "display/wmf/WmfDcState.h"

#include <cmath>

namespace orbet::wmf {

namespace {

constexpr double kMaxExtent = 2147483647.0;

bool usableExtent(double x, double y) {
    return x != 0 && y != 0 && std::abs(x) <= kMaxExtent && std::abs(y) <= kMaxExtent;
}

bool scaled(QPointF& ext, int xNum, int xDenom, int yNum, int yDenom) {
    if (xDenom == 0 || yDenom == 0) return false;
    const double x = std::trunc(ext.x() * xNum / xDenom);
    const double y = std::trunc(ext.y() * yNum / yDenom);
    if (!usableExtent(x, y)) return false;
    ext = QPointF(x, y);
    return true;
}

double unitsPerInch(int mode) {
    switch (mode) {
    case MmLoMetric:
        return 254;
    case MmHiMetric:
        return 2540;
    case MmLoEnglish:
        return 100;
    case MmHiEnglish:
        return 1000;
    case MmTwips:
        return 1440;
    default:
        return 0;
    }
}

} // namespace

void Mapping::setMode(int m) {
    if (m >= MmText && m <= MmAnisotropic) mode = m;
}

void Mapping::setWindowExt(double x, double y) {
    if (usableExtent(x, y)) windowExt = QPointF(x, y);
}

void Mapping::setViewportExt(double x, double y) {
    if (usableExtent(x, y)) viewportExt = QPointF(x, y);
}

void Mapping::scaleWindowExt(int xNum, int xDenom, int yNum, int yDenom) {
    scaled(windowExt, xNum, xDenom, yNum, yDenom);
}

void Mapping::scaleViewportExt(int xNum, int xDenom, int yNum, int yDenom) {
    scaled(viewportExt, xNum, xDenom, yNum, yDenom);
}

QTransform Mapping::toDevice() const {
    double sx = 1, sy = 1;
    if (mode == MmIsotropic || mode == MmAnisotropic) {
        sx = viewportExt.x() / windowExt.x();
        sy = viewportExt.y() / windowExt.y();
        if (mode == MmIsotropic) {
            const double m = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
    } else if (mode != MmText) {
        sx = deviceUnitsPerInch / unitsPerInch(mode);
        sy = -sx;
    }
    return QTransform(sx, 0, 0, sy, viewportOrg.x() - windowOrg.x() * sx,
                      viewportOrg.y() - windowOrg.y() * sy);
}

QColor resolveColor(ColorRef ref, const QList<QRgb>& palette) {
    if ((ref >> 24) == 0x01) {
        const qsizetype index = ref & 0xFFFF;
        return index < palette.size() ? QColor(palette[index]) : QColor(Qt::black);
    }
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

} // namespace orbet::wmf
