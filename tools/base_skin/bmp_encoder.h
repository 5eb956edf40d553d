#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "tools/base_skin/palette.h"
#include "tools/base_skin/surface.h"

namespace base_skin {

// The picture as an 8-bit BMP file: a 40-byte information header, the full
// 256-entry palette, uncompressed rows from the bottom up, each padded to a
// multiple of four bytes.
std::vector<uint8_t> EncodeIndexedBmp(const Surface& picture, const std::array<Rgb, 256>& palette);

}  // namespace base_skin
