#include "ui/skin/playlist_sprites.h"

#include <array>

#include "ui/skin/skin.h"

using namespace platform::ui;

namespace {

struct Piece {
    int x;
    int y;
    int width;
    int height;
};

RECT SourceOf(const Piece& piece) { return RECT{piece.x, piece.y, piece.x + piece.width, piece.y + piece.height}; }

bool DrawPiece(HDC target, HBITMAP bitmap, int x, int y, const Piece& piece, SpriteAdjustment adjustment) {
    return DrawScaledSprite(target, bitmap, x, y, SourceOf(piece), adjustment);
}

// The top bar's pieces in PlEdit.bmp; the inactive row lies 21 pixels lower.
constexpr Piece kTopLeftCorner{0, 0, 25, 20};
constexpr Piece kTopTitle{26, 0, 100, 20};
constexpr Piece kTopFiller{127, 0, 25, 20};
constexpr Piece kTopRightCorner{153, 0, 25, 20};
constexpr int kInactiveRowOffset = 21;
// Where the title and the right corner start, in skin units.
constexpr int kTopTitleLeft = 87;
constexpr int kTopRightCornerLeft = 250;

constexpr Piece kLeftBorder{0, 42, 12, 29};
constexpr Piece kRightBorder{31, 42, 20, 29};
constexpr Piece kScrollThumb{52, 53, 8, 18};
constexpr int kScrollThumbPressedX = 61;

struct BottomBarLayout {
    Piece left;
    Piece right;
    int buttonWidth;
    int buttonHeight;
    // Per group: x normal, x pressed, and y from the lowest button upward.
    struct Group {
        int normalX;
        int pressedX;
        std::array<int, 4> levels;
    };
    std::array<Group, 5> groups;
};

constexpr BottomBarLayout kDirectorySkinBar{
    {0, 72, 125, 38},
    {126, 72, 150, 38},
    22,
    18,
    {{{0, 23, {149, 130, 111, 0}},
      {54, 77, {149, 130, 111, 168}},
      {104, 127, {149, 130, 111, 0}},
      {154, 177, {149, 130, 111, 0}},
      {204, 227, {149, 130, 111, 0}}}},
};

constexpr BottomBarLayout kBaseSkinBar{
    {0, 62, 109, 33},
    {109, 62, 131, 33},
    19,
    15,
    {{{0, 20, {128, 112, 96, 0}},
      {47, 67, {128, 112, 96, 144}},
      {91, 111, {128, 112, 96, 0}},
      {134, 154, {128, 112, 96, 0}},
      {178, 198, {128, 112, 96, 0}}}},
};

bool UsesBaseSkinBar() { return g_skin.IsBaseSkin; }

const BottomBarLayout& BottomBar() { return UsesBaseSkinBar() ? kBaseSkinBar : kDirectorySkinBar; }

HBITMAP BottomBarBitmap() { return UsesBaseSkinBar() ? g_skin.BasePlaylistBarBmp : g_skin.PlEditBmp; }

Piece InRow(Piece piece, TitleBarState state) {
    if (state == TitleBarState::Inactive) {
        piece.y += kInactiveRowOffset;
    }
    return piece;
}

// Copies `tile` into the gap [start, end) of the bar: whole tiles, then one
// cut to what is left and widened by `extraWidth`.
bool FillGap(HDC target, int start, int end, int y, const Piece& tile, int extraWidth) {
    int tileWidth = ScaleToScreen(tile.width);
    int height = ScaleToScreen(tile.height);
    RECT source = SourceOf(tile);
    int fullTiles = tileWidth > 0 ? (end - start) / tileWidth : 0;
    int x = start;
    for (int i = 0; i < fullTiles; ++i, x += tileWidth) {
        if (!CopySprite(target, g_skin.PlEditBmp, RECT{x, y, x + tileWidth, y + height}, source)) {
            return false;
        }
    }
    return CopySprite(target, g_skin.PlEditBmp, RECT{x, y, end + extraWidth, y + height}, source);
}

}  // namespace

int PlaylistGroupButtonCount(PlaylistGroup group) { return group == PlaylistGroup::Remove ? 4 : 3; }

bool DrawPlaylistTopBar(HDC target, int x, int y, int extraWidth, TitleBarState state) {
    HBITMAP bitmap = g_skin.PlEditBmp;
    int tileWidth = ScaleToScreen(kTopFiller.width);
    int titleLeft = ScaleToScreen(kTopTitleLeft);
    int titleRight = titleLeft + ScaleToScreen(kTopTitle.width);
    int rightCornerLeft = ScaleToScreen(kTopRightCornerLeft);
    Piece filler = InRow(kTopFiller, state);
    return DrawPiece(target, bitmap, x, y, InRow(kTopLeftCorner, state), {}) &&
           FillGap(target, x + tileWidth, x + titleLeft, y, filler, 0) &&
           DrawPiece(target, bitmap, x + titleLeft, y, InRow(kTopTitle, state), {}) &&
           FillGap(target, x + titleRight, x + rightCornerLeft, y, filler, extraWidth) &&
           DrawPiece(target, bitmap, x + rightCornerLeft + extraWidth, y, InRow(kTopRightCorner, state), {});
}

bool DrawPlaylistLeftBorder(HDC target, const RECT& destination) {
    return CopySprite(target, g_skin.PlEditBmp, destination, SourceOf(kLeftBorder));
}

bool DrawPlaylistRightBorder(HDC target, const RECT& destination) {
    return CopySprite(target, g_skin.PlEditBmp, destination, SourceOf(kRightBorder));
}

bool DrawPlaylistScrollThumb(HDC target, int x, int y, ButtonState state, SpriteAdjustment adjustment) {
    Piece thumb = kScrollThumb;
    if (state == ButtonState::Pressed) {
        thumb.x = kScrollThumbPressedX;
    }
    return DrawPiece(target, g_skin.PlEditBmp, x, y, thumb, adjustment);
}

bool DrawPlaylistBottomLeft(HDC target, int x, int y, SpriteAdjustment adjustment) {
    return DrawPiece(target, BottomBarBitmap(), x, y, BottomBar().left, adjustment);
}

bool DrawPlaylistBottomRight(HDC target, int x, int y, SpriteAdjustment adjustment) {
    return DrawPiece(target, BottomBarBitmap(), x, y, BottomBar().right, adjustment);
}

bool DrawPlaylistGroupButton(HDC target, PlaylistGroup group, int level, int x, int y, ButtonState state,
                             SpriteAdjustment adjustment) {
    if (level < 0 || level >= PlaylistGroupButtonCount(group)) {
        return false;
    }
    const BottomBarLayout& bar = BottomBar();
    const BottomBarLayout::Group& buttons = bar.groups.at(static_cast<size_t>(group));
    Piece button{state == ButtonState::Pressed ? buttons.pressedX : buttons.normalX,
                 buttons.levels.at(static_cast<size_t>(level)), bar.buttonWidth, bar.buttonHeight};
    return DrawPiece(target, BottomBarBitmap(), x, y, button, adjustment);
}
