#include "ui/playlist_window/playlist_layout.h"

#include <array>
#include <cmath>

namespace {

// The groups' columns in skin units, and where their buttons are drawn.
struct GroupColumn {
    PlaylistGroup group;
    float left, right;
    int directorySkinX;  // skin units
    int baseSkinX;       // screen pixels at 100 %
};

constexpr std::array<GroupColumn, 5> kColumns{{
    {PlaylistGroup::Add, 14, 36, 14, 13},
    {PlaylistGroup::Remove, 43, 65, 43, 38},
    {PlaylistGroup::Sel, 72, 94, 72, 63},
    {PlaylistGroup::Misc, 101, 123, 101, 88},
    {PlaylistGroup::List, 231, 253, 231, 202},
}};

// Each level's band above the window's bottom edge, lowest first: skin
// units for the taps and the directory skin, pixels for the base skin.
constexpr std::array<int, 4> kLevelTops{30, 48, 66, 84};
constexpr int kLowestLevelBottom = 12;
constexpr std::array<int, 4> kBaseSkinLevelTops{26, 41, 56, 71};

// The list's margins in skin units, and the bar above it.
constexpr int kTopBarHeight = 20;
constexpr int kListSideMargin = 25;
// The scroll strip's band, in pixels from the right edge.
constexpr int kStripOuter = 5;
constexpr int kStripInner = 15;
constexpr int kScrollThumbX = 260;
constexpr int kScrollThumbTravelMargin = 76;
// Within this many skin units of the bottom bar a drag scrolls to the end.
constexpr int kStripEndZone = 56;
constexpr int kStripTravelMargin = 58;
constexpr int kStripThumbHeight = 18;

// A tap and the window's right and bottom edges in skin units, unrounded.
struct SkinTap {
    SkinTap(const PlaylistGeometry& geometry, int windowX, int windowY) {
        x = ToSkinUnits(windowX, geometry.scale);
        y = ToSkinUnits(windowY, geometry.scale);
        right = ToSkinUnits(geometry.width, geometry.scale);
        bottom = ToSkinUnits(geometry.height, geometry.scale);
    }
    float x, y, right, bottom;
};

const GroupColumn& ColumnOf(PlaylistGroup group) {
    for (const GroupColumn& column : kColumns) {
        if (column.group == group) return column;
    }
    return kColumns[0];
}

}  // namespace

PlaylistGeometry::PlaylistGeometry(int width_, int height_, int scale_)
    : width(width_), height(height_), scale(scale_) {
    rowsTop = Scaled(kTopBarHeight);
    listBottom = height - Scaled(kBottomBarHeight);
    const float listHeight = static_cast<float>(height) - static_cast<float>(scale) * 0.38f -
                             static_cast<float>(scale) * 0.20f;
    wholeRows = listHeight > 0 ? static_cast<int>(listHeight / kPlaylistRowHeight) : 0;
    const int room = listBottom - rowsTop;
    const int left = room - wholeRows * kPlaylistRowHeight;
    if (left <= 0) {
        partialRowHeight = 0;
    } else {
        const int remainder = room % kPlaylistRowHeight;
        partialRowHeight = remainder == 0 ? kPlaylistRowHeight : remainder;
    }
}

int PlaylistGeometry::ScrollThumbX() const { return Scaled(kScrollThumbX); }

int PlaylistGeometry::ScrollThumbY(int scrollPercent) const {
    return rowsTop + (height - Scaled(kScrollThumbTravelMargin)) * scrollPercent / 100;
}

std::optional<GroupButton> GroupButtonAt(const PlaylistGeometry& geometry, int x, int y) {
    if (geometry.scale <= 0) return std::nullopt;
    const SkinTap tap(geometry, x, y);
    const float bottom = tap.bottom;
    const float skinY = tap.y;
    for (const GroupColumn& column : kColumns) {
        if (tap.x < column.left || tap.x > column.right) continue;
        const int levels = PlaylistGroupButtonCount(column.group);
        for (int level = 0; level < levels; ++level) {
            const float top = bottom - static_cast<float>(kLevelTops[static_cast<size_t>(level)]);
            const float lower = level == 0 ? bottom - kLowestLevelBottom
                                           : bottom - static_cast<float>(kLevelTops[static_cast<size_t>(level - 1)]);
            if (skinY >= top && skinY <= lower) return GroupButton{column.group, level};
        }
    }
    return std::nullopt;
}

std::optional<int> ListRowAt(const PlaylistGeometry& geometry, int x, int y) {
    if (geometry.scale <= 0) return std::nullopt;
    const SkinTap tap(geometry, x, y);
    if (tap.x < kListSideMargin || tap.x > tap.right - kListSideMargin) return std::nullopt;
    if (tap.y < kTopBarHeight || tap.y > tap.bottom - kBottomBarHeight) return std::nullopt;
    if (y < geometry.rowsTop) return std::nullopt;
    return (y - geometry.rowsTop) / kPlaylistRowHeight;
}

bool InScrollStrip(const PlaylistGeometry& geometry, int x, int y) {
    return x >= geometry.width - kStripInner && x <= geometry.width - kStripOuter && y >= geometry.rowsTop &&
           y <= geometry.listBottom;
}

ButtonPlace GroupButtonPlace(const PlaylistGeometry& geometry, GroupButton button, bool baseSkin) {
    const GroupColumn& column = ColumnOf(button.group);
    const auto level = static_cast<size_t>(button.level);
    if (baseSkin) return {column.baseSkinX, geometry.height - kBaseSkinLevelTops.at(level)};
    return {geometry.Scaled(column.directorySkinX), geometry.height - geometry.Scaled(kLevelTops.at(level))};
}

ScrollPosition ScrollAt(const PlaylistGeometry& geometry, int y, int32_t count) {
    const int32_t drawn = geometry.DrawnRows();
    if (count - drawn < 1) return {};
    int requested = 100;
    if (y < geometry.height - geometry.Scaled(kStripEndZone) || y > geometry.listBottom) {
        const int travel = geometry.height - geometry.Scaled(kStripTravelMargin) - geometry.Scaled(kStripThumbHeight);
        requested = travel > 0 ? (y - geometry.rowsTop) * 100 / travel : 100;
    }
    // The position snaps down to whole steps of one row each.
    const float step = 100.0f / static_cast<float>(count - drawn);
    const int percent = static_cast<int>(std::floor(static_cast<float>(requested) / step) * step);
    const int32_t partial = geometry.PartialRowShows() ? 1 : 0;
    const float rowSpan = 100.0f / static_cast<float>(count + partial - drawn);
    return {percent, static_cast<int32_t>(static_cast<float>(percent) / rowSpan)};
}

std::optional<int32_t> FirstRowShowingCurrent(const PlaylistGeometry& geometry, int32_t current, int32_t firstRow,
                                              int32_t count, bool afterPrev) {
    const int32_t shown = geometry.wholeRows;
    const int32_t partial = geometry.PartialRowShows() ? 1 : 0;
    if (afterPrev) {
        if (current == count - 1) {
            if (count < shown) return 0;
            return partial != 0 ? count - shown : count - shown - 1;
        }
        if (firstRow <= current && current <= firstRow + shown) return std::nullopt;
        return current;
    }
    if (current == 0) return 0;
    if (firstRow <= current && current - firstRow < shown) return std::nullopt;
    if (current >= firstRow + shown) return current - shown + partial;
    return current;
}
