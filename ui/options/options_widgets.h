#pragma once

// Drawing shared by the options pages: pictures from bitmaps, framed
// groups, drop-down lists and two-column lists sized for the stylus.

#include <functional>
#include <string>
#include <vector>

#include <imgui.h>

#include "platform/ui/canvas_gdi.h"

namespace options {

// Controls at least this tall, so that a stylus finds them.
constexpr float kRowHeight = 21;
const ImVec2 kFramePadding{6, 4};
// Entries of a drop-down list touch, each this tall, so that the longest
// list fits on the screen.
constexpr float kListRowHeight = 19;
// The space between a group's frame and what it holds.
constexpr float kGroupInset = 4;

// Draws the bitmap's pixels at the cursor, each as a square of `scale`
// pixels, and takes its place in the layout. Returns true when it was tapped.
bool Picture(const char* id, platform::ui::HBITMAP bitmap, int scale = 1);

// A drop-down list of `names`, `choice` indexing them; the entries are rows
// as tall as the other controls.
void DropDown(const char* id, const std::vector<std::string>& names, int& choice, float width);

// A check box whose label wraps onto further lines; tapping the label clicks it.
void WrappedCheckbox(const char* label, bool& checked);

// A frame with `title` in its top edge around what `content` draws.
void GroupBox(const char* title, const std::function<void()>& content);

// A list of two columns, the first `firstWidth` wide, one row per entry,
// whole rows selectable.
struct ListRow {
    std::string first;
    std::string second;
};
void TwoColumnList(const char* id, const char* firstTitle, const char* secondTitle, float firstWidth,
                   const std::vector<ListRow>& rows, int& selectedRow, float height);

}  // namespace options
