#pragma once

#include <functional>

#include "platform/ui/window.h"

// WM_USER: asks the frame window to place its children again.
constexpr uint32_t WM_RELAYOUT = platform::ui::WM_USER;
// A second start of the player asked this one to come forward.
constexpr uint32_t WM_BRING_FORWARD = 0x8000 + 1;
// Files or addresses wait to be opened (Application::RequestOpen).
constexpr uint32_t WM_OPEN_REQUESTED = 0x8000 + 2;
// The desktop's media-player interface queued commands (MprisService).
constexpr uint32_t WM_DESKTOP_BUS_COMMAND = 0x8000 + 3;
// A fetch of network addresses ended; only wakes the wait box's loop.
constexpr uint32_t WM_NETWORK_FETCHED = 0x8000 + 4;

class Application;

// The invisible top-level window "Tunelark" that owns the three skinned
// windows, keeps the computer awake while the player runs and shuts the
// player down in order. It has the keyboard focus, so the desktop's keys
// and what is dropped on the window come to it. It has no timer: the backend
// holds the screen saver off while the player runs, and an idle player
// should not wake at all.
class FrameWindow final : public platform::ui::Window {
public:
    explicit FrameWindow(Application& application)
        : Window("Tunelark", platform::ui::CS_HREDRAW | platform::ui::CS_VREDRAW), application_(application) {}

    platform::ui::LRESULT HandleMessage(uint32_t message, platform::ui::WPARAM wParam,
                                        platform::ui::LPARAM lParam) override;

private:
    void PaintBackground();

    Application& application_;
};
