#include <cstdarg>
#include <cstring>
#include <iterator>
#include <utility>

#include <tiffio.h>

#include "plugins/spi/common/SpiSupport.h"

namespace {

const char* const Texts[] = {"TIFF decoder (libtiff)", "*.tif;*.tiff", "TIFF"};

bool isTiff(const std::uint8_t* b, std::size_t size) {
    if (!b || size < 4) return false;
    const bool little = b[0] == 'I' && b[1] == 'I' && (b[2] == 42 || b[2] == 43) && b[3] == 0;
    const bool big = b[0] == 'M' && b[1] == 'M' && b[2] == 0 && (b[3] == 42 || b[3] == 43);
    return little || big;
}

struct Stream {
    const std::uint8_t* data;
    std::uint64_t size;
    std::uint64_t position;
};

tmsize_t readStream(thandle_t handle, void* out, tmsize_t length) {
    auto* stream = static_cast<Stream*>(handle);
    if (length <= 0 || stream->position >= stream->size) return 0;
    const std::uint64_t left = stream->size - stream->position;
    const std::uint64_t count = std::uint64_t(length) < left ? std::uint64_t(length) : left;
    std::memcpy(out, stream->data + stream->position, std::size_t(count));
    stream->position += count;
    return tmsize_t(count);
}

tmsize_t refuseWrite(thandle_t, void*, tmsize_t) {
    return -1;
}

toff_t seekStream(thandle_t handle, toff_t offset, int whence) {
    auto* stream = static_cast<Stream*>(handle);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR)
        base = stream->position;
    else if (whence == SEEK_END)
        base = stream->size;
    else if (whence != SEEK_SET)
        return toff_t(-1);
    stream->position = base + offset;
    return stream->position;
}

int closeStream(thandle_t) {
    return 0;
}
toff_t streamSize(thandle_t handle) {
    return static_cast<Stream*>(handle)->size;
}

// Reading straight from the caller's memory spares libtiff a copy of each
// strip; it never writes through the mapping in read mode.
int mapStream(thandle_t handle, void** base, toff_t* size) {
    auto* stream = static_cast<Stream*>(handle);
    *base = const_cast<std::uint8_t*>(stream->data);
    *size = stream->size;
    return 1;
}

void unmapStream(thandle_t, void*, toff_t) {}

// Handled here so that libtiff neither prints to stderr nor calls the
// process-wide handlers other code may have set.
int quiet(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

class Tiff {
  public:
    explicit Tiff(const spi::Input& input) : stream_{input.data, input.size, 0} {
        TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
        if (!options) return;
        TIFFOpenOptionsSetErrorHandlerExtR(options, quiet, nullptr);
        TIFFOpenOptionsSetWarningHandlerExtR(options, quiet, nullptr);
        TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(spi::MaxBitmapBytes));
        tiff_ = TIFFClientOpenExt("memory", "r", &stream_, readStream, refuseWrite, seekStream, closeStream,
                                  streamSize, mapStream, unmapStream, options);
        TIFFOpenOptionsFree(options);
    }
    ~Tiff() {
        if (tiff_) TIFFClose(tiff_);
    }
    Tiff(const Tiff&) = delete;
    Tiff& operator=(const Tiff&) = delete;

    TIFF* get() const { return tiff_; }

  private:
    Stream stream_;
    TIFF* tiff_ = nullptr;
};

bool hasAlphaSample(TIFF* tiff) {
    std::uint16_t count = 0;
    std::uint16_t* types = nullptr;
    return TIFFGetFieldDefaulted(tiff, TIFFTAG_EXTRASAMPLES, &count, &types) == 1 && count > 0 && types &&
           (types[0] == EXTRASAMPLE_ASSOCALPHA || types[0] == EXTRASAMPLE_UNASSALPHA);
}

// The RGBA reader gives R, G, B, A bytes with alpha already multiplied in;
// bitmaps carry B, G, R and straight alpha. Returns whether any pixel is
// less than opaque.
bool toStraightBgra(std::uint8_t* pixels, std::size_t count) {
    bool translucent = false;
    for (std::size_t i = 0; i < count; ++i, pixels += 4) {
        const std::uint8_t red = pixels[0], alpha = pixels[3];
        pixels[0] = pixels[2];
        pixels[2] = red;
        if (alpha == 255) continue;
        translucent = true;
        for (int c = 0; c < 3; ++c) {
            const unsigned value = alpha == 0 ? 0 : (pixels[c] * 255u + alpha / 2u) / alpha;
            pixels[c] = std::uint8_t(value > 255 ? 255 : value);
        }
    }
    return translucent;
}

// The pixels bottom-up as stored, whatever the orientation tag says: the
// host turns pictures by their tags, and libtiff's own turning knows only
// the mirrorings (it would leave a quarter turn half done).
bool readAsStored(TIFF* tiff, std::uint32_t width, std::uint32_t height, std::uint32_t* pixels) {
    char message[1024];
    TIFFRGBAImage image;
    if (!TIFFRGBAImageBegin(&image, tiff, 1, message)) return false;
    image.orientation = ORIENTATION_TOPLEFT;
    image.req_orientation = ORIENTATION_BOTLEFT;
    const int ok = TIFFRGBAImageGet(&image, pixels, width, height);
    TIFFRGBAImageEnd(&image);
    return ok != 0;
}

int packBgr(const spi::Bitmap& rgba, std::int64_t width, std::int64_t height, spi::Bitmap& bgr) {
    if (const int status = bgr.allocate(width, height, 24, 0); status != SPI_SUCCESS) return status;
    for (std::int64_t y = 0; y < height; ++y) {
        const std::uint8_t* in = rgba.row(y);
        std::uint8_t* out = bgr.row(y);
        for (std::int64_t x = 0; x < width; ++x, in += 4, out += 3)
            std::memcpy(out, in, 3);
    }
    return SPI_SUCCESS;
}

int decode(const spi::Input& input, spi::Bitmap& bitmap, const spi::Progress&) {
    const Tiff tiff(input);
    if (!tiff.get()) return SPI_BROKEN_DATA;
    std::uint32_t width = 0, height = 0;
    if (!TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) ||
        !TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height))
        return SPI_BROKEN_DATA;
    char message[1024];
    if (!TIFFRGBAImageOK(tiff.get(), message)) return SPI_UNKNOWN_FORMAT;

    spi::Bitmap rgba;
    if (const int status = rgba.allocate(width, height, 32, 0); status != SPI_SUCCESS) return status;
    if (!readAsStored(tiff.get(), width, height, reinterpret_cast<std::uint32_t*>(rgba.pixels())))
        return SPI_BROKEN_DATA;
    if (toStraightBgra(rgba.pixels(), std::size_t(width) * height)) {
        bitmap = std::move(rgba);
        return SPI_SUCCESS;
    }
    return packBgr(rgba, width, height, bitmap);
}

int readInfo(const spi::Input& input, PictureInfo& info) {
    const Tiff tiff(input);
    if (!tiff.get()) return SPI_BROKEN_DATA;
    std::uint32_t width = 0, height = 0;
    if (!TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) ||
        !TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height) || width > INT32_MAX || height > INT32_MAX)
        return SPI_BROKEN_DATA;
    info.width = std::int32_t(width);
    info.height = std::int32_t(height);
    info.colorDepth = std::int16_t(hasAlphaSample(tiff.get()) ? 32 : 24);
    return SPI_SUCCESS;
}

} // namespace

const spi::Format spi::plugin{Texts, int(std::size(Texts)), isTiff, decode, readInfo};
