#pragma once

// The "Open Directory" dialog: a tree of the file system's directories from
// which the playlist adds a whole directory and the options pick a skin
// directory.

#include <string>

namespace platform::ui {
class Window;
class WindowManager;
}  // namespace platform::ui

// Shows the tree from "Root", the file system's root "/", with `path`
// preselected as far as it exists. Returns 1 (OK) with the chosen directory
// in `path` ("/" for Root itself), or 2 (Cancel, Escape, or the player
// quitting) with `path` untouched. The dialog covers the screen whatever
// window owns it.
int BrowseForDirectory(platform::ui::WindowManager& windows, platform::ui::Window& owner, std::string& path);
