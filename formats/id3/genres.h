#pragma once

#include <cstdint>

namespace engine {

constexpr int32_t kGenreCount = 148;

// The name of an ID3v1 genre number, or nullptr outside 0..147.
const char* GenreName(int32_t genre);

}  // namespace engine
