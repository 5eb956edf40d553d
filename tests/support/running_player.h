#pragma once

// The whole player started on the headless backend, as the tunelark program
// starts it, with a fresh application directory and the engine playing
// through the capture device. Tests tap its windows and run its loop.

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/ui_backend_headless.h"
#include "tests/support/fixtures.h"
#include "tests/support/later.h"
#include "ui/shell/application.h"

namespace test {

class RunningPlayer {
public:
    // Resets the settings to their defaults; change g_settings before Start.
    RunningPlayer();
    // Closes the player in order and ends its engine.
    ~RunningPlayer();
    RunningPlayer(const RunningPlayer&) = delete;
    RunningPlayer& operator=(const RunningPlayer&) = delete;

    // How the engine's sound leaves: as fast as it is decoded, or at the
    // pace of real playback (for tracks that must still be playing when the
    // next tap comes).
    enum class Pace { Instant, RealTime };

    // Writes `defaultList` as the default playlist, then starts the player.
    void Start(const std::vector<std::string>& defaultList = {}, Pace pace = Pace::Instant);

    platform::ui::WindowManager& Windows() { return application.Windows(); }
    PlayerEngine* Engine() { return application.Engine(); }
    MainWindow& Main() { return application.Main(); }
    EqWindow& Equalizer() { return application.Equalizer(); }
    Playlist& List() { return application.GetPlaylist(); }
    const std::string& Home() const { return home_.Directory(); }

    // Stylus input at points of the screen, handled before returning.
    void Tap(platform::ui::Point screenPoint);
    void Drag(platform::ui::Point from, const std::vector<platform::ui::Point>& path);
    // The same at points of the main window.
    void TapMain(int x, int y);
    void DragMain(platform::ui::Point from, const std::vector<platform::ui::Point>& path);
    // A key pressed with the MOD_* keys in `modifiers`, handled before returning.
    void PressKey(uint32_t virtualKey, uint32_t modifiers = 0);
    // The playlist's paths, in order.
    std::vector<std::string> ListPaths();
    // Schedules input for a modal loop that a later call runs.
    void ScheduleTap(platform::ui::Point screenPoint, uint64_t afterMs);
    void ScheduleKey(uint32_t virtualKey, uint64_t afterMs);
    // Looks every 20 ms for a message box in front of the player and closes
    // the first one with Enter, counting it in `answered`. Keep the returned
    // watch alive while the box may come.
    std::unique_ptr<Later> AnswerNextMessageBox(int& answered);

    // Runs the loop until `done` holds, then handles what is still queued;
    // fails the test after `limit` of real time.
    void RunUntil(const std::function<bool()>& done, std::chrono::seconds limit = std::chrono::seconds(30));

    // PCM bytes the engine has handed the capture device.
    size_t CapturedBytes() const { return capturedBytes_.load(); }

    platform::ui::HeadlessBackend backend;
    Application application;

private:
    TemporaryFile home_{{}};
    std::atomic<size_t> capturedBytes_{0};
};

}  // namespace test
