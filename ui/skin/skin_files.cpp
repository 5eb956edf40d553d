#include "ui/skin/skin_files.h"

#include <climits>
#include <filesystem>
#include <system_error>

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The longest name a skin file is opened by ("MonoSter.bmp" and its peers).
constexpr size_t kLongestSkinFileName = 12;

}  // namespace

bool FileNamesMatch(std::string_view left, std::string_view right) {
    if (left.size() != right.size()) {
        return false;
    }
    for (size_t i = 0; i < left.size(); ++i) {
        if (LowerAscii(left[i]) != LowerAscii(right[i])) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> FindSkinFile(const std::string& dir, std::string_view name) {
    std::string exact = dir + "/" + std::string(name);
    std::error_code error;
    if (std::filesystem::is_regular_file(exact, error)) {
        return exact;
    }
    // Listing never throws: a directory that goes away midway ends the search.
    std::filesystem::directory_iterator entry(dir, error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        std::string entryName = entry->path().filename().string();
        std::error_code typeError;
        // Only regular files: opening a pipe or a device named like a skin
        // file could block the player forever.
        if (FileNamesMatch(entryName, name) && entry->is_regular_file(typeError)) {
            return dir + "/" + entryName;
        }
    }
    return std::nullopt;
}

bool SkinDirectoryPathFits(const std::string& dir) {
    // The separator, the name and the terminator must fit as well.
    return dir.size() + 1 + kLongestSkinFileName + 1 <= PATH_MAX;
}
