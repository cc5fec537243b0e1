#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "plugins/host/SusiePlugin.h"

// Any bytes, as a whole file in memory: a refusal leaves both blocks empty;
// a picture's blocks hold what their header says (the sanitizer sees a
// write past them, and the reads below catch a short one).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* buf = reinterpret_cast<const char*>(data);
    PictureInfo info;
    (void)GetPictureInfo(buf, intptr_t(size), SPI_INPUT_MEMORY, &info);
    void* header = nullptr;
    void* pixels = nullptr;
    const int result = GetPicture(buf, intptr_t(size), SPI_INPUT_MEMORY, &header, &pixels, nullptr, 0);
    if (result != SPI_SUCCESS) {
        if (header || pixels) __builtin_trap();
        return 0;
    }
    const auto* h = static_cast<const BITMAPINFOHEADER*>(header);
    const std::int64_t rows = h->biHeight < 0 ? -std::int64_t(h->biHeight) : h->biHeight;
    const std::int64_t stride = (std::int64_t(h->biWidth) * h->biBitCount + 31) / 32 * 4;
    volatile std::uint8_t sum = 0;
    const auto* p = static_cast<const std::uint8_t*>(pixels);
    for (std::int64_t y = 0; y < rows; ++y)
        sum = std::uint8_t(sum + p[y * stride + stride - 1]);
    std::free(header);
    std::free(pixels);
    return 0;
}
