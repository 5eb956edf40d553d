// Reading and writing ".lst" playlist files.

#include "playlist/list_file.h"

#include <ios>

#include "platform/app_files.h"
#include "playlist/list_file_text.h"
#include "playlist/playlist.h"

namespace {

constexpr const char* kDefaultListName = "default.lst";

// The platform's whole-file read lets the stream's exception through when the
// system refuses a read (a directory, an I/O error); here that is a file that
// cannot be read like any other.
bool ReadListFileBytes(const std::string& path, std::string& content) {
    try {
        return platform::ReadWholeFile(path, content);
    } catch (const std::ios_base::failure&) {
        return false;
    }
}

}  // namespace

bool Playlist::LoadListFile(const std::string& path) {
    Clear();
    std::string content;
    if (!ReadListFileBytes(path, content)) return false;
    for (std::string& line : ParseListFileText(content)) entries_.push_back(PlaylistEntry{std::move(line)});
    return true;
}

bool Playlist::SaveListFile(const std::string& path) const {
    std::vector<std::string_view> paths;
    paths.reserve(entries_.size());
    for (const PlaylistEntry& entry : entries_) paths.push_back(entry.Path);
    return platform::WriteFileAtomically(path, FormatListFileText(paths));
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
    return !path.empty() && playlist.SaveListFile(path);
}
