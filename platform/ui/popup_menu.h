#pragma once

// Popup menus from a menu resource, shown with TrackPopupMenu's alignment
// rules at a screen point; the chosen command reaches the owner as
// WM_COMMAND, or is returned with TPM_RETURNCMD.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/window.h"

namespace platform::ui {

class WindowManager;

struct MenuItem {
    std::string text;       // empty for a separator
    uint32_t command = 0;
    bool checked = false;
    bool enabled = true;
};

using Menu = std::vector<MenuItem>;

constexpr uint32_t TPM_LEFTALIGN = 0x0000;
constexpr uint32_t TPM_CENTERALIGN = 0x0004;
constexpr uint32_t TPM_RIGHTALIGN = 0x0008;
constexpr uint32_t TPM_TOPALIGN = 0x0000;
constexpr uint32_t TPM_VCENTERALIGN = 0x0010;
constexpr uint32_t TPM_BOTTOMALIGN = 0x0020;
constexpr uint32_t TPM_RETURNCMD = 0x0100;

void CheckMenuItem(Menu& menu, uint32_t command, bool checked);

// Shows `menu` with its corner at (x, y) in screen coordinates as `flags`
// align it, kept on the screen. A tap outside closes it with no choice.
// With TPM_RETURNCMD returns the chosen command (0 for none); otherwise posts
// WM_COMMAND with it to `owner` and returns whether one was chosen.
uint32_t TrackPopupMenu(WindowManager& windows, const Menu& menu, uint32_t flags, int x, int y, Window& owner);

}  // namespace platform::ui
