#include "ui/skin/playlist_colors.h"

#include "platform/app_files.h"

using platform::ui::COLORREF;

namespace {

// Lines are read into a 128-character buffer, terminator included: a longer
// line goes on as the next one.
constexpr size_t kLineCharacters = 127;
// The file names a handful of colours; real ones are a few hundred bytes.
constexpr size_t kLargestColorFile = 64 * 1024;

int DigitValue(char c) {
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return static_cast<unsigned char>(c) - '0';
}

int PairValue(std::string_view value, size_t first) {
    char high = first < value.size() ? value[first] : '0';
    char low = first + 1 < value.size() ? value[first + 1] : '0';
    return DigitValue(high) * 16 + DigitValue(low);
}

// The next line as the line reader returns it: up to and including its
// newline, or cut at the buffer's length.
std::string_view NextLine(std::string_view& text) {
    size_t end = text.find('\n');
    size_t length = end == std::string_view::npos ? text.size() : end + 1;
    if (length > kLineCharacters) {
        length = kLineCharacters;
    }
    std::string_view line = text.substr(0, length);
    text.remove_prefix(length);
    return line;
}

std::string_view WithoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    return line;
}

}  // namespace

COLORREF ParseSkinColor(std::string_view value) {
    // The sums may leave the byte range for odd characters; they combine as
    // unsigned words all the same.
    uint32_t red = static_cast<uint32_t>(PairValue(value, 1));
    uint32_t green = static_cast<uint32_t>(PairValue(value, 3));
    uint32_t blue = static_cast<uint32_t>(PairValue(value, 5));
    return red | (green << 8) | (blue << 16);
}

PlaylistColors ParsePlaylistColors(std::string_view text) {
    PlaylistColors colors;
    NextLine(text);  // the section header
    while (!text.empty()) {
        std::string_view line = WithoutLineEnd(NextLine(text));
        size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        std::string_view key = line.substr(0, equals);
        COLORREF color = ParseSkinColor(line.substr(equals + 1));
        if (key == "Normal") {
            colors.normal = color;
        } else if (key == "Current") {
            colors.current = color;
        } else if (key == "NormalBG") {
            colors.normalBg = color;
        } else if (key == "SelectedBG") {
            colors.selectedBg = color;
        }
    }
    return colors;
}

std::optional<PlaylistColors> ReadPlaylistColors(const std::string& path) {
    std::string text;
    const platform::FileRead read = platform::ReadWholeFile(path, kLargestColorFile, text);
    if (read == platform::FileRead::TooLarge) {
        platform::ReportFileTooLarge(path, kLargestColorFile, "the playlist keeps its default colours");
    }
    if (read != platform::FileRead::Done) return std::nullopt;
    return ParsePlaylistColors(text);
}
