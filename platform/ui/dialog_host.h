#pragma once

// Dialogs drawn with Dear ImGui: full screen below the navigation bar, modal
// (a nested message loop in which timers and posted messages go on), and
// returning what the platform call would.
//
// ImGui renders through SDL's software renderer straight into the screen's
// pixels, the same on both backends. Its input comes from the dialog
// window's own stylus, key, text and wheel messages, one frame per change,
// so a tap (down and up) is never lost between frames; ImGui's clock is the
// window system's, so a double tap means the same on both backends.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/window.h"

namespace platform::ui {

class WindowManager;

// Results and button sets of MessageBox.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr uint32_t MB_OK = 0x0000;
constexpr uint32_t MB_OKCANCEL = 0x0001;

// Sees each key pressed in a dialog before the dialog does, between frames,
// and returns true when it took the key (a list moving its highlight, say).
// The dialog is drawn again after a key it took.
using DialogKeyHandler = std::function<bool(uint32_t virtualKey)>;

// How far a dialog's list moves its highlight for a key: a row for Up and
// Down, `pageRows` for Page Up and Page Down, `allRows` (to the end) for
// Home and End; nothing for other keys.
std::optional<std::ptrdiff_t> ListMoveForKey(uint32_t virtualKey, std::ptrdiff_t pageRows, std::ptrdiff_t allRows);

// A modal dialog: `content` draws one ImGui frame of the dialog's widgets
// and calls `end(result)` when the dialog is done. Enter ends it with
// `enterResult`, Escape with `escapeResult` (unless `onKey` takes them),
// and so does the player quitting meanwhile; other keys and typed text go
// to the dialog's text fields. Returns the result.
int RunDialog(WindowManager& windows, const std::string& title,
              const std::function<void(const std::function<void(int)>& end)>& content, int enterResult,
              int escapeResult, const DialogKeyHandler& onKey = {});

// The modal loop under every dialog and menu: `frame` draws one whole ImGui
// frame (its own windows, anywhere on the screen below the navigation bar
// and above `bottom`, where the loop's window ends).
int RunImGuiModal(WindowManager& windows, const std::string& title,
                  const std::function<void(const std::function<void(int)>& end)>& frame, int enterResult,
                  int escapeResult, const DialogKeyHandler& onKey = {}, int bottom = kScreenHeight);

// Makes sure the dialogs can draw every character of `text`, which a
// dialog is about to show: characters beyond the Latin, Greek and Cyrillic
// the dialogs start with are added from the fallback font before the next
// frame. Typed text and message boxes are noted without asking.
void NoteDialogText(std::string_view text);

// The message box: the text, OK (and Cancel with MB_OKCANCEL); Enter is OK,
// Escape is Cancel. The caption shows in the navigation bar.
int MessageBox(WindowManager& windows, const std::string& text, const std::string& caption, uint32_t type);

// A box with `text` and Cancel that stays while something goes on elsewhere:
// IDOK once `finished` says so, IDCANCEL when the user cancels (Cancel,
// Escape) or the player quits. `finished` is looked at whenever the
// dialog's loop wakes, so whoever makes it true posts a message to wake it.
int WaitBox(WindowManager& windows, const std::string& text, const std::string& caption,
            const std::function<bool()>& finished);

}  // namespace platform::ui
