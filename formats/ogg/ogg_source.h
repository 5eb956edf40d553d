#pragma once

// Ogg Vorbis files, decoded by Tremor from a stdio file.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/player.h"
#include "engine/source_registry.h"

struct PlayerEngine;

namespace engine {

struct OggSource;

// OggRead results.
enum OggReadResult : int {
    OGG_READ_DELIVERED = 0,
    OGG_READ_ROOM_TOO_SMALL = 1,
    OGG_READ_END_OF_STREAM = 2,
    OGG_READ_ERROR = -2,
};

// A comment value holds at most this many characters.
constexpr size_t kOggCommentCharacters = 63;

// The Vorbis comments the player shows, by key; a later comment with the
// same key wins.
struct OggComments {
    std::string date;
    std::string trackNumber;
    std::string title;
    std::string artist;
    std::string album;
    std::string genre;
    std::string comment;
};

bool OggOpen(PlayerEngine& engine, const std::string& path);
void OggClose(PlayerEngine& engine);
bool OggProbe(const std::string& path);
bool OggSeek(PlayerEngine& engine, int32_t milliseconds);
void OggRewind(PlayerEngine& engine);
// Decodes into `buffer` (at least 4096 bytes of room are needed).
int OggRead(OggSource* source, uint8_t* buffer, size_t length, size_t* bytes);
bool OggGetComments(const OggSource* source, OggComments* comments);
// The tag of the open file, read by TagLib as PlayerReadFileTag reads it.
bool OggGetTag(PlayerEngine& engine, PlayerTag* tag);
bool OggReadFileTag(const std::string& path, PlayerTag* tag);
bool OggReadFileCover(const std::string& path, PlayerPicture* picture);
// Files one "KEY=value" comment of a Vorbis stream under its key, the key
// matched in any case; a comment of another key is left out.
void AddVorbisComment(std::string_view entry, OggComments* comments);
void OggThread(PlayerEngine& engine);
// Tremor writes 16-bit PCM at the stream's rate.
SourceOutput OggOutputFormat(const PlayerEngine& engine);
// 4096 bytes up to 11025 Hz, 8192 up to 22050 Hz, 16384 above.
uint32_t OggBlockCapacity(const PlayerEngine& engine, int32_t outputBits);

// Decodes a comment value the way the player always has: one-, two- and
// three-byte sequences, stopping at a stray continuation byte, a zero byte
// or after 63 characters. The result is UTF-8.
std::string DecodeCommentText(const char* text);

}  // namespace engine
