#pragma once

// The WAVE state inside the engine, shared by the open/seek side
// (wave_source.cpp) and the decoding thread (wave_thread.cpp).

#include <cstdint>
#include <vector>

#include "platform/acm.h"

namespace engine {

struct WaveSource {
    // The "fmt " chunk exactly as the file holds it.
    std::vector<uint8_t> sourceFormat;
    // The PCM the conversion produces and the output is opened with.
    platform::acm::WAVEFORMATEX outputFormat{};
    // Open for every WAVE file, PCM included; closed by WaveClose.
    platform::acm::HACMSTREAM conversionStream = nullptr;

    // Where the "data" payload starts, and its length clamped to the file.
    uint64_t dataStart = 0;
    uint32_t dataLength = 0;
    // Payload bytes read so far: the reader stands at dataStart + dataConsumed.
    // Guarded by the engine's decode lock, like the reader's position.
    uint32_t dataConsumed = 0;

    // The source fields that lengths and seeks are computed from.
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint32_t averageBytesPerSecond = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;

    // 8- or 16-bit PCM plays as it lies in the file; everything else,
    // wider PCM included, goes through the conversion stream.
    bool copiesPcm = false;

    uint32_t DataLeft() const { return dataConsumed < dataLength ? dataLength - dataConsumed : 0; }
    // Bytes of one PCM sample frame, all channels; never 0 for an open PCM source.
    uint32_t PcmFrameBytes() const { return uint32_t{bitsPerSample} * channels / 8; }
};

}  // namespace engine
