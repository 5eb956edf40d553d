#pragma once

#include <atomic>
#include <chrono>

#include "engine/player.h"
#include "platform/event.h"

// The notify window of the command-line player: it wakes the main thread
// when the engine reports that playback stopped.
class PlaybackWatch final : public platform::NotifyWindow {
public:
    void PostMessage(uint32_t message, uintptr_t wParam, intptr_t /*lParam*/) override {
        if (message == WM_PLAYER_STATUS && wParam == PLAYER_STOPPED) {
            stopped_ = true;
            wake_.Set();
        }
    }

    // Also wakes the waiter, for reasons of the caller's own.
    void Wake() { wake_.Set(); }
    // Waits until woken or the timeout passes; resets the wake-up.
    void Wait(std::chrono::milliseconds timeout) {
        wake_.WaitFor(timeout);
        wake_.Reset();
    }
    bool Stopped() const { return stopped_; }
    void Rearm() { stopped_ = false; }

private:
    platform::Event wake_;
    std::atomic<bool> stopped_{false};
};
