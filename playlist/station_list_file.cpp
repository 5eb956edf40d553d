#include "playlist/station_list_file.h"

#include "formats/stream/station_list.h"
#include "platform/app_files.h"
#include "playlist/list_file_text.h"
#include "playlist/playlist.h"

namespace {

constexpr const char* kM3uHeader = "#EXTM3U\n";
// A stream has no length; -1 says so, as players expect.
constexpr const char* kUnknownLengthInfo = "#EXTINF:-1,";

}  // namespace

bool IsStationListName(const std::string& path) { return engine::StationListFormatForName(path).has_value(); }

bool LoadStationListFile(Playlist& playlist, const std::string& path, std::string& error) {
    const engine::StationListResult result = engine::ReadStationListFile(path);
    if (!result.error.empty()) {
        error = result.error;
        return false;
    }
    playlist.Clear();
    AppendStationEntries(playlist, result.entries);
    return true;
}

void AppendStationEntries(Playlist& playlist, const std::vector<engine::StationListEntry>& entries) {
    for (const engine::StationListEntry& entry : entries) playlist.Insert(entry.location, -1, entry.title);
}

bool SaveM3u8File(const Playlist& playlist, const std::string& path) {
    std::string text = kM3uHeader;
    for (const PlaylistEntry& entry : playlist.Entries()) {
        // A path starting with '#' would read back as a comment.
        if (!FitsListFileLine(entry.Path) || entry.Path.starts_with('#')) continue;
        // A title cannot end its line early either; a title that would is left out.
        if (!entry.Title.empty() && FitsListFileLine(entry.Title)) {
            text += kUnknownLengthInfo + entry.Title + '\n';
        }
        text += entry.Path + '\n';
    }
    return platform::WriteFileAtomically(path, text);
}
