#include "playlist/add_location.h"

#include <filesystem>
#include <system_error>

#include "formats/stream/station_list.h"
#include "platform/path_text.h"
#include "playlist/playlist.h"
#include "playlist/station_list_file.h"

namespace {

AddLocationResult AppendList(Playlist& playlist, const engine::StationListResult& list) {
    if (!list.error.empty()) return {0, list.error};
    AppendStationEntries(playlist, list.entries);
    return {static_cast<int32_t>(list.entries.size()), {}};
}

}  // namespace

AddLocationResult AddLocation(Playlist& playlist, const std::string& location, const NetworkResolutions& resolved,
                              std::string& lastDirectory) {
    if (platform::IsNetworkLocation(location)) {
        const auto found = resolved.find(location);
        if (found == resolved.end()) return {0, location + " was not fetched."};
        // A station that cannot be reached now may be on the air later: its
        // address is kept, and playing it reports the failure. An address
        // the player could never open is not, nor a list that was not read.
        const bool playable = engine::IsPlayableAddress(location);
        if (!found->second.error.empty() && playable && !IsStationListName(location)) {
            playlist.Insert(location, -1);
            return {1, {}};
        }
        return AppendList(playlist, found->second);
    }
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(location, error);
    if (error || !std::filesystem::exists(status)) return {0, "Cannot find \"" + location + "\"."};
    if (std::filesystem::is_directory(status)) {
        const int32_t added = playlist.AddDirectory(location, lastDirectory);
        if (added == 0) return {0, "\"" + location + "\" holds no files the player can play."};
        return {added, {}};
    }
    if (IsStationListName(location)) return AppendList(playlist, engine::ReadStationListFile(location));
    playlist.AddFiles(location, lastDirectory);
    return {1, {}};
}

AddLocationResult AddLocation(Playlist& playlist, const std::string& location, const PlayerStreamOptions& options,
                              std::string& lastDirectory) {
    NetworkResolutions resolved;
    if (platform::IsNetworkLocation(location)) resolved[location] = engine::ResolveStationUrl(location, options);
    return AddLocation(playlist, location, resolved, lastDirectory);
}
