#include "platform/play_sound.h"

#include <cstring>
#include <optional>
#include <vector>

#include "platform/event.h"

namespace platform {
namespace {

constexpr uint16_t kPcmFormatTag = 1;

struct Clip {
    WaveFormat format;
    std::span<const uint8_t> pcm;
};

uint32_t Little(std::span<const uint8_t> bytes, size_t offset, size_t count) {
    uint32_t value = 0;
    for (size_t i = 0; i < count; ++i) value |= uint32_t{bytes[offset + i]} << (8 * i);
    return value;
}

// The format and data chunks of a PCM WAVE file, every size checked.
std::optional<Clip> ParseClip(std::span<const uint8_t> file) {
    if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 || std::memcmp(file.data() + 8, "WAVE", 4) != 0) {
        return std::nullopt;
    }
    std::optional<WaveFormat> format;
    size_t offset = 12;
    while (offset + 8 <= file.size()) {
        const uint32_t size = Little(file, offset + 4, 4);
        const size_t body = offset + 8;
        if (size > file.size() - body) return std::nullopt;
        if (std::memcmp(file.data() + offset, "fmt ", 4) == 0 && size >= 16) {
            if (Little(file, body, 2) != kPcmFormatTag) return std::nullopt;
            format = WaveFormat{static_cast<uint16_t>(Little(file, body + 2, 2)), Little(file, body + 4, 4),
                                static_cast<uint16_t>(Little(file, body + 14, 2))};
        } else if (std::memcmp(file.data() + offset, "data", 4) == 0 && format) {
            if (format->BlockAlign() == 0 || format->sampleRate == 0) return std::nullopt;
            return Clip{*format, file.subspan(body, size)};
        }
        offset = body + size + (size & 1);
    }
    return std::nullopt;
}

}  // namespace

bool PlaySoundClip(std::span<const uint8_t> waveFile, WaveBackend backend) {
    const std::optional<Clip> clip = ParseClip(waveFile);
    if (!clip || clip->pcm.empty()) return false;
    auto device = CreateWaveOutDevice(backend);
    Event played;
    if (device == nullptr || device->Open(clip->format, [&played](uint32_t message, WaveHeader*) {
            if (message == WOM_DONE) played.Set();
        }) != WAVE_OK) {
        return false;
    }
    // The device reads the block while it plays; it stays untouched meanwhile.
    std::vector<uint8_t> block(clip->pcm.begin(), clip->pcm.end());
    WaveHeader header;
    header.data = block.data();
    header.bufferLength = static_cast<uint32_t>(block.size());
    device->Write(&header);
    played.Wait();
    device->Close();
    return true;
}

}  // namespace platform
