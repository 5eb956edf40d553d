#include "platform/riff_chunks.h"

#include <algorithm>
#include <cstring>

#include "platform/byte_order.h"

namespace platform {

RiffChunkHeader ReadRiffChunkHeader(const uint8_t* bytes) {
    RiffChunkHeader header;
    std::memcpy(header.id, bytes, kRiffChunkIdBytes);
    header.size = ReadLittle32(bytes + kRiffChunkIdBytes);
    return header;
}

bool IsRiffForm(std::span<const uint8_t> file, std::string_view formType) {
    return file.size() >= kRiffFormHeaderBytes && std::memcmp(file.data(), "RIFF", kRiffChunkIdBytes) == 0 &&
           formType.size() == kRiffChunkIdBytes &&
           std::memcmp(file.data() + kRiffChunkHeaderBytes, formType.data(), kRiffChunkIdBytes) == 0;
}

std::optional<RiffChunk> RiffChunkWalker::Next() {
    if (offset_ > file_.size() || file_.size() - offset_ < kRiffChunkHeaderBytes) return std::nullopt;
    RiffChunk chunk;
    chunk.header = ReadRiffChunkHeader(file_.data() + offset_);
    const size_t body = offset_ + kRiffChunkHeaderBytes;
    const size_t held = std::min<uint64_t>(chunk.header.size, file_.size() - body);
    chunk.body = file_.subspan(body, held);
    // A chunk cut short ends the walk; a whole one is followed by the next,
    // past the pad byte.
    offset_ = chunk.IsWhole() ? body + RiffPaddedSize(chunk.header.size) : file_.size();
    return chunk;
}

}  // namespace platform
