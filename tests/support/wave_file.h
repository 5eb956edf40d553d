#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace test {

struct WaveData {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t bitsPerSample = 0;
    std::vector<uint8_t> pcm;

    size_t Frames() const { return channels && bitsPerSample ? pcm.size() / (channels * bitsPerSample / 8) : 0; }
};

// Reads a RIFF WAVE file's format and data chunks; nothing if it is not one.
std::optional<WaveData> ReadWaveFile(const std::string& path);

}  // namespace test
