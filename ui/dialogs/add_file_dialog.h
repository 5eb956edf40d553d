#pragma once

// The "Add File" dialog of the main window's Eject button, an empty list's
// Play and the playlist's Add group.

#include <string>
#include <vector>

#include "platform/ui/file_dialog.h"

// "All Media", listing every music extension, then one filter per media type.
std::vector<platform::ui::FileFilter> AddFileFilters();

// Where adding files or a directory starts: `lastDirectory`, or the user's
// music folder while none was chosen yet (empty, or the settings' default "/").
std::string AddingStartDirectory(const std::string& lastDirectory);

// Shows the platform's open-file dialog for music files, starting in
// AddingStartDirectory(lastDirectory). On OK, `selection` receives the choice in the form
// Playlist::AddFiles reads, and the result is true; a cancelled dialog, or a
// choice that names nothing on disk, gives false.
bool ShowAddFileDialog(platform::ui::WindowManager& windows, platform::ui::Window& owner,
                       const std::string& lastDirectory, std::string& selection);
