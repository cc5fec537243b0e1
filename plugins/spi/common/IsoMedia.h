#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace spi {

// True when the file starts with an ISO media "ftyp" box whose major or
// compatible brands include one of `brands` (four letters each), and
// none of `excluded`. Reads only the box, bounded by `size`.
bool hasBrand(const std::uint8_t* head, std::size_t size, std::initializer_list<const char*> brands,
              std::initializer_list<const char*> excluded = {});

} // namespace spi
