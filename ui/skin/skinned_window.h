#pragma once

// What the three skinned windows share: the dispatch of their messages, and
// a drawing context kept for the window's whole life, so that partial
// updates (one button, the clock, a bar) draw straight into the window
// between paints.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/ui/canvas_gdi.h"
#include "platform/ui/window.h"

class SkinnedWindow : public platform::ui::Window {
public:
    using Window::Window;

    platform::ui::LRESULT HandleMessage(uint32_t message, platform::ui::WPARAM wParam,
                                        platform::ui::LPARAM lParam) final;

protected:
    // Creation and destruction; the drawing context is taken after
    // OnCreate and given back after OnDestroy.
    virtual void OnCreate() {}
    virtual void OnDestroy() {}
    // The full repaint.
    virtual void PaintAll() = 0;
    // A chosen menu item; a timer's tick.
    virtual void OnMenuCommand(uint32_t /*command*/) {}
    virtual void OnTimer(uintptr_t /*id*/) {}
    // The stylus, in window pixels; `doubleTap` only for classes with CS_DBLCLKS.
    virtual void OnStylusDown(int x, int y, bool doubleTap) = 0;
    virtual void OnStylusMove(int x, int y) = 0;
    virtual void OnStylusUp(int x, int y) = 0;
    // The mouse wheel turned `notches` (positive away from the user) with
    // the pointer at (x, y) in window pixels.
    virtual void OnWheel(int /*x*/, int /*y*/, int /*notches*/) {}
    // A message of the window's own; false leaves it to the default handling.
    virtual bool OnOtherMessage(uint32_t /*message*/, platform::ui::WPARAM /*wParam*/,
                                platform::ui::LPARAM /*lParam*/) {
        return false;
    }

    // The kept context, at the skin scale `scale`, for drawing now; nullptr
    // when the window cannot be drawn on: not created, hidden, covered by a
    // dialog or menu (which would otherwise be drawn over, and which gives
    // the window a full repaint when it closes), or on a desktop window
    // that is minimized (which is painted whole when it shows again).
    platform::ui::HDC Drawing(int scale);

    // Whether Ctrl or Shift was held as the stylus (the mouse) went down.
    bool StylusWithControl() const { return (stylusKeys_ & platform::ui::MK_CONTROL) != 0; }
    bool StylusWithShift() const { return (stylusKeys_ & platform::ui::MK_SHIFT) != 0; }

private:
    // The layout moved or resized the window: the kept context follows it.
    void FollowPlacement();
    bool IsCovered() const;

    std::unique_ptr<platform::ui::DeviceContext> context_;
    platform::ui::WPARAM stylusKeys_ = 0;
};
