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
    // colours entries; the pixel rows start zeroed too. A top-down bitmap
    // (negative height) lets a library that writes rows downwards write
    // straight into the block.
    int allocate(std::int64_t width, std::int64_t height, int bits, int colours, bool topDown = false);

    std::uint8_t* pixels() const { return pixels_; }
    std::size_t stride() const { return stride_; }
    std::size_t pixelBytes() const { return stride_ * std::size_t(height_); }
    // Row y counted from the top of the picture.
    std::uint8_t* row(std::int64_t y) const {
        return pixels_ + std::size_t(topDown_ ? y : height_ - 1 - y) * stride_;
    }
    std::int64_t width() const { return width_; }
    std::int64_t height() const { return height_; }
    int bits() const { return bits_; }
    RGBQUAD* colourTable() const;
    BITMAPINFOHEADER* header() const { return header_; }

    void release(void** infoBlock, void** bitsBlock);

  private:
    BITMAPINFOHEADER* header_ = nullptr;
    std::uint8_t* pixels_ = nullptr;
    std::size_t stride_ = 0;
    std::int64_t width_ = 0;
    std::int64_t height_ = 0;
    int bits_ = 0;
    bool topDown_ = false;
};

// Turns a 24- or 32-bit bitmap upright from a stored orientation numbered as
// EXIF numbers it (1 as stored, 2 mirrored, 3 turned half round, 4 flipped,
// 5 transposed, 6 stored turned left, 7 transversed, 8 stored turned right).
// SPI_SUCCESS (bitmap replaced, or left for 1 and unknown numbers) or
// SPI_NO_MEMORY.
int orient(Bitmap& bitmap, int orientation);

// The orientation number of HEIF's transforms: a turn of angle * 90 degrees
// anticlockwise, then a mirror (mirror 0: top and bottom exchanged, 1: left
// and right, -1: none).
int orientationOfTransforms(int angle, int mirror);

// Whether the host asks for pictures as stored: the format's own turning
// transforms are then left unapplied (see HostWire.h).
bool keepsStoredOrientation();

// R and B of each pixel exchanged, for libraries that give RGB only.
void swapRedBlue(Bitmap& bitmap);

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

// What a plug-in supplies; common/SpiEntry.cpp makes the exported functions
// of it.
struct Format {
    // texts[0] is info 1 (the description), then mask and name pairs.
    const char* const* texts;
    int textCount;
    // True when the file's first `size` bytes are this format's.
    bool (*recognise)(const std::uint8_t* head, std::size_t size);
    // Decodes input into bitmap; SPI_SUCCESS or the code to return. May call
    // progress and stop with SPI_CANCELLED. Called only for input the
    // recogniser takes.
    int (*decode)(const Input& input, Bitmap& bitmap, const Progress& progress);
    // Fills width, height and colorDepth without decoding the pixels.
    int (*readInfo)(const Input& input, PictureInfo& info);
};

// Defined by each plug-in.
extern const Format plugin;

// GetPicture's contract around a format: outputs cleared first, the
// callback asked before and after decoding, foreign input refused, blocks
// handed over only on success, no exception escaping.
int getPicture(const Format& format, const char* buf, intptr_t len, unsigned flag, void** infoBlock,
               void** bitsBlock, SusieProgressCallback callback, intptr_t data);

// GetPictureInfo's contract around a format.
int getPictureInfo(const Format& format, const char* buf, intptr_t len, unsigned flag, PictureInfo* info);

} // namespace spi
