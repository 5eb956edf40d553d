#pragma once

// The "Add URL" dialog of the playlist's Add group: one field for a stream's
// or a station list's address, typed or pasted from the desktop's clipboard.

#include <string>

namespace platform::ui {
class WindowManager;
}  // namespace platform::ui

// Shows the dialog until OK, Cancel, Enter or Escape. True on OK with the
// address, spaces around it taken off, in `url`.
bool ShowAddUrlDialog(platform::ui::WindowManager& windows, std::string& url);

// The text as an address: without the white space around it and with line
// breaks inside it removed (a pasted address often ends with one).
std::string CleanAddressText(const std::string& text);
