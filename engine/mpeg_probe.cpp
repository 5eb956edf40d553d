#include <array>
#include <cstring>

#include "engine/file_reader.h"
#include "engine/mpeg_file.h"
#include "engine/mpeg_header.h"
#include "platform/byte_order.h"

namespace engine {
namespace {

// The probe looks at no more than the start of the file.
constexpr size_t kProbeBytes = 4096;

// RIFF layout: "RIFF", size, form type at 8, first chunk id at 12, and in a
// WAVE file the 16-bit format tag at 20 inside the "fmt " chunk.
constexpr size_t kRiffFormTypeEnd = 12;
constexpr size_t kRiffChunkIdEnd = 16;
constexpr size_t kWaveFormatTagOffset = 20;
constexpr size_t kWaveFormatTagMinimumRead = 21;
constexpr uint16_t kWaveFormatMpegLayer3 = 0x55;
constexpr uint16_t kWaveFormatMpeg = 0x50;

bool HasText(const uint8_t* bytes, const char* text) {
    return std::memcmp(bytes, text, std::strlen(text)) == 0;
}

// The format tag is a 16-bit little-endian value. With exactly 21 bytes read
// its high byte lies past the end of the file and counts as 0.
bool IsMpegRiff(const uint8_t* bytes, size_t count) {
    if (count >= kRiffFormTypeEnd && HasText(bytes + 8, "RMP3")) return true;
    if (count < kRiffFormTypeEnd || !HasText(bytes + 8, "WAVE")) return false;
    if (count < kRiffChunkIdEnd || !HasText(bytes + 12, "fmt ")) return false;
    if (count < kWaveFormatTagMinimumRead) return false;
    const uint16_t formatTag = platform::ReadLittle16(bytes + kWaveFormatTagOffset);
    return formatTag == kWaveFormatMpegLayer3 || formatTag == kWaveFormatMpeg;
}

// Two consecutive headers of the same version, layer and sample rate, the
// second one wholly inside what was read.
bool HasFramePair(const uint8_t* bytes, size_t count) {
    for (size_t index = 0; index + kMpegHeaderBytes < count; ++index) {
        MpegHeader first;
        if (!ParseMpegHeader(bytes + index, &first)) continue;
        const size_t next = index + static_cast<size_t>(first.frameLength);
        if (next + kMpegHeaderBytes >= count) continue;
        MpegHeader second;
        if (ParseMpegHeader(bytes + next, &second) && SameStream(first, second)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool ProbeMpegFile(const std::string& path) {
    FileReader reader;
    if (!reader.ReaderOpen(path)) return false;
    // Zero-filled, so bytes past the end of a short file read as 0.
    std::array<uint8_t, kProbeBytes> buffer{};
    size_t count = 0;
    if (!reader.ReaderRead(buffer.data(), kProbeBytes, &count)) count = 0;
    reader.ReaderClose();

    if (count < kMpegHeaderBytes) return false;
    if (HasText(buffer.data(), "ID3")) return true;
    if (HasText(buffer.data(), "RIFF")) return IsMpegRiff(buffer.data(), count);
    return HasFramePair(buffer.data(), count);
}

}  // namespace engine
