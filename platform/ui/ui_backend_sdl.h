#pragma once

// The sdl backend: a real window titled "Tunelark" showing the 240 x 320
// screen at an integer zoom with square pixels, scaled into the window's own
// surface (no OpenGL) and only where it changed, the left mouse button as
// the stylus, keys as virtual-key codes with their modifiers, typed text as
// characters, the mouse wheel, files and text dropped on the window, and
// the wall clock. It waits in SDL's event wait, so an idle player sleeps.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/ui_backend.h"

namespace platform::ui {

class SdlBackend final : public UiBackend {
public:
    SdlBackend();
    ~SdlBackend() override;

    // Makes the window, hidden until the first Present; it shows at the
    // smallest zoom until SetZoom. False with a message for the user when
    // there is no display to show it on.
    bool Open(std::string& error);

    uint64_t NowMs() override;
    void WaitForEvents(uint64_t deadlineMs, std::vector<InputEvent>& events) override;
    void Wake() override;
    void Present(const uint32_t* pixels) override;
    // Brings the window to the front (a second start asked for it).
    void Raise() override;
    void ShowWaitCursor(bool waiting) override;
    void SetIcon(const uint32_t* pixels, int width, int height) override;
    int Zoom() const override { return zoom_; }
    void SetZoom(int zoom) override;
    int FittingZoom() override;
    void SetShownHeight(int height) override;
    bool WindowShown() const override { return windowShown_; }

private:
    // Copies the `changed` parts of the screen into the window, scaled, and
    // shows them; everything when the window's surface needs it.
    void ShowScreen(const std::vector<Rect>& changed);
    static void ReportFirstPresent();
    void KeepOnDisplay();

    struct Resources;
    std::unique_ptr<Resources> resources_;
    int zoom_ = kMinimumZoom;
    int shownHeight_ = kScreenHeight;
    bool windowShown_ = true;
};

}  // namespace platform::ui
