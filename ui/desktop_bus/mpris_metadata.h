#pragma once

// What the desktop's sound menu shows of the loaded track: its identity,
// address, tag texts and length, in the media-player interface's terms.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/player.h"

class Application;

// The object path the interface names "no track" with.
inline constexpr const char* kNoTrackPath = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

struct MprisMetadata {
    std::string trackId = kNoTrackPath;  // an object path
    std::string url;                     // file:// URI or the stream's address; empty for none
    std::string title;
    std::string artist;
    std::string album;
    std::string genre;
    int32_t trackNumber = 0;  // 0 when unknown
    std::string artUrl;       // file:// URI of the cover; empty for none
    int64_t lengthUs = 0;     // 0 when unknown

    bool operator==(const MprisMetadata&) const = default;
};

// "/org/tunelark/track/N" for playlist entry `index`.
std::string TrackObjectPath(int32_t index);

// A local path as a file:// URI, every byte outside the unreserved set and
// '/' escaped; addresses are returned as they are.
std::string LocationUri(std::string_view path);

// The loaded file's tag and cover, read once for each file: the state is
// taken twice a second while playing, and reading the cover writes a file.
struct LoadedFileTags {
    std::string path;  // the file they belong to; empty before the first
    bool tagged = false;
    PlayerTag tag;
    std::string artUrl;
};

// The loaded entry's metadata, read on the user-interface thread; "no track"
// when the playlist has no current entry. `loaded` keeps the tags between calls.
MprisMetadata ReadMetadata(Application& application, LoadedFileTags& loaded);
