// Microsoft ADPCM to 16-bit PCM. Each block starts with, per channel, a
// predictor index, the initial step and the two most recent samples; then
// 4-bit codes, high nibble first, alternate between the channels. The
// predictor coefficients come from the format's extra bytes.

#include <vector>

#include "platform/acm_codec.h"

namespace platform::acm {
namespace {

constexpr WORD kCodeBits = 4;
constexpr uint32_t kHeaderBytesPerChannel = 7;
// wSamplesPerBlock and wNumCoef, then the coefficient pairs.
constexpr uint32_t kCoefficientCountBytes = 4;
constexpr uint32_t kBytesPerCoefficientPair = 4;
constexpr uint32_t kMinimumCoefficientPairs = 7;
constexpr uint32_t kMaximumCoefficientPairs = 256;
constexpr int64_t kMinimumStep = 16;
// Valid streams stay far below; the bound keeps damaged ones from
// overflowing while the step keeps growing.
constexpr int64_t kMaximumStep = 1 << 24;

constexpr int64_t kStepAdjustments[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                                          768, 614, 512, 409, 307, 230, 230, 230};

struct ChannelState {
    int64_t coefficient1 = 0;
    int64_t coefficient2 = 0;
    int64_t step = 0;
};

int32_t Clamp16(int64_t value) {
    if (value > INT16_MAX) return INT16_MAX;
    if (value < INT16_MIN) return INT16_MIN;
    return static_cast<int32_t>(value);
}

class MsAdpcmCodec final : public AcmCodec {
public:
    MsAdpcmCodec(const SourceFormat& format, uint32_t samplesPerBlock, std::vector<int16_t> coefficients)
        : AcmCodec(format.blockAlign, samplesPerBlock * format.channels * 2),
          channels_(format.channels),
          samplesPerBlock_(samplesPerBlock),
          coefficients_(std::move(coefficients)) {}

    void DecodeBlocks(const uint8_t* source, size_t count, uint8_t* destination) override {
        for (size_t block = 0; block < count; ++block) {
            DecodeBlock(source, destination);
            source += SourceBlockBytes();
            destination += OutputBlockBytes();
        }
    }

private:
    void DecodeBlock(const uint8_t* block, uint8_t* destination) const {
        ChannelState states[kMaximumChannels];
        // Interleaved samples decoded so far in this block: the two latest
        // per channel are the prediction's inputs.
        int32_t samples[2 * kMaximumChannels];
        const uint8_t* input = block;
        const uint32_t pairs = static_cast<uint32_t>(coefficients_.size() / 2);
        for (uint32_t channel = 0; channel < channels_; ++channel) {
            uint32_t predictor = *input++;
            if (predictor >= pairs) predictor = 0;  // damaged: fall back to the first pair
            states[channel].coefficient1 = coefficients_[predictor * 2];
            states[channel].coefficient2 = coefficients_[predictor * 2 + 1];
        }
        for (uint32_t channel = 0; channel < channels_; ++channel, input += 2) {
            states[channel].step = static_cast<int16_t>(ReadLittle16(input));
        }
        // The header holds the newer sample first; the older one plays first.
        for (uint32_t channel = 0; channel < channels_; ++channel, input += 2) {
            samples[channels_ + channel] = static_cast<int16_t>(ReadLittle16(input));
        }
        for (uint32_t channel = 0; channel < channels_; ++channel, input += 2) {
            samples[channel] = static_cast<int16_t>(ReadLittle16(input));
        }
        uint8_t* output = destination;
        for (uint32_t index = 0; index < 2 * channels_; ++index) output = StoreSample(output, samples[index], 16);

        const uint32_t total = samplesPerBlock_ * channels_;
        uint32_t channel = 0;
        for (uint32_t index = 2 * channels_; index < total; ++index) {
            const uint8_t byte = input[(index - 2 * channels_) / 2];
            const int code = (index - 2 * channels_) % 2 == 0 ? byte >> 4 : byte & 0x0F;
            // samples[] holds the newest two frames: [older frame][newer frame].
            const int32_t newer = samples[channels_ + channel];
            const int32_t older = samples[channel];
            const int32_t sample = NextSample(states[channel], code, newer, older);
            samples[channel] = newer;
            samples[channels_ + channel] = sample;
            output = StoreSample(output, sample, 16);
            if (++channel == channels_) channel = 0;
        }
    }

    static int32_t NextSample(ChannelState& state, int code, int32_t newer, int32_t older) {
        const int64_t step = state.step;
        int64_t next = kStepAdjustments[code] * step >> 8;
        if (next < kMinimumStep) next = kMinimumStep;
        if (next > kMaximumStep) next = kMaximumStep;
        state.step = next;
        const int64_t prediction = (newer * state.coefficient1 + older * state.coefficient2) >> 8;
        const int signedCode = code >= 8 ? code - 16 : code;
        return Clamp16(signedCode * step + prediction);
    }

    uint32_t channels_;
    uint32_t samplesPerBlock_;
    std::vector<int16_t> coefficients_;
};

}  // namespace

std::unique_ptr<AcmCodec> CreateMsAdpcmCodec(const SourceFormat& format, WORD outputBits) {
    if (outputBits != 16 || format.bitsPerSample != kCodeBits) return nullptr;
    if (format.extraBytes < kCoefficientCountBytes) return nullptr;
    const uint32_t samplesPerBlock = ReadLittle16(format.extra);
    const uint32_t pairs = ReadLittle16(format.extra + 2);
    if (pairs < kMinimumCoefficientPairs || pairs > kMaximumCoefficientPairs) return nullptr;
    if (format.extraBytes < kCoefficientCountBytes + pairs * kBytesPerCoefficientPair) return nullptr;

    const uint32_t headerBytes = kHeaderBytesPerChannel * format.channels;
    if (format.blockAlign < headerBytes) return nullptr;
    // Two samples per channel in the header, two codes per byte after it.
    const uint32_t expected = (format.blockAlign - headerBytes) * 2 / format.channels + 2;
    if (samplesPerBlock != expected) return nullptr;

    std::vector<int16_t> coefficients(pairs * 2);
    for (uint32_t index = 0; index < pairs * 2; ++index) {
        coefficients[index] = static_cast<int16_t>(ReadLittle16(format.extra + kCoefficientCountBytes + 2 * index));
    }
    return std::make_unique<MsAdpcmCodec>(format, samplesPerBlock, std::move(coefficients));
}

}  // namespace platform::acm
