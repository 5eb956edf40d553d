// The options sheet of the running player, opened from the main window's
// options corner and driven by the stylus and the keyboard.

#include "ui/options/options_sheet.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "prefs/button_functions.h"
#include "prefs/settings.h"
#include "tests/support/golden_picture.h"
#include "tests/support/later.h"
#include "tests/support/running_player.h"
#include "tests/support/temporary_directory.h"
#include "ui/options/options_pages.h"
#include "ui/skin/skin.h"

namespace {

using namespace platform::ui;
using test::RunningPlayer;

constexpr uint32_t kTabKey = 0x09;
constexpr uint64_t kInputGapMs = 100;

// The sheet's controls on the screen.
constexpr Point kOk{154, 40};
constexpr Point kCancel{208, 40};
constexpr Point kVolumeUpEdit{170, 75};
constexpr Point kVolumeUpArrow{226, 75};
constexpr Point kSeekEdit{170, 196};
constexpr Point kAnotherScreenToggle{18, 259};
constexpr Point kSkinEdit{120, 156};
constexpr Point kSkinCheck{120, 188};
constexpr Point kBaseSkin{196, 188};
constexpr Point kFunctionList{180, 64};
constexpr Point kNumberList{150, 64};
constexpr Point kSlotFunctionList{180, 87};
constexpr Point kChange{180, 110};
constexpr Point kReset{83, 280};
// Entries of the drop-down lists once open, 19 pixels apart.
Point FunctionEntry(int choice) { return {150, 35 + 19 * choice}; }
Point NumberEntry(int number) { return {140, 85 + 19 * number}; }
Point SlotFunctionEntry(int choice) { return {150, 92 + 19 * choice}; }

enum Page { kAbout, kGeneral, kSkin, kButtons, kMultiFunction };

// Input given to the sheet, one step every kInputGapMs.
struct Input {
    enum class Kind { Tap, Key, Text } kind;
    Point point{};
    uint32_t key = 0;
    std::string text;
};
Input Tap(Point point) { return {Input::Kind::Tap, point, 0, {}}; }
Input Key(uint32_t key) { return {Input::Kind::Key, {}, key, {}}; }
Input Type(std::string text) { return {Input::Kind::Text, {}, 0, std::move(text)}; }

// Opens the sheet on `page`, gives it `inputs` and returns when it closes.
void RunSheet(RunningPlayer& player, Page page, const std::vector<Input>& inputs) {
    uint64_t after = 0;
    for (int step = 0; step < page; ++step) player.ScheduleKey(kTabKey, after += kInputGapMs);
    for (const Input& input : inputs) {
        after += kInputGapMs;
        switch (input.kind) {
            case Input::Kind::Tap: player.ScheduleTap(input.point, after); break;
            case Input::Kind::Key: player.ScheduleKey(input.key, after); break;
            case Input::Kind::Text: player.backend.TypeText(input.text, player.backend.NowMs() + after); break;
        }
    }
    // A sheet that a fault leaves open fails the test instead of hanging it.
    test::Later watchdog(player.Windows(), after + 60'000, [&] {
        ADD_FAILURE() << "the sheet was left open";
        player.backend.PressKey(VK_ESCAPE);
    });
    player.TapMain(5, 5);
}

// The fields the sheet edits.
std::vector<int64_t> EditedNumbers(const Settings& settings) {
    return {settings.UseDiffScr, settings.TapHold,   settings.SeekStep,   settings.UseStartVol, settings.UseEndVol,
            settings.VolDownStep, settings.VolUpStep, settings.EndVol,     settings.StartVol,    settings.ButtonHold,
            settings.UseSound,   settings.MultiFunc1, settings.MultiFunc2, settings.MultiFunc3, settings.MultiFunc4,
            settings.MultiFunc5, settings.MapLxPrev,  settings.MapLxNext,  settings.MapLxStop,  settings.MapLxPlayPause,
            settings.UnMap,      settings.Map01,      settings.Map02,      settings.Map03,      settings.Map04,
            settings.Map05,      settings.MapLeft,    settings.MapRight,   settings.MapUp,      settings.MapDown,
            settings.MapCenter,  settings.StudyMode};
}

TEST(OptionsSheet, ClosingWithoutConfirmingChangesNothing) {
    const std::vector<Input> edits{Tap(kVolumeUpEdit), Type("42"), Key(VK_RETURN), Tap(kVolumeUpArrow), Key(kTabKey),
                                   Tap(kBaseSkin),     Key(kTabKey), Tap(kFunctionList), Tap(FunctionEntry(1)),
                                   Key(VK_UP)};
    for (const Input& close : {Key(VK_ESCAPE), Tap(kCancel)}) {
        RunningPlayer player;
        g_settings.SkinDir = test::FixturePath("skin_Refugee");
        player.Start();
        const std::vector<int64_t> before = EditedNumbers(g_settings);
        std::vector<Input> inputs = edits;
        inputs.push_back(close);
        RunSheet(player, kGeneral, inputs);
        EXPECT_EQ(EditedNumbers(g_settings), before);
        EXPECT_EQ(g_settings.SkinDir, test::FixturePath("skin_Refugee"));
    }
}

TEST(OptionsSheet, GeneralNumbersAreStoredAsTypedAndTheArrowsKeepToTheirRange) {
    struct Case {
        const char* what;
        std::vector<Input> inputs;
        int32_t Settings::*field;
        int32_t stored;
    };
    const Case cases[] = {
        {"typed past the range", {Tap(kVolumeUpEdit), Type("250")}, &Settings::VolUpStep, 250},
        {"an arrow after it", {Tap(kVolumeUpEdit), Type("250"), Tap(kVolumeUpArrow)}, &Settings::VolUpStep, 100},
        {"letters in a digits-only edit", {Tap(kVolumeUpEdit), Type("7x")}, &Settings::VolUpStep, 7},
        {"letters in the seek interval", {Tap(kSeekEdit), Type("abc")}, &Settings::SeekStep, 0},
    };
    for (const auto& [what, typed, field, stored] : cases) {
        RunningPlayer player;
        player.Start();
        std::vector<Input> inputs = typed;
        inputs.push_back(Key(VK_RETURN));  // leaves the edit
        inputs.push_back(Key(VK_RETURN));  // confirms
        RunSheet(player, kGeneral, inputs);
        EXPECT_EQ(g_settings.*field, stored) << what;
    }
}

TEST(OptionsSheet, MessagesShowWithTheirCaptionsAndThePageGoesOn) {
    test::TemporaryDirectory empty;
    struct Case {
        const char* what;
        Page page;
        std::vector<Input> inputs;  // the last one shows the message
        const char* caption;
        std::function<bool()> confirmed;
    };
    const Case cases[] = {
        {"Skin Check on a directory without skin files",
         kSkin,
         {Tap(kSkinEdit), Type(empty.Path()), Tap(kSkinCheck)},
         "Tunelark",
         [] { return g_settings.SkinDir == kBaseSkinDir; }},
        {"checking Another Screen toggle Method",
         kGeneral,
         {Tap(kAnotherScreenToggle)},
         "Warning",
         [] { return g_settings.UseDiffScr; }},
    };
    for (const auto& [what, page, inputs, expectedCaption, confirmed] : cases) {
        RunningPlayer player;
        g_settings.SkinDir = test::FixturePath("skin_Refugee");
        player.Start();
        std::string caption;
        const uint64_t shownAt = (page + inputs.size()) * kInputGapMs + kInputGapMs / 2;
        test::Later message(player.Windows(), shownAt, [&] {
            if (Window* focus = player.Windows().Focus()) caption = focus->Title();
        });
        std::vector<Input> closing = inputs;
        closing.push_back(Key(VK_RETURN));  // closes the message
        closing.push_back(Tap(kOk));
        RunSheet(player, page, closing);
        EXPECT_EQ(caption, expectedCaption) << what;
        EXPECT_TRUE(confirmed()) << what;
    }
}

TEST(OptionsSheet, ConfirmingTheSkinPageLoadsOnlyAChangedDirectoryThatPasses) {
    const std::string refugee = test::FixturePath("skin_Refugee");
    test::TemporaryDirectory empty;
    struct Case {
        const char* what;
        std::vector<Input> inputs;
        bool reloaded;
        std::string skinDir;
    };
    const Case cases[] = {
        {"unchanged", {}, false, refugee},
        {"a directory without skin files", {Tap(kSkinEdit), Type(empty.Path())}, false, refugee},
        {"the base skin", {Tap(kBaseSkin)}, true, kBaseSkinDir},
    };
    for (const auto& [what, edits, reloaded, skinDir] : cases) {
        RunningPlayer player;
        g_settings.SkinDir = refugee;
        player.Start();
        const HBITMAP mainBitmap = g_skin.MainBmp;
        std::vector<Input> inputs = edits;
        inputs.push_back(Tap(kOk));
        RunSheet(player, kSkin, inputs);
        EXPECT_EQ(g_skin.MainBmp != mainBitmap, reloaded) << what;
        EXPECT_EQ(g_settings.SkinDir, skinDir) << what;
    }
}

TEST(OptionsSheet, ButtonsPageMapsAndUnmapsThePressedKeys) {
    constexpr int kNextChoice = 6;
    struct Case {
        const char* what;
        std::vector<Input> inputs;
        int32_t Settings::*field;
        int32_t stored;
    };
    const Case cases[] = {
        {"un-mapped",
         {Tap(kFunctionList), Tap(FunctionEntry(ButtonsPage::kUnmapChoice)), Key(VK_UP)},
         &Settings::MapUp,
         0},
        {"mapped", {Tap(kFunctionList), Tap(FunctionEntry(kNextChoice)), Key(0xC1)}, &Settings::Map01, 5},
        {"pressed with <Preview>", {Key(0xC1)}, &Settings::Map01, 0},
        {"remapped in place", {Tap(kFunctionList), Tap(FunctionEntry(kNextChoice)), Key(VK_UP)}, &Settings::MapUp, 5},
    };
    for (const auto& [what, presses, field, stored] : cases) {
        RunningPlayer player;
        g_settings.MapUp = 1;
        player.Start();
        std::vector<Input> inputs = presses;
        inputs.push_back(Tap(kOk));
        RunSheet(player, kButtons, inputs);
        EXPECT_EQ(g_settings.*field, stored) << what;
    }
}

TEST(OptionsSheet, AKeyMappedOnTheButtonsPageDrivesThePlayerOnceTheSheetCloses) {
    constexpr int kNextChoice = 6;
    RunningPlayer player;
    player.Start({"/nowhere/one.mp3", "/nowhere/two.mp3"});
    RunSheet(player, kButtons, {Tap(kFunctionList), Tap(FunctionEntry(kNextChoice)), Key(0xC1), Tap(kOk)});
    ASSERT_EQ(g_settings.Map01, 5);
    player.backend.PressKey(0xC1);
    player.Windows().PumpPending();
    EXPECT_EQ(player.List().CurrentIndex, 1) << "Button 1 runs Next";
}

TEST(OptionsSheet, MultiFunctionChangesAndResetsTakeEffectAtOnce) {
    constexpr int kExitChoice = 11;
    using Slots = std::vector<int32_t>;
    struct Case {
        const char* what;
        std::vector<Input> inputs;
        Slots slots;
    };
    const Case cases[] = {
        {"Change",
         {Tap(kNumberList), Tap(NumberEntry(4)), Tap(kSlotFunctionList),
          Tap(SlotFunctionEntry(kExitChoice)), Tap(kChange)},
         {16, 20, 19, 26, 0}},
        {"Change without a number", {Tap(kSlotFunctionList), Tap(SlotFunctionEntry(1)), Tap(kChange)},
         {16, 20, 19, 0, 0}},
        {"Reset", {Tap(kReset)}, {0, 0, 0, 0, 0}},
    };
    for (const auto& [what, edits, slots] : cases) {
        RunningPlayer player;
        player.Start();
        std::vector<Input> inputs = edits;
        inputs.push_back(Key(VK_ESCAPE));
        RunSheet(player, kMultiFunction, inputs);
        const Slots stored{g_settings.MultiFunc1, g_settings.MultiFunc2, g_settings.MultiFunc3, g_settings.MultiFunc4,
                           g_settings.MultiFunc5};
        EXPECT_EQ(stored, slots) << what;
    }
}

TEST(OptionsSheet, EachPageLooksAsDrawn) {
    const char* const names[] = {"about", "general", "skin", "buttons", "multifunction"};
    for (const Page page : {kAbout, kGeneral, kSkin, kButtons, kMultiFunction}) {
        RunningPlayer player;
        g_settings.MapUp = 1;
        player.Start();
        test::Later picture(player.Windows(), page * kInputGapMs + kInputGapMs / 2, [&] {
            test::ExpectAreaLooksLike(player.Windows().Screen(), {0, kNavigationBarHeight, kScreenWidth, kScreenHeight},
                                      std::string("tests/ui/options/golden/options_") + names[page] + ".png");
        });
        RunSheet(player, page, {Key(VK_ESCAPE)});
    }
}

}  // namespace
