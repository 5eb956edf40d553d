#pragma once

// The text shown for a playlist entry.

#include <string>

#include "engine/player.h"
#include "playlist/playlist.h"

// "artist - title" for a tag with an artist or a title, a missing one shown
// as "Unknown Artist" or "Untitled". False, and `text` untouched, when both
// are empty. The main window shows the loaded track's tag the same way.
bool ArtistTitleText(const PlayerTag& tag, std::string& text);

// The artist and title of the file's tag when it has them, else the file
// name (the part of the path after the last '/', extension included).
std::string DisplayTitle(const std::string& path);

// A row's text: a stream's title from its station list, else its address;
// a file's DisplayTitle.
std::string EntryTitle(const PlaylistEntry& entry);

// The main window's title for a playing stream: "station: current title",
// the station alone until a title comes. The station is the name its headers
// gave, else the entry's EntryTitle.
std::string StreamDisplayTitle(const std::string& stationName, const std::string& streamTitle,
                               const PlaylistEntry& entry);
