#pragma once

#include <cstdint>
#include <vector>

namespace test {

// How the reference treats an equalizer product beyond 32 bits.
enum class Overflow { Saturate, Wrap };

struct ReferencePcm {
    std::vector<uint8_t> pcm;
    int frames = 0;
    int channels = 0;
};

// The plain decode the engine is held to: one continuous libmad stream over
// `bytes`, the subband gains (when given) multiplied in as written out here
// apart from the engine, every sample rounded by the engine's rounding with
// accumulators that start at zero.
ReferencePcm DecodeWithLibmad(const std::vector<uint8_t>& bytes, int bits, bool halfRate,
                              const int32_t (*gains)[32] = nullptr, Overflow overflow = Overflow::Saturate);

// `bytes` followed by the zeros libmad needs after a file's last frame to decode it.
std::vector<uint8_t> WithMadGuard(std::vector<uint8_t> bytes);

}  // namespace test
