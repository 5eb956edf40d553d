#pragma once

#include <cstdint>

#include "tools/base_skin/surface.h"

namespace base_skin {

enum class Symbol { Play, Pause, Stop, Previous, Next, Eject, Close, Menu, More };

// Draws the symbol centred in `box` (an odd leftover pixel goes right and below).
void DrawSymbol(Surface& surface, Rect box, Symbol symbol, uint8_t color);

}  // namespace base_skin
