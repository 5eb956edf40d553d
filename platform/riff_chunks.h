#pragma once

// The chunks of a RIFF file: a four-byte id, a 32-bit little-endian size,
// the body, and after a body of odd size one pad byte that the size leaves
// out.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace platform {

constexpr size_t kRiffChunkIdBytes = 4;
constexpr size_t kRiffChunkHeaderBytes = 8;
// "RIFF", the size of the rest and the form type: the first chunk follows.
constexpr size_t kRiffFormHeaderBytes = 12;

struct RiffChunkHeader {
    char id[kRiffChunkIdBytes] = {};
    uint32_t size = 0;

    // Whether the id is the four characters of `expected`.
    bool Is(std::string_view expected) const { return std::string_view(id, kRiffChunkIdBytes) == expected; }
};

// The header in the eight bytes at `bytes`.
RiffChunkHeader ReadRiffChunkHeader(const uint8_t* bytes);

// A body's size with its pad byte.
constexpr uint64_t RiffPaddedSize(uint32_t size) { return uint64_t{size} + (size & 1); }

// Whether `file` starts with "RIFF", a size and the form type `formType`.
bool IsRiffForm(std::span<const uint8_t> file, std::string_view formType);

// A chunk found in a span. `body` is what the span holds of it: all of it,
// or up to the end of the span for a chunk whose size runs past it.
struct RiffChunk {
    RiffChunkHeader header;
    std::span<const uint8_t> body;

    bool IsWhole() const { return body.size() == header.size; }
};

// Walks the chunks of `file` from `offset` (the first chunk of a RIFF form
// by default). Next gives each chunk whose header lies wholly inside the
// span, and nothing once it does not; a chunk cut short by the end of the
// span is the last one given.
class RiffChunkWalker {
public:
    explicit RiffChunkWalker(std::span<const uint8_t> file, size_t offset = kRiffFormHeaderBytes)
        : file_(file), offset_(offset) {}

    std::optional<RiffChunk> Next();

private:
    std::span<const uint8_t> file_;
    size_t offset_;
};

}  // namespace platform
