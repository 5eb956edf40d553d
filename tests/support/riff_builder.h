#pragma once

// RIFF WAVE files built in memory from their chunks, for tests that need a
// file with a given shape: a chunk out of order, a size field that lies.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/byte_order.h"

namespace test {

inline std::vector<uint8_t> Le16(uint32_t value) {
    std::vector<uint8_t> bytes;
    platform::AppendLittle16(bytes, value);
    return bytes;
}
inline std::vector<uint8_t> Le32(uint32_t value) {
    std::vector<uint8_t> bytes;
    platform::AppendLittle32(bytes, value);
    return bytes;
}
inline void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& bytes) {
    to.insert(to.end(), bytes.begin(), bytes.end());
}

struct Chunk {
    Chunk(std::string chunkId, std::vector<uint8_t> chunkBody, std::optional<uint32_t> size = std::nullopt)
        : id(std::move(chunkId)), body(std::move(chunkBody)), declaredSize(size) {}
    std::string id;
    std::vector<uint8_t> body;
    std::optional<uint32_t> declaredSize;  // the size field, when it lies
};

// A RIFF WAVE file from chunks, each padded to even length.
inline std::vector<uint8_t> Riff(const std::vector<Chunk>& chunks) {
    std::vector<uint8_t> bytes = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const Chunk& chunk : chunks) {
        bytes.insert(bytes.end(), chunk.id.begin(), chunk.id.end());
        Append(bytes, Le32(chunk.declaredSize.value_or(uint32_t(chunk.body.size()))));
        Append(bytes, chunk.body);
        if (chunk.body.size() % 2) bytes.push_back(0);
    }
    const std::vector<uint8_t> riffSize = Le32(uint32_t(bytes.size() - 8));
    std::copy(riffSize.begin(), riffSize.end(), bytes.begin() + 4);
    return bytes;
}

// The body of a "fmt " chunk; formats other than PCM carry `extra` after
// its size.
inline std::vector<uint8_t> Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t average,
                                uint16_t blockAlign, uint16_t bits, const std::vector<uint8_t>& extra = {}) {
    std::vector<uint8_t> body;
    for (const auto& part : {Le16(tag), Le16(channels), Le32(rate), Le32(average), Le16(blockAlign), Le16(bits)}) {
        Append(body, part);
    }
    if (tag != 1) {
        Append(body, Le16(uint32_t(extra.size())));
        Append(body, extra);
    }
    return body;
}

}  // namespace test
