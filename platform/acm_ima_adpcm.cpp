// IMA ADPCM (DVI) to 16-bit PCM. Each block starts with a 4-byte header per
// channel (the first sample and the step index); then 4-byte groups of eight
// 4-bit codes alternate between the channels, low nibble first. Blocks are
// independent of each other.

#include "platform/acm_codec.h"

namespace platform::acm {
namespace {

constexpr WORD kCodeBits = 4;
constexpr uint32_t kHeaderBytesPerChannel = 4;
constexpr uint32_t kGroupBytes = 4;
constexpr uint32_t kSamplesPerGroup = 8;
constexpr uint32_t kSamplesPerBlockBytes = 2;
constexpr int kMaximumStepIndex = 88;

constexpr int16_t kStepSizes[kMaximumStepIndex + 1] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int kIndexChanges[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

class ImaAdpcmCodec final : public AcmCodec {
public:
    ImaAdpcmCodec(const SourceFormat& format, uint32_t samplesPerBlock)
        : AcmCodec(format.blockAlign, samplesPerBlock * format.channels * 2),
          channels_(format.channels),
          samplesPerBlock_(samplesPerBlock) {}

    void DecodeBlocks(const uint8_t* source, size_t count, uint8_t* destination) override {
        for (size_t block = 0; block < count; ++block) {
            for (uint32_t channel = 0; channel < channels_; ++channel) {
                DecodeChannel(source, channel, destination);
            }
            source += SourceBlockBytes();
            destination += OutputBlockBytes();
        }
    }

private:
    void DecodeChannel(const uint8_t* block, uint32_t channel, uint8_t* destination) const {
        const uint8_t* header = block + kHeaderBytesPerChannel * channel;
        int32_t value = static_cast<int16_t>(ReadLittle16(header));
        int index = header[2];
        // A damaged header starts from the smallest step rather than reading
        // outside the table.
        if (index > kMaximumStepIndex) index = 0;
        const uint32_t frameBytes = channels_ * 2;
        uint8_t* output = destination + channel * 2;
        StoreSample(output, value, 16);

        const uint8_t* codes = block + kHeaderBytesPerChannel * channels_ + kGroupBytes * channel;
        const uint32_t skipBetweenGroups = kGroupBytes * (channels_ - 1);
        for (uint32_t sample = 1; sample < samplesPerBlock_; ++sample) {
            int code;
            if (sample & 1) {
                code = *codes & 0x0F;
            } else {
                code = *codes++ >> 4;
                if (sample % kSamplesPerGroup == 0) codes += skipBetweenGroups;
            }
            value = NextSample(value, index, code);
            output += frameBytes;
            StoreSample(output, value, 16);
        }
    }

    static int32_t NextSample(int32_t value, int& index, int code) {
        const int32_t step = kStepSizes[index];
        const int magnitude = code & 7;
        int32_t difference = step >> 3;
        if (magnitude & 4) difference += step;
        if (magnitude & 2) difference += step >> 1;
        if (magnitude & 1) difference += step >> 2;
        value += (code & 8) ? -difference : difference;
        if (value > INT16_MAX) value = INT16_MAX;
        if (value < INT16_MIN) value = INT16_MIN;
        index += kIndexChanges[magnitude];
        if (index < 0) index = 0;
        if (index > kMaximumStepIndex) index = kMaximumStepIndex;
        return value;
    }

    uint32_t channels_;
    uint32_t samplesPerBlock_;
};

}  // namespace

std::unique_ptr<AcmCodec> CreateImaAdpcmCodec(const SourceFormat& format, WORD outputBits) {
    if (outputBits != 16 || format.bitsPerSample != kCodeBits) return nullptr;
    if (format.extraBytes < kSamplesPerBlockBytes) return nullptr;
    const uint32_t headerBytes = kHeaderBytesPerChannel * format.channels;
    const uint32_t groupBytes = kGroupBytes * format.channels;
    if (format.blockAlign < headerBytes || (format.blockAlign - headerBytes) % groupBytes != 0) return nullptr;
    const uint32_t samplesPerBlock = (format.blockAlign - headerBytes) / groupBytes * kSamplesPerGroup + 1;
    if (ReadLittle16(format.extra) != samplesPerBlock) return nullptr;
    return std::make_unique<ImaAdpcmCodec>(format, samplesPerBlock);
}

}  // namespace platform::acm
