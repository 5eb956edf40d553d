// Modal dialogs on the headless backend, driven by injected taps and keys on
// the virtual clock.

#include "platform/ui/dialog_host.h"

#include <thread>

#include <gtest/gtest.h>

#include "platform/ui/ui_backend_headless.h"
#include "platform/ui/window_manager.h"

namespace {

using namespace platform::ui;

// Counts its timer ticks and the messages posted to it.
class OwnerWindow final : public Window {
public:
    OwnerWindow() : Window("Owner") {}
    LRESULT HandleMessage(uint32_t message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_TIMER) ++ticks;
        if (message == WM_USER + 9) ++posted;
        return DefaultHandleMessage(message, wParam, lParam);
    }
    int ticks = 0;
    int posted = 0;
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(windows.CreateWindow(owner, nullptr, "Tunelark", {0, 26, 240, 320}, true));
        windows.SetFocus(&owner);
        windows.PumpPending();
    }
    HeadlessBackend backend;
    WindowManager windows{backend};
    OwnerWindow owner;
};

// The buttons' centres on the screen.
constexpr Point kSingleOk{120, 283};
constexpr Point kPairOk{75, 283};
constexpr Point kPairCancel{165, 283};

TEST_F(DialogTest, MessageBoxAnswersTheButtonTapped) {
    struct Case {
        uint32_t type;
        Point tap;
        int result;
    };
    const Case cases[] = {{MB_OK, kSingleOk, IDOK}, {MB_OKCANCEL, kPairOk, IDOK}, {MB_OKCANCEL, kPairCancel, IDCANCEL}};
    for (const auto& [type, tap, result] : cases) {
        backend.Tap(tap, backend.NowMs() + 300);
        EXPECT_EQ(MessageBox(windows, "It's not supported.", "Tunelark", type), result);
        EXPECT_EQ(windows.Focus(), &owner) << "the focus goes back";
    }
}

TEST_F(DialogTest, KeysAnswerToo) {
    backend.PressKey(VK_RETURN, backend.NowMs() + 10);
    EXPECT_EQ(MessageBox(windows, "Delete?", "Confirm", MB_OKCANCEL), IDOK);
    backend.PressKey(VK_ESCAPE, backend.NowMs() + 10);
    EXPECT_EQ(MessageBox(windows, "Delete?", "Confirm", MB_OKCANCEL), IDCANCEL);
}

TEST_F(DialogTest, TimersAndPostedMessagesGoOnWhileADialogIsOpen) {
    windows.SetTimer(owner, 1, 100);
    std::thread poster([this] { owner.PostMessage(WM_USER + 9, 0, 0); });
    poster.join();
    backend.Tap(kSingleOk, backend.NowMs() + 550);
    EXPECT_EQ(MessageBox(windows, "Wrong path of the skin file.", "Tunelark", MB_OK), IDOK);
    EXPECT_EQ(owner.ticks, 5);
    EXPECT_EQ(owner.posted, 1);
}

TEST_F(DialogTest, TheDialogDrawsBelowTheNavigationBar) {
    windows.Screen().Fill({0, 0, kScreenWidth, kScreenHeight}, 0x123456);
    backend.Tap(kSingleOk, backend.NowMs() + 100);
    MessageBox(windows, "Text", "Tunelark", MB_OK);
    const Framebuffer& screen = windows.Screen();
    EXPECT_NE(screen.Pixel(120, 150), 0x123456u) << "the dialog covered the screen";
    int buttonPixels = 0;
    for (int x = 90; x < 150; ++x) buttonPixels += screen.Pixel(x, 272) != screen.Pixel(10, 150);
    EXPECT_GT(buttonPixels, 20) << "the OK button is drawn where it is tapped";
}

}  // namespace
