#pragma once

// The headless backend: no window. Tests inject stylus and key events, the
// clock is virtual and moves only when the test or the loop moves it, and the
// screen is read from the window manager's pixels.
//
// When the loop would wait, the clock jumps straight to the next timer or
// scripted event, so runs are fast and the same on every machine. With
// nothing scheduled it sleeps until another thread posts a message.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>

#include "platform/ui/ui_backend.h"

namespace platform::ui {

class WindowManager;

class HeadlessBackend : public UiBackend {
public:
    uint64_t NowMs() override;
    void WaitForEvents(uint64_t deadlineMs, std::vector<InputEvent>& events) override;
    void Wake() override;
    void Present(const uint32_t* pixels) override;

    // Queues input for the loop, at the current time or later.
    void Inject(const InputEvent& event, uint64_t atMs = 0);
    void Tap(Point point, uint64_t atMs = 0);
    // A key pressed and released, with the MOD_* keys in `modifiers` held.
    void PressKey(uint32_t virtualKey, uint64_t atMs = 0, uint32_t modifiers = 0);
    // A file (its path) or text dragged from another program and dropped.
    void DropFile(const std::string& path, uint64_t atMs = 0);
    void DropText(const std::string& text, uint64_t atMs = 0);
    // Typed UTF-8 text, arriving as the sdl backend delivers it.
    void TypeText(const std::string& text, uint64_t atMs = 0);
    size_t PresentCount();
    // How many times the loop has fallen asleep with nothing scheduled, so
    // that only another thread's post or Wake can wake it.
    size_t IdleWaitCount();

    // The zoom is only remembered; the display it fits is as tall as set
    // here (720 usable pixels, room for zoom 2, until set).
    int Zoom() const override { return zoom_; }
    void SetZoom(int zoom) override { zoom_ = zoom; }
    int FittingZoom() override;
    void SetUsableDisplayHeight(int pixels) { usableDisplayHeight_ = pixels; }
    // Only remembered, like the zoom.
    void SetShownHeight(int height) override { shownHeight_ = height; }
    int ShownHeight() const { return shownHeight_; }
    // A desktop window minimized (false) or shown again, as the tests say.
    bool WindowShown() const override { return windowShown_; }
    void SetWindowShown(bool shown) { windowShown_ = shown; }

    // Moves the clock forward by `milliseconds`, handling every timer and
    // scripted event on the way at its own time.
    void Advance(WindowManager& manager, uint64_t milliseconds);

private:
    struct Scheduled {
        uint64_t atMs;
        InputEvent event;
    };
    uint64_t NextScheduledLocked() const;

    std::mutex mutex_;
    std::condition_variable woken_;
    // Guarded by mutex_.
    uint64_t nowMs_ = 0;
    std::deque<Scheduled> scheduled_;  // in time order
    bool wakeRequested_ = false;
    size_t presentCount_ = 0;
    size_t idleWaitCount_ = 0;
    // User-interface thread only.
    int zoom_ = kMinimumZoom;
    bool windowShown_ = true;
    int usableDisplayHeight_ = 720;
    int shownHeight_ = kScreenHeight;
};

}  // namespace platform::ui
