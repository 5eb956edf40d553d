#pragma once

// The playlist window's sprites. A directory skin draws them all from
// PlEdit.bmp; the base skin takes its bottom bar and group buttons from its
// own bitmap (BasePlaylistBarBmp), in a layout of their own.

#include "ui/skin/skin_sprites.h"

enum class PlaylistGroup { Add, Remove, Sel, Misc, List };

// Buttons in a group (the lowest is level 0, stacked upward): Remove has
// four, the others three.
int PlaylistGroupButtonCount(PlaylistGroup group);

// The top bar composed across the window at (x, y): corners, title and
// filler tiles, with the last right-hand tile widened by `extraWidth` screen
// pixels and the right corner moved along by it. Stops at the first copy
// that fails and returns false then.
bool DrawPlaylistTopBar(HDC target, int x, int y, int extraWidth, TitleBarState state = TitleBarState::Active);

// Border tiles are copied onto the destination rectangle as given, without
// scaling of their own.
bool DrawPlaylistLeftBorder(HDC target, const RECT& destination);
bool DrawPlaylistRightBorder(HDC target, const RECT& destination);

bool DrawPlaylistScrollThumb(HDC target, int x, int y, ButtonState state, SpriteAdjustment adjustment = {});
bool DrawPlaylistBottomLeft(HDC target, int x, int y, SpriteAdjustment adjustment = {});
bool DrawPlaylistBottomRight(HDC target, int x, int y, SpriteAdjustment adjustment = {});
// False (nothing drawn) for a level the group does not have.
bool DrawPlaylistGroupButton(HDC target, PlaylistGroup group, int level, int x, int y, ButtonState state,
                             SpriteAdjustment adjustment = {});
