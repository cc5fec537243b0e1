#include <cstddef>
#include <cstdint>

#include <QByteArray>

#include "display/ExifOrientation.h"

// The start of a picture file, as every format the reader knows and as a
// bare TIFF structure: whatever its lengths and offsets claim, the answer is
// 1-8 and nothing is read outside the bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const int orientation : {orbet::storedOrientation(bytes), orbet::tiffOrientation(bytes)})
        if (orientation < 1 || orientation > 8) __builtin_trap();
    return 0;
}
