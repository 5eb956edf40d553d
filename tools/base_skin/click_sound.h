#pragma once

#include <cstdint>
#include <vector>

namespace base_skin {

constexpr uint32_t kClickSampleRate = 22050;
constexpr int kClickSamples = 2292;

// The key click: a soft tick with a short wooden body, 16-bit mono at
// 22050 Hz, made from integer arithmetic only so that every build writes
// the same bytes.
std::vector<int16_t> SynthesizeClick();

}  // namespace base_skin
