#include "prefs/settings.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "platform/app_files.h"
#include "platform/registry.h"
#include "tests/support/fixtures.h"

namespace {

constexpr const char* kSection = "[HKEY_CURRENT_USER\\Software\\Marevista\\Tunelark]";

// Every stored field, for whole-record comparisons.
auto StoredFields(const Settings& s) {
    return std::tie(s.UseDiffScr, s.TapHold, s.SeekStep, s.UseStartVol, s.UseEndVol, s.VolDownStep, s.VolUpStep,
                    s.EndVol, s.StartVol, s.ButtonHold, s.UseSound, s.MultiFunc1, s.MultiFunc2, s.MultiFunc3,
                    s.MultiFunc4, s.MultiFunc5, s.MapLxPrev, s.MapLxNext, s.MapLxStop, s.MapLxPlayPause, s.UnMap,
                    s.Map01, s.Map02, s.Map03, s.Map04, s.Map05, s.MapLeft, s.MapRight, s.MapUp, s.MapDown,
                    s.MapCenter, s.StudyMode, s.Repeat, s.Shuffle, s.PLWnd, s.EQWnd, s.SkinDir, s.LastDir, s.Zoom,
                    s.TimeRemaining, s.ScrollTitle);
}

auto EqualizerFields(const PlayerEqSettings& eq) {
    return std::tuple_cat(std::tie(eq.enabled, eq.preamp),
                          std::tie(eq.bands[0], eq.bands[1], eq.bands[2], eq.bands[3], eq.bands[4], eq.bands[5],
                                   eq.bands[6], eq.bands[7], eq.bands[8], eq.bands[9]));
}

PlayerEqSettings MakeEqualizer(int32_t enabled, int32_t preamp, int32_t firstBand) {
    PlayerEqSettings eq;
    eq.enabled = enabled;
    eq.preamp = preamp;
    for (int band = 0; band < 10; ++band) eq.bands[band] = firstBand + band;
    return eq;
}

std::vector<std::string> Lines(const std::string& content) {
    std::vector<std::string> lines;
    std::istringstream stream(content);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() : placeholder_({}, "placeholder"), path_(placeholder_.Directory() + "/registry.txt") {
        settings_.Engine = engine_.get();
        PlayerSetEqualizer(engine_.get(), &engineEqualizer_);
    }

    void WriteStore(const std::string& lines) { std::ofstream(path_, std::ios::binary) << lines; }
    void WriteKey(const std::string& values) { WriteStore(std::string(kSection) + "\n" + values); }
    std::string StoreContent() const {
        std::string content;
        platform::ReadWholeFile(path_, 1 << 20, content);
        return content;
    }
    void Load() {
        platform::Registry registry(path_);
        LoadSettings(settings_, registry);
    }
    void Save() {
        platform::Registry registry(path_);
        SaveSettings(settings_, registry);
    }
    PlayerEqSettings EngineEqualizer() {
        PlayerEqSettings eq;
        PlayerGetEqualizer(engine_.get(), &eq);
        return eq;
    }

    test::TemporaryFile placeholder_;
    std::string path_;
    std::unique_ptr<PlayerEngine, void (*)(PlayerEngine*)> engine_{PlayerCreate(), PlayerDestroy};
    // Not the 0/31 that a load of missing values would give.
    const PlayerEqSettings engineEqualizer_ = MakeEqualizer(1, 7, 40);
    Settings settings_;
};

TEST_F(SettingsTest, FirstRunKeepsEveryDefaultAndTheEnginesEqualizer) {
    settings_.SeekStep = 99;  // nothing is touched, not even a changed field
    Load();
    Settings expected;
    expected.SeekStep = 99;
    EXPECT_EQ(StoredFields(settings_), StoredFields(expected));
    EXPECT_EQ(EqualizerFields(EngineEqualizer()), EqualizerFields(engineEqualizer_));
    EXPECT_FALSE(std::filesystem::exists(path_)) << "loading creates nothing";
}

TEST_F(SettingsTest, MissingValuesTakeTheirDefaultsAndStoredOnesAreTakenAsTheyAre) {
    settings_.VolUpStep = 50;     // missing from the key: back to its default
    settings_.SkinDir = "/skins/old";
    WriteKey(
        "\"SeekStep\"=dword:00000000\n"
        "\"Repeat\"=dword:00000007\n"
        "\"StartVol\"=dword:000001f4\n"
        "\"EndVol\"=dword:ffffffff\n"
        "\"MultiFunc1\"=dword:000003e7\n"
        "\"Shuffle\"=dword:01000000\n"
        "\"Preamp\"=dword:00000064\n"
        "\"EqBank3\"=dword:00000000\n"
        "\"LastDir\"=\"/music/\"\n");
    Load();
    Settings expected;
    expected.Engine = engine_.get();
    expected.SeekStep = 0;
    expected.Repeat = 7;
    expected.StartVol = 500;
    expected.EndVol = -1;
    expected.MultiFunc1 = 999;
    expected.Shuffle = 0x01000000;  // a word flag keeps all its bits
    expected.LastDir = "/music/";
    EXPECT_EQ(StoredFields(settings_), StoredFields(expected));

    PlayerEqSettings equalizer = MakeEqualizer(0, 100, 0);
    for (int32_t& band : equalizer.bands) band = 31;
    equalizer.bands[2] = 0;
    EXPECT_EQ(EqualizerFields(EngineEqualizer()), EqualizerFields(equalizer));
}

struct FlagCase {
    const char* name;
    bool Settings::*field;
    const char* stored;
    bool expected;
};

TEST_F(SettingsTest, OneByteFlagsReadOnlyTheLowestByte) {
    const std::vector<FlagCase> cases = {
        {"TapHold", &Settings::TapHold, "00000101", true},
        {"TapHold", &Settings::TapHold, "01000000", false},
        {"TapHold", &Settings::TapHold, "000000ff", true},
        {"TapHold", &Settings::TapHold, "ffffff00", false},
        {"UseDiffScr", &Settings::UseDiffScr, "00000101", true},
        {"UseDiffScr", &Settings::UseDiffScr, "01000000", false},
        {"UseStartVol", &Settings::UseStartVol, "00000201", true},
        {"UseEndVol", &Settings::UseEndVol, "00010000", false},
        {"ButtonHold", &Settings::ButtonHold, "80000001", true},
        {"UseSound", &Settings::UseSound, "00000100", false},  // its default is on
    };
    for (const FlagCase& each : cases) {
        WriteKey("\"" + std::string(each.name) + "\"=dword:" + each.stored + "\n");
        settings_ = Settings{};
        Load();
        EXPECT_EQ(settings_.*each.field, each.expected) << each.name << " " << each.stored;
    }
}

struct TextCase {
    std::string stored;
    std::string expectedSkinDir;
};

TEST_F(SettingsTest, TextsLongerThanTheReadBufferTakeTheirDefaults) {
    const std::string longest(259, 's');
    const std::vector<TextCase> cases = {
        {longest, longest},
        {std::string(260, 's'), "<Base Skin>"},
        {std::string(300, 's'), "<Base Skin>"},
        {"", ""},
    };
    for (const TextCase& each : cases) {
        WriteKey("\"SkinDir\"=\"" + each.stored + "\"\n\"LastDir\"=\"" + each.stored + "\"\n");
        settings_.SkinDir = "/skins/previous";
        settings_.LastDir = "/previous";
        Load();
        EXPECT_EQ(settings_.SkinDir, each.expectedSkinDir) << each.stored.size();
        EXPECT_EQ(settings_.LastDir, each.expectedSkinDir == "<Base Skin>" ? "/" : each.stored)
            << each.stored.size();
    }
}

TEST_F(SettingsTest, StoredTypesAreNotChecked) {
    // A one-character text fits the four-byte buffer as UTF-16 '7' and its
    // terminator; a longer one does not and the default stays.
    WriteKey("\"SeekStep\"=\"7\"\n\"VolUpStep\"=\"15\"\n\"SkinDir\"=dword:00420041\n");
    Load();
    EXPECT_EQ(settings_.SeekStep, 0x37);
    EXPECT_EQ(settings_.VolUpStep, 3);
    EXPECT_EQ(settings_.SkinDir, "AB");
}

Settings EveryFieldChanged(PlayerEngine* engine) {
    Settings s;
    s.UseDiffScr = true;
    s.TapHold = true;
    s.ScreenOn = false;
    s.SeekStep = 200;
    s.UseStartVol = true;
    s.UseEndVol = true;
    s.VolDownStep = 11;
    s.VolUpStep = 12;
    s.EndVol = 13;
    s.StartVol = 14;
    s.ButtonHold = true;
    s.UseSound = false;
    s.MultiFunc1 = 21;
    s.MultiFunc2 = 22;
    s.MultiFunc3 = 23;
    s.MultiFunc4 = 24;
    s.MultiFunc5 = 25;
    s.MapLxPrev = 1;
    s.MapLxNext = 2;
    s.MapLxStop = 3;
    s.MapLxPlayPause = 4;
    s.UnMap = 0;
    s.Map01 = 5;
    s.Map02 = 6;
    s.Map03 = 7;
    s.Map04 = 8;
    s.Map05 = 9;
    s.MapLeft = 10;
    s.MapRight = 11;
    s.MapUp = 12;
    s.MapDown = 13;
    s.MapCenter = -1;
    s.StudyMode = 1;
    s.Engine = engine;
    s.Repeat = 2;
    s.Shuffle = 1;
    s.PLWnd = 0;
    s.EQWnd = 0;
    s.SkinDir = "/home/me/skins/Grüne \"Welle\"\\=\n ";
    s.LastDir = " /music/東京/";
    s.Zoom = 4;
    s.TimeRemaining = true;
    s.ScrollTitle = false;
    return s;
}

TEST_F(SettingsTest, SaveThenLoadGivesBackEveryField) {
    settings_ = EveryFieldChanged(engine_.get());
    Save();

    std::unique_ptr<PlayerEngine, void (*)(PlayerEngine*)> otherEngine(PlayerCreate(), PlayerDestroy);
    Settings loaded;
    loaded.Engine = otherEngine.get();
    platform::Registry registry(path_);
    LoadSettings(loaded, registry);
    EXPECT_EQ(StoredFields(loaded), StoredFields(settings_));
    EXPECT_TRUE(loaded.ScreenOn) << "not stored";
    PlayerEqSettings equalizer;
    PlayerGetEqualizer(otherEngine.get(), &equalizer);
    EXPECT_EQ(EqualizerFields(equalizer), EqualizerFields(engineEqualizer_));
}

TEST_F(SettingsTest, SaveWritesEveryValueByNameTypeAndOrder) {
    settings_.TapHold = true;
    settings_.UseSound = true;
    settings_.EndVol = -2;
    Save();
    const std::vector<std::string> expected = {
        kSection,
        "\"EqEnable\"=dword:00000001",
        "\"Preamp\"=dword:00000007",
        "\"EqBank1\"=dword:00000028",
        "\"EqBank2\"=dword:00000029",
        "\"EqBank3\"=dword:0000002a",
        "\"EqBank4\"=dword:0000002b",
        "\"EqBank5\"=dword:0000002c",
        "\"EqBank6\"=dword:0000002d",
        "\"EqBank7\"=dword:0000002e",
        "\"EqBank8\"=dword:0000002f",
        "\"EqBank9\"=dword:00000030",
        "\"EqBank10\"=dword:00000031",
        "\"Repeat\"=dword:00000001",
        "\"Shuffle\"=dword:00000000",
        "\"EQWnd\"=dword:00000001",
        "\"PLWnd\"=dword:00000001",
        "\"StudyMode\"=dword:00000000",
        "\"ButtonHold\"=dword:00000000",
        "\"TapHold\"=dword:00000001",
        "\"UseDiffScr\"=dword:00000000",
        "\"MapLxNext\"=dword:00000000",
        "\"MapLxPrev\"=dword:00000000",
        "\"MapLxStop\"=dword:00000000",
        "\"MapLxPlayPause\"=dword:00000000",
        "\"Map01\"=dword:00000000",
        "\"Map02\"=dword:00000000",
        "\"Map03\"=dword:00000000",
        "\"Map04\"=dword:00000000",
        "\"Map05\"=dword:00000000",
        "\"MapLeft\"=dword:00000000",
        "\"MapRight\"=dword:00000000",
        "\"MapUp\"=dword:00000000",
        "\"MapDown\"=dword:00000000",
        "\"MapCenter\"=dword:00000000",
        "\"UnMap\"=dword:00000001",
        "\"MultiFunc1\"=dword:00000010",
        "\"MultiFunc2\"=dword:00000014",
        "\"MultiFunc3\"=dword:00000013",
        "\"MultiFunc4\"=dword:00000000",
        "\"MultiFunc5\"=dword:00000000",
        "\"UseStartVol\"=dword:00000000",
        "\"StartVol\"=dword:00000014",
        "\"EndVol\"=dword:fffffffe",
        "\"VolUpStep\"=dword:00000003",
        "\"VolDownStep\"=dword:0000000a",
        "\"UseEndVol\"=dword:00000000",
        "\"UseSound\"=dword:00000001",
        "\"SeekStep\"=dword:00000005",
        "\"SkinDir\"=\"<Base Skin>\"",
        "\"LastDir\"=\"/\"",
        "\"Zoom\"=dword:00000000",
        "\"TimeRemaining\"=dword:00000000",
        "\"ScrollTitle\"=dword:00000001",
    };
    EXPECT_EQ(Lines(StoreContent()), expected);
}

TEST_F(SettingsTest, SaveKeepsOtherValuesAndKeys) {
    WriteStore("[HKEY_CURRENT_USER\\Software\\Other]\n\"Theirs\"=dword:00000001\n" + std::string(kSection) +
               "\n\"Extra\"=\"kept\"\n\"SeekStep\"=dword:00000063\n");
    settings_.Engine = nullptr;  // without an engine the stored equalizer is left alone
    Save();
    const std::vector<std::string> lines = Lines(StoreContent());
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[1], "\"Theirs\"=dword:00000001");
    EXPECT_EQ(lines[3], "\"Extra\"=\"kept\"");
    EXPECT_EQ(lines[4], "\"SeekStep\"=dword:00000005");
    EXPECT_EQ(StoreContent().find("EqEnable"), std::string::npos);
}

TEST_F(SettingsTest, ADamagedStoreReadsAsAFirstRunAndIsKeptOnSave) {
    std::string garbage;
    for (int index = 0; index < 3000; ++index) garbage += static_cast<char>((index * 7919) % 256);
    garbage += "\n[HKEY_CURRENT_USER\\Software\\Marevista\\Tunelark";  // cut inside the section line
    WriteStore(garbage);
    Load();
    Settings expected;
    EXPECT_EQ(StoredFields(settings_), StoredFields(expected));
    EXPECT_EQ(EqualizerFields(EngineEqualizer()), EqualizerFields(engineEqualizer_));

    settings_.SeekStep = 42;
    Save();
    EXPECT_EQ(StoreContent().substr(0, garbage.size()), garbage);
    Settings loaded;
    platform::Registry registry(path_);
    LoadSettings(loaded, registry);
    EXPECT_EQ(loaded.SeekStep, 42);
}

TEST_F(SettingsTest, AFailedSaveIsSilentAndChangesNothing) {
    std::filesystem::create_directory(path_);  // the store cannot be written
    Save();
    EXPECT_TRUE(std::filesystem::is_directory(path_));
}

TEST_F(SettingsTest, TheGlobalRecordUsesTheApplicationDirectory) {
    setenv("TUNELARK_HOME", placeholder_.Directory().c_str(), 1);
    const Settings before = g_settings;
    g_settings.Engine = engine_.get();
    g_settings.Repeat = 0;
    SaveSettings();
    g_settings.Repeat = 2;
    LoadSettings();
    EXPECT_EQ(g_settings.Repeat, 0);
    EXPECT_NE(StoreContent().find("\"Repeat\"=dword:00000000"), std::string::npos);
    g_settings = before;
    unsetenv("TUNELARK_HOME");
}

}  // namespace
