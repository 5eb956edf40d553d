#pragma once

// Dialogs drawn with Dear ImGui: full screen below the navigation bar, modal
// (a nested message loop in which timers and posted messages go on), and
// returning what the platform call would.
//
// ImGui renders through SDL's software renderer straight into the screen's
// pixels, the same on both backends. Its input comes from the dialog
// window's own stylus and key messages, one frame per change, so a tap
// (down and up) is never lost between frames.

#include <functional>
#include <string>

#include "platform/ui/window.h"

namespace platform::ui {

class WindowManager;

// Results and button sets of MessageBox.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr uint32_t MB_OK = 0x0000;
constexpr uint32_t MB_OKCANCEL = 0x0001;

// A modal dialog: `content` draws one ImGui frame of the dialog's widgets
// and calls `end(result)` when the dialog is done. Enter ends it with
// `enterResult`, Escape with `escapeResult`, and so does the player quitting
// meanwhile. Returns the result.
int RunDialog(WindowManager& windows, const std::string& title,
              const std::function<void(const std::function<void(int)>& end)>& content, int enterResult,
              int escapeResult);

// The modal loop under every dialog and menu: `frame` draws one whole ImGui
// frame (its own windows, anywhere on the screen below the navigation bar).
int RunImGuiModal(WindowManager& windows, const std::string& title,
                  const std::function<void(const std::function<void(int)>& end)>& frame, int enterResult,
                  int escapeResult);

// The message box: the text, OK (and Cancel with MB_OKCANCEL); Enter is OK,
// Escape is Cancel. The caption shows in the navigation bar.
int MessageBox(WindowManager& windows, const std::string& text, const std::string& caption, uint32_t type);

}  // namespace platform::ui
