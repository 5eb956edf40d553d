#include <gtest/gtest.h>

#include "engine/player.h"
#include "platform/recording_window.h"
#include "tests/support/engine_handle.h"
#include "tests/support/fixtures.h"

namespace {

using namespace std::chrono_literals;

// The peak levels go to a window that reads them, and nowhere else; the
// other reports arrive either way.
TEST(LevelReports, GoOnlyToAWindowThatWantsThem) {
    for (const bool wanted : {true, false}) {
        platform::RecordingWindow window(wanted ? std::vector<uint32_t>{} : std::vector<uint32_t>{WM_PLAYER_LEVEL});
        test::EngineHandle engine = test::MakeEngine();
        PlayerSetNotifyWindow(engine.get(), &window);
        PlayerSetOutputDevice(engine.get(), platform::WaveBackend::Capture, {});
        ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath("cbr128_noinfo.mp3")), 1);
        ASSERT_EQ(PlayerPlay(engine.get()), 1);
        const auto stopped = [](const platform::PostedMessage& posted) {
            return posted.message == WM_PLAYER_STATUS && posted.wParam == PLAYER_STOPPED;
        };
        ASSERT_TRUE(window.WaitFor(stopped, 20s)) << wanted;
        EXPECT_EQ(window.MessagesOf(WM_PLAYER_LEVEL).empty(), !wanted);
        PlayerSetNotifyWindow(engine.get(), nullptr);
    }
}

}  // namespace
