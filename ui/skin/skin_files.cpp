#include "ui/skin/skin_files.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <system_error>

#include "platform/path_text.h"

namespace {

// The longest name a skin file is opened by ("MonoSter.bmp" and its peers).
constexpr size_t kLongestSkinFileName = 12;

bool PathFits(const std::string& dir) {
    // The separator, the name and the terminator must fit as well.
    return dir.size() + 1 + kLongestSkinFileName + 1 <= PATH_MAX;
}

}  // namespace

std::optional<SkinFiles> SkinFiles::List(const std::string& dir) {
    if (!PathFits(dir)) {
        return std::nullopt;
    }
    SkinFiles files;
    files.dir_ = dir;
    // Listing never throws: a directory that goes away midway ends the list.
    std::error_code error;
    std::filesystem::directory_iterator entry(dir, error);
    if (error) {
        return std::nullopt;
    }
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        std::error_code typeError;
        files.entries_.push_back({entry->path().filename().string(), entry->is_directory(typeError),
                                  entry->is_regular_file(typeError)});
    }
    return files;
}

int SkinFiles::CountNamed(std::span<const std::string_view> names) const {
    auto named = [&names](const Entry& entry) {
        return !entry.isDirectory && std::ranges::any_of(names, [&entry](std::string_view name) {
            return platform::EqualsIgnoringCase(entry.name, name);
        });
    };
    return static_cast<int>(std::ranges::count_if(entries_, named));
}

std::optional<std::string> SkinFiles::Find(std::string_view name) const {
    const Entry* found = nullptr;
    for (const Entry& entry : entries_) {
        if (!entry.isRegularFile || !platform::EqualsIgnoringCase(entry.name, name)) {
            continue;
        }
        if (found == nullptr || entry.name == name) {
            found = &entry;
        }
    }
    return found != nullptr ? std::optional(platform::JoinPath(dir_, found->name)) : std::nullopt;
}
