#include "engine/mpeg_header.h"

namespace {

constexpr int kLayerCount = 3;
constexpr int kBitrateIndexCount = 16;

// Bitrates in kbit/s by layer (I, II, III) and bitrate index. Index 0 (free
// format) and 15 (forbidden) are refused before the tables are read.
constexpr int32_t kMpeg1Bitrates[kLayerCount][kBitrateIndexCount] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
};
// MPEG-2 and MPEG-2.5 share one table; Layers II and III have the same row.
constexpr int32_t kMpeg2Bitrates[kLayerCount][kBitrateIndexCount] = {
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
};

// Sample rates in Hz by version (MPEG-1, MPEG-2, MPEG-2.5) and index 0..2.
constexpr int32_t kSampleRates[3][3] = {
    {44100, 48000, 32000},
    {22050, 24000, 16000},
    {11025, 12000, 8000},
};

constexpr uint32_t kSyncMask = 0xFFE00000;
constexpr uint32_t kForbiddenBitrateIndex = 15;
constexpr uint32_t kFreeFormatBitrateIndex = 0;
constexpr uint32_t kReservedSampleRateIndex = 3;
constexpr uint32_t kReservedLayerBits = 0;
constexpr uint32_t kSingleChannelMode = 3;

constexpr int32_t kLayerOneSlotBytes = 4;
constexpr int32_t kLayerOneSamples = 384;
constexpr int32_t kLowSamplingLayerThreeSamples = 576;
constexpr int32_t kLongFrameSamples = 1152;

uint32_t ReadBigEndian32(const uint8_t* bytes) {
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
           uint32_t{bytes[3]};
}

int32_t VersionOf(uint32_t word) {
    const bool bit20 = (word >> 20) & 1;
    const bool bit19 = (word >> 19) & 1;
    if (!bit20) return 3;
    return bit19 ? 1 : 2;
}

}  // namespace

int ParseMpegHeader(const uint8_t* bytes, MpegHeader* header) {
    const uint32_t word = ReadBigEndian32(bytes);
    const uint32_t layerBits = (word >> 17) & 3;
    const uint32_t bitrateIndex = (word >> 12) & 15;
    const uint32_t sampleRateIndex = (word >> 10) & 3;
    if ((word & kSyncMask) != kSyncMask || layerBits == kReservedLayerBits ||
        bitrateIndex == kForbiddenBitrateIndex || bitrateIndex == kFreeFormatBitrateIndex ||
        sampleRateIndex == kReservedSampleRateIndex) {
        return 0;
    }

    MpegHeader parsed;
    parsed.version = VersionOf(word);
    parsed.layer = 4 - static_cast<int32_t>(layerBits);
    const auto& bitrates = parsed.version == 1 ? kMpeg1Bitrates : kMpeg2Bitrates;
    parsed.bitrate = bitrates[parsed.layer - 1][bitrateIndex];
    parsed.sampleRate = kSampleRates[parsed.version - 1][sampleRateIndex];
    parsed.channels = ((word >> 6) & 3) == kSingleChannelMode ? 1 : 2;
    const int32_t padding = static_cast<int32_t>((word >> 9) & 1);

    if (parsed.layer == 1) {
        parsed.frameLength = (parsed.bitrate * 12000 / parsed.sampleRate + padding) * kLayerOneSlotBytes;
        parsed.samplesPerFrame = kLayerOneSamples;
    } else if (parsed.layer == 3 && parsed.version != 1) {
        parsed.frameLength = parsed.bitrate * 72000 / parsed.sampleRate + padding;
        parsed.samplesPerFrame = kLowSamplingLayerThreeSamples;
    } else {
        parsed.frameLength = parsed.bitrate * 144000 / parsed.sampleRate + padding;
        parsed.samplesPerFrame = kLongFrameSamples;
    }
    *header = parsed;
    return 1;
}

bool PassesQuickSyncTest(const uint8_t* bytes) {
    const uint8_t bitrateBits = bytes[2] & 0xF0;
    return bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0 && (bytes[1] & 0x06) != 0 &&
           bitrateBits != 0xF0 && bitrateBits != 0x00 && (bytes[2] & 0x0C) != 0x0C;
}
