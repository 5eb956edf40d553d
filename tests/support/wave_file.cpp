#include "tests/support/wave_file.h"

#include "platform/byte_order.h"
#include "platform/riff_chunks.h"
#include "tests/support/fixtures.h"

namespace test {

std::optional<WaveData> ReadWaveFile(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    if (!platform::IsRiffForm(bytes, "WAVE")) return std::nullopt;
    WaveData wave;
    bool haveFormat = false;
    platform::RiffChunkWalker chunks(bytes);
    while (const std::optional<platform::RiffChunk> chunk = chunks.Next()) {
        if (!chunk->IsWhole()) return std::nullopt;
        const uint8_t* body = chunk->body.data();
        if (chunk->header.Is("fmt ") && chunk->header.size >= 16) {
            wave.formatTag = platform::ReadLittle16(body);
            wave.channels = platform::ReadLittle16(body + 2);
            wave.sampleRate = platform::ReadLittle32(body + 4);
            wave.bitsPerSample = platform::ReadLittle16(body + 14);
            haveFormat = true;
        } else if (chunk->header.Is("data") && haveFormat) {
            wave.pcm.assign(chunk->body.begin(), chunk->body.end());
            return wave;
        }
    }
    return std::nullopt;
}

}  // namespace test
