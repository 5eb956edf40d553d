#include "prefs/settings.h"

#include <string>

#include "engine/player.h"
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

    std::int32_t Number(const std::string& name, std::int32_t fallback) {
        DWORD data = 0;
        DWORD size = kNumberBytes;
        if (registry_.QueryValue(key_, name, nullptr, &data, &size) != platform::ERROR_SUCCESS) return fallback;
        return static_cast<std::int32_t>(data);
    }

    bool Flag(const std::string& name, bool fallback) {
        DWORD data = 0;
        DWORD size = kNumberBytes;
        if (registry_.QueryValue(key_, name, nullptr, &data, &size) != platform::ERROR_SUCCESS) return fallback;
        return (data & kFlagByteMask) != 0;
    }

    std::string Text(const std::string& name, const std::string& fallback) {
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

    void Number(const std::string& name, std::int32_t value) {
        registry_.SetValue(key_, name, static_cast<DWORD>(value));
    }
    void Flag(const std::string& name, bool value) { registry_.SetValue(key_, name, DWORD{value ? 1u : 0u}); }
    void Text(const std::string& name, const std::string& text) { registry_.SetValue(key_, name, text); }

private:
    platform::Registry& registry_;
    HKEY key_;
};

void LoadEqualizer(KeyReader& read, PlayerEngine* engine) {
    PlayerEqSettings equalizer;
    equalizer.enabled = read.Number("EqEnable", kEqEnableDefault);
    equalizer.preamp = read.Number("Preamp", kEqSliderDefault);
    for (int band = 0; band < kEqBandCount; ++band) {
        equalizer.bands[band] = read.Number(BandName(band), kEqSliderDefault);
    }
    if (engine != nullptr) PlayerSetEqualizer(engine, &equalizer);
}

void SaveEqualizer(KeyWriter& write, PlayerEngine* engine) {
    // Without an engine there is nothing to save, and the stored equalizer stays.
    if (engine == nullptr) return;
    PlayerEqSettings equalizer;
    PlayerGetEqualizer(engine, &equalizer);
    write.Number("EqEnable", equalizer.enabled);
    write.Number("Preamp", equalizer.preamp);
    for (int band = 0; band < kEqBandCount; ++band) write.Number(BandName(band), equalizer.bands[band]);
}

}  // namespace

// The reading order differs from the writing order; both are kept as they
// have always been.
void LoadSettings(Settings& settings, platform::Registry& registry) {
    HKEY key{};
    if (registry.OpenKey(platform::HKEY_CURRENT_USER, kSettingsKeyPath, platform::KEY_ALL_ACCESS, &key) !=
        platform::ERROR_SUCCESS) {
        return;  // first run: every default stays, the engine's equalizer too
    }
    const Settings defaults;
    KeyReader read(registry, key);
    LoadEqualizer(read, settings.Engine);
    settings.Repeat = read.Number("Repeat", defaults.Repeat);
    settings.Shuffle = read.Number("Shuffle", defaults.Shuffle);
    settings.EQWnd = read.Number("EQWnd", defaults.EQWnd);
    settings.PLWnd = read.Number("PLWnd", defaults.PLWnd);
    settings.StudyMode = read.Number("StudyMode", defaults.StudyMode);
    settings.MapLxNext = read.Number("MapLxNext", defaults.MapLxNext);
    settings.MapLxPrev = read.Number("MapLxPrev", defaults.MapLxPrev);
    settings.MapLxStop = read.Number("MapLxStop", defaults.MapLxStop);
    settings.MapLxPlayPause = read.Number("MapLxPlayPause", defaults.MapLxPlayPause);
    settings.Map01 = read.Number("Map01", defaults.Map01);
    settings.Map02 = read.Number("Map02", defaults.Map02);
    settings.Map03 = read.Number("Map03", defaults.Map03);
    settings.Map04 = read.Number("Map04", defaults.Map04);
    settings.Map05 = read.Number("Map05", defaults.Map05);
    settings.MapLeft = read.Number("MapLeft", defaults.MapLeft);
    settings.MapRight = read.Number("MapRight", defaults.MapRight);
    settings.MapUp = read.Number("MapUp", defaults.MapUp);
    settings.MapDown = read.Number("MapDown", defaults.MapDown);
    settings.MapCenter = read.Number("MapCenter", defaults.MapCenter);
    settings.UnMap = read.Number("UnMap", defaults.UnMap);
    settings.MultiFunc1 = read.Number("MultiFunc1", defaults.MultiFunc1);
    settings.MultiFunc2 = read.Number("MultiFunc2", defaults.MultiFunc2);
    settings.MultiFunc3 = read.Number("MultiFunc3", defaults.MultiFunc3);
    settings.MultiFunc4 = read.Number("MultiFunc4", defaults.MultiFunc4);
    settings.MultiFunc5 = read.Number("MultiFunc5", defaults.MultiFunc5);
    settings.UseSound = read.Flag("UseSound", defaults.UseSound);
    settings.ButtonHold = read.Flag("ButtonHold", defaults.ButtonHold);
    settings.TapHold = read.Flag("TapHold", defaults.TapHold);
    settings.UseDiffScr = read.Flag("UseDiffScr", defaults.UseDiffScr);
    settings.UseStartVol = read.Flag("UseStartVol", defaults.UseStartVol);
    settings.UseEndVol = read.Flag("UseEndVol", defaults.UseEndVol);
    settings.StartVol = read.Number("StartVol", defaults.StartVol);
    settings.EndVol = read.Number("EndVol", defaults.EndVol);
    settings.VolUpStep = read.Number("VolUpStep", defaults.VolUpStep);
    settings.VolDownStep = read.Number("VolDownStep", defaults.VolDownStep);
    settings.SeekStep = read.Number("SeekStep", defaults.SeekStep);
    settings.SkinDir = read.Text("SkinDir", defaults.SkinDir);
    settings.LastDir = read.Text("LastDir", defaults.LastDir);
    settings.Zoom = read.Number("Zoom", defaults.Zoom);
    registry.CloseKey(key);
}

void SaveSettings(const Settings& settings, platform::Registry& registry) {
    HKEY key{};
    if (registry.CreateKey(platform::HKEY_CURRENT_USER, kSettingsKeyPath, platform::KEY_ALL_ACCESS, &key,
                           nullptr) != platform::ERROR_SUCCESS) {
        return;
    }
    KeyWriter write(registry, key);
    SaveEqualizer(write, settings.Engine);
    write.Number("Repeat", settings.Repeat);
    write.Number("Shuffle", settings.Shuffle);
    write.Number("EQWnd", settings.EQWnd);
    write.Number("PLWnd", settings.PLWnd);
    write.Number("StudyMode", settings.StudyMode);
    write.Flag("ButtonHold", settings.ButtonHold);
    write.Flag("TapHold", settings.TapHold);
    write.Flag("UseDiffScr", settings.UseDiffScr);
    write.Number("MapLxNext", settings.MapLxNext);
    write.Number("MapLxPrev", settings.MapLxPrev);
    write.Number("MapLxStop", settings.MapLxStop);
    write.Number("MapLxPlayPause", settings.MapLxPlayPause);
    write.Number("Map01", settings.Map01);
    write.Number("Map02", settings.Map02);
    write.Number("Map03", settings.Map03);
    write.Number("Map04", settings.Map04);
    write.Number("Map05", settings.Map05);
    write.Number("MapLeft", settings.MapLeft);
    write.Number("MapRight", settings.MapRight);
    write.Number("MapUp", settings.MapUp);
    write.Number("MapDown", settings.MapDown);
    write.Number("MapCenter", settings.MapCenter);
    write.Number("UnMap", settings.UnMap);
    write.Number("MultiFunc1", settings.MultiFunc1);
    write.Number("MultiFunc2", settings.MultiFunc2);
    write.Number("MultiFunc3", settings.MultiFunc3);
    write.Number("MultiFunc4", settings.MultiFunc4);
    write.Number("MultiFunc5", settings.MultiFunc5);
    write.Flag("UseStartVol", settings.UseStartVol);
    write.Number("StartVol", settings.StartVol);
    write.Number("EndVol", settings.EndVol);
    write.Number("VolUpStep", settings.VolUpStep);
    write.Number("VolDownStep", settings.VolDownStep);
    write.Flag("UseEndVol", settings.UseEndVol);
    write.Flag("UseSound", settings.UseSound);
    write.Number("SeekStep", settings.SeekStep);
    write.Text("SkinDir", settings.SkinDir);
    write.Text("LastDir", settings.LastDir);
    write.Number("Zoom", settings.Zoom);
    registry.CloseKey(key);  // the values are stored here; a failure keeps the old ones
}

void LoadSettings() {
    platform::Registry registry;
    LoadSettings(g_settings, registry);
}

void SaveSettings() {
    platform::Registry registry;
    SaveSettings(g_settings, registry);
}
