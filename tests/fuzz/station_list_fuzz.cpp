// Station lists of any content, in both formats, against a folder and a URL:
// no crash, no hang, and every result keeps the reader's promises.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "formats/stream/station_list.h"

namespace {

using namespace engine;

bool IsLocation(const std::string& location) {
    return location.starts_with("http://") || location.starts_with("https://") || location.starts_with('/');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte picks the format and the base; the rest is the list.
    const StationListFormat format = (data[0] & 1) != 0 ? StationListFormat::Pls : StationListFormat::M3u;
    const std::string_view base = (data[0] & 2) != 0 ? "https://lists.example:8443/radio/top.pls?x=1" : "/music/lists";
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const StationListResult result = ParseStationList(text, format, base);
    // Either entries or a reason, never both and never neither.
    if (result.error.empty() == result.entries.empty()) __builtin_trap();
    for (const StationListEntry& entry : result.entries) {
        if (!IsLocation(entry.location)) __builtin_trap();
    }
    StationListFormatForName(text);
    StationListFormatForContentType(text);
    return 0;
}
