#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The plain libmad decode loop any player would write: one stream over the
// whole file in memory, every frame synthesised, rounded and clipped to
// 16 bits. The yardstick the engine's speed is measured against.

struct PlainDecodeResult {
    uint64_t pcmBytes = 0;
    uint64_t frames = 0;          // sample frames (one sample per channel)
    uint32_t sampleRate = 0;
};

// Decodes `input` (which must end with MAD_BUFFER_GUARD zero bytes for the
// last frame to decode) into `block`, reusing it as a ring of output space.
PlainDecodeResult DecodeWithPlainLibmadLoop(const std::vector<uint8_t>& input, std::vector<int16_t>& block);

// The whole file at `path`; empty when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::string& path);
// `bytes` followed by the MAD_BUFFER_GUARD zero bytes the loop needs.
std::vector<uint8_t> WithMadGuard(std::vector<uint8_t> bytes);
