#pragma once

// Station lists (".pls", ".m3u", ".m3u8") as playlists: loaded through the
// List group beside ".lst" files, and ".m3u8" written by "Save list", so a
// list of stations keeps the titles ".lst" cannot hold.

#include <string>
#include <vector>

class Playlist;

namespace engine {
struct StationListEntry;
}

// True for a name the station list reader takes (by its extension).
bool IsStationListName(const std::string& path);

// Replaces the playlist with the list's entries. A list that cannot be read
// or holds nothing leaves the playlist as it was and gives the reason.
bool LoadStationListFile(Playlist& playlist, const std::string& path, std::string& error);

// Appends the entries in the list's order, with their titles.
void AppendStationEntries(Playlist& playlist, const std::vector<engine::StationListEntry>& entries);

// Writes the playlist as UTF-8 ".m3u8", replacing the file atomically. Paths
// that cannot be a line of the file, or would read as a comment, are left out.
bool SaveM3u8File(const Playlist& playlist, const std::string& path);
