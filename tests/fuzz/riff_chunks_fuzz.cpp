// The chunk walk over a span: every body lies inside the bytes and starts
// after its header, only the last chunk may be cut short, and the walk ends.

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/riff_chunks.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    platform::RiffChunkWalker walker(bytes);
    size_t next = platform::kRiffFormHeaderBytes;
    bool cutShort = false;
    size_t chunks = 0;
    while (const auto chunk = walker.Next()) {
        fuzz::Check(!cutShort, "nothing follows a chunk cut short");
        fuzz::Check(++chunks <= size / platform::kRiffChunkHeaderBytes, "each chunk takes at least a header");
        const auto start = static_cast<size_t>(chunk->body.data() - data);
        fuzz::Check(start >= next + platform::kRiffChunkHeaderBytes, "a body follows its header");
        fuzz::Check(start + chunk->body.size() <= size, "a body lies inside the bytes");
        fuzz::Check(chunk->body.size() <= chunk->header.size, "a body holds no more than its size");
        cutShort = !chunk->IsWhole();
        next = start + chunk->body.size();
    }
    return 0;
}
