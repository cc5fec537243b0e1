#pragma once

#include <memory>
#include <optional>
#include <unordered_map>

#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>

class QPainter;

namespace orbet {

class ColourConversion;

// Built-in JPEGs whose whole decoded picture a pane does not hold: past
// this many bytes of pixels (64 Mi pixels, twice the largest screens) a
// colour baseline JPEG is shown by tiles, up to kLargestTiledPixels; a
// larger claim is refused as the decoded size limit refuses others.
constexpr qint64 kWholeJpegBytes = 256LL * 1024 * 1024;
constexpr qint64 kLargestTiledPixels = 1LL << 30;

// The picture's stored size when it is a colour baseline JPEG too large to
// decode whole, from the file's first bytes (its header); empty otherwise.
// JpegTiles takes those up to kLargestTiledPixels.
QSize tiledJpegSize(const QByteArray& head);

// The level (0 to 3: 1/1, 1/2, 1/4, 1/8 of the size) a picture of
// `picture` size is decoded at to be shown `shown` large: the smallest DCT
// scale that still covers it, so it is only ever scaled down.
int coveringLevel(QSize picture, QSizeF shown);

// The part `region` (in upright pixels of that level) of a colour baseline
// JPEG held in memory, at 1/2^level of its size, turned upright by
// `orientation` and converted through `colour`: the rows above it are
// skipped (entropy decoding only) and only its columns made into pixels,
// which come out as the whole picture's. Null on any error.
QImage decodeJpegPart(const QByteArray& bytes, int orientation, const ColourConversion* colour, int level,
                      QRect region);

// A photo too large to hold decoded whole, shown by the parts on screen. A
// part is decoded as tiles of 512 x 512 pixels at the level its scale
// asks for (libjpeg's cropping and skipping: only the rows down to the
// part are read, and only its columns are made into pixels), on one worker
// at a time; the latest part asked for is decoded next. Tiles are kept
// while they fit a budget of memory, those painted last kept longest.
// Upright by the stored orientation, in the display's colours, as every
// built-in picture.
class JpegTiles : public QObject {
    Q_OBJECT
  public:
    // Null for any file tiledJpegSize declines.
    static std::shared_ptr<JpegTiles> open(const QString& path);
    ~JpegTiles() override;

    // The upright picture's size.
    QSize size() const;
    // Paints the picture's part `source` (in its upright pixels) onto
    // `target`: the tiles at hand, a coarser stand-in where one is held,
    // and asks for the missing ones; tilesReady says when they came.
    void paint(QPainter& painter, const QRectF& target, const QRectF& source);
    // True while no tile asked for is still to come.
    bool idle() const { return !job_ && !wanted_; }
    // The whole picture at the level covering `shown`, decoded here (once;
    // it is kept, and serves as the stand-in for missing tiles).
    QImage whole(QSize shown);

  signals:
    void tilesReady();

  private:
    struct Source;
    struct Band {
        int level = 0;
        QRect region;
        QImage image;
    };
    struct Tile {
        QImage image;
        quint64 used = 0;
    };
    explicit JpegTiles(std::shared_ptr<const Source> source);
    QSize levelSize(int level) const;
    void request(int level, QRect tiles);
    void start(int level, QRect tiles);
    void arrived();
    void trim();

    std::shared_ptr<const Source> source_;
    std::unordered_map<quint64, Tile> tiles_;
    qint64 heldBytes_ = 0;
    quint64 paints_ = 0;
    std::optional<std::pair<int, QRect>> job_, wanted_;
    QFutureWatcher<Band> watcher_;
    // The whole picture at a coarse level, once someone asked for it.
    QImage whole_;
    int wholeLevel_ = -1;
};

} // namespace orbet
