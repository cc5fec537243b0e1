#include "plugins/spi/common/IsoMedia.h"

#include <cstring>

namespace spi {

namespace {

bool listed(const std::uint8_t* brand, std::initializer_list<const char*> list) {
    for (const char* b : list)
        if (std::memcmp(brand, b, 4) == 0) return true;
    return false;
}

} // namespace

bool hasBrand(const std::uint8_t* head, std::size_t size, std::initializer_list<const char*> brands,
              std::initializer_list<const char*> excluded) {
    if (!head || size < 16 || std::memcmp(head + 4, "ftyp", 4) != 0) return false;
    std::size_t box =
        std::size_t(head[0]) << 24 | std::size_t(head[1]) << 16 | std::size_t(head[2]) << 8 | head[3];
    if (box < 16 || box > size) box = size;
    bool found = false;
    // The major brand at 8, the minor version at 12, compatible brands after.
    for (std::size_t at = 8; at + 4 <= box; at += at == 8 ? 8 : 4) {
        if (listed(head + at, excluded)) return false;
        found = found || listed(head + at, brands);
    }
    return found;
}

} // namespace spi
