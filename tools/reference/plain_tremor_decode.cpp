#include "tools/reference/plain_tremor_decode.h"

#include <tremor/ivorbisfile.h>

#include <cstdio>

namespace {

constexpr int kReadBytes = 16384;

}  // namespace

PlainDecodeResult DecodeWithPlainTremorLoop(const std::string& path) {
    PlainDecodeResult result;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return result;
    OggVorbis_File decoder{};
    if (ov_open(file, &decoder, nullptr, 0) < 0) {
        std::fclose(file);
        return result;
    }
    const vorbis_info* info = ov_info(&decoder, -1);
    const int channels = info != nullptr && info->channels > 0 ? info->channels : 1;
    static char buffer[kReadBytes];
    long got = 0;
    while ((got = ov_read(&decoder, buffer, kReadBytes, nullptr)) > 0) result.pcmBytes += static_cast<uint64_t>(got);
    result.frames = result.pcmBytes / (2 * static_cast<uint64_t>(channels));
    result.sampleRate = info != nullptr ? static_cast<uint32_t>(info->rate) : 0;
    ov_clear(&decoder);
    return result;
}
