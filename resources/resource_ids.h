#pragma once

// Numbers of the program's own resources besides the base skin's bitmaps.

enum ResourceId {
    IDI_TUNELARK = 135,
    IDB_PREV_BUTTON = 160,
    IDB_NEXT_BUTTON = 161,
    IDR_CLICK_WAVE = 162,
};
