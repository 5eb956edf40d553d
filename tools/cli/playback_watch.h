#pragma once

#include <atomic>
#include <chrono>

#include "engine/player.h"
#include "platform/event.h"

// The notify window of the command-line player: it wakes the main thread
// when the engine reports that playback stopped or a stream title arrived.
class PlaybackWatch final : public platform::NotifyWindow {
public:
    void PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        if (message == WM_PLAYER_STATUS && wParam == PLAYER_STOPPED) {
            startFailed_ = lParam == kPlayerStartFailed;
            deviceLost_ = lParam == kPlayerDeviceLost;
            stopped_ = true;
            wake_.Set();
        }
        if (message == WM_PLAYER_STREAM_TITLE) {
            ++titles_;
            wake_.Set();
        }
    }

    bool Wants(uint32_t message) const override {
        return message == WM_PLAYER_STATUS || message == WM_PLAYER_STREAM_TITLE;
    }

    // How many stream titles have arrived; the text is read from the engine.
    uint32_t Titles() const { return titles_; }

    // Also wakes the waiter, for reasons of the caller's own.
    void Wake() { wake_.Set(); }
    // Waits until woken or the timeout passes; resets the wake-up.
    void Wait(std::chrono::milliseconds timeout) {
        wake_.WaitFor(timeout);
        wake_.Reset();
    }
    bool Stopped() const { return stopped_; }
    // The stop ended a stream's start before its first audio.
    bool StartFailed() const { return startFailed_; }
    // The sound device stopped playing by itself.
    bool DeviceLost() const { return deviceLost_; }
    void Rearm() {
        stopped_ = false;
        startFailed_ = false;
        deviceLost_ = false;
    }

private:
    platform::Event wake_;
    std::atomic<bool> stopped_{false};
    std::atomic<bool> startFailed_{false};
    std::atomic<bool> deviceLost_{false};
    std::atomic<uint32_t> titles_{0};
};
