#pragma once

#include <optional>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The byte-level layer of a Windows Metafile: the two headers and the record
// stream. Nothing here trusts a size or count from the file; every read is
// bounded by the bytes actually present.
namespace orbet::wmf {

namespace fn {
enum : quint16 {
    Eof = 0x0000,
    SaveDC = 0x001E,
    RealizePalette = 0x0035,
    SetPalEntries = 0x0037,
    CreatePalette = 0x00F7,
    SetBkMode = 0x0102,
    SetMapMode = 0x0103,
    SetRop2 = 0x0104,
    SetRelAbs = 0x0105,
    SetPolyFillMode = 0x0106,
    SetStretchBltMode = 0x0107,
    SetTextCharExtra = 0x0108,
    RestoreDC = 0x0127,
    InvertRegion = 0x012A,
    PaintRegion = 0x012B,
    SelectClipRegion = 0x012C,
    SelectObject = 0x012D,
    SetTextAlign = 0x012E,
    ResizePalette = 0x0139,
    DibCreatePatternBrush = 0x0142,
    SetLayout = 0x0149,
    DeleteObject = 0x01F0,
    CreatePatternBrush = 0x01F9,
    SetBkColor = 0x0201,
    SetTextColor = 0x0209,
    SetTextJustification = 0x020A,
    SetWindowOrg = 0x020B,
    SetWindowExt = 0x020C,
    SetViewportOrg = 0x020D,
    SetViewportExt = 0x020E,
    OffsetWindowOrg = 0x020F,
    OffsetViewportOrg = 0x0211,
    LineTo = 0x0213,
    MoveTo = 0x0214,
    OffsetClipRgn = 0x0220,
    FillRegion = 0x0228,
    SetMapperFlags = 0x0231,
    SelectPalette = 0x0234,
    CreatePenIndirect = 0x02FA,
    CreateFontIndirect = 0x02FB,
    CreateBrushIndirect = 0x02FC,
    Polygon = 0x0324,
    Polyline = 0x0325,
    ScaleWindowExt = 0x0410,
    ScaleViewportExt = 0x0412,
    ExcludeClipRect = 0x0415,
    IntersectClipRect = 0x0416,
    Ellipse = 0x0418,
    FloodFill = 0x0419,
    Rectangle = 0x041B,
    SetPixel = 0x041F,
    FrameRegion = 0x0429,
    AnimatePalette = 0x0436,
    TextOut = 0x0521,
    PolyPolygon = 0x0538,
    ExtFloodFill = 0x0548,
    RoundRect = 0x061C,
    PatBlt = 0x061D,
    Escape = 0x0626,
    CreateRegion = 0x06FF,
    Arc = 0x0817,
    Pie = 0x081A,
    Chord = 0x0830,
    BitBlt = 0x0922,
    DibBitBlt = 0x0940,
    ExtTextOut = 0x0A32,
    StretchBlt = 0x0B23,
    DibStretchBlt = 0x0B41,
    SetDibToDev = 0x0D33,
    StretchDib = 0x0F43,
};
} // namespace fn

// Little-endian view of a record's parameters. Reads outside the view give 0,
// so callers check hasWords() once for the fixed part and may then read freely.
class Params {
  public:
    Params() = default;
    explicit Params(QByteArrayView bytes) : m_bytes(bytes) {}

    qsizetype size() const { return m_bytes.size(); }
    qsizetype words() const { return m_bytes.size() / 2; }
    bool hasWords(qsizetype n) const { return n >= 0 && words() >= n; }

    quint8 u8(qsizetype byte) const;
    quint16 u16(qsizetype word) const;
    qint16 i16(qsizetype word) const { return qint16(u16(word)); }
    // Two words, the low one first.
    quint32 u32(qsizetype word) const { return u16(word) | (quint32(u16(word + 1)) << 16); }

    // The bytes from a byte offset on; empty when the offset is past the end.
    Params from(qsizetype byteOffset) const;
    // At most n bytes from a byte offset; shorter when the view ends first.
    QByteArrayView bytes(qsizetype byteOffset, qsizetype n) const;
    QByteArrayView all() const { return m_bytes; }

  private:
    QByteArrayView m_bytes;
};

struct Record {
    quint16 function = 0;
    Params params;
};

struct Header {
    bool placeable = false;
    // Placeable bounding box as stored: left, top, right, bottom in logical units.
    int left = 0, top = 0, right = 0, bottom = 0;
    int unitsPerInch = 0;
    // Object table size the writer declared; a hint, never trusted as a limit.
    int objectCount = 0;
    qsizetype recordsOffset = 0;
};

// Recognises placeable and standard metafiles (type 1 or 2, header of nine
// words, version 1.0 or 3.0). A placeable header's checksum is not checked.
// Enhanced metafiles and anything else give nullopt with a reason in *error.
std::optional<Header> parseHeader(const QByteArray& bytes, QString* error = nullptr);

// Walks the records after the header. Stops at the end record, at the end of
// the data, and at a record whose size is below the three-word minimum or
// runs past the data (the file is then treated as ending there).
class RecordReader {
  public:
    RecordReader(const QByteArray& bytes, qsizetype offset) : m_bytes(bytes), m_offset(offset) {}
    bool next(Record& out);
    // True when reading stopped at a malformed or cut record rather than at
    // the end record.
    bool stoppedEarly() const { return m_stoppedEarly; }

  private:
    QByteArrayView m_bytes;
    qsizetype m_offset;
    bool m_done = false;
    bool m_stoppedEarly = false;
};

} // namespace orbet::wmf
