#include "platform/play_sound.h"

#include <optional>
#include <vector>

#include "platform/byte_order.h"
#include "platform/event.h"
#include "platform/riff_chunks.h"

namespace platform {
namespace {

constexpr uint16_t kPcmFormatTag = 1;

struct Clip {
    WaveFormat format;
    std::span<const uint8_t> pcm;
};

// The format and data chunks of a PCM WAVE file, every size checked.
std::optional<Clip> ParseClip(std::span<const uint8_t> file) {
    if (!IsRiffForm(file, "WAVE")) return std::nullopt;
    std::optional<WaveFormat> format;
    RiffChunkWalker chunks(file);
    while (const std::optional<RiffChunk> chunk = chunks.Next()) {
        if (!chunk->IsWhole()) return std::nullopt;
        const uint8_t* body = chunk->body.data();
        if (chunk->header.Is("fmt ") && chunk->header.size >= 16) {
            if (ReadLittle16(body) != kPcmFormatTag) return std::nullopt;
            format = WaveFormat{ReadLittle16(body + 2), ReadLittle32(body + 4), ReadLittle16(body + 14)};
        } else if (chunk->header.Is("data") && format) {
            if (format->BlockAlign() == 0 || format->sampleRate == 0) return std::nullopt;
            return Clip{*format, chunk->body};
        }
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
