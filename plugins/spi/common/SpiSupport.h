#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "plugins/host/SusiePlugin.h"

// What the shipped plug-ins share: the info texts, both input kinds, the
// bitmap blocks and the progress callback. Plain C++, no Qt.
namespace spi {

// Answers GetPluginInfo from a plug-in's texts: texts[0] is info 1 (the
// description), texts[1] info 2 (the first mask), and so on; info 0 is
// "00IN". Follows GetPluginInfo's contract to the letter.
int pluginInfo(const char* const* texts, int count, int infono, char* buf, int buflen);

// The file's bytes, whichever way they were handed in.
struct Input {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::vector<std::uint8_t> owned;
};

// SPI_SUCCESS and input filled, or the code to return: SPI_READ_ERROR for a
// file that cannot be read or a negative offset, SPI_MEMORY_ERROR for a null
// buffer or a negative size, SPI_NOT_IMPLEMENTED for another input kind.
int readInput(const char* buf, intptr_t len, unsigned flag, Input& input);

// Larger bitmaps are refused as broken data rather than attempted.
constexpr std::uint64_t MaxBitmapBytes = std::uint64_t(1) << 30;

// A bottom-up bitmap under construction. Owns both blocks until release()
// hands them over; frees them otherwise.
class Bitmap {
  public:
    Bitmap() = default;
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
    Bitmap& operator=(Bitmap&& other) noexcept;
    ~Bitmap();

    // SPI_SUCCESS, SPI_BROKEN_DATA for an empty or oversized picture, or
    // SPI_NO_MEMORY. The header is followed by a zeroed colour table of
    // colours entries; the pixel rows start zeroed too.
    int allocate(std::int64_t width, std::int64_t height, int bits, int colours);

    std::uint8_t* pixels() const { return pixels_; }
    std::size_t stride() const { return stride_; }
    std::size_t pixelBytes() const { return stride_ * std::size_t(height_); }
    // Row y counted from the top of the picture.
    std::uint8_t* row(std::int64_t y) const { return pixels_ + std::size_t(height_ - 1 - y) * stride_; }
    RGBQUAD* colourTable() const;
    BITMAPINFOHEADER* header() const { return header_; }

    void release(void** infoBlock, void** bitsBlock);

  private:
    BITMAPINFOHEADER* header_ = nullptr;
    std::uint8_t* pixels_ = nullptr;
    std::size_t stride_ = 0;
    std::int64_t height_ = 0;
};

struct Progress {
    SusieProgressCallback callback = nullptr;
    intptr_t data = 0;

    // True when the callback asks to stop.
    bool cancelled(int num, int denom) const { return callback && callback(num, denom, data) != 0; }
};

inline void clearOutputs(void** infoBlock, void** bitsBlock) {
    if (infoBlock) *infoBlock = nullptr;
    if (bitsBlock) *bitsBlock = nullptr;
}

// Decodes input into bitmap; SPI_SUCCESS or the code to return. May call
// progress and stop with SPI_CANCELLED.
using Decoder = int (*)(const Input& input, Bitmap& bitmap, const Progress& progress);
// Fills info from input without decoding the pixels.
using InfoReader = int (*)(const Input& input, PictureInfo& info);

// GetPicture's contract around a decoder: outputs cleared first, the
// callback asked before and after decoding, blocks handed over only on
// success, no exception escaping.
int getPicture(Decoder decode, const char* buf, intptr_t len, unsigned flag, void** infoBlock,
               void** bitsBlock, SusieProgressCallback callback, intptr_t data);

// GetPictureInfo's contract around an info reader.
int getPictureInfo(InfoReader read, const char* buf, intptr_t len, unsigned flag, PictureInfo* info);

} // namespace spi
