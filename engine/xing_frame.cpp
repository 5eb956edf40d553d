#include "engine/xing_frame.h"

#include <cstring>

#include "platform/byte_order.h"

namespace engine {
namespace {

constexpr uint32_t kHasFrames = 0x1;
constexpr uint32_t kHasBytes = 0x2;
constexpr uint32_t kHasTableOfContents = 0x4;
constexpr uint32_t kHasQuality = 0x8;
constexpr size_t kTableOfContentsBytes = 100;

// The LAME tag: a 9-byte encoder name, then fields of which the delay and
// padding (two 12-bit numbers in three bytes) start at 21, and the tag's
// checksum (over every byte of the frame before it) at 34.
constexpr size_t kLameTagBytes = 36;
constexpr size_t kDelayAndPaddingOffset = 21;
constexpr size_t kTagChecksumOffset = 34;

// Side information between the header and the Xing magic.
size_t SideInfoBytes(const MpegHeader& header) {
    if (header.version == 1) return header.channels == 1 ? 17 : 32;
    return header.channels == 1 ? 9 : 17;
}

// CRC-16 with the reflected polynomial 0x8005 and no initial value, as the
// LAME tag's checksum is computed.
uint16_t TagChecksum(const uint8_t* bytes, size_t count) {
    uint16_t crc = 0;
    for (size_t index = 0; index < count; ++index) {
        crc ^= bytes[index];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

void ReadLameTag(const uint8_t* frame, size_t tagStart, XingFrame& xing) {
    const uint8_t* tag = frame + tagStart;
    if (TagChecksum(frame, tagStart + kTagChecksumOffset) != platform::ReadBig16(tag + kTagChecksumOffset)) return;
    const uint8_t* trim = tag + kDelayAndPaddingOffset;
    xing.encoderDelay = (uint32_t{trim[0]} << 4) | (trim[1] >> 4);
    xing.padding = ((uint32_t{trim[1]} & 0x0F) << 8) | trim[2];
    xing.hasEncoderTrim = true;
}

}  // namespace

bool ParseXingFrame(const uint8_t* frame, size_t length, XingFrame* xing) {
    *xing = XingFrame{};
    MpegHeader header;
    if (length < kMpegHeaderBytes || !ParseMpegHeader(frame, &header) || header.layer != 3) return false;
    if (static_cast<size_t>(header.frameLength) < length) length = static_cast<size_t>(header.frameLength);
    size_t offset = kMpegHeaderBytes + SideInfoBytes(header);
    if (offset + 8 > length) return false;
    if (std::memcmp(frame + offset, "Xing", 4) != 0 && std::memcmp(frame + offset, "Info", 4) != 0) return false;
    const uint32_t flags = platform::ReadBig32(frame + offset + 4);
    offset += 8;
    xing->header = header;
    if ((flags & kHasFrames) != 0) {
        if (offset + 4 > length) return true;
        xing->frames = platform::ReadBig32(frame + offset);
        offset += 4;
    }
    if ((flags & kHasBytes) != 0) offset += 4;
    if ((flags & kHasTableOfContents) != 0) offset += kTableOfContentsBytes;
    if ((flags & kHasQuality) != 0) offset += 4;
    if (offset + kLameTagBytes <= length) ReadLameTag(frame, offset, *xing);
    return true;
}

}  // namespace engine
