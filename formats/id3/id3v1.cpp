#include "formats/id3/id3v1.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "engine/file_reader.h"
#include "formats/id3/genres.h"
#include "platform/text_codepage.h"

namespace engine {
namespace {

constexpr size_t kTagBytes = 128;
constexpr size_t kFieldBytes = 30;
constexpr size_t kTitleOffset = 3;
constexpr size_t kArtistOffset = 33;
constexpr size_t kAlbumOffset = 63;
constexpr size_t kYearOffset = 93;
constexpr size_t kYearBytes = 4;
constexpr size_t kCommentOffset = 97;
constexpr size_t kTrackMarkOffset = 125;
constexpr size_t kTrackOffset = 126;
constexpr size_t kGenreOffset = 127;

using TagBytes = std::array<uint8_t, kTagBytes>;

// A field is padded with zero bytes or spaces. Trailing spaces are dropped
// only when they run up to the field's last byte; spaces followed by zero
// bytes are kept, as older taggers wrote them.
std::string ConvertField(const TagBytes& tag, size_t offset) {
    std::array<char, kFieldBytes + 1> field{};
    std::memcpy(field.data(), tag.data() + offset, kFieldBytes);
    for (size_t index = kFieldBytes; index > 0 && field[index - 1] == ' '; --index) {
        field[index - 1] = '\0';
    }
    return platform::Windows1252ToUtf8(std::string_view(field.data(), kFieldBytes));
}

int32_t ConvertYear(const TagBytes& tag) {
    std::array<char, kYearBytes + 1> year{};
    std::memcpy(year.data(), tag.data() + kYearOffset, kYearBytes);
    // strtol stops at the first non-digit and gives 0 without digits; four
    // characters cannot overflow.
    return static_cast<int32_t>(std::strtol(year.data(), nullptr, 10));
}

bool ReadLastBytes(const std::string& path, TagBytes& tag) {
    FileReader reader;
    if (!reader.ReaderOpen(path)) return false;
    const uint64_t size = reader.ReaderSize();
    if (size < kTagBytes) return false;
    if (reader.ReaderSeek(static_cast<int64_t>(size - kTagBytes), SEEK_FROM_START) == kNoPosition) {
        return false;
    }
    size_t bytesRead = 0;
    return reader.ReaderRead(tag.data(), kTagBytes, &bytesRead) && bytesRead == kTagBytes;
}

}  // namespace

bool ReadId3v1Tag(const std::string& path, PlayerTag& tag) {
    tag = PlayerTag{};
    TagBytes bytes{};
    if (!ReadLastBytes(path, bytes)) return false;
    if (std::memcmp(bytes.data(), "TAG", 3) != 0) return false;

    tag.genre = bytes[kGenreOffset];
    if (const char* genreName = GenreName(tag.genre)) tag.genreText = genreName;
    // ID3v1.1 keeps the track in the comment's last byte, after a zero byte.
    if (bytes[kTrackMarkOffset] == 0) tag.track = bytes[kTrackOffset];
    tag.year = ConvertYear(bytes);
    tag.album = ConvertField(bytes, kAlbumOffset);
    tag.artist = ConvertField(bytes, kArtistOffset);
    tag.comment = ConvertField(bytes, kCommentOffset);
    tag.title = ConvertField(bytes, kTitleOffset);
    return true;
}

}  // namespace engine
