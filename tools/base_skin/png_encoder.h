#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "tools/base_skin/palette.h"
#include "tools/base_skin/surface.h"

namespace base_skin {

// The picture as an 8-bit palette PNG with the full 256-entry palette; the
// `transparent` ink, if any, shows nothing. No time stamp or other varying
// chunk: the same picture gives the same bytes with the same zlib.
std::vector<uint8_t> EncodeIndexedPng(const Surface& picture, const std::array<Rgb, 256>& palette,
                                      std::optional<uint8_t> transparent);

}  // namespace base_skin
