#include "ui/desktop_bus/mpris_metadata.h"

#include "engine/player.h"
#include "platform/app_files.h"
#include "platform/path_text.h"
#include "platform/utf8.h"
#include "ui/desktop_bus/cover_art_file.h"
#include "ui/shell/application.h"

namespace {

bool Unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '/';
}

// The bus refuses a message whose strings are not UTF-8; a file name need
// not be.
std::string WellFormed(std::string_view text) {
    std::string out;
    for (size_t index = 0; index < text.size();) {
        const size_t length = platform::Utf8SequenceLength(text, index);
        if (length == 0) {
            platform::AppendUtf8(out, U'\uFFFD');
            ++index;
        } else {
            out.append(text.substr(index, length));
            index += length;
        }
    }
    return out;
}

MprisMetadata WellFormed(MprisMetadata metadata) {
    for (std::string* text :
         {&metadata.url, &metadata.title, &metadata.artist, &metadata.album, &metadata.genre, &metadata.artUrl}) {
        *text = WellFormed(*text);
    }
    return metadata;
}

}  // namespace

std::string TrackObjectPath(int32_t index) { return "/org/tunelark/track/" + std::to_string(index); }

std::string LocationUri(std::string_view path) {
    if (platform::IsNetworkLocation(path)) return std::string(path);
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (Unreserved(byte)) {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 0xF];
        }
    }
    return uri;
}

MprisMetadata ReadMetadata(Application& application, LoadedFileTags& loaded) {
    MprisMetadata metadata;
    const Playlist& list = application.GetPlaylist();
    if (list.CurrentIndex < 0 || list.CurrentIndex >= list.Count()) return metadata;
    const PlaylistEntry& entry = list.Entries()[static_cast<size_t>(list.CurrentIndex)];
    metadata.trackId = TrackObjectPath(list.CurrentIndex);
    metadata.url = LocationUri(entry.Path);
    PlayerEngine* engine = application.Engine();
    // Stopped, the engine may still hold an entry the list has moved away from.
    const PlayerSource source =
        PlayerGetStatus(engine) == PLAYER_STOPPED ? SOURCE_NONE : PlayerGetSourceKind(engine);
    if (source == SOURCE_MPEG_STREAM) {
        // The station plays the title; the station itself is the "album".
        std::string name, genre, url;
        PlayerGetStreamInfo(engine, &name, &genre, &url);
        PlayerGetStreamTitle(engine, &metadata.title);
        metadata.album = name.empty() ? entry.Title : name;
        if (metadata.title.empty()) metadata.title = metadata.album;
        return WellFormed(std::move(metadata));
    }
    if (source != SOURCE_NONE) {
        if (loaded.path != entry.Path) {
            loaded = LoadedFileTags{};
            loaded.path = entry.Path;
            loaded.tagged = PlayerGetTag(engine, &loaded.tag) != 0;
            loaded.artUrl = CoverArtUri(entry.Path, platform::CacheDirectory());
        }
        if (loaded.tagged) {
            metadata.title = loaded.tag.title;
            metadata.artist = loaded.tag.artist;
            metadata.album = loaded.tag.album;
            metadata.genre = loaded.tag.genreText;
            metadata.trackNumber = loaded.tag.track;
        }
        metadata.artUrl = loaded.artUrl;
        metadata.lengthUs = int64_t{PlayerGetDuration(engine)} * 1000;
    }
    if (metadata.title.empty()) {
        metadata.title = entry.Title.empty() ? std::string(platform::FileNamePart(entry.Path)) : entry.Title;
    }
    return WellFormed(std::move(metadata));
}
