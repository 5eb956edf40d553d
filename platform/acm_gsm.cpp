// GSM 6.10 to 16-bit PCM through libgsm, in the WAV49 packing that WAVE files
// use: each 65-byte block holds two frames (33 and 32 bytes) of 160 samples.
// The decoder carries its filter history from frame to frame, so the codec
// is stateful; a reset starts a fresh decoder.

#include <gsm.h>

#include <cstring>

#include "platform/acm_codec.h"

namespace platform::acm {
namespace {

constexpr WORD kBlockBytes = 65;
constexpr uint32_t kFirstFrameBytes = 33;
constexpr uint32_t kSamplesPerFrame = 160;
constexpr uint32_t kSamplesPerBlock = 2 * kSamplesPerFrame;
constexpr uint32_t kSamplesPerBlockBytes = 2;

gsm CreateWav49Decoder() {
    gsm decoder = gsm_create();
    if (decoder == nullptr) return nullptr;
    int wav49 = 1;
    gsm_option(decoder, GSM_OPT_WAV49, &wav49);
    return decoder;
}

class GsmCodec final : public AcmCodec {
public:
    explicit GsmCodec(gsm decoder) : AcmCodec(kBlockBytes, kSamplesPerBlock * 2), decoder_(decoder) {}
    ~GsmCodec() override { gsm_destroy(decoder_); }
    GsmCodec(const GsmCodec&) = delete;
    GsmCodec& operator=(const GsmCodec&) = delete;

    void DecodeBlocks(const uint8_t* source, size_t count, uint8_t* destination) override {
        for (size_t block = 0; block < count; ++block) {
            // libgsm takes a mutable pointer; it gets a copy of the block.
            gsm_byte frames[kBlockBytes];
            std::memcpy(frames, source + block * kBlockBytes, kBlockBytes);
            gsm_signal samples[kSamplesPerBlock];
            DecodeFrame(frames, samples);
            DecodeFrame(frames + kFirstFrameBytes, samples + kSamplesPerFrame);
            for (gsm_signal sample : samples) destination = StoreSample(destination, sample, 16);
        }
    }

    void Reset() override {
        gsm fresh = CreateWav49Decoder();
        if (fresh == nullptr) return;  // keep the old history rather than no decoder
        gsm_destroy(decoder_);
        decoder_ = fresh;
    }

private:
    void DecodeFrame(gsm_byte* frame, gsm_signal* samples) {
        if (gsm_decode(decoder_, frame, samples) < 0) std::memset(samples, 0, kSamplesPerFrame * sizeof *samples);
    }

    gsm decoder_;
};

}  // namespace

std::unique_ptr<AcmCodec> CreateGsmCodec(const SourceFormat& format, WORD outputBits) {
    if (outputBits != 16 || format.channels != 1 || format.blockAlign != kBlockBytes) return nullptr;
    if (format.extraBytes >= kSamplesPerBlockBytes && ReadLittle16(format.extra) != kSamplesPerBlock) return nullptr;
    gsm decoder = CreateWav49Decoder();
    if (decoder == nullptr) return nullptr;
    return std::make_unique<GsmCodec>(decoder);
}

}  // namespace platform::acm
