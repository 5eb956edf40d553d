#pragma once

// What the compression manager needs from each codec: a checked reading of
// the source format, and a decoder of whole source blocks into PCM. The
// stream layer (acm.cpp) keeps partial blocks between conversions and sizes
// buffers from the two block sizes, so a codec only ever sees whole blocks.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/acm.h"
#include "platform/byte_order.h"

namespace platform::acm {

// The output is mono or stereo.
constexpr WORD kMaximumChannels = 2;
// Far above any real rate; keeps every size computed from it in range.
constexpr DWORD kMaximumSampleRate = 1000000;

// A source format read from the file's bytes. For WAVE_FORMAT_EXTENSIBLE,
// formatTag is the tag of the sub-format.
struct SourceFormat {
    WORD formatTag = 0;
    WORD channels = 0;
    DWORD sampleRate = 0;
    DWORD averageBytesPerSecond = 0;
    WORD blockAlign = 0;
    WORD bitsPerSample = 0;
    // The format-specific bytes after cbSize that the given length holds.
    const uint8_t* extra = nullptr;
    uint32_t extraBytes = 0;
};

// Reads the header fields, unwraps WAVE_FORMAT_EXTENSIBLE and checks what
// every codec relies on (channels 1 or 2, a sane rate, block align above 0).
bool ReadSourceFormat(const void* bytes, uint32_t length, SourceFormat* format);

class AcmCodec {
public:
    AcmCodec(uint32_t sourceBlockBytes, uint32_t outputBlockBytes)
        : sourceBlockBytes_(sourceBlockBytes), outputBlockBytes_(outputBlockBytes) {}
    virtual ~AcmCodec() = default;

    // Source bytes decoded as one unit, and the PCM bytes that unit yields.
    uint32_t SourceBlockBytes() const { return sourceBlockBytes_; }
    uint32_t OutputBlockBytes() const { return outputBlockBytes_; }

    // Decodes `count` whole blocks into count × OutputBlockBytes() bytes.
    virtual void DecodeBlocks(const uint8_t* source, size_t count, uint8_t* destination) = 0;
    // Forgets the history carried from block to block, for codecs that have one.
    virtual void Reset() {}

private:
    uint32_t sourceBlockBytes_;
    uint32_t outputBlockBytes_;
};

// Writes one 16-bit sample as 16-bit little-endian or 8-bit unsigned PCM and
// returns the position after it.
inline uint8_t* StoreSample(uint8_t* destination, int32_t sample, WORD outputBits) {
    if (outputBits == 8) {
        *destination = static_cast<uint8_t>((sample >> 8) + 128);
        return destination + 1;
    }
    WriteLittle16(destination, static_cast<uint16_t>(sample));
    return destination + 2;
}

// Each factory returns null when the format is not one it decodes, or is
// inconsistent, or when `outputBits` is not an output it produces.
std::unique_ptr<AcmCodec> CreatePcmCodec(const SourceFormat& format, WORD outputBits);
std::unique_ptr<AcmCodec> CreateG711Codec(const SourceFormat& format, WORD outputBits);
std::unique_ptr<AcmCodec> CreateImaAdpcmCodec(const SourceFormat& format, WORD outputBits);
std::unique_ptr<AcmCodec> CreateMsAdpcmCodec(const SourceFormat& format, WORD outputBits);
std::unique_ptr<AcmCodec> CreateGsmCodec(const SourceFormat& format, WORD outputBits);

// The codec for any supported format, or null.
std::unique_ptr<AcmCodec> CreateCodec(const SourceFormat& format, WORD outputBits);
// The output bits a conversion of `format` produces when the caller does not ask.
WORD PreferredOutputBits(const SourceFormat& format);

}  // namespace platform::acm
