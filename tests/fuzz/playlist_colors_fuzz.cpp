// "pledit.txt" from skin directories: the file reads as its text parses, a
// colour of six hex digits means what it says, and the colours found,
// written back as a file, parse to the same colours.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "tests/fuzz/fuzz_support.h"
#include "ui/skin/playlist_colors.h"

namespace {

using platform::ui::COLORREF;

bool SameColors(const PlaylistColors& left, const PlaylistColors& right) {
    return left.normal == right.normal && left.current == right.current && left.normalBg == right.normalBg &&
           left.selectedBg == right.selectedBg;
}

// "#RRGGBB" of a colour that fits three bytes.
std::optional<std::string> ColorText(COLORREF color) {
    if (color > 0xFFFFFF) return std::nullopt;
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    return text;
}

// The text of a file that sets the same colours, or nothing when one does
// not fit the "#RRGGBB" form.
std::optional<std::string> Written(const PlaylistColors& colors) {
    std::string text = "[Text]\r\n";
    const std::pair<const char*, const std::optional<COLORREF>*> keys[] = {
        {"Normal", &colors.normal}, {"Current", &colors.current}, {"NormalBG", &colors.normalBg},
        {"SelectedBG", &colors.selectedBg}};
    for (const auto& [key, color] : keys) {
        if (!color->has_value()) continue;
        const std::optional<std::string> value = ColorText(**color);
        if (!value) return std::nullopt;
        text += std::string(key) + "=" + *value + "\r\n";
    }
    return text;
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const PlaylistColors colors = ParsePlaylistColors(text);

    // Files beyond the reader's limit (64 KiB) are refused, which is no finding.
    const std::optional<PlaylistColors> read = ReadPlaylistColors(fuzz::WriteScratchFile("pledit.txt", data, size));
    if (size <= 64 * 1024) {
        fuzz::Check(read.has_value() && SameColors(*read, colors), "the file reads as its text parses");
    }

    if (const std::optional<std::string> written = Written(colors)) {
        fuzz::Check(SameColors(ParsePlaylistColors(*written), colors), "written colours parse back the same");
    }

    if (text.size() >= 7 && text[0] == '#') {
        bool hex = true;
        for (const char c : text.substr(1, 6)) hex = hex && IsHexDigit(c);
        if (hex) {
            const std::optional<std::string> again = ColorText(ParseSkinColor(text.substr(0, 7)));
            fuzz::Check(again.has_value() && ParseSkinColor(*again) == ParseSkinColor(text.substr(0, 7)),
                        "six hex digits are a colour that writes back the same");
        }
    }
    return 0;
}
