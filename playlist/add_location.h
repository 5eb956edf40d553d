#pragma once

// What the command line, a drop or the "Add URL" dialog hands the playlist:
// a file, a directory, a station list file, or a stream's address, which may
// itself name a station list on the network. What the addresses name is
// fetched first, off the window's thread (ui/shell/network_fetch.h); adding
// then reads no network.

#include <cstdint>
#include <map>
#include <string>

#include "formats/stream/station_list.h"

class Playlist;
struct PlayerStreamOptions;

struct AddLocationResult {
    int32_t added = 0;
    std::string error;  // why nothing was added, for the user; empty otherwise
};

// What each network address turned out to be when it was fetched: a station
// list's entries, the address itself for a stream, or why it failed.
using NetworkResolutions = std::map<std::string, engine::StationListResult>;

// Appends what `location` names. A directory adds its playable files as the
// Add directory command does; `lastDirectory` follows as it does there. A
// network address is added as `resolved` has it; a station that could not
// be reached is added all the same (it may be on the air later), a list
// that could not be read is not.
AddLocationResult AddLocation(Playlist& playlist, const std::string& location, const NetworkResolutions& resolved,
                              std::string& lastDirectory);

// As above, fetching a network address here and now (blocking).
AddLocationResult AddLocation(Playlist& playlist, const std::string& location, const PlayerStreamOptions& options,
                              std::string& lastDirectory);
