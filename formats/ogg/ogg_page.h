#pragma once

// The start of the first packet of an Ogg stream, which names its codec:
// enough to tell Vorbis, Opus and FLAC in Ogg apart by content.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace engine {

// Bytes to read from the start of a file to see the codec's signature.
constexpr size_t kOggProbeBytes = 27 + 255 + 8;

// Whether `head`, the first bytes of a file, is an Ogg page whose first
// packet begins with `signature`.
inline bool OggFirstPacketStarts(std::span<const uint8_t> head, std::string_view signature) {
    constexpr size_t kSegmentCountOffset = 26;
    constexpr size_t kSegmentTableOffset = 27;
    if (head.size() < kSegmentTableOffset || std::string_view(reinterpret_cast<const char*>(head.data()), 4) != "OggS") {
        return false;
    }
    const size_t packet = kSegmentTableOffset + head[kSegmentCountOffset];
    if (head.size() < packet + signature.size()) return false;
    return std::string_view(reinterpret_cast<const char*>(head.data() + packet), signature.size()) == signature;
}

}  // namespace engine
