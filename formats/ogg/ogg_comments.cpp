#include <algorithm>
#include <cstdint>
#include <string>

#include "formats/ogg/ogg_source.h"
#include "platform/utf8.h"

namespace engine {
namespace {

bool IsContinuation(uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}

constexpr char ToUpper(char letter) {
    return letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
}

}  // namespace

void AddVorbisComment(std::string_view entry, OggComments* comments) {
    struct KeyField {
        std::string_view key;
        std::string OggComments::*field;
    };
    static constexpr KeyField kKeys[] = {
        {"DATE", &OggComments::date},   {"TRACKNUMBER", &OggComments::trackNumber},
        {"TITLE", &OggComments::title}, {"ARTIST", &OggComments::artist},
        {"ALBUM", &OggComments::album}, {"GENRE", &OggComments::genre},
        {"COMMENT", &OggComments::comment},
    };
    const size_t equals = entry.find('=');
    if (equals == std::string_view::npos) return;
    const std::string_view key = entry.substr(0, equals);
    for (const auto& [name, field] : kKeys) {
        if (!std::ranges::equal(key, name, [](char a, char b) { return ToUpper(a) == b; })) continue;
        // The value ends at a zero byte, as the decoder reads it.
        comments->*field = DecodeCommentText(std::string(entry.substr(equals + 1)).c_str());
        return;
    }
}

// One-byte characters, two-byte sequences (110xxxxx) and three-byte ones
// (anything from 0xE0 up, kept to 16 bits, so four-byte sequences come out
// wrong and their fourth byte ends the text). A continuation byte where a
// character should start ends the text; so does a sequence cut short by the
// end of the comment, which must never be read past.
std::string DecodeCommentText(const char* text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text);
    std::string decoded;
    size_t index = 0;
    for (size_t characters = 0; characters < kOggCommentCharacters; ++characters) {
        const uint8_t lead = bytes[index];
        if (lead == 0 || IsContinuation(lead)) break;
        char32_t character = lead;
        if (lead >= 0xE0) {
            if (bytes[index + 1] == 0 || bytes[index + 2] == 0) break;
            character = ((char32_t{lead} << 12) | ((bytes[index + 1] & 0x3Fu) << 6) | (bytes[index + 2] & 0x3Fu)) & 0xFFFF;
            index += 3;
        } else if (lead >= 0xC0) {
            if (bytes[index + 1] == 0) break;
            character = ((lead & 0x1Fu) << 6) | (bytes[index + 1] & 0x3Fu);
            index += 2;
        } else {
            index += 1;
        }
        platform::AppendUtf8(decoded, character);
    }
    return decoded;
}

}  // namespace engine
