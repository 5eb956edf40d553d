// Adding files from the file dialog and whole directories.

#include <algorithm>
#include <filesystem>
#include <span>
#include <string_view>
#include <system_error>

#include "platform/path_text.h"
#include "playlist/media_types.h"
#include "playlist/playlist.h"
#include "playlist/playlist_view.h"

namespace {

// The pieces of a multiple-selection result up to the empty one that ends it
// (or up to the end of the text, whichever comes first).
std::vector<std::string_view> SplitSelection(std::string_view selection) {
    std::vector<std::string_view> pieces;
    size_t start = 0;
    while (start < selection.size()) {
        size_t end = selection.find('\0', start);
        if (end == std::string_view::npos) end = selection.size();
        if (end == start) break;
        pieces.push_back(selection.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

}  // namespace

bool Playlist::AddFiles(std::string_view selection, std::string& lastDirectory) {
    const std::vector<std::string_view> pieces = SplitSelection(selection);
    if (pieces.empty()) return false;
    const std::string first(pieces.front());
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(first, error);
    if (error || !std::filesystem::exists(status)) return false;

    if (std::filesystem::is_directory(status)) {
        // Several files chosen in one directory: the directory, then their names.
        lastDirectory = first;
        for (size_t i = 1; i < pieces.size(); ++i) Insert(platform::JoinPath(first, pieces[i]), -1);
        return true;
    }
    Insert(first, -1);
    const std::string directory = platform::DirectoryPart(first);
    if (!directory.empty()) lastDirectory = directory;
    return true;
}

int32_t Playlist::AddDirectory(const std::string& directory, std::string& lastDirectory) {
    lastDirectory = directory;
    if (view_ != nullptr) view_->BeginWaitCursor();
    // Albums play in order: the music files in the order people sort names.
    const std::span<const std::string_view> extensions = MusicExtensions();
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator iterator(directory, error);
    for (; !error && iterator != std::filesystem::directory_iterator(); iterator.increment(error)) {
        std::string name = iterator->path().filename().string();
        const bool music = std::any_of(extensions.begin(), extensions.end(), [&name](std::string_view extension) {
            return platform::EndsWithIgnoringCase(name, extension);
        });
        std::error_code typeError;
        if (music && !iterator->is_directory(typeError)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return platform::NaturalLess(a, b); });
    for (const std::string& name : names) Insert(platform::JoinPath(directory, name), -1);
    const auto added = static_cast<int32_t>(names.size());
    if (view_ != nullptr) view_->EndWaitCursor();
    return added;
}
