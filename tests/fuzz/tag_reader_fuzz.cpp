// Any bytes read as each container's tags through the TagLib wrapper: the
// read ends, texts stay within the player's bound, and a cover is within its
// size. The content need not pass the engine's probe, so TagLib meets every
// shape of damaged file.

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/player.h"
#include "formats/tags/tag_reader.h"
#include "tests/fuzz/file_source_fuzz.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using engine::TagContainer;
    const std::string path = fuzz::WriteScratchFile("input.tag", data, size);
    for (const TagContainer container : {TagContainer::Mpeg, TagContainer::Flac, TagContainer::OggVorbis,
                                         TagContainer::Opus, TagContainer::Wave}) {
        PlayerTag tag;
        if (engine::ReadContainerTag(path, container, tag)) {
            for (const std::string* text : {&tag.title, &tag.artist, &tag.album, &tag.comment, &tag.genreText}) {
                fuzz::Check(fuzz::CodePoints(*text) <= kTagTextCharacters, "a tag text holds at most its bound");
            }
            fuzz::Check(tag.genre >= -1 && tag.genre <= 255, "the genre is a byte or none");
        }
        PlayerPicture picture;
        if (engine::ReadContainerCover(path, container, picture)) {
            fuzz::Check(!picture.bytes.empty() && picture.bytes.size() <= kPlayerPictureBytes,
                        "a cover is within its size");
        }
    }
    return 0;
}
