#include "tools/base_skin/wave_encoder.h"

#include <cstring>

#include "platform/byte_order.h"

namespace base_skin {
namespace {

constexpr uint32_t kFormatChunkBytes = 16;
constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kBytesPerSample = 2;

void PutTag(std::vector<uint8_t>& bytes, const char* tag) { bytes.insert(bytes.end(), tag, tag + std::strlen(tag)); }

}  // namespace

std::vector<uint8_t> EncodeMonoWave(std::span<const int16_t> samples, uint32_t sampleRate) {
    const auto dataBytes = static_cast<uint32_t>(samples.size() * kBytesPerSample);
    std::vector<uint8_t> bytes;
    PutTag(bytes, "RIFF");
    platform::AppendLittle32(bytes, 4 + 8 + kFormatChunkBytes + 8 + dataBytes);
    PutTag(bytes, "WAVE");
    PutTag(bytes, "fmt ");
    platform::AppendLittle32(bytes, kFormatChunkBytes);
    platform::AppendLittle16(bytes, kFormatPcm);
    platform::AppendLittle16(bytes, 1);  // channels
    platform::AppendLittle32(bytes, sampleRate);
    platform::AppendLittle32(bytes, sampleRate * kBytesPerSample);
    platform::AppendLittle16(bytes, kBytesPerSample);  // block alignment
    platform::AppendLittle16(bytes, 16);               // bits per sample
    PutTag(bytes, "data");
    platform::AppendLittle32(bytes, dataBytes);
    for (int16_t sample : samples) platform::AppendLittle16(bytes, static_cast<uint16_t>(sample));
    return bytes;
}

}  // namespace base_skin
