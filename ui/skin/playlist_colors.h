#pragma once

// "pledit.txt", the playlist colours of a skin directory: a section header
// line, then lines of key=#RRGGBB. Only "Normal", "Current", "NormalBG" and
// "SelectedBG" (with exactly that case) mean anything; other keys (a font,
// for instance) are ignored, and the first line is always skipped.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/colors.h"

struct PlaylistColors {
    std::optional<platform::ui::COLORREF> normal;
    std::optional<platform::ui::COLORREF> current;
    std::optional<platform::ui::COLORREF> normalBg;
    std::optional<platform::ui::COLORREF> selectedBg;
};

// The colour of a "#RRGGBB" value. Each pair is two hex digits, high first;
// any other character c counts (c - '0') without complaint, and a value too
// short for its pairs counts its missing characters as '0'.
platform::ui::COLORREF ParseSkinColor(std::string_view value);

// The colours the text sets; absent keys stay empty.
PlaylistColors ParsePlaylistColors(std::string_view text);

// The colours of the file at `path`; nullopt when it cannot be read or is
// too large for such a file.
std::optional<PlaylistColors> ReadPlaylistColors(const std::string& path);
