// The window's zoom: where it starts, the zoom keys, and what is kept.

#include "ui/shell/window_zoom.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "platform/ui/ui_backend_headless.h"
#include "platform/ui/ui_backend_zoom.h"
#include "prefs/settings.h"
#include "tests/support/running_player.h"

namespace {

using namespace platform::ui;
using test::RunningPlayer;

// Sets TUNELARK_ZOOM for one scope; unset when `value` is null.
class ZoomEnvironment {
public:
    explicit ZoomEnvironment(const char* value) {
        if (value != nullptr) setenv("TUNELARK_ZOOM", value, 1);
    }
    ~ZoomEnvironment() { unsetenv("TUNELARK_ZOOM"); }
};

TEST(WindowZoom, TheLargestZoomThatFitsTheDisplay) {
    struct Case {
        int usableHeight;
        int decoration;
        int zoom;
    };
    const Case cases[] = {
        {720, 0, 2},   {719, 0, 2},   {640, 0, 2},     {639, 0, 1},    {300, 0, 1}, {0, 0, 1},
        {-5, 0, 1},    {992, 32, 3},  {991, 32, 2},    {1080, 32, 3},  {2160, 40, 6}, {4320, 0, 6},
        {1300, -9, 4},
    };
    for (const auto& [usableHeight, decoration, zoom] : cases) {
        EXPECT_EQ(LargestZoomFitting(usableHeight, decoration), zoom) << usableHeight << " - " << decoration;
    }
}

TEST(WindowZoom, AGrownWindowMovesBackOntoTheDisplay) {
    const Rect usable{0, 32, 1920, 1080};
    struct Case {
        Rect window;
        Rect kept;
    };
    const Case cases[] = {
        {{100, 100, 580, 740}, {100, 100, 580, 740}},       // inside: stays
        {{1700, 100, 2180, 740}, {1440, 100, 1920, 740}},   // past the right edge
        {{100, 600, 580, 1240}, {100, 440, 580, 1080}},     // past the bottom
        {{1800, 900, 2280, 1540}, {1440, 440, 1920, 1080}}, // past both
        {{1000, 100, 3000, 2020}, {0, 32, 2000, 1952}},     // larger than the display: its corner on it
    };
    for (const auto& [window, kept] : cases) {
        const Rect moved = KeptOnDisplay(window, usable);
        EXPECT_EQ(moved, kept) << window.left << "," << window.top << " -> " << moved.left << "," << moved.top;
    }
}

TEST(WindowZoom, TheEnvironmentAsksOnlyWithAWholeNumberInTheRange) {
    struct Case {
        const char* value;
        std::optional<int> zoom;
    };
    const Case cases[] = {{nullptr, std::nullopt}, {"1", 1}, {"6", 6}, {"0", std::nullopt}, {"7", std::nullopt},
                          {"3x", std::nullopt}, {"", std::nullopt}, {"-2", std::nullopt}, {" 3", std::nullopt}};
    for (const auto& [value, zoom] : cases) {
        ZoomEnvironment environment(value);
        EXPECT_EQ(ZoomFromEnvironment(), zoom) << (value != nullptr ? value : "unset");
    }
}

TEST(WindowZoom, TheStartTakesTheEnvironmentThenTheKeptChoiceThenWhatFits) {
    struct Case {
        const char* environment;
        int32_t kept;
        int zoom;
    };
    // The display has room for zoom 3.
    const Case cases[] = {
        {nullptr, 0, 3}, {nullptr, 5, 5}, {nullptr, 9, 3}, {nullptr, -1, 3}, {"4", 5, 4}, {"9", 5, 5},
    };
    for (const auto& [environment, kept, zoom] : cases) {
        ZoomEnvironment set(environment);
        HeadlessBackend backend;
        backend.SetUsableDisplayHeight(1000);
        Settings settings;
        settings.Zoom = kept;
        EXPECT_EQ(StartingZoom(settings, backend), zoom) << kept;
    }
}

TEST(WindowZoom, TheKeysZoomAtOnceWithinTheRangeAndTheChoiceIsKept) {
    struct Step {
        uint32_t key;
        int zoom;
        int32_t kept;
    };
    // The headless display fits zoom 2; the player starts there.
    const Step steps[] = {
        {VK_OEM_PLUS, 3, 3}, {VK_ADD, 4, 4},    {VK_OEM_PLUS, 5, 5}, {VK_OEM_PLUS, 6, 6}, {VK_OEM_PLUS, 6, 6},
        {VK_OEM_MINUS, 5, 5}, {VK_SUBTRACT, 4, 4}, {'0', 2, 0},       {VK_OEM_MINUS, 1, 1}, {VK_OEM_MINUS, 1, 1},
        {VK_NUMPAD0, 2, 0},
    };
    RunningPlayer player;
    player.Start();
    ASSERT_EQ(player.backend.Zoom(), 2);
    for (const auto& [key, zoom, kept] : steps) {
        player.PressKey(key, MOD_CONTROL);
        EXPECT_EQ(player.backend.Zoom(), zoom) << key;
        EXPECT_EQ(g_settings.Zoom, kept) << key;
    }
    player.PressKey(VK_OEM_PLUS, MOD_CONTROL | MOD_SHIFT);
    EXPECT_EQ(player.backend.Zoom(), 3) << "Shift, for plus on many keyboards, is not looked at";
    player.PressKey(VK_OEM_PLUS);
    EXPECT_EQ(player.backend.Zoom(), 3) << "without Ctrl, nothing";

    // Closing saves the choice; the next start opens at it.
    player.Windows().DestroyWindow(player.application.Frame());
    Settings stored;
    platform::Registry registry;
    LoadSettings(stored, registry);
    EXPECT_EQ(stored.Zoom, 3);
    HeadlessBackend next;
    EXPECT_EQ(StartingZoom(stored, next), 3);
}

TEST(WindowZoom, WithTheEnvironmentTheKeysZoomButTheChoiceStays) {
    ZoomEnvironment environment("4");
    RunningPlayer player;
    g_settings.Zoom = 2;
    player.Start();
    ASSERT_EQ(player.backend.Zoom(), 4);
    player.PressKey(VK_OEM_MINUS, MOD_CONTROL);
    EXPECT_EQ(player.backend.Zoom(), 3);
    player.PressKey('0', MOD_CONTROL);
    EXPECT_EQ(player.backend.Zoom(), 4) << "back to this session's zoom";
    EXPECT_EQ(g_settings.Zoom, 2);
}

}  // namespace
