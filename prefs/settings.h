#pragma once

// The player's preferences: one record, built with its defaults before
// anything else starts, loaded from the registry once at start-up and saved
// once at shutdown. In between every window and dialog reads and changes the
// fields in place, on the user-interface thread only, so no lock guards them.
// The equalizer is not kept here: it lives in the engine and only passes
// through LoadSettings and SaveSettings on its way to and from the registry.

#include <cstdint>
#include <string>

struct PlayerEngine;

namespace platform {
class Registry;
}

// A flag kept in a 32-bit word (a Windows BOOL): any non-zero value is on.
using WordFlag = std::int32_t;

// The registry key, below HKEY_CURRENT_USER, that holds every value.
inline constexpr const char* kSettingsKeyPath = "Software\\Marevista\\Tunelark";

// Fields in the record's own order; the comments give the stored meaning.
struct Settings {
    bool UseDiffScr = false;     // switch the display from our own remembered state
    bool TapHold = false;        // ignore taps while the screen is off
    bool ScreenOn = true;        // run-time state of the display; not stored
    std::int32_t SeekStep = 5;   // rewind / fast-forward seconds
    bool UseStartVol = false;
    bool UseEndVol = false;
    std::int32_t VolDownStep = 10;  // percentage points
    std::int32_t VolUpStep = 3;     // percentage points
    std::int32_t EndVol = 0;        // percent, applied at exit when UseEndVol
    std::int32_t StartVol = 20;     // percent, applied at start when UseStartVol
    bool ButtonHold = false;     // lock most buttons while the screen is off
    bool UseSound = true;        // click once per counted multi-function press
    // Function codes run after one to five presses of the multi-function button.
    std::int32_t MultiFunc1 = 16;  // "Play / Pause"
    std::int32_t MultiFunc2 = 20;  // "Next"
    std::int32_t MultiFunc3 = 19;  // "Prev"
    std::int32_t MultiFunc4 = 0;
    std::int32_t MultiFunc5 = 0;
    // Function codes mapped to the hardware buttons; 0 is not mapped.
    std::int32_t MapLxPrev = 0;
    std::int32_t MapLxNext = 0;
    std::int32_t MapLxStop = 0;
    std::int32_t MapLxPlayPause = 0;
    WordFlag UnMap = 1;          // release the buttons during background play
    std::int32_t Map01 = 0;
    std::int32_t Map02 = 0;
    std::int32_t Map03 = 0;
    std::int32_t Map04 = 0;
    std::int32_t Map05 = 0;
    std::int32_t MapLeft = 0;
    std::int32_t MapRight = 0;
    std::int32_t MapUp = 0;
    std::int32_t MapDown = 0;
    std::int32_t MapCenter = 0;
    WordFlag StudyMode = 0;      // Prev / Next seek by SeekStep instead
    // The engine whose equalizer is loaded and saved; set at start-up, not stored.
    PlayerEngine* Engine = nullptr;
    std::int32_t Repeat = 1;     // 0 none, 1 all, 2 one
    WordFlag Shuffle = 0;
    WordFlag PLWnd = 1;          // the playlist window is shown
    WordFlag EQWnd = 1;          // the equalizer window is shown
    std::string SkinDir = "<Base Skin>";  // or a skin directory
    std::string LastDir = "/";            // last directory files were added from
    std::int32_t Zoom = 0;       // the window's zoom, 1 to 6, chosen with the zoom keys; 0 for none
    bool TimeRemaining = false;  // the clock counts down the time left
    bool ScrollTitle = true;     // a title longer than its box scrolls while playing
};

// The program's one record.
extern Settings g_settings;

// Reads the registry into `settings` and hands the equalizer values to the
// engine. Without the key (a first run) nothing changes, not even the
// engine's equalizer. A value that is missing or cannot be read takes its
// default; stored values are taken as they are, without range checks.
void LoadSettings(Settings& settings, platform::Registry& registry);
// The same for g_settings and the store in the application directory.
void LoadSettings();

// Writes every stored field, and the engine's equalizer, creating the key if
// needed. Failures are silent: a save that fails leaves the previous values.
// False when the store could not be written; the old values stay.
bool SaveSettings(const Settings& settings, platform::Registry& registry);
// Says on the standard error when the settings could not be saved, and why.
void SaveSettings();
