#pragma once

// A row of a dialog's list: a selectable as wide as the list with its text
// drawn over it, a little in from the edge and clipped there, so that no
// text (a file or a title, whatever it holds) is read as an ImGui label.

#include <string_view>

namespace platform::ui {

// Draws row `id` `height` pixels high, highlighted or not; true when it was
// tapped (ImGui tells whether twice).
bool DialogTextRow(int id, std::string_view text, bool highlighted, float height);

}  // namespace platform::ui
