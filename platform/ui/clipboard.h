#pragma once

// The desktop's clipboard as text. With the sdl backend's window open it is
// the desktop's own; without a display (the headless backend) the process
// keeps the text itself, so pasting behaves the same in tests.

#include <string>

namespace platform::ui {

std::string ReadClipboardText();
void WriteClipboardText(const std::string& text);

}  // namespace platform::ui
