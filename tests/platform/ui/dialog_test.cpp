// Modal dialogs on the headless backend, driven by injected taps and keys on
// the virtual clock.

#include "platform/ui/dialog_host.h"
#include "platform/ui/popup_menu.h"

#include <thread>
#include <utility>

#include <gtest/gtest.h>
#include <imgui.h>

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

// The dialogs start with Latin, Greek and Cyrillic; Chinese, Japanese and
// Korean characters join the font once a dialog shows them, and only those.
TEST_F(DialogTest, ADialogDrawsTheChineseJapaneseAndKoreanCharactersItShows) {
    struct Case {
        ImWchar character;
        bool shown;
    };
    const Case cases[] = {{0x6771, true}, {0x30AB, true}, {0xC11C, true}, {0x4E00, false}, {0x00E9, true}};
    backend.Tap(kSingleOk, backend.NowMs() + 100);
    MessageBox(windows, "\u6771\u4EAC \u30AB \uC11C\uC6B8 caf\u00E9", "Tunelark", MB_OK);
    for (const Case& test : cases) {
        EXPECT_EQ(ImGui::GetIO().Fonts->Fonts[0]->FindGlyphNoFallback(test.character) != nullptr, test.shown)
            << std::hex << test.character;
    }
}

TEST_F(DialogTest, TheNavigationBarKeepsTheDialogsCaptionAfterTapsAndTheWheel) {
    const auto bar = [this] {
        const uint32_t* pixels = windows.Screen().Data();
        return std::vector<uint32_t>(pixels, pixels + kScreenWidth * kNavigationBarHeight);
    };
    const std::vector<uint32_t> ownersBar = bar();
    using Kind = InputEvent::Kind;
    const InputEvent inputs[] = {{Kind::StylusDown, {120, 150}}, {Kind::Wheel, {120, 150}, false, 0, 0, 1}};
    for (const InputEvent& input : inputs) {
        backend.Inject(input, backend.NowMs() + 100);
        if (input.kind == Kind::StylusDown) backend.Inject({Kind::StylusUp, {120, 150}}, backend.NowMs() + 100);
        backend.PressKey(VK_ESCAPE, backend.NowMs() + 200);
        std::vector<uint32_t> shown;
        RunDialog(windows, "Options", [&](const std::function<void(int)>&) { shown = bar(); }, IDOK, IDCANCEL);
        EXPECT_NE(shown, ownersBar) << "the owner's caption came back";
    }
}

TEST_F(DialogTest, EscapeClosesAnOpenDropDownListButNotTheDialog) {
    backend.Tap({40, 43}, backend.NowMs() + 100);  // on the list's box
    backend.PressKey(VK_ESCAPE, backend.NowMs() + 200);
    backend.PressKey(VK_RETURN, backend.NowMs() + 300);
    bool listOpen = false;
    bool listWasOpen = false;
    const int result = RunDialog(
        windows, "Options",
        [&](const std::function<void(int)>&) {
            listOpen = ImGui::BeginCombo("##choice", "One");
            listWasOpen = listWasOpen || listOpen;
            if (!listOpen) return;
            ImGui::Selectable("One");
            ImGui::Selectable("Two");
            ImGui::EndCombo();
        },
        IDOK, IDCANCEL);
    EXPECT_TRUE(listWasOpen);
    EXPECT_FALSE(listOpen);
    EXPECT_EQ(result, IDOK) << "Escape closed the dialog";
}

TEST_F(DialogTest, EveryCharacterTypedAfterAShortcutReachesTheTextField) {
    uint64_t at = backend.NowMs();
    backend.TypeText("abc", at += 10);
    backend.PressKey('A', at += 10, MOD_CONTROL);  // selects all: what is typed next replaces it
    backend.TypeText("/.x", at += 10);
    backend.PressKey(VK_RETURN, at += 10);
    char text[32] = "";
    bool focused = false;
    RunDialog(
        windows, "Path",
        [&](const std::function<void(int)>&) {
            if (!std::exchange(focused, true)) ImGui::SetKeyboardFocusHere();
            ImGui::InputText("##path", text, sizeof text);
        },
        IDOK, IDCANCEL);
    EXPECT_STREQ(text, "/.x");
}

}  // namespace

namespace {

using namespace platform::ui;

// Records the commands it receives.
class CommandWindow final : public Window {
public:
    CommandWindow() : Window("Tunelark_PL") {}
    LRESULT HandleMessage(uint32_t message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND) commands.push_back(static_cast<uint32_t>(wParam));
        return DefaultHandleMessage(message, wParam, lParam);
    }
    std::vector<uint32_t> commands;
};

class PopupMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(windows.CreateWindow(owner, nullptr, "Playlist", {0, 26, 240, 320}, true));
        windows.SetFocus(&owner);
        windows.PumpPending();
    }
    HeadlessBackend backend;
    WindowManager windows{backend};
    CommandWindow owner;
    Menu menu{{"Sort by title", 101}, {"Sort by file name", 102}, {}, {"Repeat", 110, true}};
};

TEST_F(PopupMenuTest, ChosenItemArrivesAsCommand) {
    // The menu opens down and right from (20, 60); its second item lies about 30 pixels down.
    backend.Tap({60, 60 + 30}, backend.NowMs() + 100);
    EXPECT_EQ(TrackPopupMenu(windows, menu, TPM_LEFTALIGN | TPM_TOPALIGN, 20, 60, owner), 1u);
    windows.PumpPending();
    EXPECT_EQ(owner.commands, (std::vector<uint32_t>{102}));
}

TEST_F(PopupMenuTest, ReturnCommandAndTapOutside) {
    backend.Tap({60, 60 + 10}, backend.NowMs() + 100);
    EXPECT_EQ(TrackPopupMenu(windows, menu, TPM_RETURNCMD, 20, 60, owner), 101u);
    backend.Tap({230, 310}, backend.NowMs() + 100);
    EXPECT_EQ(TrackPopupMenu(windows, menu, TPM_RETURNCMD, 20, 60, owner), 0u) << "a tap outside chooses nothing";
    windows.PumpPending();
    EXPECT_TRUE(owner.commands.empty()) << "TPM_RETURNCMD posts nothing";
}

TEST_F(PopupMenuTest, AMenuThatWouldLeaveTheScreenIsMovedOntoIt) {
    // Its right edge at x 20 and its top at y 310, as a submenu at the foot
    // of the screen: moved right to x 0 and up to end at the screen's bottom.
    constexpr uint32_t kBackground = 0x123456;
    windows.Screen().Fill({0, 0, kScreenWidth, kScreenHeight}, kBackground);
    backend.PressKey(VK_ESCAPE, backend.NowMs() + 100);
    EXPECT_EQ(TrackPopupMenu(windows, menu, TPM_RIGHTALIGN | TPM_RETURNCMD, 20, 310, owner), 0u);
    const Framebuffer& screen = windows.Screen();
    EXPECT_NE(screen.Pixel(5, 290), kBackground) << "the menu reaches above its anchor";
    EXPECT_NE(screen.Pixel(60, 315), kBackground) << "the menu reaches right of its anchor";
}

TEST_F(PopupMenuTest, AMenuStaysWithinTheRowsTheWindowsBelowTheBarCover) {
    // The owner ends at y 126, as the frame does with the playlist hidden.
    windows.MoveWindow(owner, 0, kNavigationBarHeight, kScreenWidth, 100, true);
    windows.PumpPending();
    ASSERT_EQ(backend.ShownHeight(), 126);
    constexpr uint32_t kBackground = 0x123456;
    windows.Screen().Fill({0, 0, kScreenWidth, kScreenHeight}, kBackground);
    backend.PressKey(VK_ESCAPE, backend.NowMs() + 100);
    EXPECT_EQ(TrackPopupMenu(windows, menu, TPM_RETURNCMD, 20, 100, owner), 0u);
    const Framebuffer& screen = windows.Screen();
    EXPECT_NE(screen.Pixel(30, 120), kBackground) << "the menu reaches the foot of the rows in view";
    for (int y = 126; y < kScreenHeight; ++y) {
        for (int x = 0; x < kScreenWidth; ++x) ASSERT_EQ(screen.Pixel(x, y), kBackground) << x << "," << y;
    }
}

TEST_F(PopupMenuTest, BottomRightAlignmentOpensUpAndLeft) {
    // Anchored at its bottom-right corner (230, 300), the last item sits just above that point.
    backend.Tap({200, 300 - 12}, backend.NowMs() + 100);
    EXPECT_EQ(TrackPopupMenu(windows, menu, TPM_RIGHTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD, 230, 300, owner), 110u);
    CheckMenuItem(menu, 110, false);
    EXPECT_FALSE(menu.back().checked);
}

}  // namespace
