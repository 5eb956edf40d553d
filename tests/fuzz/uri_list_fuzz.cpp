// Text dropped on the window by another program: whatever it holds, the
// items that come out are absolute paths or http(s) addresses without NULs.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/path_text.h"
#include "ui/shell/uri_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const std::string& item : ItemsFromDroppedText(text)) {
        const bool usable = item.starts_with('/') || platform::IsNetworkLocation(item);
        if (!usable || item.find('\0') != std::string::npos) std::abort();
    }
    if (const std::optional<std::string> path = PathFromFileUri(text)) {
        if (!path->starts_with('/') || path->find('\0') != std::string::npos) std::abort();
    }
    return 0;
}
