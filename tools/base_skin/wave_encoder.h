#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace base_skin {

// 16-bit mono PCM samples as a WAVE file with the plain 44-byte header
// (RIFF, a 16-byte "fmt " chunk, then "data").
std::vector<uint8_t> EncodeMonoWave(std::span<const int16_t> samples, uint32_t sampleRate);

}  // namespace base_skin
