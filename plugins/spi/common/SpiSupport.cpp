#include "plugins/spi/common/SpiSupport.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "plugins/host/HostWire.h"

namespace spi {

int pluginInfo(const char* const* texts, int count, int infono, char* buf, int buflen) {
    if (!buf || buflen <= 0) return 0;
    const char* text = nullptr;
    if (infono == 0)
        text = SPI_IMPORT_FILTER_TAG;
    else if (infono >= 1 && infono <= count)
        text = texts[infono - 1];
    if (!text) {
        buf[0] = '\0';
        return 0;
    }
    std::size_t length = std::strlen(text);
    if (length > std::size_t(buflen - 1)) length = std::size_t(buflen - 1);
    std::memcpy(buf, text, length);
    buf[length] = '\0';
    return int(length);
}

namespace {

int readFile(const char* name, intptr_t offset, Input& input) {
    if (!name || offset < 0) return SPI_READ_ERROR;
    std::FILE* file = std::fopen(name, "rb");
    if (!file) return SPI_READ_ERROR;
    int result = SPI_READ_ERROR;
    if (fseeko(file, 0, SEEK_END) == 0) {
        const off_t end = ftello(file);
        if (end >= 0 && fseeko(file, offset < end ? off_t(offset) : end, SEEK_SET) == 0) {
            const std::size_t size = offset < end ? std::size_t(end - offset) : 0;
            input.owned.resize(size);
            if (std::fread(input.owned.data(), 1, size, file) == size) {
                input.data = input.owned.data();
                input.size = size;
                result = SPI_SUCCESS;
            }
        }
    }
    std::fclose(file);
    return result;
}

} // namespace

int readInput(const char* buf, intptr_t len, unsigned flag, Input& input) {
    switch (flag & SPI_INPUT_MASK) {
    case SPI_INPUT_FILE:
        return readFile(buf, len, input);
    case SPI_INPUT_MEMORY:
        if (!buf || len < 0) return SPI_MEMORY_ERROR;
        input.data = reinterpret_cast<const std::uint8_t*>(buf);
        input.size = std::size_t(len);
        return SPI_SUCCESS;
    default:
        return SPI_NOT_IMPLEMENTED;
    }
}

Bitmap::~Bitmap() {
    std::free(header_);
    std::free(pixels_);
}

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept {
    std::swap(header_, other.header_);
    std::swap(pixels_, other.pixels_);
    std::swap(stride_, other.stride_);
    std::swap(width_, other.width_);
    std::swap(height_, other.height_);
    std::swap(bits_, other.bits_);
    std::swap(topDown_, other.topDown_);
    return *this;
}

int Bitmap::allocate(std::int64_t width, std::int64_t height, int bits, int colours, bool topDown) {
    if (width < 1 || height < 1 || width > INT32_MAX || height > INT32_MAX || colours < 0 || colours > 256)
        return SPI_BROKEN_DATA;
    const std::uint64_t stride = ((std::uint64_t(width) * std::uint64_t(bits) + 31) / 32) * 4;
    if (stride > MaxBitmapBytes || std::uint64_t(height) > MaxBitmapBytes / stride) return SPI_BROKEN_DATA;
    const std::uint64_t bytes = stride * std::uint64_t(height);

    std::free(header_);
    std::free(pixels_);
    header_ =
        static_cast<BITMAPINFOHEADER*>(std::calloc(1, sizeof(BITMAPINFOHEADER) + sizeof(RGBQUAD) * colours));
    pixels_ = static_cast<std::uint8_t*>(std::calloc(1, std::size_t(bytes)));
    if (!header_ || !pixels_) return SPI_NO_MEMORY;

    header_->biSize = sizeof(BITMAPINFOHEADER);
    header_->biWidth = std::int32_t(width);
    header_->biHeight = topDown ? -std::int32_t(height) : std::int32_t(height);
    header_->biPlanes = 1;
    header_->biBitCount = std::uint16_t(bits);
    header_->biSizeImage = bytes > UINT32_MAX ? 0 : std::uint32_t(bytes);
    header_->biClrUsed = std::uint32_t(colours);
    stride_ = std::size_t(stride);
    width_ = width;
    height_ = height;
    bits_ = bits;
    topDown_ = topDown;
    return SPI_SUCCESS;
}

RGBQUAD* Bitmap::colourTable() const {
    return reinterpret_cast<RGBQUAD*>(header_ + 1);
}

void Bitmap::release(void** infoBlock, void** bitsBlock) {
    *infoBlock = header_;
    *bitsBlock = pixels_;
    header_ = nullptr;
    pixels_ = nullptr;
}

int orient(Bitmap& bitmap, int orientation) {
    if (orientation < 2 || orientation > 8 || !bitmap.pixels()) return SPI_SUCCESS;
    const int bytes = bitmap.bits() / 8;
    if (bytes != 3 && bytes != 4) return SPI_SUCCESS;
    const std::int64_t w = bitmap.width(), h = bitmap.height();
    const bool swaps = orientation >= 5;
    Bitmap turned;
    if (const int status = turned.allocate(swaps ? h : w, swaps ? w : h, bitmap.bits(), 0, true);
        status != SPI_SUCCESS)
        return status == SPI_BROKEN_DATA ? SPI_NO_MEMORY : status;
    // Where the upright picture's pixel (x, y) lies in the stored one.
    for (std::int64_t y = 0; y < turned.height(); ++y) {
        std::uint8_t* out = turned.row(y);
        for (std::int64_t x = 0; x < turned.width(); ++x, out += bytes) {
            std::int64_t sx = x, sy = y;
            switch (orientation) {
            case 2:
                sx = w - 1 - x;
                break;
            case 3:
                sx = w - 1 - x, sy = h - 1 - y;
                break;
            case 4:
                sy = h - 1 - y;
                break;
            case 5:
                sx = y, sy = x;
                break;
            case 6:
                sx = y, sy = h - 1 - x;
                break;
            case 7:
                sx = w - 1 - y, sy = h - 1 - x;
                break;
            case 8:
                sx = w - 1 - y, sy = x;
                break;
            }
            std::memcpy(out, bitmap.row(sy) + sx * bytes, std::size_t(bytes));
        }
    }
    bitmap = std::move(turned);
    return SPI_SUCCESS;
}

int orientationOfTransforms(int angle, int mirror) {
    // Anticlockwise turns 0..3 as orientation numbers, then each mirrored.
    static const int turnedLeft[4] = {1, 8, 3, 6};
    static const int leftRight[4] = {2, 7, 4, 5};
    static const int topBottom[4] = {4, 5, 2, 7};
    angle &= 3;
    if (mirror == 1) return leftRight[angle];
    if (mirror == 0) return topBottom[angle];
    return turnedLeft[angle];
}

bool keepsStoredOrientation() {
    const char* value = std::getenv(ORBET_SPI_ORIENTATION_VARIABLE);
    return value && std::strcmp(value, ORBET_SPI_ORIENTATION_STORED) == 0;
}

void swapRedBlue(Bitmap& bitmap) {
    const int bytes = bitmap.bits() / 8;
    if (bytes != 3 && bytes != 4) return;
    for (std::int64_t y = 0; y < bitmap.height(); ++y) {
        std::uint8_t* p = bitmap.row(y);
        for (std::int64_t x = 0; x < bitmap.width(); ++x, p += bytes)
            std::swap(p[0], p[2]);
    }
}

int getPicture(const Format& format, const char* buf, intptr_t len, unsigned flag, void** infoBlock,
               void** bitsBlock, SusieProgressCallback callback, intptr_t data) {
    clearOutputs(infoBlock, bitsBlock);
    if (!infoBlock || !bitsBlock) return SPI_MEMORY_ERROR;
    try {
        const Progress progress{callback, data};
        if (progress.cancelled(0, 100)) return SPI_CANCELLED;
        Input input;
        if (const int status = readInput(buf, len, flag, input); status != SPI_SUCCESS) return status;
        if (!format.recognise(input.data, input.size)) return SPI_UNKNOWN_FORMAT;
        Bitmap bitmap;
        if (const int status = format.decode(input, bitmap, progress); status != SPI_SUCCESS) return status;
        if (progress.cancelled(100, 100)) return SPI_CANCELLED;
        bitmap.release(infoBlock, bitsBlock);
        return SPI_SUCCESS;
    } catch (const std::bad_alloc&) {
        return SPI_NO_MEMORY;
    } catch (...) {
        return SPI_INTERNAL_ERROR;
    }
}

int getPictureInfo(const Format& format, const char* buf, intptr_t len, unsigned flag, PictureInfo* info) {
    if (!info) return SPI_MEMORY_ERROR;
    try {
        Input input;
        if (const int status = readInput(buf, len, flag, input); status != SPI_SUCCESS) return status;
        if (!format.recognise(input.data, input.size)) return SPI_UNKNOWN_FORMAT;
        PictureInfo result{};
        if (const int status = format.readInfo(input, result); status != SPI_SUCCESS) return status;
        *info = result;
        return SPI_SUCCESS;
    } catch (const std::bad_alloc&) {
        return SPI_NO_MEMORY;
    } catch (...) {
        return SPI_INTERNAL_ERROR;
    }
}

} // namespace spi
