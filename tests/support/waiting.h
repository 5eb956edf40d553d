#pragma once

// Waiting for a state that another thread reaches, bounded by a real-time
// limit that only a broken program reaches: the test then fails instead of
// hanging. Nothing here waits for a fixed time.

#include <chrono>
#include <cstddef>
#include <functional>

#include "engine/player.h"
#include "platform/recording_window.h"

namespace test {

using namespace std::chrono_literals;

// Looks at `condition` every short real slice until it holds; false when
// `limit` passes first.
bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit = 10s);

// Waits until `window` has received WM_PLAYER_STATUS with `status` for the
// `occurrence`-th time.
bool WaitForStatus(const platform::RecordingWindow& window, PlayerStatus status, size_t occurrence = 1,
                   std::chrono::milliseconds limit = 20s);

}  // namespace test
