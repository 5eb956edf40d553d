// The open and save dialogs on the headless backend, over a small folder
// tree made for each test, driven by taps, keys and typed text.

#include "platform/ui/file_dialog.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "platform/ui/ui_backend_headless.h"
#include "platform/ui/window_manager.h"
#include "tests/support/fixtures.h"

namespace {

using namespace platform::ui;

// Where things are on the screen. The list's rows, 20 pixels apart, hold
// "Music/", then the files a.mp3, b.ogg and C.MP3 (notes.txt and the hidden
// file are never listed).
constexpr int kFirstRowY = 71;
constexpr int kRowPitch = 20;
constexpr Point kUp{210, 45};
constexpr Point kFilter{120, 274};
constexpr Point kOggFilterItem{120, 246};  // third of three items, the list opening upwards
constexpr Point kOk{128, 300};
constexpr Point kCancel{200, 300};
constexpr Point kMessageOk{75, 283};
constexpr Point kMessageCancel{165, 283};
constexpr Point kMessageOnlyOk{120, 283};

constexpr uint32_t kAddFileFlags = OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER;
// Far enough apart that two taps on one place are not a double tap.
constexpr uint64_t kStepMs = 500;
constexpr uint64_t kDoubleTapGapMs = 100;

// A dialog left open by a fault is closed after this long on the virtual
// clock, longer than any test runs, so the fault fails a test instead of
// hanging it.
constexpr uintptr_t kWatchdogTimer = 1;
constexpr uint32_t kWatchdogMs = 60'000;
constexpr uintptr_t kChoreTimer = 2;

// Runs what is set for a timer on each of its ticks.
class TimerWindow final : public Window {
public:
    TimerWindow() : Window("Owner") {}
    LRESULT HandleMessage(uint32_t message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_TIMER && onTick.count(wParam) != 0) onTick[wParam]();
        return DefaultHandleMessage(message, wParam, lParam);
    }
    std::map<WPARAM, std::function<void()>> onTick;
};

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(windows.CreateWindow(owner, nullptr, "Tunelark", {0, 26, 240, 320}, true));
        windows.SetFocus(&owner);
        windows.PumpPending();
        owner.onTick[kWatchdogTimer] = [this] {
            ADD_FAILURE() << "a dialog was left open";
            backend.PressKey(VK_ESCAPE);
        };
        windows.SetTimer(owner, kWatchdogTimer, kWatchdogMs);
        for (const char* name : {"b.ogg", "C.MP3", "notes.txt", ".hidden.mp3", "Music/inner.mp3"}) Touch(name);
        next_ = backend.NowMs();
    }

    void Touch(const std::string& name) {
        std::filesystem::create_directories(std::filesystem::path(Path(name)).parent_path());
        std::ofstream(Path(name)) << "x";
    }
    std::string Path(const std::string& name) const { return tree.Directory() + "/" + name; }
    std::string Selection(const std::vector<std::string>& names) const {
        std::string result = tree.Directory() + '\0';
        for (const std::string& name : names) result += name + '\0';
        return result + '\0';
    }

    // Each input lands one step after the one before.
    void Tap(Point point) { backend.Tap(point, next_ += kStepMs); }
    void TapRow(int row) { Tap({100, kFirstRowY + row * kRowPitch}); }
    void DoubleTapRow(int row) {
        TapRow(row);
        backend.Tap({100, kFirstRowY + row * kRowPitch}, next_ += kDoubleTapGapMs);
    }
    void Press(uint32_t key) { backend.PressKey(key, next_ += kStepMs); }
    // Text with '\b' standing for a press of Backspace.
    void Type(const std::string& text) {
        for (const char character : text) {
            if (character == '\b') {
                Press(VK_BACK);
            } else {
                backend.TypeText(std::string(1, character), next_ += kStepMs);
            }
        }
    }

    OpenFileName AddFileRequest(uint32_t flags = kAddFileFlags) const {
        OpenFileName request;
        request.title = "Add File";
        request.filters = {{"All Media(*.mp3,*.ogg)", "*.mp3;*.ogg"},
                           {"Mp3 File(*.mp3)", "*.mp3"},
                           {"Ogg Vorbis File(*.ogg)", "*.ogg"}};
        request.initialDirectory = tree.Directory();
        request.flags = flags;
        return request;
    }
    OpenFileName SaveListRequest() const {
        OpenFileName request;
        request.filters = {{"Tunelark Playlist (*.lst)", "*.lst"}};
        request.initialDirectory = tree.Directory();
        request.defaultExtension = "lst";
        request.flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;
        return request;
    }

    test::TemporaryFile tree{{}, "a.mp3"};
    HeadlessBackend backend;
    WindowManager windows{backend};
    TimerWindow owner;
    uint64_t next_ = 0;
};

TEST_F(FileDialogTest, TapsChooseFiles) {
    struct Case {
        uint32_t flags;
        std::vector<int> rows;
        std::string file;
    };
    const Case cases[] = {
        {kAddFileFlags, {1, 2}, Selection({"a.mp3", "b.ogg"})},
        {kAddFileFlags, {3, 1, 2, 3}, Selection({"a.mp3", "b.ogg"})},  // a second tap unticks
        {kAddFileFlags, {1, 2, 1}, Path("b.ogg")},                     // one left: its full path
        {OFN_FILEMUSTEXIST, {1, 3}, Path("C.MP3")},                    // one at a time
        {kAddFileFlags, {0, 0}, Path("Music/inner.mp3")},              // into the folder, then its file
    };
    for (const auto& [flags, rows, file] : cases) {
        for (const int row : rows) TapRow(row);
        Tap(kOk);
        OpenFileName request = AddFileRequest(flags);
        EXPECT_TRUE(GetOpenFileName(windows, request));
        EXPECT_EQ(request.file, file);
    }
}

TEST_F(FileDialogTest, DoubleTapConfirmsOnlyTheFileTappedTwice) {
    TapRow(1);
    DoubleTapRow(3);
    OpenFileName request = AddFileRequest();
    EXPECT_TRUE(GetOpenFileName(windows, request));
    EXPECT_EQ(request.file, Path("C.MP3"));

    // The second tap of a double tap on a folder lands on its first file: that is no choice.
    DoubleTapRow(0);
    Press(VK_ESCAPE);
    EXPECT_FALSE(GetOpenFileName(windows, request));
}

TEST_F(FileDialogTest, UpAndBackspaceLeaveTheFolder) {
    OpenFileName request = AddFileRequest();
    request.initialDirectory = Path("Music");
    Tap(kUp);
    TapRow(2);
    Tap(kOk);
    EXPECT_TRUE(GetOpenFileName(windows, request));
    EXPECT_EQ(request.file, Path("b.ogg"));

    // Going up highlights the folder left, so Down reaches the first file.
    request.initialDirectory = Path("Music");
    for (const uint32_t key : {VK_BACK, VK_DOWN, VK_RETURN}) Press(key);
    EXPECT_TRUE(GetOpenFileName(windows, request));
    EXPECT_EQ(request.file, Path("a.mp3"));
}

TEST_F(FileDialogTest, KeyboardAlone) {
    struct Case {
        std::vector<uint32_t> keys;
        bool chosen;
        std::string file;
    };
    const Case cases[] = {
        {{VK_DOWN, VK_DOWN, VK_SPACE, VK_DOWN, VK_SPACE, VK_RETURN}, true, Selection({"a.mp3", "b.ogg"})},
        {{VK_DOWN, VK_RETURN, VK_DOWN, VK_RETURN}, true, Path("Music/inner.mp3")},
        {{VK_END, VK_UP, VK_RETURN}, true, Path("b.ogg")},
        {{VK_RETURN, VK_ESCAPE}, false, "untouched"},  // Enter with nothing chosen does nothing
    };
    for (const auto& [keys, chosen, file] : cases) {
        for (const uint32_t key : keys) Press(key);
        OpenFileName request = AddFileRequest();
        request.file = "untouched";
        EXPECT_EQ(GetOpenFileName(windows, request), chosen);
        EXPECT_EQ(request.file, file);
    }
}

TEST_F(FileDialogTest, CancelAndEscapeLeaveTheResultAlone) {
    for (const bool viaButton : {true, false}) {
        TapRow(1);
        viaButton ? Tap(kCancel) : Press(VK_ESCAPE);
        OpenFileName request = AddFileRequest();
        request.file = "untouched";
        EXPECT_FALSE(GetOpenFileName(windows, request));
        EXPECT_EQ(request.file, "untouched");
    }
}

TEST_F(FileDialogTest, TheFilterChosenRelistsAndIsReported) {
    Tap(kFilter);
    Tap(kOggFilterItem);
    TapRow(1);
    Tap(kOk);
    OpenFileName request = AddFileRequest();
    EXPECT_TRUE(GetOpenFileName(windows, request));
    EXPECT_EQ(request.file, Path("b.ogg"));
    EXPECT_EQ(request.filterIndex, 3);

    // "*.mp3" lists C.MP3 last.
    request.filterIndex = 2;
    Press(VK_END);
    Press(VK_RETURN);
    EXPECT_TRUE(GetOpenFileName(windows, request));
    EXPECT_EQ(request.file, Path("C.MP3"));
}

TEST_F(FileDialogTest, AMissingInitialDirectoryOpensItsNearestParent) {
    TapRow(1);
    Tap(kOk);
    OpenFileName request = AddFileRequest();
    request.initialDirectory = Path("gone/deeper");
    EXPECT_TRUE(GetOpenFileName(windows, request));
    EXPECT_EQ(request.file, Path("a.mp3"));
}

TEST_F(FileDialogTest, NamesThatAreNotUtf8KeepTheirBytes) {
    Touch("\xFF\xFE.mp3");  // listed after the ASCII names
    TapRow(4);
    Tap(kOk);
    OpenFileName request = AddFileRequest();
    EXPECT_TRUE(GetOpenFileName(windows, request));
    EXPECT_EQ(request.file, Path("\xFF\xFE.mp3"));
}

TEST_F(FileDialogTest, AFileGoneBeforeOkIsNotReturned) {
    owner.onTick[kChoreTimer] = [this] { std::filesystem::remove(Path("a.mp3")); };
    windows.SetTimer(owner, kChoreTimer, static_cast<uint32_t>(2 * kStepMs));
    TapRow(1);
    TapRow(2);
    next_ += 2 * kStepMs;
    Tap(kOk);
    Tap(kMessageOnlyOk);  // "File not found"
    Press(VK_ESCAPE);
    OpenFileName request = AddFileRequest();
    EXPECT_FALSE(GetOpenFileName(windows, request));
    EXPECT_TRUE(request.file.empty());
}

TEST_F(FileDialogTest, SaveAppendsTheDefaultExtension) {
    struct Case {
        std::string typed;
        std::string file;
    };
    const Case cases[] = {
        {"my list", Path("my list.lst")},
        {"mix.m3u", Path("mix.m3u")},
        {"mixx\bed", Path("mixed.lst")},
        {"Music/inner", Path("Music/inner.lst")},
    };
    for (const auto& [typed, file] : cases) {
        Type(typed);
        Press(VK_RETURN);
        OpenFileName request = SaveListRequest();
        EXPECT_TRUE(GetSaveFileName(windows, request));
        EXPECT_EQ(request.file, file);
    }
}

TEST_F(FileDialogTest, SaveAsksBeforeReplacingAndChecksThePath) {
    Touch("old.lst");  // the list shows Music/ and old.lst
    struct Case {
        std::function<void()> input;
        bool saved;
        std::string file;
    };
    const Case cases[] = {
        {[&] { TapRow(1); Tap(kOk); Tap(kMessageOk); }, true, Path("old.lst")},
        {[&] { Type("abc"); TapRow(1); Tap(kOk); Tap(kMessageOk); }, true, Path("old.lst")},  // the tap renames
        {[&] { Type("old"); Tap(kOk); Tap(kMessageCancel); Press(VK_ESCAPE); }, false, "untouched"},
        {[&] { Type("nowhere/x"); Tap(kOk); Tap(kMessageOnlyOk); Press(VK_ESCAPE); }, false, "untouched"},
    };
    for (const auto& [input, saved, file] : cases) {
        input();
        OpenFileName request = SaveListRequest();
        request.file = "untouched";
        EXPECT_EQ(GetSaveFileName(windows, request), saved);
        EXPECT_EQ(request.file, file);
    }
}

}  // namespace
