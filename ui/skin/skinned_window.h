#pragma once

// What the three skinned windows share: a drawing context kept for the
// window's whole life, so that partial updates (one button, the clock, a
// bar) draw straight into the window between paints.

#include <memory>
#include <string>

#include "platform/ui/canvas_gdi.h"
#include "platform/ui/window.h"

class SkinnedWindow : public platform::ui::Window {
public:
    using Window::Window;

protected:
    // Takes the window's drawing context at creation and gives it back at
    // destruction.
    void KeepDrawingContext();
    void ReleaseDrawingContext();
    // The layout moved or resized the window: the kept context follows it.
    void FollowPlacement();

    // The kept context, at the skin scale `scale`, for drawing now; nullptr
    // when the window cannot be drawn on: not created, hidden, or covered by
    // a dialog or menu (which would otherwise be drawn over, and which gives
    // the window a full repaint when it closes).
    platform::ui::HDC Drawing(int scale);

private:
    bool IsCovered() const;

    std::unique_ptr<platform::ui::DeviceContext> context_;
};
