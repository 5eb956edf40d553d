#pragma once

// The multi-function button counts quick successive presses; a short while
// after the last one the count chooses one of five functions.

#include <cstdint>

// The main window's timer that ends a sequence of presses.
inline constexpr uintptr_t kMultiFunctionTimerId = 1;
inline constexpr uint32_t kMultiFunctionTickMs = 100;
// Ticks without a press after which the count is evaluated: about 800 ms.
inline constexpr int32_t kMultiFunctionThresholdTicks = 8;

// Kept by the main window for as long as it lives.
struct MultiFunctionState {
    int32_t threshold = kMultiFunctionThresholdTicks;
    int32_t idleTicks = 0;
    int32_t pressCount = 0;
};
