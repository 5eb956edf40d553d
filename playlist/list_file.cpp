// Reading and writing ".lst" playlist files.

#include "playlist/list_file.h"

#include <filesystem>
#include <system_error>

#include "platform/app_files.h"
#include "playlist/list_file_text.h"
#include "playlist/playlist.h"

namespace {

constexpr const char* kDefaultListName = "default.lst";

}  // namespace

bool Playlist::LoadListFile(const std::string& path) {
    std::string content;
    const platform::FileRead read = platform::ReadWholeFile(path, kLargestListFile, content);
    if (read == platform::FileRead::TooLarge) {
        platform::ReportFileTooLarge(path, kLargestListFile, "the playlist stays as it was");
        return false;
    }
    Clear();
    if (read != platform::FileRead::Done) return false;
    for (std::string& line : ParseListFileText(content)) entries_.push_back(PlaylistEntry{std::move(line), {}});
    return true;
}

bool Playlist::SaveListFile(const std::string& path) const {
    std::vector<std::string_view> paths;
    paths.reserve(entries_.size());
    for (const PlaylistEntry& entry : entries_) paths.push_back(entry.Path);
    return platform::WriteFileAtomically(path, FormatListFileText(paths));
}

bool IsTooLargeForAList(const std::string& path) {
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    return !error && size > kLargestListFile;
}

std::string DefaultListPath() {
    const std::string directory = platform::ApplicationDirectory();
    if (directory.empty()) return {};
    return directory + "/" + kDefaultListName;
}

bool LoadDefaultList(Playlist& playlist) {
    const std::string path = DefaultListPath();
    if (path.empty()) {
        playlist.Clear();
        return false;
    }
    return playlist.LoadListFile(path);
}

bool SaveDefaultList(const Playlist& playlist) {
    const std::string path = DefaultListPath();
    if (path.empty()) return false;
    // A default list too large to have been loaded is not replaced by one
    // the user never saw.
    if (IsTooLargeForAList(path)) return false;
    return playlist.SaveListFile(path);
}
