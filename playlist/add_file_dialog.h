#pragma once

// The "Add File" dialog of the main window's Eject button, an empty list's
// Play and the playlist's Add group.

#include <string>

namespace platform::ui {
class Window;
class WindowManager;
}  // namespace platform::ui

// Shows the platform's open-file dialog for music files, starting in
// `lastDirectory`. On OK, `selection` receives the choice in the form
// Playlist::AddFiles reads, and the result is true; a cancelled dialog, or a
// choice that names nothing on disk, gives false.
bool ShowAddFileDialog(platform::ui::WindowManager& windows, platform::ui::Window& owner,
                       const std::string& lastDirectory, std::string& selection);
