#include "playlist/media_types.h"

#include <array>

namespace {

constexpr std::array<MediaType, 7> kMediaTypes = {{
    {"MP3 File", "*.mp3"},
    {"MP2 File", "*.mp2"},
    {"MP1 File", "*.mp1"},
    {"Ogg Vorbis File", "*.ogg"},
    {"Opus File", "*.opus"},
    {"FLAC File", "*.flac"},
    {"WAVE File", "*.wav"},
}};

constexpr std::array<std::string_view, 10> kMusicExtensions = {".rmp", ".mp3", ".mp2", ".mp1", ".mpa",
                                                               ".ogg", ".oga", ".opus", ".flac", ".wav"};

// The desktop's names (shared-mime-info) with their common aliases; the
// desktop entry lists the same.
constexpr std::array<const char*, 12> kMimeTypes = {
    "audio/mpeg", "audio/x-mp3",    "audio/mp2",  "audio/x-mp2",   "audio/ogg",      "audio/x-vorbis+ogg",
    "audio/x-opus+ogg", "audio/flac", "audio/x-flac", "audio/x-wav", "audio/x-mpegurl", "audio/x-scpls",
};

}  // namespace

std::span<const MediaType> MediaTypes() {
    return kMediaTypes;
}

std::span<const std::string_view> MusicExtensions() {
    return kMusicExtensions;
}

std::span<const char* const> SupportedMimeTypes() {
    return kMimeTypes;
}
