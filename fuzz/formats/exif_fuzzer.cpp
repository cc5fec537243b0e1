#include <cstddef>
#include <cstdint>

#include <QByteArray>

#include "display/ColourProfile.h"
#include "display/ExifOrientation.h"

// The start of a picture file, as every format the readers know and as a
// bare TIFF structure: whatever its lengths and offsets claim, the
// orientation is 1-8, a profile found is one whose size its header states,
// and nothing is read outside the bytes. A profile found is opened too: a
// broken one gives no conversion, never a crash.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const int orientation : {orbet::storedOrientation(bytes), orbet::tiffOrientation(bytes)})
        if (orientation < 1 || orientation > 8) __builtin_trap();
    const QByteArray profile = orbet::embeddedProfile(bytes);
    if (!profile.isEmpty()) (void)orbet::ColourConversion::from(profile);
    return 0;
}
