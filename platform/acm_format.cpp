// Reading a source format from the bytes of a file's format chunk, and
// choosing its codec.

#include <cstring>

#include "platform/acm_codec.h"

namespace platform::acm {
namespace {

constexpr uint32_t kCbSizeOffset = 16;
// WAVE_FORMAT_EXTENSIBLE's own bytes: valid bits (2), channel mask (4), and
// the sub-format GUID (16), whose first two bytes hold the format tag.
constexpr uint32_t kExtensibleBytes = 22;
constexpr uint32_t kSubFormatOffset = 6;
// The GUID after its first four bytes: {xxxxxxxx-0000-0010-8000-00AA00389B71}.
constexpr uint8_t kSubFormatTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

bool UnwrapExtensible(SourceFormat* format) {
    if (format->extraBytes < kExtensibleBytes) return false;
    const uint8_t* subFormat = format->extra + kSubFormatOffset;
    if (ReadLittle16(subFormat + 2) != 0 || std::memcmp(subFormat + 4, kSubFormatTail, sizeof kSubFormatTail) != 0) {
        return false;
    }
    const WORD tag = ReadLittle16(subFormat);
    const WORD validBits = ReadLittle16(format->extra);
    if (tag != WAVE_FORMAT_PCM && tag != WAVE_FORMAT_IEEE_FLOAT) return false;
    if (validBits > format->bitsPerSample) return false;
    format->formatTag = tag;
    format->extra = nullptr;
    format->extraBytes = 0;
    return true;
}

}  // namespace

bool ReadSourceFormat(const void* bytes, uint32_t length, SourceFormat* format) {
    if (bytes == nullptr || length < kWaveFormatBaseBytes) return false;
    const auto* header = static_cast<const uint8_t*>(bytes);
    SourceFormat read;
    read.formatTag = ReadLittle16(header);
    read.channels = ReadLittle16(header + 2);
    read.sampleRate = ReadLittle32(header + 4);
    read.averageBytesPerSecond = ReadLittle32(header + 8);
    read.blockAlign = ReadLittle16(header + 12);
    read.bitsPerSample = ReadLittle16(header + 14);
    if (length >= sizeof(WAVEFORMATEX)) {
        const uint32_t declared = ReadLittle16(header + kCbSizeOffset);
        const uint32_t held = length - static_cast<uint32_t>(sizeof(WAVEFORMATEX));
        read.extra = header + sizeof(WAVEFORMATEX);
        read.extraBytes = declared < held ? declared : held;
    }
    if (read.channels == 0 || read.channels > kMaximumChannels) return false;
    if (read.sampleRate == 0 || read.sampleRate > kMaximumSampleRate) return false;
    if (read.blockAlign == 0) return false;
    if (read.formatTag == WAVE_FORMAT_EXTENSIBLE && !UnwrapExtensible(&read)) return false;
    *format = read;
    return true;
}

WORD PreferredOutputBits(const SourceFormat& format) {
    const bool eightBitPcm = format.formatTag == WAVE_FORMAT_PCM && format.bitsPerSample == 8;
    return eightBitPcm ? 8 : 16;
}

std::unique_ptr<AcmCodec> CreateCodec(const SourceFormat& format, WORD outputBits) {
    switch (format.formatTag) {
        case WAVE_FORMAT_PCM:
        case WAVE_FORMAT_IEEE_FLOAT: return CreatePcmCodec(format, outputBits);
        case WAVE_FORMAT_ALAW:
        case WAVE_FORMAT_MULAW: return CreateG711Codec(format, outputBits);
        case WAVE_FORMAT_IMA_ADPCM: return CreateImaAdpcmCodec(format, outputBits);
        case WAVE_FORMAT_ADPCM: return CreateMsAdpcmCodec(format, outputBits);
        case WAVE_FORMAT_GSM610: return CreateGsmCodec(format, outputBits);
        default: return nullptr;
    }
}

}  // namespace platform::acm
