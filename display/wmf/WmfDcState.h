#pragma once

#include <optional>

#include <QColor>
#include <QList>
#include <QPointF>
#include <QRegion>
#include <QTransform>

#include "display/wmf/WmfObjects.h"

// The drawing state of playback: what SaveDC saves and RestoreDC brings back.
namespace orbet::wmf {

enum MapMode {
    MmText = 1,
    MmLoMetric,
    MmHiMetric,
    MmLoEnglish,
    MmHiEnglish,
    MmTwips,
    MmIsotropic,
    MmAnisotropic
};
enum BkMode { Transparent = 1, Opaque = 2 };
enum PolyFillMode { Alternate = 1, Winding = 2 };
enum Rop2 { R2Black = 1, R2Not = 6, R2XorPen = 7, R2Nop = 11, R2CopyPen = 13, R2White = 16 };
enum TextAlign { TaUpdateCp = 1, TaRight = 2, TaCenter = 6, TaBottom = 8, TaBaseline = 24 };

// Window-to-viewport mapping from logical to device units. Device units are
// those of the frame the player maps onto its target (see WmfPlayback.h).
struct Mapping {
    int mode = MmAnisotropic;
    QPointF windowOrg;
    QPointF windowExt{1, 1};
    QPointF viewportOrg;
    QPointF viewportExt{1, 1};
    // Device units per inch, for the modes of fixed physical size.
    double deviceUnitsPerInch = 96;

    // Unknown modes are ignored, as GDI refuses them.
    void setMode(int m);
    // An extent with a zero component is refused and leaves the old one.
    void setWindowExt(double x, double y);
    void setViewportExt(double x, double y);
    // Multiplies and divides the extent; zero denominators and results that
    // are zero or beyond 32 bits are refused.
    void scaleWindowExt(int xNum, int xDenom, int yNum, int yDenom);
    void scaleViewportExt(int xNum, int xDenom, int yNum, int yDenom);

    QTransform toDevice() const;
};

// Resolves a colour reference: 0x01 in the high byte selects a palette entry
// (black when out of range), anything else is read as red, green, blue.
QColor resolveColor(ColorRef ref, const QList<QRgb>& palette);

struct DcState {
    Mapping mapping;
    Pen pen;
    Brush brush;
    Font font;
    // Changes whenever another font is selected, so a realised font can be reused.
    quint64 fontSerial = 0;
    QList<QRgb> palette;
    ColorRef textColor = 0x000000;
    ColorRef bkColor = 0xFFFFFF;
    int bkMode = Opaque;
    int textAlign = 0;
    int polyFillMode = Alternate;
    int rop2 = R2CopyPen;
    int stretchMode = 1;
    int charExtra = 0;
    QPointF position;
    // In target coordinates; nullopt is no clipping beyond the target itself.
    std::optional<QRegion> clip;
};

} // namespace orbet::wmf
