#pragma once

// What the network addresses among the items to open name (a station list
// or a stream) is fetched on a thread of its own while a wait box shows, so
// the window goes on answering; Cancel, Escape and quitting cut the fetch
// short at once.

#include <optional>
#include <string>
#include <vector>

#include "playlist/add_location.h"

namespace platform::ui {
class Window;
class WindowManager;
}  // namespace platform::ui

// The resolutions of every network address in `items` (none when there is
// none); nothing when the user cancelled or the player quit. The fetch posts
// to `wake` when it is done, so the wait box's loop wakes to see it.
std::optional<NetworkResolutions> FetchNetworkItems(platform::ui::WindowManager& windows, platform::ui::Window& wake,
                                                    const std::vector<std::string>& items,
                                                    const PlayerStreamOptions& options);
