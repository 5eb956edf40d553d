#pragma once

// The small pictures in front of the "Open Directory" tree's names, drawn
// from shapes so they stay sharp at the screen's own pixels.

#include <imgui.h>

enum class DirectoryIcon {
    Root,    // the device itself, for the top item
    Folder,  // an ordinary directory
    Volume,  // a mounted storage card or disk
};

constexpr float kDirectoryIconSize = 16;

// Draws `icon` in the 16 x 16 square whose top-left corner is `corner`.
void DrawDirectoryIcon(ImDrawList& drawing, ImVec2 corner, DirectoryIcon icon);
