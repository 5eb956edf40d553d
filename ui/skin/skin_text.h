#pragma once

// The playlist's texts: one line in a box, in the skin's
// colours, clipped to the box over an opaque background.

#include <string_view>

#include "platform/ui/canvas_gdi.h"
#include "platform/ui/colors.h"

using platform::ui::COLORREF;
using platform::ui::HDC;

// Where a text goes: the box (its position already in screen pixels, moved
// by the box offset) and where the text starts relative to the box's
// unmoved corner.
struct SkinTextBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int textDx = 0;
    int textDy = 0;
    int boxDx = 0;
    int boxDy = 0;
};

// Writes `text` in a font of `fontHeight` pixels, restoring the context's
// colours and font afterwards. Returns what ExtTextOut returned.
bool DrawSkinText(HDC target, const SkinTextBox& box, int fontHeight, COLORREF textColor, COLORREF backgroundColor,
                  std::string_view text);

// The width `text` takes in the font DrawSkinText uses at `fontHeight`.
int SkinTextWidth(HDC target, int fontHeight, std::string_view text);

enum class PlaylistRow { Ordinary, Current, Selected, CurrentSelected };

PlaylistRow PlaylistRowOf(bool current, bool selected);

// A row of the playlist, in the colour pair of its state.
bool DrawPlaylistText(HDC target, const SkinTextBox& box, int fontHeight, PlaylistRow row, std::string_view text);
