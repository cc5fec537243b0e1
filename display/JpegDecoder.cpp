#include "display/JpegDecoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <functional>
#include <memory>
#include <thread>

#include <jpeglib.h>
#include <sys/mman.h>

#include "display/ColourProfile.h"
#include "display/Orientation.h"

namespace orbet {

namespace {

// Smaller pictures decode fast enough on one thread that a second one only
// adds its start-up.
constexpr qint64 kParallelPixels = 2'000'000;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void onError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void quiet(j_common_ptr, int) {}

// A decompressor whose errors jump back to the caller's setjmp on
// errors.jump (the caller then simply returns) and which is destroyed
// whichever way the caller leaves.
struct Decompressor {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    Decompressor() {
        info.err = jpeg_std_error(&errors.base);
        errors.base.error_exit = onError;
        errors.base.emit_message = quiet;
    }
    ~Decompressor() { jpeg_destroy_decompress(&info); } // also before create: a no-op then
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
    // Creates it over `bytes`, or over `source` when one is given.
    void create(const QByteArray& bytes, jpeg_source_mgr* source = nullptr) {
        jpeg_create_decompress(&info);
        if (source)
            info.src = source;
        else
            jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                         static_cast<unsigned long>(bytes.size()));
    }
};

// Rows decoded at a time, converted while they are in the cache.
constexpr int kBandRows = 16;
// Rows decoded at a time for a turned picture, then written to their
// upright places together: a quarter turn writes a band's rows as runs of
// this many pixels across the upright rows, whose every write otherwise
// lands on a page of its own. The band (1.5 MB at 6000 pixels across)
// stays in the second-level cache.
constexpr int kTurnedBandRows = 64;

// Told once the stored rows before `row` are in the image, so a corner that
// lies within them can be handed over while the rest decodes.
struct RowsReached {
    JDIMENSION row = 0;
    std::function<void()> then;
    void check(JDIMENSION decoded) {
        if (!then || decoded < row) return;
        then();
        then = nullptr;
    }
};

// Reads the rows up to `last` into `image`, the upright picture (or its
// top-left part) of a stored picture of `stored` size; the rows come
// `left` pixels into the stored picture (a cropped decoding). Returns
// false on a short read.
bool readTurnedRows(jpeg_decompress_struct& info, QImage& image, JDIMENSION last, QSize stored, int left,
                    int orientation, const ColourConversion* colour, const std::atomic<bool>* stop = nullptr,
                    RowsReached* reached = nullptr) {
    QImage band(int(info.output_width), kTurnedBandRows, QImage::Format_RGB32);
    if (band.isNull()) return false;
    while (info.output_scanline < last) {
        if (stop && stop->load(std::memory_order_relaxed)) return false;
        const int top = int(info.output_scanline);
        int rows = 0;
        while (rows < kTurnedBandRows && info.output_scanline < last) {
            JSAMPROW row = band.scanLine(rows);
            if (jpeg_read_scanlines(&info, &row, 1) != 1) return false;
            ++rows;
        }
        if (colour) colour->convertRows(band.bits(), band.bytesPerLine(), band.width(), rows);
        placeStoredRows(band.constBits(), band.bytesPerLine(), band.width(), rows, QPoint(left, top), stored,
                        orientation, image);
        if (reached) reached->check(info.output_scanline);
    }
    return true;
}

// One decompressor over the whole file in memory that produces the stored
// rows [first, last) of the picture into image, turned upright by
// orientation. Returns false on any error.
bool decodeRows(const QByteArray& bytes, QImage& image, JDIMENSION first, JDIMENSION last, int orientation,
                const ColourConversion* colour, const std::atomic<bool>* stop,
                RowsReached* reached = nullptr) {
    Decompressor d;
    jpeg_decompress_struct& info = d.info;
    if (setjmp(d.errors.jump)) return false;
    d.create(bytes);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    const QSize stored(int(info.output_width), int(info.output_height));
    if (uprightSize(stored, orientation) != image.size()) return false;
    if (first > 0) jpeg_skip_scanlines(&info, first);
    if (orientation >= 5 && orientation <= 8)
        return readTurnedRows(info, image, last, stored, 0, orientation, colour, stop, reached) &&
               info.output_scanline >= last;
    // Mirrored and half-turned pictures keep their rows whole: each is
    // decoded straight into its upright row (the last first, turned top to
    // bottom) and reversed there, while it is in the cache.
    const bool upsideDown = orientation == 3 || orientation == 4;
    const bool reversed = orientation == 2 || orientation == 3;
    const int width = image.width();
    auto uprightRow = [&](int y) { return upsideDown ? stored.height() - 1 - y : y; };
    // Colours are converted a band at a time, while its rows are in the cache.
    while (info.output_scanline < last) {
        if (stop && stop->load(std::memory_order_relaxed)) return false;
        const int top = int(info.output_scanline);
        while (info.output_scanline < last && int(info.output_scanline) < top + kBandRows) {
            auto* row = reinterpret_cast<quint32*>(image.scanLine(uprightRow(int(info.output_scanline))));
            JSAMPROW sample = reinterpret_cast<JSAMPROW>(row);
            if (jpeg_read_scanlines(&info, &sample, 1) != 1) return false;
            if (reversed) std::reverse(row, row + width);
        }
        const int rows = int(info.output_scanline) - top;
        // The band's rows lie together in the image, in one order or the other.
        if (colour)
            colour->convertRows(image.scanLine(std::min(uprightRow(top), uprightRow(top + rows - 1))),
                                image.bytesPerLine(), width, rows);
        if (reached) reached->check(info.output_scanline);
    }
    return info.output_scanline >= last;
}

bool suitable(const jpeg_decompress_struct& info, qint64 allocationLimitBytes) {
    return !info.progressive_mode && info.num_components == 3 &&
           (info.jpeg_color_space == JCS_YCbCr || info.jpeg_color_space == JCS_RGB) &&
           qint64(info.image_width) * info.image_height >= kParallelPixels &&
           qint64(info.image_width) * info.image_height * 4 <= allocationLimitBytes;
}

} // namespace

QSize largeJpegSize(const QByteArray& bytes, qint64 allocationLimitBytes) {
    Decompressor d;
    const jpeg_decompress_struct& info = d.info;
    if (setjmp(d.errors.jump)) return {};
    d.create(bytes);
    jpeg_read_header(&d.info, TRUE);
    return suitable(info, allocationLimitBytes) ? QSize(int(info.image_width), int(info.image_height))
                                                : QSize();
}

namespace {

// Feeds the decoder from a device a block at a time, so a corner reads only
// the part of the file before its last row.
struct DeviceSource {
    jpeg_source_mgr base;
    QIODevice* device;
    JOCTET buffer[64 * 1024];
};

void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

boolean fillInput(j_decompress_ptr info) {
    auto* s = reinterpret_cast<DeviceSource*>(info->src);
    const qint64 n = s->device->read(reinterpret_cast<char*>(s->buffer), qint64(sizeof s->buffer));
    if (n <= 0) {
        // A cut file ends as libjpeg's own sources end it: with an end
        // marker, the rest of the picture left grey.
        static const JOCTET end[2] = {0xFF, JPEG_EOI};
        s->base.next_input_byte = end;
        s->base.bytes_in_buffer = 2;
        return TRUE;
    }
    s->base.next_input_byte = s->buffer;
    s->base.bytes_in_buffer = std::size_t(n);
    return TRUE;
}

void skipInput(j_decompress_ptr info, long count) {
    jpeg_source_mgr* src = info->src;
    while (count > long(src->bytes_in_buffer)) {
        count -= long(src->bytes_in_buffer);
        fillInput(info);
    }
    if (count > 0) {
        src->next_input_byte += count;
        src->bytes_in_buffer -= std::size_t(count);
    }
}

// The upright top-left corner of a turned picture: the stored rows and
// columns it comes from, skipped to and cropped, then turned.
QImage turnedCorner(jpeg_decompress_struct& info, QSize corner, QSize stored, int orientation,
                    const ColourConversion* colour) {
    const QSize up = uprightSize(stored, orientation);
    const QSize shown = corner.boundedTo(up);
    const QRect from = storedRect(QRect(QPoint(0, 0), shown), stored, orientation);
    // A block column more than needed on each side: chroma at a crop's
    // edges is smoothed without the neighbours beyond them; the extra
    // columns land outside the corner and are dropped.
    const int block = info.max_h_samp_factor * info.min_DCT_scaled_size;
    JDIMENSION left = JDIMENSION(std::max(0, from.left() - block));
    JDIMENSION width = JDIMENSION(std::min(from.right() + 1 + block, stored.width()) - int(left));
    jpeg_crop_scanline(&info, &left, &width);
    if (from.top() > 0) jpeg_skip_scanlines(&info, JDIMENSION(from.top()));
    QImage image(shown, QImage::Format_RGB32);
    if (image.isNull() ||
        !readTurnedRows(info, image, JDIMENSION(from.bottom() + 1), stored, int(left), orientation, colour))
        return {};
    return image;
}

} // namespace

QImage decodeJpegCorner(QIODevice& device, QSize corner, qint64 allocationLimitBytes, QSize* whole,
                        int orientation, const ColourConversion* colour) {
    if (whole) *whole = QSize();
    auto source = std::make_unique<DeviceSource>();
    source->base.init_source = initSource;
    source->base.fill_input_buffer = fillInput;
    source->base.skip_input_data = skipInput;
    source->base.resync_to_restart = jpeg_resync_to_restart;
    source->base.term_source = termSource;
    source->device = &device;
    Decompressor d;
    jpeg_decompress_struct& info = d.info;
    if (setjmp(d.errors.jump)) return {};
    d.create({}, &source->base);
    jpeg_read_header(&info, TRUE);
    if (!suitable(info, allocationLimitBytes)) return {};
    const QSize size(int(info.image_width), int(info.image_height));
    if (whole) *whole = uprightSize(size, orientation);
    if (corner.isEmpty() || !cornerComesFirst(orientation)) return {};
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    if (orientation >= 2 && orientation <= 8) return turnedCorner(info, corner, size, orientation, colour);
    // The decoder widens the crop leftwards to a block's edge, but treats its
    // right edge as the picture's: where chroma is shared by two pixels
    // across, the last column would be smoothed against itself instead of
    // its neighbour. One block column more is decoded and cut off again.
    const int shown = std::min(corner.width(), size.width());
    const int block = info.max_h_samp_factor * info.min_DCT_scaled_size;
    JDIMENSION left = 0, width = JDIMENSION(std::min(shown + block, size.width()));
    jpeg_crop_scanline(&info, &left, &width);
    const int rows = std::min(corner.height(), size.height());
    QImage image(int(info.output_width), rows, QImage::Format_RGB32);
    bool complete = !image.isNull();
    while (complete && int(info.output_scanline) < rows) {
        JSAMPROW row = image.scanLine(int(info.output_scanline));
        complete = jpeg_read_scanlines(&info, &row, 1) == 1;
    }
    if (!complete) return {};
    if (image.width() > shown) image = image.copy(0, 0, shown, rows);
    if (colour) colour->convertRows(image.bits(), image.bytesPerLine(), image.width(), image.height());
    return image;
}

QImage JpegCornerHandOff::wait(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    handed_.wait_for(lock, limit, [this] { return done_; });
    return done_ ? image_ : QImage();
}

void JpegCornerHandOff::hand(QImage corner) {
    {
        std::lock_guard lock(mutex_);
        if (done_) return;
        done_ = true;
        image_ = std::move(corner);
    }
    handed_.notify_all();
}

namespace {

// Large pictures are written a band at a time across the whole picture
// (turned ones a column of pages at a time): in pages of 2 MB the
// processor's address cache holds the whole picture, and the first touch of
// each page costs one fault instead of 512.
void preferLargePages(QImage& image) {
    constexpr quintptr kLarge = quintptr(2) << 20;
    const quintptr begin = (quintptr(image.bits()) + kLarge - 1) & ~(kLarge - 1);
    const quintptr end = (quintptr(image.bits()) + quintptr(image.sizeInBytes())) & ~(kLarge - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

// What a stored row costs, in nanoseconds of this decoder on a desktop
// processor, so the split below can balance the two threads. Skipping a
// row is entropy decoding alone, which goes with the compressed bytes (a
// photo's detail and quality); decoding it adds the work of each pixel,
// more where colours are converted or the row is turned.
struct RowCosts {
    double skip = 0;
    double decode = 0;
};
RowCosts rowCosts(qint64 fileBytes, QSize stored, int orientation, const ColourConversion* colour) {
    constexpr double kPerCompressedByte = 9.6, kPerPixel = 2.0, kPerTurnedPixel = 1.3;
    RowCosts costs;
    costs.skip = kPerCompressedByte * double(fileBytes) / std::max(1, stored.height());
    double perPixel = kPerPixel;
    if (colour) perPixel += kPerPixel * colour->pixelCost();
    if (orientation >= 5 && orientation <= 8) perPixel += kPerTurnedPixel;
    costs.decode = costs.skip + perPixel * stored.width();
    return costs;
}

} // namespace

QImage decodeJpegInParallel(const QByteArray& bytes, qint64 allocationLimitBytes, int orientation,
                            const ColourConversion* colour, JpegCornerHandOff* corner,
                            const std::atomic<bool>* stop) {
    const QSize size = largeJpegSize(bytes, allocationLimitBytes);
    if (size.isEmpty()) return {};
    const int height = size.height();
    // A quarter turn left to a receiver that paints it: the rows are decoded
    // as stored, and only the corner is turned.
    const int cornerTurn = orientation;
    if (corner && corner->takesStoredWhole() && orientation >= 5 && orientation <= 8) orientation = 1;

    QImage image(uprightSize(size, orientation), QImage::Format_RGB32);
    if (image.isNull()) return {};
    preferLargePages(image);
    // The bottom part also pays for reading past the top one, so the top
    // part is made larger: each thread then takes as long. With S a skipped
    // row's cost and D a decoded one's, the top's split rows take as long
    // as skipping them and decoding the rest: split = H D / (2D - S).
    const RowCosts costs = rowCosts(bytes.size(), size, orientation, colour);
    const double twice = 2 * costs.decode - costs.skip;
    JDIMENSION split = JDIMENSION(height * costs.decode / twice);
    // A corner at the end of the file: the second thread starts with the
    // stored rows the corner comes from and hands it over, then decodes the
    // rows between the first thread's part and those, if any are left.
    JDIMENSION band = JDIMENSION(height);
    const QRect shown =
        corner ? QRect(QPoint(0, 0), corner->cornerSize().boundedTo(uprightSize(size, cornerTurn))) : QRect();
    // Where the corner's pixels lie in the image, and how they are handed.
    const QRect from = orientation == cornerTurn ? shown : storedRect(shown, size, cornerTurn);
    auto handCorner = [&] {
        corner->hand(orientation == cornerTurn ? image.copy(shown) : orientedPart(image, from, cornerTurn));
    };
    // A corner at the start of the file: the first thread hands it over as
    // soon as its rows are decoded, unless they reach past its part; then
    // it comes with the whole picture.
    RowsReached topReached;
    if (!shown.isEmpty() && cornerComesFirst(cornerTurn)) {
        topReached.row = JDIMENSION(storedRect(shown, size, cornerTurn).bottom() + 1);
        topReached.then = handCorner;
    }
    if (!shown.isEmpty() && !cornerComesFirst(cornerTurn)) {
        band = JDIMENSION(storedRect(shown, size, cornerTurn).top());
        // The bottom thread skips to the corner's rows as well: split =
        // (H D + S band) / (2D - S), at most the corner's first row.
        split = std::min(band, JDIMENSION((height * costs.decode + costs.skip * band) / twice));
    }
    bool bottomOk = false;
    std::thread bottom([&] {
        if (band < JDIMENSION(height)) {
            bottomOk = decodeRows(bytes, image, band, JDIMENSION(height), orientation, colour, stop);
            if (bottomOk)
                handCorner();
            else
                corner->hand(QImage());
            if (bottomOk && split < band)
                bottomOk = decodeRows(bytes, image, split, band, orientation, colour, stop);
        } else {
            bottomOk = decodeRows(bytes, image, split, JDIMENSION(height), orientation, colour, stop);
        }
    });
    const bool topOk = decodeRows(bytes, image, 0, split, orientation, colour, stop, &topReached);
    bottom.join();
    if (!topOk || !bottomOk) return {};
    topReached.check(JDIMENSION(height));
    if (corner) corner->setWholeTurn(cornerTurn == orientation ? 1 : cornerTurn);
    return image;
}

} // namespace orbet
