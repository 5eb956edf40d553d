#pragma once

#include <cstdint>

// The play modes the navigation rules consult. The caller fills them from the
// preferences (`Repeat`, `Shuffle`) for each call, so the playlist keeps no
// copy that could go stale.

constexpr int32_t REPEAT_NONE = 0;
constexpr int32_t REPEAT_ALL = 1;
constexpr int32_t REPEAT_ONE = 2;

struct PlaylistModes {
    int32_t repeat = REPEAT_ALL;  // REPEAT_NONE, REPEAT_ALL or REPEAT_ONE
    bool shuffle = false;
};
