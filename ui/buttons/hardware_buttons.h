#pragma once

// The hardware keys claimed as hot keys, the functions they run with the
// hold rule, and the multi-function button's counter. All of it runs on the
// user-interface thread.

#include <cstdint>

class Application;

namespace platform::ui {
class Window;
class WindowManager;
}  // namespace platform::ui

// Releases all fourteen hot-key ids, then claims every mapped key for `window`.
void ClaimButtons(platform::ui::WindowManager& windows, platform::ui::Window& window);
// Releases the mapped keys of the navigation pad and Buttons 1 to 5; the
// media keys stay claimed so they keep working in the background.
void ReleaseButtons(platform::ui::WindowManager& windows, platform::ui::Window& window);
// Releases all fourteen ids, mapped or not.
void ReleaseAllButtons(platform::ui::WindowManager& windows, platform::ui::Window& window);

// A claimed key was pressed: runs the function mapped to it. Keys outside
// the table are ignored.
void HandleHotKey(Application& application, uint32_t virtualKey);
// Runs the function with either of its codes. `key` is the virtual-key code
// that caused it, 0 for the multi-function slots.
void RunButtonFunction(Application& application, uint32_t key, int32_t code);
// A press of a key mapped to Multi Function.
void CountMultiFunctionPress(Application& application);
// One tick of the main window's multi-function timer.
void OnMultiFunctionTick(Application& application);

// Plays the click sound once, to its end. Tests replace it to count clicks.
extern void (*g_playClickSound)();
