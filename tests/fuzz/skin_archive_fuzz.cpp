// Skin archives downloaded from anywhere: whatever the bytes, unpacking ends,
// writes only inside the cache, and gives a directory or a reason, never both.

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "ui/skin/skin_archive.h"

namespace {

// One scratch home for the whole run; the cache inside it is emptied after
// every input, so each starts unpacked afresh.
const std::string& ScratchHome() {
    static const std::string home = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "tunelark-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        setenv("TUNELARK_HOME", pattern.c_str(), 1);
        return pattern;
    }();
    return home;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& home = ScratchHome();
    const std::string archive = home + "/input.wsz";
    std::ofstream(archive, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                     static_cast<std::streamsize>(size));
    const UnpackedSkin unpacked = UnpackSkinArchive(archive);
    if (unpacked.directory.empty() == unpacked.error.empty()) std::abort();
    if (!unpacked.directory.empty() && !unpacked.directory.starts_with(home + "/cache/")) std::abort();
    std::filesystem::remove_all(home + "/cache");
    // Nothing but the input and the cache may appear in the home.
    for (const auto& entry : std::filesystem::directory_iterator(home)) {
        if (entry.path().filename() != "input.wsz") std::abort();
    }
    return 0;
}
