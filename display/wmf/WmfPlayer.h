#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

#include "display/wmf/WmfBudget.h"

class QPainter;

// Windows Metafile (WMF) player: reads placeable and standard metafiles and
// draws them with QPainter. Enhanced metafiles (EMF) are refused.
//
// Every function takes the whole file in memory and trusts none of it: cut
// files play up to the cut, records of impossible size end playback, unknown
// records are skipped, and memory stays proportional to the file apart from
// the rendered image, whose size is capped (kMaxPictureSide, kMaxPicturePixels).
//
// The picture is played the way a Windows picture loader plays it: the
// window the file sets up is stretched over the target, drawing modes, clip
// and text alignment follow GDI. Shapes and text are antialiased (GDI's are
// not), except paths too costly to antialias, which only damaged files hold.
// Flood fills, escapes, text given as glyph indices and right-to-left layout
// are not played.
//
// Text needs fonts, so drawing requires a QGuiApplication (the offscreen
// platform is enough).
namespace orbet {

// The rendered picture is scaled down, keeping its proportions, until both
// sides are at most 16384 pixels and it holds at most 32 Mi pixels (128 MiB
// at 4 bytes a pixel).
constexpr int kMaxPictureSide = 16384;
constexpr qint64 kMaxPicturePixels = qint64(1) << 25;

struct WmfInfo {
    // Natural size in pixels at 96 pixels per inch, after the cap.
    QSize size;
    // Natural size in twips (1440 per inch) before the cap.
    QSize twips;
    // The picture's rectangle in the metafile's logical units: the placeable
    // bounding box, else the window (origin and extent) in force when drawing
    // starts, else the extent of what the records draw.
    QRectF bounds;
    // Logical units per inch of a placeable file; 0 for standard files.
    int unitsPerInch = 0;
    bool placeable = false;
    // True when the natural size exceeded the cap and `size` was reduced.
    bool capped = false;
};

// True when the bytes begin with a placeable or standard metafile header.
bool isWmf(const QByteArray& bytes);

// Natural size: a placeable file's bounding box at its units per inch,
// converted to pixels at 96 per inch (twips / 15). A standard file's first
// window extent, one logical unit to a pixel. A file with neither is sized
// by the area its records draw on. nullopt (with a reason in *error) for
// files that are not metafiles, are enhanced metafiles, or draw nothing.
std::optional<WmfInfo> readWmfInfo(const QByteArray& bytes, QString* error = nullptr);

// Renders at natural size onto `background`. The image is opaque
// (Format_RGB32) unless the background has alpha, then premultiplied ARGB.
// A null image (with a reason in *error) when readWmfInfo fails or the image
// cannot be allocated. Drawing stops when the budget is spent (a fresh
// default one when none is given): the image then holds what was drawn, and
// budget->cutShort says so. Safe on any thread.
QImage renderWmf(const QByteArray& bytes, const QColor& background = Qt::white, QString* error = nullptr,
                 WmfBudget* budget = nullptr);

// Draws the picture scaled to fill `target` (in the painter's current
// coordinates, which the picture's own mapping is applied within). Drawing is
// clipped to `target`; the painter's state is restored afterwards. False
// (with a reason in *error) when nothing could be played.
bool playWmf(const QByteArray& bytes, QPainter& painter, const QRectF& target, QString* error = nullptr,
             WmfBudget* budget = nullptr);

// The metafile decoder the RTF reader takes (its MetafileDecoder): a picture
// whose natural size would take more than the reader allows is refused before
// anything is drawn, and every picture draws under `budget`, which the
// pictures of one document share; once it is spent the rest are left out.
std::function<QImage(const QByteArray& data, qint64 budgetBytes, qint64* claimed)>
metafileDecoder(WmfBudget* budget);

} // namespace orbet
