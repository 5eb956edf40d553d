// The whole player under a monkey: a long random sequence of taps, drags,
// double taps, keys, typed text and jumps of the clock reaches every window,
// menu and dialog while the engine plays in real time, files and stations
// that keep it waiting (tests/formats/stream/fault_server.h). The
// sequence comes from a printed seed, so a failure can be replayed:
//
//   TUNELARK_MONKEY_SEED=N TUNELARK_MONKEY_EVENTS=M ui_tests --gtest_filter=Monkey.*
//
// (tools/monkey.sh runs a million events). Nothing may crash or hang, every
// batch of events is handled, and after an orderly shutdown the default list
// and the settings store read back as the player left them.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "platform/ui/window_manager.h"
#include "playlist/playlist.h"
#include "prefs/settings.h"
#include "tests/formats/stream/fault_server.h"
#include "tests/support/fixtures.h"
#include "tests/support/running_player.h"
#include "tests/support/watchdog.h"
#include "ui/buttons/hardware_buttons.h"

namespace {

using namespace platform::ui;
using Kind = InputEvent::Kind;

// Stations that keep the player waiting, by the path asked for: /drip sends
// a byte now and then after its headers, /stall its headers and nothing,
// /moved redirects to /drip, /cut.pls announces a list it never finishes.
void MisbehavingStation(streamtest::FaultServer& server, streamtest::ServerConnection& connection) {
    using namespace std::chrono_literals;
    const std::string request = server.ReadRequest(connection);
    const auto asked = [&request](const char* path) { return request.find(std::string(" ") + path + " ") != std::string::npos; };
    if (asked("/moved")) {
        connection.Send("HTTP/1.1 302 Found\r\nLocation: /drip\r\n\r\n");
    } else if (asked("/cut.pls")) {
        connection.Send("HTTP/1.1 200 OK\r\nContent-Type: audio/x-scpls\r\nContent-Length: 500\r\n\r\n[playlist]\n");
    } else if (connection.Send("ICY 200 OK\r\n\r\n") && asked("/drip")) {
        while (connection.Send("\xff")) connection.Pause(300ms);
    } else {
        connection.Pause(60s);
    }
}

constexpr uint64_t kDefaultSeed = 20261208;
constexpr long kDefaultEvents = 10000;
constexpr int kEventsPerBatch = 250;
// Enough to close the deepest stack of dialogs and menus a batch can leave.
constexpr int kClosingEscapes = 8;
constexpr auto kWholeRunLimit = std::chrono::hours(4);

// The keys the player and its dialogs answer, the hardware buttons among
// them, and a few letters for the dialogs' fields and the Ctrl shortcuts.
const uint32_t kKeys[] = {VK_LEFT,      VK_RIGHT,      VK_UP,         VK_DOWN,
                          VK_RETURN,    VK_ESCAPE,     VK_SPACE,      VK_BACK,
                          VK_HOME,      VK_END,        VK_PRIOR,      VK_NEXT,
                          VK_DELETE,    VK_APP1,       VK_APP1 + 1,   VK_APP5,
                          VK_ADD,       VK_SUBTRACT,   VK_OEM_PLUS,   VK_OEM_MINUS,
                          VK_MEDIA_NEXT_TRACK, VK_MEDIA_PREV_TRACK, VK_MEDIA_STOP, VK_MEDIA_PLAY_PAUSE,
                          'A',          'L',           'O',           'V',
                          '0'};

uint64_t EnvironmentNumber(const char* name, uint64_t fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::strtoull(text, nullptr, 10) : fallback;
}

class Monkey {
public:
    Monkey(HeadlessBackend& backend, uint64_t seed) : backend_(backend), random_(seed) {}

    // Schedules `count` random events from the current time on; returns the
    // time of the last one.
    uint64_t ScheduleBatch(int count) {
        uint64_t at = backend_.NowMs();
        for (int event = 0; event < count; ++event) {
            at += Pick(0, 9) == 0 ? Pick(1000, 120000) : Pick(1, 400);  // now and then a long wait
            ScheduleOne(at);
        }
        for (int escape = 0; escape < kClosingEscapes; ++escape) backend_.PressKey(VK_ESCAPE, at += 100);
        return at;
    }

private:
    uint64_t Pick(uint64_t low, uint64_t high) { return std::uniform_int_distribution<uint64_t>(low, high)(random_); }

    // Anywhere on the screen but the main window's close box, which would end the run.
    Point AnyPoint() {
        for (;;) {
            const Point point{static_cast<int>(Pick(0, kScreenWidth - 1)), static_cast<int>(Pick(0, kScreenHeight - 1))};
            if (!(point.x >= 220 && point.y >= 26 && point.y < 42)) return point;
        }
    }

    void ScheduleOne(uint64_t at) {
        switch (Pick(0, 6)) {
            case 0:
            case 1: backend_.Tap(AnyPoint(), at); break;
            case 2: {  // a drag
                backend_.Inject({Kind::StylusDown, AnyPoint()}, at);
                for (uint64_t step = Pick(1, 4); step > 0; --step) backend_.Inject({Kind::StylusMove, AnyPoint()}, at);
                backend_.Inject({Kind::StylusUp, AnyPoint()}, at);
                break;
            }
            case 3: {  // a double tap
                const Point point = AnyPoint();
                backend_.Tap(point, at);
                backend_.Inject({Kind::StylusDown, point, true}, at);
                backend_.Inject({Kind::StylusUp, point, true}, at);
                break;
            }
            case 4:
            case 5: {
                // Ctrl with some keys (zoom, Add File, Add URL), never with Q.
                const uint32_t modifiers = Pick(0, 7) == 0 ? MOD_CONTROL : 0;
                backend_.PressKey(kKeys[Pick(0, std::size(kKeys) - 1)], at, modifiers);
                break;
            }
            case 6: backend_.TypeText(Pick(0, 1) == 0 ? "a" : "http://x", at); break;
        }
    }

    HeadlessBackend& backend_;
    std::mt19937_64 random_;
};

TEST(Monkey, RandomInputEverywhereWhilePlaying) {
    const uint64_t seed = EnvironmentNumber("TUNELARK_MONKEY_SEED", kDefaultSeed);
    const long events = static_cast<long>(EnvironmentNumber("TUNELARK_MONKEY_EVENTS", kDefaultEvents));
    std::printf("monkey: seed %llu, %ld events\n", static_cast<unsigned long long>(seed), events);
    test::RunWithWatchdog(kWholeRunLimit, "the monkey's run", [&] {
        // Outlives the player, which may be connecting to one when it ends.
        streamtest::FaultServer stations({MisbehavingStation},
                                         std::chrono::duration_cast<std::chrono::seconds>(kWholeRunLimit));
        test::RunningPlayer player;
        // The file-deletion command may reach anything a dialog can list:
        // only the player's own copies go.
        static std::string home;
        home = player.Home();
        g_deleteFile = [](const std::string& path) {
            return path.starts_with(home + "/") && std::filesystem::remove(path);
        };
        g_playClickSound = [] {};
        std::vector<std::string> list;
        for (const char* name : {"short.mp3", "cbr128.mp3", "tagged.ogg", "pcm.wav", "garbage.bin"}) {
            list.push_back(player.Home() + "/" + name);
            std::filesystem::copy_file(test::FixturePath(name), list.back());
        }
        for (const char* path : {"/drip", "/stall", "/moved", "/cut.pls"}) list.push_back(stations.Url(path));
        g_settings.LastDir = player.Home();
        // At the pace of real playback: as fast as it decodes, a repeated
        // list would keep the loop so busy that the virtual clock, which only
        // moves when the loop waits, would never reach the batch's end.
        player.Start(list, test::RunningPlayer::Pace::RealTime);

        Monkey monkey(player.backend, seed);
        for (long done = 0; done < events && !player.Windows().QuitReceived(); done += kEventsPerBatch) {
            const uint64_t last = monkey.ScheduleBatch(static_cast<int>(std::min<long>(kEventsPerBatch, events - done)));
            player.RunUntil([&] { return player.backend.NowMs() >= last || player.Windows().QuitReceived(); },
                            std::chrono::seconds(600));
            ASSERT_FALSE(HasFatalFailure()) << "batch from event " << done;
        }

        const int32_t entries = player.List().Count();
        const Settings left = g_settings;
        // A way out the monkey found (a menu's exit, say) closed it already.
        if (!player.Windows().QuitReceived()) player.Windows().DestroyWindow(player.application.Frame());
        Playlist saved;
        ASSERT_TRUE(saved.LoadListFile(player.Home() + "/default.lst"));
        EXPECT_EQ(saved.Count(), entries);
        Settings stored;
        platform::Registry registry;
        LoadSettings(stored, registry);
        EXPECT_EQ(stored.Repeat, left.Repeat);
        EXPECT_EQ(stored.Shuffle, left.Shuffle);
        EXPECT_EQ(stored.SkinDir, left.SkinDir);
        EXPECT_EQ(stored.LastDir, left.LastDir);
    });
}

}  // namespace
