// The window system on the headless backend: message order, timers under the
// virtual clock, posting from other threads, focus, input and modal loops.

#include "platform/ui/window_manager.h"

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ui/ui_backend_headless.h"
#include "tests/support/waiting.h"

namespace {

using namespace platform::ui;

// Records every message it gets, as "name:wParam".
class RecordingWindow : public Window {
public:
    explicit RecordingWindow(std::string name, std::vector<std::string>& log, uint32_t style = CS_HREDRAW | CS_VREDRAW)
        : Window("Test_" + name, style), name_(std::move(name)), log_(log) {}

    LRESULT HandleMessage(uint32_t message, WPARAM wParam, LPARAM lParam) override {
        log_.push_back(name_ + ":" + Name(message) + ":" + std::to_string(wParam) +
                       (message >= WM_MOUSEMOVE && message <= WM_LBUTTONDBLCLK
                            ? "@" + std::to_string(GET_X_LPARAM(lParam)) + "," + std::to_string(GET_Y_LPARAM(lParam))
                            : ""));
        lastLParam = lParam;
        if (onMessage) onMessage(message, wParam);
        return DefaultHandleMessage(message, wParam, lParam);
    }

    std::function<void(uint32_t, WPARAM)> onMessage;
    LPARAM lastLParam = 0;  // of the message onMessage is called for

private:
    static std::string Name(uint32_t message) {
        switch (message) {
            case WM_CREATE: return "create";
            case WM_DESTROY: return "destroy";
            case WM_MOVE: return "move";
            case WM_SIZE: return "size";
            case WM_SETFOCUS: return "setfocus";
            case WM_KILLFOCUS: return "killfocus";
            case WM_PAINT: return "paint";
            case WM_TIMER: return "timer";
            case WM_KEYDOWN: return "keydown";
            case WM_KEYUP: return "keyup";
            case WM_CHAR: return "char";
            case WM_HOTKEY: return "hotkey";
            case WM_LBUTTONDOWN: return "down";
            case WM_LBUTTONUP: return "up";
            case WM_LBUTTONDBLCLK: return "dblclk";
            case WM_MOUSEMOVE: return "move";
            case WM_CLOSE: return "close";
            case WM_DROPFILES: return "drop";
            default: return std::to_string(message);
        }
    }

    std::string name_;
    std::vector<std::string>& log_;
};

class WindowManagerTest : public ::testing::Test {
protected:
    HeadlessBackend backend;
    WindowManager manager{backend};
    std::vector<std::string> log;
    RecordingWindow frame{"frame", log};
    RecordingWindow main{"main", log};
    RecordingWindow list{"list", log, CS_DBLCLKS};

    void CreateAll() {
        ASSERT_TRUE(manager.CreateWindow(frame, nullptr, "Tunelark", {0, kNavigationBarHeight, 240, 320}, true));
        ASSERT_TRUE(manager.CreateWindow(main, &frame, "", {0, 0, 240, 100}, true));
        ASSERT_TRUE(manager.CreateWindow(list, &frame, "", {0, 100, 240, 294}, true));
        manager.PumpPending();
        log.clear();
    }
};

TEST_F(WindowManagerTest, CreationPaintAndDestructionOrder) {
    ASSERT_TRUE(manager.CreateWindow(frame, nullptr, "Tunelark", {0, 26, 240, 320}, true));
    ASSERT_TRUE(manager.CreateWindow(main, &frame, "", {0, 0, 240, 100}, true));
    ASSERT_TRUE(manager.CreateWindow(list, &frame, "", {0, 100, 240, 294}, true));
    EXPECT_FALSE(manager.CreateWindow(main, &frame, "", {}, true)) << "a window exists once";
    const size_t presents = backend.PresentCount();
    manager.PumpPending();
    EXPECT_EQ(backend.PresentCount(), presents + 1) << "painting presents the screen once";
    manager.PumpPending();
    EXPECT_EQ(backend.PresentCount(), presents + 1) << "nothing drew, nothing is presented";
    EXPECT_EQ(manager.FindWindow("Test_frame"), &frame);
    EXPECT_EQ(manager.FindWindow("Test_main"), nullptr) << "only top-level windows are found";

    manager.SendMessage(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"frame:create:0", "main:create:0", "list:create:0", "frame:paint:0",
                                             "main:paint:0", "list:paint:0", "frame:close:0", "frame:destroy:0",
                                             "list:destroy:0", "main:destroy:0"}));
    EXPECT_FALSE(main.Exists());
}

TEST_F(WindowManagerTest, PostedMessagesArriveInOrderFromAnyThread) {
    CreateAll();
    std::thread poster([this] {
        for (int i = 0; i < 100; ++i) main.PostMessage(WM_USER + 1, static_cast<uintptr_t>(i), 0);
    });
    poster.join();
    manager.PumpPending();
    ASSERT_EQ(log.size(), 100u);
    EXPECT_EQ(log.front(), "main:1025:0");
    EXPECT_EQ(log.back(), "main:1025:99");

    // A message for a window destroyed meanwhile is dropped, not delivered.
    log.clear();
    list.PostMessage(WM_USER + 2, 1, 0);
    manager.DestroyWindow(list);
    log.clear();
    manager.PumpPending();
    for (const auto& entry : log) EXPECT_EQ(entry.rfind("list:", 0), std::string::npos) << entry;
}

TEST_F(WindowManagerTest, TimersFollowTheVirtualClock) {
    CreateAll();
    manager.SetTimer(main, 1, 1000);
    manager.SetTimer(frame, 7, 300);
    backend.Advance(manager, 999);
    EXPECT_EQ(log, (std::vector<std::string>{"frame:timer:7", "frame:timer:7", "frame:timer:7"}));
    log.clear();
    backend.Advance(manager, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"main:timer:1"}));
    manager.KillTimer(frame, 7);
    log.clear();
    backend.Advance(manager, 2000);
    EXPECT_EQ(log, (std::vector<std::string>{"main:timer:1", "main:timer:1"}));
    EXPECT_EQ(backend.NowMs(), 3000u);
}

TEST_F(WindowManagerTest, StylusGoesToTheWindowUnderItAndStaysThereWhileHeld) {
    CreateAll();
    using Kind = InputEvent::Kind;
    backend.Inject({Kind::StylusDown, {10, 26 + 50}, false, 0});
    backend.Inject({Kind::StylusMove, {20, 26 + 150}, false, 0});  // dragged over the list
    backend.Inject({Kind::StylusUp, {20, 26 + 150}, false, 0});
    backend.Inject({Kind::StylusDown, {5, 26 + 120}, true, 0});   // a double tap where it is wanted
    backend.Inject({Kind::StylusDown, {5, 26 + 10}, true, 0});    // and where it is not
    manager.PumpPending();
    EXPECT_EQ(log, (std::vector<std::string>{"main:down:1@10,50", "main:move:1@20,150", "main:up:0@20,150",
                                             "list:dblclk:1@5,20", "main:down:1@5,10"}));
}

TEST_F(WindowManagerTest, KeysGoToTheFocusAndClaimedKeysBecomeHotKeys) {
    CreateAll();
    manager.SetFocus(&main);
    manager.SetFocus(&list);
    ASSERT_TRUE(manager.RegisterHotKey(frame, 3, 0, VK_APP1));
    EXPECT_FALSE(manager.RegisterHotKey(main, 4, 0, VK_APP1)) << "a key has one owner";
    backend.PressKey(VK_LEFT);
    backend.PressKey(VK_APP1);
    manager.PumpPending();
    EXPECT_EQ(log, (std::vector<std::string>{"main:setfocus:0", "main:killfocus:" + std::to_string(reinterpret_cast<uintptr_t>(&list)),
                                             "list:setfocus:" + std::to_string(reinterpret_cast<uintptr_t>(&main)),
                                             "list:keydown:37", "list:keyup:37", "frame:hotkey:3"}));
    ASSERT_TRUE(manager.UnregisterHotKey(frame, 3));
    log.clear();
    backend.PressKey(VK_APP1);
    manager.PumpPending();
    EXPECT_EQ(log, (std::vector<std::string>{"list:keydown:193", "list:keyup:193"}));
}

TEST_F(WindowManagerTest, KeysCarryTheirModifiersAndDropsGoToTheFirstWindow) {
    CreateAll();
    manager.SetFocus(&list);
    std::vector<std::pair<uint32_t, LPARAM>> keys;
    list.onMessage = [&](uint32_t message, WPARAM wParam) {
        if (message == WM_KEYDOWN) keys.emplace_back(static_cast<uint32_t>(wParam), list.lastLParam);
    };
    std::vector<std::string> dropped;
    frame.onMessage = [&](uint32_t message, WPARAM) {
        if (message == WM_DROPFILES) dropped.emplace_back(reinterpret_cast<const char*>(frame.lastLParam));
    };
    backend.PressKey('O', 0, MOD_CONTROL);
    backend.PressKey(VK_OEM_PLUS, 0, MOD_CONTROL | MOD_SHIFT);
    backend.PressKey(VK_SPACE);
    backend.DropFile("/music/a b.mp3");
    backend.DropText("file:///music/c.mp3\r\n");
    manager.PumpPending();
    EXPECT_EQ(keys, (std::vector<std::pair<uint32_t, LPARAM>>{
                        {'O', MOD_CONTROL}, {VK_OEM_PLUS, MOD_CONTROL | MOD_SHIFT}, {VK_SPACE, 0}}));
    EXPECT_EQ(dropped, (std::vector<std::string>{"/music/a b.mp3", "file:///music/c.mp3\r\n"}));
    EXPECT_EQ(std::count(log.begin(), log.end(), "frame:drop:" + std::to_string(kDroppedFile)), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "frame:drop:" + std::to_string(kDroppedText)), 1);
}

TEST_F(WindowManagerTest, TypedTextAndTheWheelGoToTheFocus) {
    CreateAll();
    manager.SetFocus(&list);
    log.clear();
    int wheelTurn = 0;
    list.onMessage = [&](uint32_t message, WPARAM wParam) {
        if (message == WM_MOUSEWHEEL) wheelTurn = GET_WHEEL_DELTA_WPARAM(wParam);
    };
    backend.TypeText("\xC3\xA9\xF0\x9D\x84\x9E");  // U+00E9, then U+1D11E as a surrogate pair
    backend.Inject({InputEvent::Kind::Wheel, {30, 200}, false, 0, 0, -2});
    manager.PumpPending();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 3),
              (std::vector<std::string>{"list:char:233", "list:char:55348", "list:char:56606"}));
    EXPECT_EQ(wheelTurn, -2 * WHEEL_DELTA) << "two notches towards the user";
}

TEST_F(WindowManagerTest, ModalLoopKeepsTimersAndPostsGoingAndHandsQuitOn) {
    CreateAll();
    manager.SetTimer(frame, 1, 100);
    int ticks = 0;
    frame.onMessage = [&](uint32_t message, WPARAM) {
        if (message == WM_TIMER && ++ticks == 3) manager.KillTimer(frame, 1);
    };
    bool closed = false;
    main.onMessage = [&](uint32_t message, WPARAM) {
        if (message == WM_USER + 5) closed = true;
    };
    backend.Tap({5, 26 + 5}, 150);
    // With its timer gone the dialog's loop sleeps until another thread posts.
    bool postedWhileAsleep = false;
    std::thread poster([this, &postedWhileAsleep] {
        postedWhileAsleep = test::Eventually([this] { return backend.IdleWaitCount() > 0; });
        main.PostMessage(WM_USER + 5, 0, 0);
    });
    manager.RunModalLoop([&] { return closed; });
    poster.join();
    EXPECT_TRUE(postedWhileAsleep);
    EXPECT_TRUE(closed);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(backend.NowMs(), 300u) << "the virtual clock went from timer to timer";
    EXPECT_NE(std::find(log.begin(), log.end(), "main:down:1@5,5"), log.end());

    // A quit inside a modal loop ends it and reaches the outer loop.
    manager.PostQuitMessage(3);
    manager.RunModalLoop([] { return false; });
    EXPECT_EQ(manager.RunMessageLoop(), 3);
}

TEST_F(WindowManagerTest, MovingAndHidingRepaintsWhatShows) {
    CreateAll();
    manager.MoveWindow(main, 0, 0, 0, 0, true);
    manager.MoveWindow(list, 0, 100, 240, 194, true);
    manager.PumpPending();
    EXPECT_EQ(main.ScreenRect(), (Rect{0, 26, 0, 26}));
    EXPECT_EQ(list.ScreenRect(), (Rect{0, 126, 240, 320}));
    EXPECT_EQ(manager.WindowAt({10, 30}), &frame) << "an empty window takes no taps";
    EXPECT_NE(std::find(log.begin(), log.end(), "list:paint:0"), log.end());
    manager.ShowWindow(list, false);
    EXPECT_EQ(manager.WindowAt({10, 200}), &frame);
}

TEST_F(WindowManagerTest, NavigationBarShowsTheActiveTitleAndWindowsCannotDrawOverIt) {
    CreateAll();
    const Framebuffer& screen = manager.Screen();
    const uint32_t barColor = screen.Pixel(1, 1);
    int textPixels = 0;
    for (int y = 0; y < kNavigationBarHeight; ++y) {
        for (int x = 0; x < 120; ++x) textPixels += screen.Pixel(x, y) != barColor;
    }
    EXPECT_GT(textPixels, 20) << "the title \"Tunelark\" is written on the bar";

    // A window reaching up under the bar draws only below it.
    Window tall("Test_tall");
    ASSERT_TRUE(manager.CreateWindow(tall, nullptr, "", {0, 0, 240, 100}, true));
    DeviceContext context = manager.GetDC(tall);
    context.FillRect({0, 0, 240, 100}, RGB(0, 0xFF, 0));
    EXPECT_EQ(screen.Pixel(1, 1), barColor);
    EXPECT_EQ(screen.Pixel(1, kNavigationBarHeight), 0x00FF00u);
}

// Records what the backend was asked to show.
class ShowingBackend : public HeadlessBackend {
public:
    void Present(const uint32_t* pixels) override {
        HeadlessBackend::Present(pixels);
        firstPixel = pixels[0];
    }
    void ShowWaitCursor(bool waiting) override { cursorChanges.push_back(waiting); }
    uint32_t firstPixel = 0x123456;
    std::vector<bool> cursorChanges;
};

TEST(WindowManagerCursor, WaitCursorNests) {
    ShowingBackend backend;
    WindowManager manager(backend);
    manager.BeginWaitCursor();
    manager.BeginWaitCursor();
    manager.EndWaitCursor();
    EXPECT_TRUE(manager.WaitCursorShown());
    manager.EndWaitCursor();
    manager.EndWaitCursor();  // one too many changes nothing
    EXPECT_FALSE(manager.WaitCursorShown());
    EXPECT_EQ(backend.cursorChanges, (std::vector<bool>{true, false}));
}

TEST(WindowManagerDisplay, DisplayOffShowsBlackUntilSwitchedOn) {
    ShowingBackend backend;
    WindowManager manager(backend);
    manager.Screen().Fill({0, 0, kScreenWidth, kScreenHeight}, 0xFFFFFF);
    manager.ScreenChanged();
    manager.PumpPending();
    EXPECT_EQ(backend.firstPixel, 0xFFFFFFu);
    manager.SetDisplayPower(false);
    manager.PumpPending();
    EXPECT_EQ(backend.firstPixel, 0u);
    EXPECT_EQ(manager.Screen().Pixel(0, 0), 0xFFFFFFu) << "what was drawn is kept";
    manager.SetDisplayPower(true);
    manager.PumpPending();
    EXPECT_EQ(backend.firstPixel, 0xFFFFFFu);
}

}  // namespace
