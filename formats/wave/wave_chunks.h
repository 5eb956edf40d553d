#pragma once

// Locating the RIFF WAVE chunks the player reads: "fmt " (which must come
// first), an optional "fact" and "data". Every size is checked against the
// file before anything is read or allocated.

#include <cstdint>
#include <vector>

#include "platform/acm.h"

namespace engine {

class FileReader;

// Format chunks larger than this are refused rather than allocated.
constexpr uint32_t kMaximumFormatBytes = 64 * 1024;

// Reads "RIFF", "WAVE" and the "fmt " chunk, which must be the first chunk,
// into `format`. The reader is left on the chunk after it, past its pad byte.
bool ReadFormatChunk(FileReader& reader, std::vector<uint8_t>* format);

struct WaveDataChunk {
    uint32_t factSamples = 0;  // 0 without a "fact" chunk
    uint64_t dataStart = 0;
    uint32_t dataLength = 0;   // clamped to what the file holds
};

// From the reader's position, walks the chunks up to "data": takes the
// sample count of a "fact" chunk (whose size must be 4) and skips every
// other chunk, honouring the pad byte after an odd-sized one.
bool FindDataChunk(FileReader& reader, WaveDataChunk* chunk);

// Asks the compression manager for the PCM format that `format` converts to.
bool SuggestPcmFormat(const std::vector<uint8_t>& format, platform::acm::WAVEFORMATEX* suggestion);

}  // namespace engine
