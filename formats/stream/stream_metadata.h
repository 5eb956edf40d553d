#pragma once

// ICY metadata: after every `metaint` audio bytes the server inserts a length
// byte L and 16 x L bytes of text padded with zero bytes. The filter takes
// these blocks out of the received bytes so that only audio reaches the
// decoder, and hands each complete block with text to its owner.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace engine {

// The largest block a length byte can announce, its length byte included.
// Blocks are collected whole, so no length byte can overflow the buffer.
constexpr size_t kLargestMetadataBlock = 16 * 255 + 1;
// A title holds at most this many characters; longer ones are cut.
constexpr size_t kStreamTitleCharacters = 259;

// The title of one complete metadata block (its length byte first): the text
// between "StreamTitle='" and the next apostrophe, as UTF-8. Nothing when the
// block is incomplete, has no such text, or the title has no closing apostrophe.
std::optional<std::string> StreamParseTitle(std::span<const uint8_t> block);

class MetadataFilter {
public:
    using BlockHandler = std::function<void(std::span<const uint8_t> block)>;

    // A new connection: `metaint` audio bytes come before the first length
    // byte; 0 means the stream carries no metadata.
    void Restart(int32_t metaint);

    // Removes every metadata block, or the part of one, from `count` newly
    // received bytes at `data`, moving the audio after it down. Any number of
    // blocks may start or end in one call. Calls `onBlock` for each block with
    // text that completes. Returns the number of bytes removed.
    size_t Filter(uint8_t* data, size_t count, const BlockHandler& onBlock);

    // Forgets a block collected in part.
    void Forget() { collected_ = 0; }

    int32_t Metaint() const { return metaint_; }

private:
    int32_t metaint_ = 0;
    // >= 0: audio bytes still to come before the next length byte;
    // < 0: minus the text bytes of the current block still to come.
    int32_t countdown_ = 0;
    std::array<uint8_t, kLargestMetadataBlock> block_{};
    size_t collected_ = 0;  // bytes of the current block in block_
};

}  // namespace engine
