#pragma once

// What the command line, a drop or the "Add URL" dialog hands the playlist:
// a file, a directory, a station list file, or a stream's address, which may
// itself name a station list on the network. Blocking while such a list is
// fetched (its reader keeps a time limit); run it under the wait cursor.

#include <cstdint>
#include <string>

class Playlist;
struct PlayerStreamOptions;

struct AddLocationResult {
    int32_t added = 0;
    std::string error;  // why nothing was added, for the user; empty otherwise
};

// Appends what `location` names. A directory adds its playable files as the
// Add directory command does; `lastDirectory` follows as it does there. A
// stream's address whose station cannot be reached is added all the same.
AddLocationResult AddLocation(Playlist& playlist, const std::string& location, const PlayerStreamOptions& options,
                              std::string& lastDirectory);
