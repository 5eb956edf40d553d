#include "prefs/settings.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <variant>

#include "engine/player.h"
#include "platform/app_files.h"
#include "platform/registry.h"

Settings g_settings;

namespace {

using platform::DWORD;
using platform::HKEY;

constexpr DWORD kNumberBytes = 4;
// Room for 260 UTF-16 characters with the terminator: a longer text cannot
// be read back and takes its default.
constexpr DWORD kTextBufferBytes = 520;
// The one-byte flags were stored from a single byte: only it counts.
constexpr DWORD kFlagByteMask = 0xFF;
constexpr std::int32_t kEqEnableDefault = 0;
constexpr std::int32_t kEqSliderDefault = 31;
constexpr int kEqBandCount = 10;

std::string BandName(int band) { return "EqBank" + std::to_string(band + 1); }

class KeyReader {
public:
    KeyReader(platform::Registry& registry, HKEY key) : registry_(registry), key_(key) {}

    std::int32_t Value(const std::string& name, std::int32_t fallback) {
        DWORD data = 0;
        DWORD size = kNumberBytes;
        if (registry_.QueryValue(key_, name, nullptr, &data, &size) != platform::ERROR_SUCCESS) return fallback;
        return static_cast<std::int32_t>(data);
    }

    bool Value(const std::string& name, bool fallback) {
        DWORD data = 0;
        DWORD size = kNumberBytes;
        if (registry_.QueryValue(key_, name, nullptr, &data, &size) != platform::ERROR_SUCCESS) return fallback;
        return (data & kFlagByteMask) != 0;
    }

    std::string Value(const std::string& name, const std::string& fallback) {
        std::string text;
        DWORD size = kTextBufferBytes;
        if (registry_.QueryValue(key_, name, nullptr, &text, &size) != platform::ERROR_SUCCESS) return fallback;
        return text;
    }

private:
    platform::Registry& registry_;
    HKEY key_;
};

// Write results are not checked: a value that cannot be stored keeps its
// previous content.
class KeyWriter {
public:
    KeyWriter(platform::Registry& registry, HKEY key) : registry_(registry), key_(key) {}

    void Value(const std::string& name, std::int32_t value) {
        registry_.SetValue(key_, name, static_cast<DWORD>(value));
    }
    void Value(const std::string& name, bool value) { registry_.SetValue(key_, name, DWORD{value ? 1u : 0u}); }
    void Value(const std::string& name, const std::string& text) { registry_.SetValue(key_, name, text); }

private:
    platform::Registry& registry_;
    HKEY key_;
};

// A stored field: its value name and its member of the record, whose type
// tells how it is stored: a number (or WordFlag) as a DWORD, a bool as a
// DWORD of which only the low byte is read back, a text as a string. Whatever
// the store lacks takes the member's default.
struct StoredField {
    const char* name;
    std::variant<std::int32_t Settings::*, bool Settings::*, std::string Settings::*> member;
    size_t loadPosition;  // the fields are read in another order than they are written
};

// In the order the fields are written, after the equalizer.
constexpr StoredField kStoredFields[] = {
    {"Repeat", &Settings::Repeat, 0},
    {"Shuffle", &Settings::Shuffle, 1},
    {"EQWnd", &Settings::EQWnd, 2},
    {"PLWnd", &Settings::PLWnd, 3},
    {"StudyMode", &Settings::StudyMode, 4},
    {"ButtonHold", &Settings::ButtonHold, 26},
    {"TapHold", &Settings::TapHold, 27},
    {"UseDiffScr", &Settings::UseDiffScr, 28},
    {"MapLxNext", &Settings::MapLxNext, 5},
    {"MapLxPrev", &Settings::MapLxPrev, 6},
    {"MapLxStop", &Settings::MapLxStop, 7},
    {"MapLxPlayPause", &Settings::MapLxPlayPause, 8},
    {"Map01", &Settings::Map01, 9},
    {"Map02", &Settings::Map02, 10},
    {"Map03", &Settings::Map03, 11},
    {"Map04", &Settings::Map04, 12},
    {"Map05", &Settings::Map05, 13},
    {"MapLeft", &Settings::MapLeft, 14},
    {"MapRight", &Settings::MapRight, 15},
    {"MapUp", &Settings::MapUp, 16},
    {"MapDown", &Settings::MapDown, 17},
    {"MapCenter", &Settings::MapCenter, 18},
    {"UnMap", &Settings::UnMap, 19},
    {"MultiFunc1", &Settings::MultiFunc1, 20},
    {"MultiFunc2", &Settings::MultiFunc2, 21},
    {"MultiFunc3", &Settings::MultiFunc3, 22},
    {"MultiFunc4", &Settings::MultiFunc4, 23},
    {"MultiFunc5", &Settings::MultiFunc5, 24},
    {"UseStartVol", &Settings::UseStartVol, 29},
    {"StartVol", &Settings::StartVol, 31},
    {"EndVol", &Settings::EndVol, 32},
    {"VolUpStep", &Settings::VolUpStep, 33},
    {"VolDownStep", &Settings::VolDownStep, 34},
    {"UseEndVol", &Settings::UseEndVol, 30},
    {"UseSound", &Settings::UseSound, 25},
    {"SeekStep", &Settings::SeekStep, 35},
    {"SkinDir", &Settings::SkinDir, 36},
    {"LastDir", &Settings::LastDir, 37},
    {"Zoom", &Settings::Zoom, 38},
    {"TimeRemaining", &Settings::TimeRemaining, 39},
    {"ScrollTitle", &Settings::ScrollTitle, 40},
};
constexpr size_t kStoredFieldCount = std::size(kStoredFields);

// The indices of kStoredFields in reading order; every load position must
// be taken once.
constexpr std::array<size_t, kStoredFieldCount> kLoadSequence = [] {
    std::array<size_t, kStoredFieldCount> sequence{};
    std::array<bool, kStoredFieldCount> taken{};
    for (size_t index = 0; index < kStoredFieldCount; ++index) {
        const size_t position = kStoredFields[index].loadPosition;
        if (position >= kStoredFieldCount || taken[position]) throw "load positions must be a permutation";
        taken[position] = true;
        sequence[position] = index;
    }
    return sequence;
}();

void LoadEqualizer(KeyReader& read, PlayerEngine* engine) {
    PlayerEqSettings equalizer;
    equalizer.enabled = read.Value("EqEnable", kEqEnableDefault);
    equalizer.preamp = read.Value("Preamp", kEqSliderDefault);
    for (int band = 0; band < kEqBandCount; ++band) {
        equalizer.bands[band] = read.Value(BandName(band), kEqSliderDefault);
    }
    if (engine != nullptr) PlayerSetEqualizer(engine, &equalizer);
}

void SaveEqualizer(KeyWriter& write, PlayerEngine* engine) {
    // Without an engine there is nothing to save, and the stored equalizer stays.
    if (engine == nullptr) return;
    PlayerEqSettings equalizer;
    PlayerGetEqualizer(engine, &equalizer);
    write.Value("EqEnable", equalizer.enabled);
    write.Value("Preamp", equalizer.preamp);
    for (int band = 0; band < kEqBandCount; ++band) write.Value(BandName(band), equalizer.bands[band]);
}

}  // namespace

void LoadSettings(Settings& settings, platform::Registry& registry) {
    HKEY key{};
    if (registry.OpenKey(platform::HKEY_CURRENT_USER, kSettingsKeyPath, platform::KEY_ALL_ACCESS, &key) !=
        platform::ERROR_SUCCESS) {
        return;  // first run: every default stays, the engine's equalizer too
    }
    const Settings defaults;
    KeyReader read(registry, key);
    LoadEqualizer(read, settings.Engine);
    for (const size_t index : kLoadSequence) {
        const StoredField& field = kStoredFields[index];
        std::visit([&](auto member) { settings.*member = read.Value(field.name, defaults.*member); }, field.member);
    }
    registry.CloseKey(key);
}

bool SaveSettings(const Settings& settings, platform::Registry& registry) {
    HKEY key{};
    if (registry.CreateKey(platform::HKEY_CURRENT_USER, kSettingsKeyPath, platform::KEY_ALL_ACCESS, &key,
                           nullptr) != platform::ERROR_SUCCESS) {
        return false;
    }
    KeyWriter write(registry, key);
    SaveEqualizer(write, settings.Engine);
    for (const StoredField& field : kStoredFields) {
        std::visit([&](auto member) { write.Value(field.name, settings.*member); }, field.member);
    }
    // The values are stored here; a failure keeps the old ones.
    return registry.CloseKey(key) == platform::ERROR_SUCCESS;
}

void LoadSettings() {
    platform::Registry registry;
    LoadSettings(g_settings, registry);
}

void SaveSettings() {
    platform::Registry registry;
    if (SaveSettings(g_settings, registry)) return;
    std::fprintf(stderr, "tunelark: the settings could not be saved to %s (%s)\n",
                 platform::ApplicationDirectory().c_str(), std::strerror(errno));
}
