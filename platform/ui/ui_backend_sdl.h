#pragma once

// The sdl backend: a real window titled "Tunelark" showing the 240 x 320
// screen at an integer zoom with square pixels, the left mouse button as
// the stylus, keys as virtual-key codes, typed text as characters, the
// mouse wheel, and the wall clock. It waits in
// SDL's event wait, so an idle player sleeps.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/ui/ui_backend.h"

namespace platform::ui {

class SdlBackend final : public UiBackend {
public:
    SdlBackend();
    ~SdlBackend() override;

    // Opens the window at `zoom` (TUNELARK_ZOOM overrides). False with a
    // message for the user when there is no display to show it on.
    bool Open(int zoom, std::string& error);

    uint64_t NowMs() override;
    void WaitForEvents(uint64_t deadlineMs, std::vector<InputEvent>& events) override;
    void Wake() override;
    void Present(const uint32_t* pixels) override;
    // Brings the window to the front (a second start asked for it).
    void Raise() override;
    void ShowWaitCursor(bool waiting) override;
    void SetIcon(const uint32_t* pixels, int width, int height) override;

private:
    struct Resources;
    std::unique_ptr<Resources> resources_;
    int zoom_ = 2;
};

// The zoom to use: TUNELARK_ZOOM when it holds a number from 1 to 8, else `fallback`.
int ZoomFromEnvironment(int fallback);

}  // namespace platform::ui
