#include "engine/mpeg_header.h"

namespace engine {
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

// Bits of the second, third and fourth header bytes.
constexpr uint8_t kSyncFirstByte = 0xFF;
constexpr uint8_t kSyncSecondBits = 0xE0;
constexpr uint8_t kMpeg25Bit = 0x10;
constexpr uint8_t kMpeg1Bit = 0x08;
constexpr int kLayerShift = 1;
constexpr uint8_t kLayerMask = 0x03;
constexpr int kBitrateShift = 4;
constexpr int kSampleRateShift = 2;
constexpr uint8_t kSampleRateMask = 0x03;
constexpr int kPaddingShift = 1;
constexpr int kModeShift = 6;

constexpr uint32_t kForbiddenBitrateIndex = 15;
constexpr uint32_t kFreeFormatBitrateIndex = 0;
constexpr uint32_t kReservedSampleRateIndex = 3;
constexpr uint32_t kSingleChannelMode = 3;

constexpr int32_t kLayerOneSlotBytes = 4;
constexpr int32_t kLayerOneSamples = 384;
constexpr int32_t kLowSamplingLayerThreeSamples = 576;
constexpr int32_t kLongFrameSamples = 1152;

}  // namespace

int ParseMpegHeader(const uint8_t* bytes, MpegHeader* header) {
    if (!PassesQuickSyncTest(bytes)) return 0;
    const uint32_t bitrateIndex = bytes[2] >> kBitrateShift;
    const uint32_t sampleRateIndex = (bytes[2] >> kSampleRateShift) & kSampleRateMask;

    MpegHeader parsed;
    parsed.version = HeaderVersion(bytes);
    parsed.layer = HeaderLayer(bytes);
    const auto& bitrates = parsed.version == 1 ? kMpeg1Bitrates : kMpeg2Bitrates;
    parsed.bitrate = bitrates[parsed.layer - 1][bitrateIndex];
    parsed.sampleRate = kSampleRates[parsed.version - 1][sampleRateIndex];
    parsed.channels = HeaderChannels(bytes);
    parsed.samplesPerFrame = SamplesPerFrame(parsed.layer, parsed.version == 1);
    const int32_t padding = (bytes[2] >> kPaddingShift) & 1;

    if (parsed.layer == 1) {
        parsed.frameLength = (parsed.bitrate * 12000 / parsed.sampleRate + padding) * kLayerOneSlotBytes;
    } else if (parsed.samplesPerFrame == kLowSamplingLayerThreeSamples) {
        parsed.frameLength = parsed.bitrate * 72000 / parsed.sampleRate + padding;
    } else {
        parsed.frameLength = parsed.bitrate * 144000 / parsed.sampleRate + padding;
    }
    *header = parsed;
    return 1;
}

bool PassesQuickSyncTest(const uint8_t* bytes) {
    const uint32_t bitrateIndex = bytes[2] >> kBitrateShift;
    const uint32_t sampleRateIndex = (bytes[2] >> kSampleRateShift) & kSampleRateMask;
    return HasFrameSync(bytes) && HeaderLayer(bytes) != 0 && bitrateIndex != kForbiddenBitrateIndex &&
           bitrateIndex != kFreeFormatBitrateIndex && sampleRateIndex != kReservedSampleRateIndex;
}

bool HasFrameSync(const uint8_t* bytes) {
    return bytes[0] == kSyncFirstByte && (bytes[1] & kSyncSecondBits) == kSyncSecondBits;
}

int32_t HeaderVersion(const uint8_t* bytes) {
    if ((bytes[1] & kMpeg25Bit) == 0) return 3;
    return HasMpeg1Bit(bytes) ? 1 : 2;
}

bool HasMpeg1Bit(const uint8_t* bytes) { return (bytes[1] & kMpeg1Bit) != 0; }

int32_t HeaderLayer(const uint8_t* bytes) {
    const int32_t code = (bytes[1] >> kLayerShift) & kLayerMask;
    return code == 0 ? 0 : 4 - code;
}

int32_t HeaderChannels(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[3] >> kModeShift) == kSingleChannelMode ? 1 : 2;
}

int32_t SamplesPerFrame(int32_t layer, bool mpeg1) {
    if (layer == 1) return kLayerOneSamples;
    if (layer == 3 && !mpeg1) return kLowSamplingLayerThreeSamples;
    return kLongFrameSamples;
}

}  // namespace engine
