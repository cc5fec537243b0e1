#pragma once

#include <optional>
#include <variant>
#include <vector>

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRect>
#include <QRgb>

#include "display/wmf/WmfFormat.h"

// The graphics objects a metafile creates and the table that holds them
// between creation and deletion.
namespace orbet::wmf {

// Colours stay as the file's 32-bit colour references until drawing time,
// since a palette-index reference means whatever palette is then selected.
using ColorRef = quint32;

enum PenStyle { PsSolid = 0, PsDash, PsDot, PsDashDot, PsDashDotDot, PsNull, PsInsideFrame };
enum BrushStyle {
    BsSolid = 0,
    BsNull = 1,
    BsHatched = 2,
    BsPattern = 3,
    BsDibPattern = 5,
    BsDibPatternPt = 6
};

struct Pen {
    int style = PsSolid; // low byte: PenStyle; higher bits: end cap and join
    int width = 0;       // logical units; 0 is one device pixel
    ColorRef color = 0;
};

struct Brush {
    int style = BsSolid;
    ColorRef color = 0xFFFFFF;
    int hatch = 0;
    QImage pattern; // pattern brushes only; null when the bitmap was unusable
};

struct Font {
    int height = 0; // negative: character height; positive: cell height; 0: default
    int width = 0;
    int escapement = 0; // tenths of a degree, counter-clockwise
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 0;
    int pitchAndFamily = 0;
    QByteArray faceName; // in the font's own character set, without the terminator
};

struct Palette {
    QList<QRgb> colors;
};

// Rectangles in logical units, as the scan lines of the region record give them.
struct Region {
    QList<QRect> rects;
    // Set by playback when the region is created; identifies it in caches.
    quint64 serial = 0;
};

using Object = std::variant<std::monostate, Pen, Brush, Font, Palette, Region>;

// The handle table of playback. A new object takes the lowest free index;
// deletion frees the index. The size the header declares is not enforced:
// files that understate it still play, and the table only grows as objects
// are created (up to the 16-bit index range), so its memory follows the file.
class ObjectTable {
  public:
    // Index the object was stored at, or -1 when the table is full.
    int add(Object object);
    // nullptr for free and out-of-range indices.
    const Object* at(int index) const;
    bool remove(int index);
    int size() const { return int(m_slots.size()); }

    static constexpr int kMaxSize = 65536;

  private:
    std::vector<Object> m_slots;
    size_t m_firstMaybeFree = 0;
};

Pen parsePen(const Params& p);
Brush parseBrush(const Params& p);
Font parseFont(const Params& p);
// Palette object: start word, entry count, then red, green, blue, flags per entry.
Palette parsePalette(const Params& p);
// nullopt when the record is too short for what it declares. A record of
// exactly four words is read as a rectangle (bottom, right, top, left).
std::optional<Region> parseRegion(const Params& p);

} // namespace orbet::wmf
