#pragma once

// Tags of every file kind the engine plays, read with TagLib. This wrapper
// and its stream are the only code that includes TagLib's headers.

#include <string>

#include "engine/player.h"

namespace engine {

// The container whose tags are read. The engine's own probe names it, so
// the content decides, never the file name: TagLib's guess from the name
// would read a FLAC file called .mp3 as MPEG.
enum class TagContainer { Mpeg, Flac, OggVorbis, Opus, Wave };

// Fills from the file's tags every field they have and leaves the others as
// they are, so a caller can lay them over an ID3v1 tag it read first:
//   MPEG  ID3v2 (2.2, 2.3, 2.4, every text encoding), then APE
//   FLAC  Vorbis comments, then ID3v2
//   Ogg Vorbis and Opus  Vorbis comments, keys in any case
//   WAVE  the "id3 " chunk, then RIFF INFO
// Texts are cut at kTagTextCharacters. False when the file cannot be read
// or has none of those tags.
bool ReadContainerTag(const std::string& path, TagContainer container, PlayerTag& tag);

// The picture marked as front cover, else the first picture, of the same
// tags; false when there is none or it is larger than kPlayerPictureBytes.
bool ReadContainerCover(const std::string& path, TagContainer container, PlayerPicture& picture);

}  // namespace engine
