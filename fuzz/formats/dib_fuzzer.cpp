#include <cstddef>
#include <cstdint>
#include <cstring>

#include <QColor>
#include <QImage>

#include "plugins/host/DibImage.h"

// A plug-in's two blocks: the first two bytes say where the header block
// ends, the rest is the pixel block. Absurd headers and short blocks must be
// refused, never read past.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t split =
        std::min<std::size_t>(size - 2, std::size_t(data[0]) | std::size_t(data[1]) << 8);
    // Separate heap blocks, so the sanitizer catches a read past either one.
    auto* header = new std::uint8_t[split ? split : 1];
    auto* pixels = new std::uint8_t[size - 2 - split ? size - 2 - split : 1];
    std::memcpy(header, data + 2, split);
    std::memcpy(pixels, data + 2 + split, size - 2 - split);
    const QImage picture = orbet::dibToPicture(header, split, pixels, size - 2 - split);
    if (!picture.isNull()) {
        if (picture.width() < 1 || picture.height() < 1) __builtin_trap();
        (void)orbet::composeOver(picture, QColor(255, 255, 255));
    }
    delete[] header;
    delete[] pixels;
    return 0;
}
