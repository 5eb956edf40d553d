// Any bytes as the tag cache's file: the parse refuses or accepts whole,
// within its bounds, and what it accepts is written back byte for byte.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "playlist/tag_cache_file.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto entries = ParseTagCache(bytes);
    if (!entries) return 0;
    fuzz::Check(entries->size() <= kTagCacheMaxEntries, "the entries are within the bound");
    for (const TagCacheEntry& entry : *entries) {
        fuzz::Check(entry.lengthMs >= kLengthUnreadable, "a length is known, unreadable or not read");
    }
    fuzz::Check(FormatTagCache(*entries) == bytes, "an accepted file is written back unchanged");
    return 0;
}
