#pragma once

#include <string_view>

#include "tools/base_skin/surface.h"

// The pieces the skin is built from, shared by all windows so that they look
// alike: the window body, raised buttons, sunken wells, lamps and grips.
namespace base_skin {

// Levels of the slate ramp that the look is built on.
namespace tone {
constexpr int kShadow = 4;
constexpr int kWellFloor = 6;
constexpr int kBodyLow = 15;
constexpr int kBodyHigh = 21;
constexpr int kFaceLow = 21;
constexpr int kFaceHigh = 29;
constexpr int kHighlight = 38;
constexpr int kLabel = 54;
constexpr int kEngraved = 36;
constexpr int kLitGlow = 48;  // the display green
constexpr int kUnlitGlow = 9;
}  // namespace tone

// A vertical slate gradient from level `top` to level `bottom`.
void VerticalGradient(Surface& surface, Rect area, int top, int bottom);

// The window body behind everything else.
void WindowBody(Surface& surface, Rect area);

// A button: a dark outline around a lit face, or pressed in and darker.
void ButtonFace(Surface& surface, Rect area, bool pressed);

// A recessed, nearly black well with a light lower edge.
void SunkenWell(Surface& surface, Rect area, int floorLevel = tone::kWellFloor);

// A small lamp: dark when off, display green with a soft rim when lit.
void Lamp(Surface& surface, Rect area, bool lit);

// A toggle button: lamp on the left, label beside it, both lit when on.
// `lamp` false leaves the lamp out and centres the label.
void ToggleButton(Surface& surface, Rect area, std::string_view label, bool on, bool pressed, bool lamp = true);

// A slider knob with a lit centre line; `horizontal` knobs move left and
// right and carry a vertical line.
void Knob(Surface& surface, Rect area, bool pressed, bool horizontal);

// Two engraved grooves across `area`, centred vertically, for title bars.
void TitleGrooves(Surface& surface, Rect area, bool active);

}  // namespace base_skin
