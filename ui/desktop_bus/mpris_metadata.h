#pragma once

// What the desktop's sound menu shows of the loaded track: its identity,
// address, tag texts and length, in the media-player interface's terms.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class Application;

// The object path the interface names "no track" with.
inline constexpr const char* kNoTrackPath = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

struct MprisMetadata {
    std::string trackId = kNoTrackPath;  // an object path
    std::string url;                     // file:// URI or the stream's address; empty for none
    std::string title;
    std::string artist;
    std::string album;
    int64_t lengthUs = 0;  // 0 when unknown

    bool operator==(const MprisMetadata&) const = default;
};

// "/org/tunelark/track/N" for playlist entry `index`.
std::string TrackObjectPath(int32_t index);

// A local path as a file:// URI, every byte outside the unreserved set and
// '/' escaped; addresses are returned as they are.
std::string LocationUri(std::string_view path);

// The loaded entry's metadata, read on the user-interface thread; "no track"
// when the playlist has no current entry.
MprisMetadata ReadMetadata(Application& application);
