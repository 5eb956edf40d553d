#pragma once

// What the window system needs from below: input, a clock, a way to be
// woken from another thread, and a place to show the screen.
//
// Backends: sdl (a real window showing the screen at an integer zoom, real
// input, the wall clock) and headless (no window: tests inject input, move a
// virtual clock and read the pixels). Everything above them is shared.

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "platform/ui/ui_types.h"

namespace platform::ui {

constexpr uint64_t kNoDeadline = std::numeric_limits<uint64_t>::max();

// The screen shows at a whole multiple of its size.
constexpr int kMinimumZoom = 1;
constexpr int kMaximumZoom = 6;

struct InputEvent {
    enum class Kind { StylusDown, StylusMove, StylusUp, KeyDown, KeyUp, Character, Wheel, Quit, DropFile, DropText };
    Kind kind = Kind::StylusDown;
    Point point;             // screen coordinates, for the stylus and the wheel
    bool doubleTap = false;  // a second press within the double-tap time
    uint32_t virtualKey = 0; // for the keys
    char16_t character = 0;  // typed text, one UTF-16 unit per event
    int wheelNotches = 0;    // positive away from the user
    uint32_t modifiers = 0;  // MOD_* held with a key or a click
    std::string dropped{};   // a dropped file's path or dropped text, UTF-8
};

class UiBackend {
public:
    virtual ~UiBackend() = default;

    // Milliseconds on the backend's clock.
    virtual uint64_t NowMs() = 0;
    // Waits until input arrives, Wake is called or the clock reaches
    // `deadlineMs`, and appends the input that arrived. Sleeps meanwhile.
    virtual void WaitForEvents(uint64_t deadlineMs, std::vector<InputEvent>& events) = 0;
    // Ends a wait; callable from any thread.
    virtual void Wake() = 0;
    // Shows the screen: kScreenWidth x kScreenHeight pixels of 0x00RRGGBB.
    virtual void Present(const uint32_t* pixels) = 0;
    // Brings the player's window in front of the others.
    virtual void Raise() {}
    // Shows the busy cursor over the window, or the normal one again.
    virtual void ShowWaitCursor(bool /*waiting*/) {}
    // The window's icon: `pixels` is width x height of 0x00RRGGBB.
    virtual void SetIcon(const uint32_t* /*pixels*/, int /*width*/, int /*height*/) {}
    // The integer zoom the screen shows at, and a change of it, which
    // resizes the window at once (kMinimumZoom to kMaximumZoom).
    virtual int Zoom() const { return kMinimumZoom; }
    virtual void SetZoom(int /*zoom*/) {}
    // The largest zoom at which the window fits the display's usable
    // height; at least kMinimumZoom.
    virtual int FittingZoom() { return kMinimumZoom; }
    // The window shows the top `height` rows of the screen (kScreenHeight
    // until told otherwise): no more than the windows on the screen cover.
    virtual void SetShownHeight(int /*height*/) {}
    // False while the desktop shows none of the window (minimized or
    // hidden): nothing drawn could be seen.
    virtual bool WindowShown() const { return true; }
};

}  // namespace platform::ui
