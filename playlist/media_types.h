#pragma once

// The kinds of music file the player plays, as the user and the desktop name
// them: the one list behind the Add File dialog's filters, Add Directory
// (and so folders on the command line, dropped or opened over the desktop
// bus) and the media-player interface's MIME types. The engine itself goes
// by content, never by name.

#include <span>
#include <string_view>

// One file type: its filter in the Add File dialog.
struct MediaType {
    std::string_view name;      // "FLAC File"
    std::string_view patterns;  // "*.flac"
};

// MP3, MP2, MP1, Ogg Vorbis, Opus, FLAC and WAVE, in the dialog's order.
std::span<const MediaType> MediaTypes();

// Every extension of a music file, with its dot, in the order Add Directory
// groups them: the MPEG ones (".rmp" is MPEG in RIFF, ".mpa" any layer),
// then Ogg (".oga" is Ogg audio of any codec), Opus, FLAC and WAVE.
std::span<const std::string_view> MusicExtensions();

// The MIME types of every playable kind, music files and station lists.
std::span<const char* const> SupportedMimeTypes();
