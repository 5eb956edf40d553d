#pragma once

// Where the playlist window's parts lie for a window of a given size at a
// skin scale, what a tap hits there, and how the list scrolls. Pure
// arithmetic on screen pixels and skin units, kept apart from the window so
// the rules can be checked on their own.

#include <cstdint>
#include <optional>

#include "ui/skin/playlist_sprites.h"

inline constexpr int kPlaylistRowHeight = 12;

// The bottom bar: its height and its right piece's width, in skin units in
// skins, and in screen pixels for the base skin's own bar.
inline constexpr int kBottomBarHeight = 38;
inline constexpr int kBottomRightWidth = 150;
inline constexpr int kBaseBarHeight = 33;
inline constexpr int kBaseBarRightWidth = 131;

struct PlaylistGeometry {
    PlaylistGeometry(int width, int height, int scale);

    // ⌊length × scale / 100⌋: a skin length in screen pixels.
    int Scaled(int length) const { return length * scale / 100; }

    int width;
    int height;
    int scale;
    int rowsTop;           // the first row's top
    int listBottom;        // where the bottom bar starts
    int wholeRows;         // rows shown whole
    int partialRowHeight;  // the row drawn below them, cut to what is left (0: none)

    bool PartialRowShows() const { return partialRowHeight > 0; }
    // The rows drawn, the partial one included.
    int DrawnRows() const { return wholeRows + (PartialRowShows() ? 1 : 0); }
    int ScrollThumbX() const;
    int ScrollThumbY(int scrollPercent) const;
};

// A group button: its group and its level, 0 for the lowest.
struct GroupButton {
    PlaylistGroup group;
    int level;
    bool operator==(const GroupButton&) const = default;
};

// The group button under a tap in window pixels, whatever the groups' state.
std::optional<GroupButton> GroupButtonAt(const PlaylistGeometry& geometry, int x, int y);
// The visible row (0 for the top one) under a tap, if the tap is in the list.
std::optional<int> ListRowAt(const PlaylistGeometry& geometry, int x, int y);
bool InScrollStrip(const PlaylistGeometry& geometry, int x, int y);

// Where a group button is drawn, in screen pixels; the base skin's own bar
// is laid out at 100 %.
struct ButtonPlace {
    int x;
    int y;
};
ButtonPlace GroupButtonPlace(const PlaylistGeometry& geometry, GroupButton button, bool baseSkin);

// A drag in the scroll strip at window y, with `count` entries: the new
// scroll percentage and first visible row.
struct ScrollPosition {
    int percent = 0;
    int32_t firstRow = 0;
};
ScrollPosition ScrollAt(const PlaylistGeometry& geometry, int y, int32_t count);

// The first visible row that shows the current entry after a move forward
// (Next, the end of a track) or backward (Prev); nothing when the rows
// shown already hold it and nothing needs redrawing.
std::optional<int32_t> FirstRowShowingCurrent(const PlaylistGeometry& geometry, int32_t current, int32_t firstRow,
                                              int32_t count, bool afterPrev);
