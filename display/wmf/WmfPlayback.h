#pragma once

#include <optional>
#include <vector>

#include <QByteArray>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

#include "display/wmf/WmfBudget.h"
#include "display/wmf/WmfDcState.h"
#include "display/wmf/WmfFormat.h"
#include "display/wmf/WmfObjects.h"

// Record-by-record playback of a metafile onto a QPainter.
namespace orbet::wmf {

// Where playback puts the picture: the rectangle `device` (in device units of
// the mapping) is scaled onto `target` (painter coordinates). `initial` is the
// mapping in force before the first record, the way a picture loader sets up
// the window and viewport before it plays a file.
struct Frame {
    QRectF device;
    QRectF target;
    Mapping initial;
    // Target units per pixel of the picture's natural size; sizes GDI gives in
    // device pixels (the default font) scale with it.
    double pixelScale = 1;
};

// Qt's antialiasing rasteriser slows down sharply as more long edges cross
// each scan line: a few hundred edges spanning a large picture take minutes.
// Drawings have few such edges; paths with many (damaged or hostile files)
// are to be drawn aliased, the way GDI draws everything. False for those.
bool antialiasingAffordable(const QPainterPath& path, const QRectF& target);

// Plays the records of one metafile. Geometry is mapped to target coordinates
// by the program itself and drawn with the painter's own transform untouched,
// so pen widths, hatches and text follow the window/viewport mapping the way
// the metafile's writer saw them rather than being stretched by QPainter.
// With a null painter nothing is drawn; bounds() then tells where drawing
// would have gone, which sizes metafiles that declare no extent.
class Playback {
  public:
    // With a budget, playback stops once it is spent (or cancelled) and
    // marks it cut short.
    Playback(const QByteArray& bytes, const Header& header, const Frame& frame, QPainter* painter,
             WmfBudget* budget = nullptr);
    void run();

    QRectF bounds() const { return m_bounds; }
    int recordsPlayed() const { return m_records; }

  private:
    void play(const Record& r);

    // State, objects and clipping (WmfPlayback.cpp).
    void saveDC();
    void restoreDC(int which);
    void createObject(Object object);
    void selectObject(int index);
    void selectClipRegion(int index);
    void createDibPatternBrush(const Params& p);
    void createPatternBrush(const Params& p);
    void setPaletteEntries(const Params& p, bool resize);
    void clipToRect(const Params& p, bool exclude);
    void offsetClip(const Params& p);
    QRegion regionToTarget(const Region& region);
    QRegion currentClip() const;
    void setClip(std::optional<QRegion> clip);
    void mappingChanged();

    // Geometry helpers.
    QPointF map(double x, double y) const;
    QRectF mapRect(double left, double top, double right, double bottom) const;
    double scaleX() const { return m_toTarget.m11(); }
    double scaleY() const { return m_toTarget.m22(); }
    QColor color(ColorRef ref) const { return resolveColor(ref, m_state.palette); }

    // Shapes (WmfShapes.cpp).
    void lineTo(const Params& p);
    void polyline(const Params& p);
    void polygon(const Params& p);
    void polyPolygon(const Params& p);
    void rectangle(const Params& p);
    void roundRect(const Params& p);
    void ellipse(const Params& p);
    void arcFamily(const Params& p, quint16 function);
    void setPixel(const Params& p);
    void regionRecord(const Params& p, quint16 function);
    QPen qtPen() const;
    QBrush qtBrush(const Brush& brush) const;
    // Fills and outlines a path in target coordinates with the selected
    // brush and pen, honouring the drawing mode, background mode and clip.
    void paintPath(const QPainterPath& path, bool fill, bool stroke);
    void fillRegion(const QRegion& region, const QBrush& brush, int rop2);
    bool beginPaint(int rop2);

    // Text (WmfTextOut.cpp).
    void textOut(const Params& p);
    void extTextOut(const Params& p);
    void drawText(QPointF reference, QByteArrayView bytes, int options, const QRectF& box, const Params& dx,
                  bool pairs);
    QFont realizedFont();

    // Bitmaps (WmfBitmaps.cpp).
    void bitmapRecord(const Params& p, quint16 function);
    void patBlt(const Params& p);
    void blit(const QImage& image, QRectF source, QRectF dest, quint32 rop, bool bottomUpSource);
    void fillWithRop(const QRectF& dest, quint32 rop);

    void addBounds(QRectF rect);
    // Charges a drawing over `area` (target coordinates) to the budget; false,
    // and playback stops, when the budget cannot pay for it.
    bool afford(const QRectF& area);

    const QByteArray& m_bytes;
    Header m_header;
    Frame m_frame;
    QPainter* m_painter;
    QTransform m_frameTransform;
    QTransform m_toTarget;
    DcState m_state;
    std::vector<DcState> m_saved;
    ObjectTable m_objects;
    std::optional<QRegion> m_base;
    bool m_clipDirty = true;
    bool m_rasterOps = false;
    quint64 m_nextSerial = 1;
    quint64 m_realizedSerial = ~quint64(0);
    QTransform m_realizedTransform;
    QFont m_realizedFont;
    quint64 m_regionCacheSerial = 0;
    QTransform m_regionCacheTransform;
    QRegion m_regionCache;
    QRectF m_bounds;
    int m_records = 0;
    WmfBudget* m_budget = nullptr;
    bool m_stopped = false;
};

} // namespace orbet::wmf
