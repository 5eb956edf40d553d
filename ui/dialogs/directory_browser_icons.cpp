#include "ui/dialogs/directory_browser_icons.h"

#include <initializer_list>

namespace {

constexpr ImU32 kFolderBody = IM_COL32(0xF2, 0xC9, 0x4C, 0xFF);
constexpr ImU32 kFolderEdge = IM_COL32(0xB0, 0x84, 0x1C, 0xFF);
constexpr ImU32 kCardBody = IM_COL32(0x3D, 0x5A, 0x80, 0xFF);
constexpr ImU32 kCardContacts = IM_COL32(0xE0, 0xB8, 0x40, 0xFF);
constexpr ImU32 kCardLabel = IM_COL32(0xE8, 0xEE, 0xF4, 0xFF);
constexpr ImU32 kDeviceBody = IM_COL32(0x44, 0x46, 0x4E, 0xFF);
constexpr ImU32 kDeviceScreen = IM_COL32(0xA8, 0xCC, 0xEE, 0xFF);
constexpr ImU32 kDeviceButton = IM_COL32(0xC8, 0xC8, 0xCC, 0xFF);
constexpr float kDeviceRounding = 2;

ImVec2 At(ImVec2 corner, float x, float y) { return ImVec2(corner.x + x, corner.y + y); }

void DrawFolder(ImDrawList& drawing, ImVec2 corner) {
    drawing.AddRectFilled(At(corner, 1, 3), At(corner, 7, 6), kFolderEdge);
    drawing.AddRectFilled(At(corner, 1, 5), At(corner, 15, 14), kFolderBody);
    drawing.AddRect(At(corner, 1, 5), At(corner, 15, 14), kFolderEdge);
}

// A card with one corner cut off, its contacts along the top edge.
void DrawCard(ImDrawList& drawing, ImVec2 corner) {
    const ImVec2 outline[] = {At(corner, 3, 1), At(corner, 10, 1), At(corner, 13, 4), At(corner, 13, 15),
                              At(corner, 3, 15)};
    drawing.AddConvexPolyFilled(outline, IM_ARRAYSIZE(outline), kCardBody);
    for (const float left : {5.0f, 7.0f, 9.0f}) {
        drawing.AddRectFilled(At(corner, left, 2), At(corner, left + 1, 5), kCardContacts);
    }
    drawing.AddRectFilled(At(corner, 5, 8), At(corner, 11, 13), kCardLabel);
}

// A handheld: a screen above one button.
void DrawDevice(ImDrawList& drawing, ImVec2 corner) {
    drawing.AddRectFilled(At(corner, 3, 0), At(corner, 13, 16), kDeviceBody, kDeviceRounding);
    drawing.AddRectFilled(At(corner, 5, 2), At(corner, 11, 10), kDeviceScreen);
    drawing.AddRectFilled(At(corner, 7, 12), At(corner, 9, 14), kDeviceButton);
}

}  // namespace

void DrawDirectoryIcon(ImDrawList& drawing, ImVec2 corner, DirectoryIcon icon) {
    switch (icon) {
        case DirectoryIcon::Root: DrawDevice(drawing, corner); break;
        case DirectoryIcon::Folder: DrawFolder(drawing, corner); break;
        case DirectoryIcon::Volume: DrawCard(drawing, corner); break;
    }
}
