#include "tests/support/running_player.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "platform/app_files.h"
#include "playlist/list_file.h"
#include "prefs/settings.h"
#include "ui/skin/skin.h"

namespace test {

using namespace platform::ui;

namespace {

// Where the main window lies on the screen: the frame starts below the
// navigation bar and the main window at the frame's corner.
constexpr int kMainTop = kNavigationBarHeight;

}  // namespace

RunningPlayer::RunningPlayer() {
    setenv("TUNELARK_HOME", home_.Directory().c_str(), 1);
    g_settings = Settings{};
}

RunningPlayer::~RunningPlayer() {
    if (application.Frame().Exists()) Windows().DestroyWindow(application.Frame());
    if (PlayerEngine* engine = application.Engine()) {
        PlayerStop(engine);
        PlayerDestroy(engine);
    }
    g_settings.Engine = nullptr;
    ReleaseSkinBitmaps();
    unsetenv("TUNELARK_HOME");
}

void RunningPlayer::Start(const std::vector<std::string>& defaultList, Pace pace) {
    std::string text;
    for (const std::string& path : defaultList) text += path + "\n";
    ASSERT_TRUE(platform::WriteFileAtomically(DefaultListPath(), text));
    ASSERT_TRUE(application.Start(backend));
    if (pace == Pace::Instant) {
        PlayerSetOutputDevice(Engine(), platform::WaveBackend::Capture,
                              {"", [this](const platform::WaveFormat&, const uint8_t*, size_t bytes) {
                                   capturedBytes_ += bytes;
                               }});
    } else {
        PlayerSetOutputDevice(Engine(), platform::WaveBackend::Null);
    }
    Windows().PumpPending();
}

void RunningPlayer::Tap(Point screenPoint) {
    backend.Tap(screenPoint);
    Windows().PumpPending();
}

void RunningPlayer::Drag(Point from, const std::vector<Point>& path) {
    using Kind = InputEvent::Kind;
    backend.Inject({Kind::StylusDown, from, false, 0});
    for (const Point& point : path) backend.Inject({Kind::StylusMove, point, false, 0});
    backend.Inject({Kind::StylusUp, path.empty() ? from : path.back(), false, 0});
    Windows().PumpPending();
}

void RunningPlayer::TapMain(int x, int y) { Tap({x, y + kMainTop}); }

void RunningPlayer::DragMain(Point from, const std::vector<Point>& path) {
    std::vector<Point> onScreen;
    for (const Point& point : path) onScreen.push_back({point.x, point.y + kMainTop});
    Drag({from.x, from.y + kMainTop}, onScreen);
}

void RunningPlayer::PressKey(uint32_t virtualKey, uint32_t modifiers) {
    backend.PressKey(virtualKey, 0, modifiers);
    Windows().PumpPending();
}

std::vector<std::string> RunningPlayer::ListPaths() {
    std::vector<std::string> paths;
    for (const PlaylistEntry& entry : List().Entries()) paths.push_back(entry.Path);
    return paths;
}

void RunningPlayer::ScheduleTap(Point screenPoint, uint64_t afterMs) {
    backend.Tap(screenPoint, backend.NowMs() + afterMs);
}

void RunningPlayer::ScheduleKey(uint32_t virtualKey, uint64_t afterMs) {
    backend.PressKey(virtualKey, backend.NowMs() + afterMs);
}

std::unique_ptr<Later> RunningPlayer::AnswerNextMessageBox(int& answered) {
    return std::make_unique<Later>(Windows(), 20, std::function<bool()>([this, &answered] {
        const platform::ui::Window* focus = Windows().Focus();
        if (focus == nullptr || focus->ClassName() != "Dialog") return false;
        ++answered;
        ScheduleKey(platform::ui::VK_RETURN, 0);
        return true;
    }));
}

void RunningPlayer::RunUntil(const std::function<bool()>& done, std::chrono::seconds limit) {
    // An idle player never wakes its loop; a timer of the test's own keeps
    // it turning on the virtual clock while the engine works in real time
    // and `done` may wait on things outside the player.
    constexpr uintptr_t kTurnTimerId = 0x7E57;
    constexpr uint32_t kTurnPeriodMs = 1000;
    Windows().SetTimer(application.Frame(), kTurnTimerId, kTurnPeriodMs);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    bool timedOut = false;
    Windows().RunModalLoop([&] {
        timedOut = std::chrono::steady_clock::now() > deadline;
        return timedOut || done();
    });
    Windows().KillTimer(application.Frame(), kTurnTimerId);
    Windows().PumpPending();
    ASSERT_FALSE(timedOut) << "the player did not get there in time";
}

}  // namespace test
