// PCM in its integer and float shapes, to 8- or 16-bit PCM. Integer samples
// keep their top bits; float samples are scaled by 32768, rounded and clipped.

#include <cmath>
#include <cstring>

#include "platform/acm_codec.h"

namespace platform::acm {
namespace {

constexpr WORD kFloatBits = 32;

class PcmCodec final : public AcmCodec {
public:
    PcmCodec(const SourceFormat& format, WORD outputBits)
        : AcmCodec(format.blockAlign, uint32_t{format.channels} * outputBits / 8),
          isFloat_(format.formatTag == WAVE_FORMAT_IEEE_FLOAT),
          bytesPerSample_(format.bitsPerSample / 8u),
          samplesPerFrame_(format.channels),
          outputBits_(outputBits) {}

    void DecodeBlocks(const uint8_t* source, size_t count, uint8_t* destination) override {
        const size_t samples = count * samplesPerFrame_;
        for (size_t index = 0; index < samples; ++index, source += bytesPerSample_) {
            destination = StoreSample(destination, Sample(source), outputBits_);
        }
    }

private:
    int32_t Sample(const uint8_t* source) const {
        if (isFloat_) return FloatSample(source);
        switch (bytesPerSample_) {
            case 1: return (int32_t{source[0]} - 128) * 256;
            case 2: return static_cast<int16_t>(ReadLittle16(source));
            case 3: return static_cast<int16_t>(ReadLittle16(source + 1));
            default: return static_cast<int16_t>(ReadLittle16(source + 2));
        }
    }

    static int32_t FloatSample(const uint8_t* source) {
        const uint32_t bits = ReadLittle32(source);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        if (!(value == value)) return 0;  // NaN
        const float scaled = std::nearbyint(value * 32768.0f);
        if (scaled >= 32767.0f) return 32767;
        if (scaled <= -32768.0f) return -32768;
        return static_cast<int32_t>(scaled);
    }

    bool isFloat_;
    uint32_t bytesPerSample_;
    uint32_t samplesPerFrame_;
    WORD outputBits_;
};

bool ValidBits(const SourceFormat& format) {
    if (format.formatTag == WAVE_FORMAT_IEEE_FLOAT) return format.bitsPerSample == kFloatBits;
    const WORD bits = format.bitsPerSample;
    return bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

std::unique_ptr<AcmCodec> CreatePcmCodec(const SourceFormat& format, WORD outputBits) {
    if (outputBits != 8 && outputBits != 16) return nullptr;
    if (!ValidBits(format)) return nullptr;
    if (format.blockAlign != uint32_t{format.channels} * format.bitsPerSample / 8) return nullptr;
    return std::make_unique<PcmCodec>(format, outputBits);
}

}  // namespace platform::acm
