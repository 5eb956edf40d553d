#include "formats/stream/stream_metadata.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/text_codepage.h"
#include "platform/utf8.h"

namespace engine {
namespace {

constexpr size_t kTextBytesPerUnit = 16;
constexpr std::string_view kTitleKey = "StreamTitle=";
// The title starts after the key and its opening quote, whatever that byte is.
constexpr size_t kTitleOffset = kTitleKey.size() + 1;

}  // namespace

std::optional<std::string> StreamParseTitle(std::span<const uint8_t> block) {
    if (block.empty() || block.size() != kTextBytesPerUnit * block[0] + 1) return std::nullopt;
    // The block is text from its length byte on; the zero padding ends it.
    std::string_view text(reinterpret_cast<const char*>(block.data()), block.size());
    text = text.substr(0, text.find('\0'));
    const size_t key = text.find(kTitleKey);
    if (key == std::string_view::npos || key + kTitleOffset > text.size()) return std::nullopt;
    const size_t start = key + kTitleOffset;
    const size_t end = text.find('\'', start);
    if (end == std::string_view::npos) return std::nullopt;
    return platform::TruncateCharacters(platform::Utf8OrWindows1252ToUtf8(text.substr(start, end - start)),
                                        kStreamTitleCharacters);
}

void MetadataFilter::Restart(int32_t metaint) {
    metaint_ = std::max(metaint, 0);
    countdown_ = metaint_;
}

size_t MetadataFilter::Filter(uint8_t* data, size_t count, const BlockHandler& onBlock) {
    if (metaint_ == 0) return 0;
    size_t read = 0;
    size_t written = 0;
    while (read < count) {
        const size_t left = count - read;
        if (countdown_ > 0) {
            const size_t audio = std::min(static_cast<size_t>(countdown_), left);
            if (written != read) std::memmove(data + written, data + read, audio);
            written += audio;
            read += audio;
            countdown_ -= static_cast<int32_t>(audio);
        } else if (countdown_ == 0) {
            const uint8_t length = data[read++];
            if (length == 0) {
                // An empty block leaves the last one's text as it was.
                countdown_ = metaint_;
                continue;
            }
            block_[0] = length;
            collected_ = 1;
            countdown_ = -static_cast<int32_t>(kTextBytesPerUnit * length);
        } else {
            const size_t text = std::min(static_cast<size_t>(-countdown_), left);
            std::memcpy(block_.data() + collected_, data + read, text);
            collected_ += text;
            read += text;
            countdown_ += static_cast<int32_t>(text);
            if (countdown_ == 0) {
                countdown_ = metaint_;
                if (onBlock) onBlock(std::span<const uint8_t>(block_.data(), collected_));
            }
        }
    }
    return count - written;
}

}  // namespace engine
