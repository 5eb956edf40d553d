// The text a server sends before and between the audio: the status line,
// header fields, a redirect's Location resolved against the address asked
// for, the metadata interval, and the metadata filter fed the same bytes in
// chunks of random sizes, which must take out exactly what one pass does.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/stream/stream_metadata.h"
#include "formats/stream/stream_request.h"
#include "formats/stream/stream_url.h"
#include "platform/byte_order.h"

namespace {

using namespace engine;

constexpr std::string_view kBases[] = {"http://radio.example:8000/a/b/live?x=1", "https://[::1]/", "http://h"};
constexpr std::string_view kFields[] = {"icy-name", "icy-genre", "icy-url", "Location", "Content-Type"};

struct Filtered {
    std::vector<uint8_t> audio;
    std::vector<std::vector<uint8_t>> blocks;
};

// Filters `stream` in pieces whose sizes come from `sizes` (one whole pass without).
Filtered Filter(int32_t metaint, std::span<const uint8_t> stream, std::span<const uint8_t> sizes) {
    Filtered result;
    MetadataFilter filter;
    filter.Restart(metaint);
    const MetadataFilter::BlockHandler keep = [&result](std::span<const uint8_t> block) {
        result.blocks.emplace_back(block.begin(), block.end());
        StreamParseTitle(block);
    };
    size_t offset = 0;
    size_t next = 0;
    while (offset < stream.size()) {
        size_t piece = stream.size() - offset;
        if (!sizes.empty()) piece = std::min<size_t>(piece, 1 + sizes[next++ % sizes.size()] * 9);
        std::vector<uint8_t> bytes(stream.begin() + long(offset), stream.begin() + long(offset + piece));
        const size_t removed = filter.Filter(bytes.data(), bytes.size(), keep);
        if (removed > bytes.size()) __builtin_trap();
        result.audio.insert(result.audio.end(), bytes.begin(), bytes.end() - long(removed));
        offset += piece;
    }
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    ParseStatusCode(text);
    for (const std::string_view field : kFields) {
        const auto value = FindHeaderValue(text, field);
        if (value && (value->empty() || value->size() > kHeaderValueBytes)) __builtin_trap();
        FindTrimmedHeaderValue(text, field);
    }
    if (const auto metaint = ParseMetaint(text); metaint && (*metaint < 0 || *metaint > kLargestMetaint)) {
        __builtin_trap();
    }
    const std::optional<std::string> location = FindTrimmedHeaderValue(text, "Location");
    for (const std::string_view base : kBases) {
        const auto resolved = ResolveUrlReference(base, location.value_or(std::string(text.substr(4))));
        if (resolved && !ParseStreamUrl(*resolved)) __builtin_trap();
        ChooseEndpoint(resolved.value_or(std::string(base)), text.substr(0, 40));
    }

    // The first two bytes choose a small interval, the next two how the rest is cut.
    const int32_t metaint = 1 + (platform::ReadBig16(data) % 300);
    const std::span<const uint8_t> sizes(data + 2, 2);
    const std::span<const uint8_t> stream(data + 4, size - 4);
    const Filtered whole = Filter(metaint, stream, {});
    const Filtered pieces = Filter(metaint, stream, sizes);
    if (whole.audio != pieces.audio || whole.blocks != pieces.blocks) __builtin_trap();
    return 0;
}
