// Reading and writing ".lst" playlist files.

#include "playlist/list_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
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

DefaultListLoad LoadDefaultList(Playlist& playlist) {
    const std::string path = DefaultListPath();
    std::error_code error;
    if (path.empty() || std::filesystem::status(path, error).type() == std::filesystem::file_type::not_found) {
        playlist.Clear();
        return DefaultListLoad::Read;
    }
    if (playlist.LoadListFile(path)) return DefaultListLoad::Read;
    // One too large has said so already.
    if (!IsTooLargeForAList(path)) {
        std::fprintf(stderr, "tunelark: %s could not be read (%s); it is left as it is, and this session's playlist "
                     "is not saved over it\n", path.c_str(), std::strerror(errno));
    }
    return DefaultListLoad::Kept;
}

bool SaveDefaultList(const Playlist& playlist) {
    const std::string path = DefaultListPath();
    // A default list too large to have been loaded is not replaced by one
    // the user never saw.
    if (path.empty() || IsTooLargeForAList(path)) return false;
    if (playlist.SaveListFile(path)) return true;
    std::fprintf(stderr, "tunelark: the playlist could not be saved to %s (%s)\n", path.c_str(), std::strerror(errno));
    return false;
}
