#pragma once

// The "Preset" dialog of the equalizer's PRESETS button: the built-in
// presets in a sorted list, "&Load" and "&Cancel", and an OK in its title
// row that loads as "&Load" does. Full screen; the list takes taps, a double
// tap loads, arrows move the selection, Enter loads and Escape cancels.

#include <optional>
#include <string>

namespace platform::ui {
class WindowManager;
}

// The name to load after "&Load", OK or Enter: the selected preset's, empty
// when none is selected; nothing when the dialog was cancelled.
std::optional<std::string> ShowPresetDialog(platform::ui::WindowManager& windows);
