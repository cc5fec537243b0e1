#include "display/JpegTiles.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>

#include <QFile>
#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>
#include <jpeglib.h>

#include "display/ColourProfile.h"
#include "display/ExifOrientation.h"
#include "display/Orientation.h"
#include "display/ReadLimits.h"
#include "platform/NativePath.h"

namespace orbet {

namespace {

constexpr int kTile = 512;
constexpr int kLevels = 4;
// Tiles kept: a dozen screenfuls of a large screen.
constexpr qint64 kTileBudget = 96LL * 1024 * 1024;
// Where a JPEG keeps its orientation and profile: segments before the
// picture. A press profile takes a few hundred kilobytes.
constexpr qint64 kMetadataHead = 1024 * 1024;

struct Errors {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};
[[noreturn]] void jumpBack(j_common_ptr info) {
    std::longjmp(reinterpret_cast<Errors*>(info->err)->jump, 1);
}
void silent(j_common_ptr, int) {}

// A decompressor over bytes in memory whose errors jump back to the caller's
// setjmp on `errors.jump`, destroyed whichever way the caller leaves.
struct Decompressor {
    jpeg_decompress_struct info{};
    Errors errors{};
    explicit Decompressor(const QByteArray& bytes) : bytes_(bytes) {
        info.err = jpeg_std_error(&errors.base);
        errors.base.error_exit = jumpBack;
        errors.base.emit_message = silent;
    }
    ~Decompressor() { jpeg_destroy_decompress(&info); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
    void create() {
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes_.constData()),
                     static_cast<unsigned long>(bytes_.size()));
    }

  private:
    const QByteArray& bytes_;
};

quint64 tileKey(int level, int tx, int ty) {
    return quint64(quint32(tx)) << 34 | quint64(quint32(ty)) << 2 | quint64(level);
}

QSize scaledSize(QSize size, int level) {
    const int d = 1 << level;
    return QSize((size.width() + d - 1) / d, (size.height() + d - 1) / d);
}

} // namespace

struct JpegTiles::Source {
    QByteArray bytes;
    QSize stored;
    int orientation = 1;
    std::shared_ptr<const ColourConversion> colour;
};

QSize tiledJpegSize(const QByteArray& head) {
    if (!head.startsWith("\xff\xd8\xff")) return {};
    Decompressor d(head);
    jpeg_decompress_struct& info = d.info;
    if (setjmp(d.errors.jump)) return {};
    d.create();
    jpeg_read_header(&info, TRUE);
    const qint64 pixels = qint64(info.image_width) * info.image_height;
    if (info.progressive_mode || info.num_components != 3 ||
        (info.jpeg_color_space != JCS_YCbCr && info.jpeg_color_space != JCS_RGB) ||
        pixels * 4 <= kWholeJpegBytes)
        return {};
    return QSize(int(info.image_width), int(info.image_height));
}

int coveringLevel(QSize picture, QSizeF shown) {
    for (int level = kLevels - 1; level > 0; --level) {
        const QSize s = scaledSize(picture, level);
        if (s.width() + 0.5 >= shown.width() && s.height() + 0.5 >= shown.height()) return level;
    }
    return 0;
}

QImage decodeJpegPart(const QByteArray& bytes, int orientation, const ColourConversion* colour, int level,
                      QRect region) {
    Decompressor d(bytes);
    jpeg_decompress_struct& info = d.info;
    if (setjmp(d.errors.jump)) return {};
    d.create();
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGRX;
    info.scale_num = 1;
    info.scale_denom = 1u << level;
    jpeg_start_decompress(&info);
    const QSize stored(int(info.output_width), int(info.output_height));
    const QRect up = region & QRect(QPoint(0, 0), uprightSize(stored, orientation));
    if (up.isEmpty()) return {};
    const QRect from = storedRect(up, stored, orientation);
    // The decoder smooths chroma shared across pixels without the
    // neighbours outside a crop: a block column more is decoded on each side,
    // and a block row above, then cut off again.
    const int block = info.max_h_samp_factor * info.min_DCT_scaled_size;
    JDIMENSION left = JDIMENSION(std::max(0, from.left() - block));
    JDIMENSION width = JDIMENSION(std::min(from.right() + 1 + block, stored.width()) - int(left));
    jpeg_crop_scanline(&info, &left, &width);
    const int above = info.max_v_samp_factor * info.min_DCT_scaled_size;
    const int first = std::max(0, from.top() - above);
    if (first > 0 && jpeg_skip_scanlines(&info, JDIMENSION(first)) != JDIMENSION(first)) return {};
    QImage band(int(info.output_width), from.height(), QImage::Format_RGB32);
    if (band.isNull()) return {};
    while (int(info.output_scanline) < from.bottom() + 1) {
        const int y = int(info.output_scanline) - from.top();
        JSAMPROW row = band.scanLine(std::max(0, y));
        if (jpeg_read_scanlines(&info, &row, 1) != 1) return {};
    }
    if (from.left() != int(left) || from.width() != band.width())
        band = band.copy(from.left() - int(left), 0, from.width(), from.height());
    if (colour) colour->convertRows(band.bits(), band.bytesPerLine(), band.width(), band.height());
    return orientedImage(std::move(band), orientation);
}

std::shared_ptr<JpegTiles> JpegTiles::open(const QString& path) {
    const PathFacts facts = pathFacts(path);
    if (!facts.isRegular || facts.size > kPictureFileLimit) return nullptr;
    QFile file;
    if (!openNative(file, path)) return nullptr;
    const QByteArray head = file.peek(kMetadataHead);
    const QSize stored = tiledJpegSize(head);
    if (stored.isEmpty() || qint64(stored.width()) * stored.height() > kLargestTiledPixels) return nullptr;
    auto source = std::make_shared<Source>();
    source->bytes = file.read(kPictureFileLimit);
    source->stored = stored;
    source->orientation = followsStoredOrientation() ? storedOrientation(head) : 1;
    source->colour = ColourConversion::from(embeddedProfile(head));
    return std::shared_ptr<JpegTiles>(new JpegTiles(std::move(source)));
}

JpegTiles::JpegTiles(std::shared_ptr<const Source> source) : source_(std::move(source)) {
    connect(&watcher_, &QFutureWatcherBase::finished, this, [this] { arrived(); });
}

// A decoding under way finishes on its own: it holds what it reads.
JpegTiles::~JpegTiles() = default;

QSize JpegTiles::size() const {
    return uprightSize(source_->stored, source_->orientation);
}

QSize JpegTiles::levelSize(int level) const {
    return uprightSize(scaledSize(source_->stored, level), source_->orientation);
}

void JpegTiles::paint(QPainter& painter, const QRectF& target, const QRectF& source) {
    if (target.isEmpty() || source.isEmpty()) return;
    ++paints_;
    const QSize full = size();
    const double sx = target.width() / source.width(), sy = target.height() / source.height();
    const int level = coveringLevel(full, QSizeF(full.width() * sx, full.height() * sy));
    // Picture pixels to the painter's.
    auto onTarget = [&](const QRectF& r) {
        return QRectF(target.x() + (r.x() - source.x()) * sx, target.y() + (r.y() - source.y()) * sy,
                      r.width() * sx, r.height() * sy);
    };
    auto fromWhole = [&](const QRectF& r) {
        const double wx = double(whole_.width()) / full.width(), wy = double(whole_.height()) / full.height();
        return QRectF(r.x() * wx, r.y() * wy, r.width() * wx, r.height() * wy);
    };
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (!whole_.isNull() && wholeLevel_ <= level) {
        painter.drawImage(target, whole_, fromWhole(source));
        painter.restore();
        return;
    }
    const QSize ls = levelSize(level);
    const double fx = double(full.width()) / ls.width(), fy = double(full.height()) / ls.height();
    const QRectF inLevel(source.x() / fx, source.y() / fy, source.width() / fx, source.height() / fy);
    const int lastX = (ls.width() - 1) / kTile, lastY = (ls.height() - 1) / kTile;
    const int tx0 = std::clamp(int(std::floor(inLevel.left() / kTile)), 0, lastX);
    const int tx1 = std::clamp(int(std::ceil(inLevel.right() / kTile)) - 1, tx0, lastX);
    const int ty0 = std::clamp(int(std::floor(inLevel.top() / kTile)), 0, lastY);
    const int ty1 = std::clamp(int(std::ceil(inLevel.bottom() / kTile)) - 1, ty0, lastY);
    QRect missing;
    for (int ty = ty0; ty <= ty1; ++ty) {
        for (int tx = tx0; tx <= tx1; ++tx) {
            const auto found = tiles_.find(tileKey(level, tx, ty));
            const QRect cell = QRect(tx * kTile, ty * kTile, kTile, kTile) & QRect(QPoint(0, 0), ls);
            const QRectF inFull(cell.x() * fx, cell.y() * fy, cell.width() * fx, cell.height() * fy);
            if (found != tiles_.end()) {
                found->second.used = paints_;
                painter.drawImage(onTarget(inFull), found->second.image);
                continue;
            }
            if (!whole_.isNull()) painter.drawImage(onTarget(inFull), whole_, fromWhole(inFull));
            missing |= QRect(tx, ty, 1, 1);
        }
    }
    painter.restore();
    if (!missing.isEmpty()) request(level, missing);
}

void JpegTiles::request(int level, QRect tiles) {
    if (job_) {
        if (*job_ != std::pair{level, tiles}) wanted_ = {level, tiles};
        return;
    }
    start(level, tiles);
}

void JpegTiles::start(int level, QRect tiles) {
    // Only the tiles still missing, as one part: the rows above it are
    // skipped once for all of them.
    QRect missing;
    for (int ty = tiles.top(); ty <= tiles.bottom(); ++ty)
        for (int tx = tiles.left(); tx <= tiles.right(); ++tx)
            if (!tiles_.count(tileKey(level, tx, ty))) missing |= QRect(tx, ty, 1, 1);
    if (missing.isEmpty()) return;
    job_ = {level, missing};
    const QRect region =
        QRect(missing.x() * kTile, missing.y() * kTile, missing.width() * kTile, missing.height() * kTile) &
        QRect(QPoint(0, 0), levelSize(level));
    const std::shared_ptr<const Source> source = source_;
    watcher_.setFuture(QtConcurrent::run([source, level, region] {
        return Band{level, region,
                    decodeJpegPart(source->bytes, source->orientation, source->colour.get(), level, region)};
    }));
}

void JpegTiles::arrived() {
    const QFuture<Band> done = watcher_.future();
    const auto job = job_;
    job_.reset();
    if (done.resultCount() == 0 || !job) return;
    const Band band = done.result();
    const QRect tiles = job->second;
    for (int ty = tiles.top(); ty <= tiles.bottom(); ++ty) {
        for (int tx = tiles.left(); tx <= tiles.right(); ++tx) {
            const QRect cell = QRect(tx * kTile, ty * kTile, kTile, kTile) & band.region;
            // A part that would not decode (a damaged file) shows the
            // background, and is not asked for again.
            QImage image = band.image.isNull() ? QImage(cell.size(), QImage::Format_RGB32)
                                               : band.image.copy(cell.translated(-band.region.topLeft()));
            if (band.image.isNull()) image.fill(Qt::transparent);
            heldBytes_ += image.sizeInBytes();
            tiles_[tileKey(band.level, tx, ty)] = Tile{std::move(image), paints_};
        }
    }
    trim();
    emit tilesReady();
    if (wanted_) {
        const auto next = *wanted_;
        wanted_.reset();
        start(next.first, next.second);
    }
}

void JpegTiles::trim() {
    while (heldBytes_ > kTileBudget) {
        auto oldest = tiles_.end();
        for (auto it = tiles_.begin(); it != tiles_.end(); ++it)
            if (it->second.used < paints_ &&
                (oldest == tiles_.end() || it->second.used < oldest->second.used))
                oldest = it;
        if (oldest == tiles_.end()) return;
        heldBytes_ -= oldest->second.image.sizeInBytes();
        tiles_.erase(oldest);
    }
}

QImage JpegTiles::whole(QSize shown) {
    const QSize full = size();
    const QSizeF fitted = QSizeF(full).scaled(QSizeF(shown), Qt::KeepAspectRatio).boundedTo(QSizeF(full));
    const int level = coveringLevel(full, fitted);
    if (whole_.isNull() || wholeLevel_ > level) {
        QImage decoded = decodeJpegPart(source_->bytes, source_->orientation, source_->colour.get(), level,
                                        QRect(QPoint(0, 0), levelSize(level)));
        if (decoded.isNull()) return whole_;
        whole_ = std::move(decoded);
        wholeLevel_ = level;
    }
    return whole_;
}

} // namespace orbet
