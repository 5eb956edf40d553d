#include "ui/desktop_bus/cover_art_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "engine/player.h"
#include "platform/app_files.h"
#include "ui/desktop_bus/mpris_metadata.h"

namespace {

constexpr uint64_t kFnvOffset = 0xcbf29ce484222325ULL;
constexpr uint64_t kFnvPrime = 0x100000001b3ULL;

std::string_view ExtensionOf(std::string_view mimeType) {
    if (mimeType == "image/png") return ".png";
    if (mimeType == "image/gif") return ".gif";
    if (mimeType == "image/bmp") return ".bmp";
    if (mimeType == "image/webp") return ".webp";
    // Most covers are JPEG, and old taggers write "jpg" or nothing at all.
    return ".jpg";
}

}  // namespace

std::string CoverFileName(std::string_view bytes, std::string_view mimeType) {
    uint64_t hash = kFnvOffset;
    for (const char byte : bytes) {
        hash ^= static_cast<uint8_t>(byte);
        hash *= kFnvPrime;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return std::string(hex) + std::string(ExtensionOf(mimeType));
}

std::string CoverArtUri(const std::string& path, const std::string& cacheDirectory) {
    if (cacheDirectory.empty()) return {};
    PlayerPicture picture;
    if (PlayerReadFileCover(path, &picture) == 0) return {};
    const std::string directory = cacheDirectory + "/covers";
    if (mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) return {};
    const std::string file = directory + "/" + CoverFileName(picture.bytes, picture.mimeType);
    struct stat status {};
    const bool written = stat(file.c_str(), &status) == 0 && static_cast<size_t>(status.st_size) == picture.bytes.size();
    if (!written && !platform::WriteFileAtomically(file, picture.bytes)) return {};
    return LocationUri(file);
}
