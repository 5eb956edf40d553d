#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/socket.h"

struct PlayerStreamOptions;

namespace engine {

struct StationListEntry {
    std::string location;  // an http(s) URL or an absolute local path (relative entries resolved)
    std::string title;     // the title the list gives, empty when none
};
enum class StationListFormat { Pls, M3u };  // M3u covers .m3u and .m3u8 (UTF-8; .m3u also accepts Windows-1252 text: see platform/text_codepage.h)
// By the name's extension (.pls, .m3u, .m3u8, any case; a URL's query and fragment are ignored).
std::optional<StationListFormat> StationListFormatForName(std::string_view pathOrUrl);
// audio/x-scpls -> Pls; audio/x-mpegurl, audio/mpegurl, application/vnd.apple.mpegurl, application/x-mpegurl -> M3u; parameters after ';' and case ignored.
std::optional<StationListFormat> StationListFormatForContentType(std::string_view contentType);
struct StationListResult {
    std::vector<StationListEntry> entries;  // in the list's order
    std::string error;                       // empty on success; a clear message for the user otherwise
};
// `base` is the folder (for a local list) or the URL (for a fetched list) relative entries are resolved against.
// An HLS segment playlist (#EXT-X-TARGETDURATION, #EXT-X-MEDIA-SEQUENCE, #EXT-X-STREAM-INF, ...) gives an error saying such playlists are not supported; a list with no entries or damaged lines that leave nothing gives an error, never a partial silent load (a .pls whose NumberOfEntries disagrees with its FileN lines, or with FileN numbering gaps, is still read as far as its FileN lines are valid, but a list that is not a .pls at all, e.g. missing [playlist], is an error).
StationListResult ParseStationList(std::string_view text, StationListFormat format, std::string_view base);
// Reads a local list file (size-capped, e.g. 1 MiB, with a clear message beyond) and parses it against its folder.
StationListResult ReadStationListFile(const std::string& path);
// Whether the player can open `url` at all: http:// or https:// in any case,
// a usable host and port, and no longer than a stream's address may be.
bool IsPlayableAddress(const std::string& url);
// What a user typed or a command line gave as a URL: when its name or the response's Content-Type says it is a station list, the list is fetched (http or https, redirects, size cap, a total time limit of about 10 s) and its entries returned; otherwise the URL itself is the one entry. Connection failures give a clear message naming the host. Blocking: the player calls it on a thread of its own, whose wait a signal on `wakeDescriptor` cuts short.
StationListResult ResolveStationUrl(const std::string& url, const PlayerStreamOptions& options,
                                    int wakeDescriptor = platform::kNoWakeDescriptor);

// The largest station list read, from a file or the network.
constexpr size_t kLargestStationList = 1 << 20;

}  // namespace engine
