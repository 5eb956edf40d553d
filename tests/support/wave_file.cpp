#include "tests/support/wave_file.h"

#include <cstring>

#include "tests/support/fixtures.h"

namespace test {
namespace {

uint32_t Little(const std::vector<uint8_t>& bytes, size_t offset, size_t count) {
    uint32_t value = 0;
    for (size_t i = 0; i < count; ++i) value |= uint32_t(bytes[offset + i]) << (8 * i);
    return value;
}

}  // namespace

std::optional<WaveData> ReadWaveFile(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        return std::nullopt;
    }
    WaveData wave;
    bool haveFormat = false;
    size_t offset = 12;
    while (offset + 8 <= bytes.size()) {
        const uint32_t size = Little(bytes, offset + 4, 4);
        const size_t body = offset + 8;
        if (body + size > bytes.size()) return std::nullopt;
        if (std::memcmp(bytes.data() + offset, "fmt ", 4) == 0 && size >= 16) {
            wave.formatTag = static_cast<uint16_t>(Little(bytes, body, 2));
            wave.channels = static_cast<uint16_t>(Little(bytes, body + 2, 2));
            wave.sampleRate = Little(bytes, body + 4, 4);
            wave.bitsPerSample = static_cast<uint16_t>(Little(bytes, body + 14, 2));
            haveFormat = true;
        } else if (std::memcmp(bytes.data() + offset, "data", 4) == 0 && haveFormat) {
            wave.pcm.assign(bytes.begin() + static_cast<long>(body), bytes.begin() + static_cast<long>(body + size));
            return wave;
        }
        offset = body + size + (size & 1);
    }
    return std::nullopt;
}

}  // namespace test
