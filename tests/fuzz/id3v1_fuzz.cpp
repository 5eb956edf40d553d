// ID3v1 tags at the end of any file: a refused tag leaves the record
// cleared, a read one has texts of at most a field's length without zero
// bytes, a genre byte and a year of at most four digits.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/player.h"
#include "formats/id3/id3v1.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

constexpr size_t kFieldCharacters = 30;

void CheckField(const std::string& text) {
    size_t characters = 0;
    for (const char byte : text) characters += (static_cast<uint8_t>(byte) & 0xC0) != 0x80 ? 1 : 0;
    fuzz::Check(characters <= kFieldCharacters, "a tag text holds at most its field's characters");
    fuzz::Check(text.find('\0') == std::string::npos, "a tag text ends at the field's first zero byte");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteScratchFile("input.mp3", data, size);
    PlayerTag tag;
    tag.title = "left over";
    tag.year = 1999;
    if (!engine::ReadId3v1Tag(path, tag)) {
        fuzz::Check(tag.title.empty() && tag.artist.empty() && tag.album.empty() && tag.comment.empty() &&
                        tag.year == 0 && tag.genre == -1,
                    "a refused tag leaves the record cleared");
        return 0;
    }
    fuzz::Check(tag.genre >= 0 && tag.genre <= 255, "the genre is the tag's byte");
    fuzz::Check(tag.year > -1000 && tag.year < 10000, "the year has at most four digits");
    for (const std::string* text : {&tag.title, &tag.artist, &tag.album, &tag.comment}) CheckField(*text);
    return 0;
}
