// A-law and mu-law (G.711) to 16-bit PCM, by the standard expansion.

#include "platform/acm_codec.h"

namespace platform::acm {
namespace {

constexpr uint8_t kSignBit = 0x80;
constexpr uint8_t kQuantisationMask = 0x0F;
constexpr uint8_t kSegmentMask = 0x70;
constexpr int kSegmentShift = 4;
constexpr uint8_t kAlawEvenBitInversion = 0x55;
constexpr int32_t kMulawBias = 0x84;

int32_t AlawToLinear(uint8_t code) {
    code ^= kAlawEvenBitInversion;
    int32_t magnitude = (code & kQuantisationMask) << 4;
    const int segment = (code & kSegmentMask) >> kSegmentShift;
    if (segment == 0) {
        magnitude += 8;
    } else {
        magnitude += 0x108;
        magnitude <<= segment - 1;
    }
    return (code & kSignBit) ? magnitude : -magnitude;
}

int32_t MulawToLinear(uint8_t code) {
    code = static_cast<uint8_t>(~code);
    int32_t magnitude = ((code & kQuantisationMask) << 3) + kMulawBias;
    magnitude <<= (code & kSegmentMask) >> kSegmentShift;
    return (code & kSignBit) ? kMulawBias - magnitude : magnitude - kMulawBias;
}

class G711Codec final : public AcmCodec {
public:
    G711Codec(const SourceFormat& format, WORD outputBits)
        : AcmCodec(format.channels, uint32_t{format.channels} * outputBits / 8), outputBits_(outputBits) {
        for (int code = 0; code < 256; ++code) {
            const auto byte = static_cast<uint8_t>(code);
            table_[code] = static_cast<int16_t>(format.formatTag == WAVE_FORMAT_ALAW ? AlawToLinear(byte)
                                                                                      : MulawToLinear(byte));
        }
    }

    void DecodeBlocks(const uint8_t* source, size_t count, uint8_t* destination) override {
        const size_t samples = count * SourceBlockBytes();
        for (size_t index = 0; index < samples; ++index) {
            destination = StoreSample(destination, table_[source[index]], outputBits_);
        }
    }

private:
    int16_t table_[256];
    WORD outputBits_;
};

}  // namespace

std::unique_ptr<AcmCodec> CreateG711Codec(const SourceFormat& format, WORD outputBits) {
    if (outputBits != 16) return nullptr;
    if (format.bitsPerSample != 8 || format.blockAlign != format.channels) return nullptr;
    return std::make_unique<G711Codec>(format, outputBits);
}

}  // namespace platform::acm
