#include "prefs/hardware_buttons.h"

#include <algorithm>

#include "engine/player.h"
#include "platform/ui/window_manager.h"
#include "prefs/button_functions.h"
#include "prefs/multi_function.h"
#include "prefs/settings.h"
#include "ui/shell/application.h"

using namespace platform::ui;

namespace {

// The mapping codes of the function table.
enum MappingCode : int32_t {
    kPlay = 1,
    kStop = 2,
    kPause = 3,
    kPrev = 4,
    kNext = 5,
    kRewind = 6,
    kForward = 7,
    kVolumeUp = 8,
    kVolumeDown = 9,
    kScreenToggle = 10,
    kExit = 11,
    kPlayPause = 12,
};

constexpr int kMaximumVolume = 100;
constexpr int32_t kMillisecondsPerSecond = 1000;

bool Mapped(const HardwareKey& key) { return g_settings.*key.mapping != 0; }

// While ButtonHold keeps the screen off, only waking it, the media keys and
// the multi-function button get through; true when the call is done.
bool HeldBack(Application& application, uint32_t key, const ButtonFunction& function) {
    if (!g_settings.ButtonHold || !application.Device().ScreenIsOff()) return false;
    if (function.mappingCode == kScreenToggle) {
        application.Device().ToggleScreen();
        return true;
    }
    return !IsMediaKey(key) && function.mappingCode != kMultiFunctionCode;
}

void Seek(PlayerEngine* engine, bool forward) {
    const int32_t status = PlayerGetStatus(engine);
    if (status != PLAYER_PLAYING && status != PLAYER_PAUSED) return;
    const int32_t milliseconds = g_settings.SeekStep * kMillisecondsPerSecond;
    if (forward) {
        PlayerForward(engine, milliseconds);
    } else {
        PlayerRewind(engine, milliseconds);
    }
}

// Below 1 % is silence, above 100 % there is nothing.
void ChangeVolume(MainWindow& main, int32_t step) {
    main.SetVolume(std::clamp(main.Volume() + step, 0, kMaximumVolume));
}

}  // namespace

void ReleaseAllButtons(WindowManager& windows, Window& window) {
    for (const HardwareKey& key : kHardwareKeys) windows.UnregisterHotKey(window, key.hotKeyId);
}

void ClaimButtons(WindowManager& windows, Window& window) {
    ReleaseAllButtons(windows, window);
    // A key another program holds simply does not reach the player.
    for (const HardwareKey& key : kHardwareKeys) {
        if (Mapped(key)) windows.RegisterHotKey(window, key.hotKeyId, key.modifiers, key.virtualKey);
    }
}

void ReleaseButtons(WindowManager& windows, Window& window) {
    for (const HardwareKey& key : kHardwareKeys) {
        if (Mapped(key) && !IsMediaKey(key.virtualKey)) windows.UnregisterHotKey(window, key.hotKeyId);
    }
}

void HandleHotKey(Application& application, uint32_t virtualKey) {
    // Recognised by the key rather than the id, as the message carries both.
    if (const HardwareKey* key = FindHardwareKey(virtualKey)) {
        RunButtonFunction(application, virtualKey, g_settings.*key->mapping);
    }
}

void RunButtonFunction(Application& application, uint32_t key, int32_t code) {
    const ButtonFunction* function = FindButtonFunction(code);
    if (function == nullptr || HeldBack(application, key, *function)) return;
    MainWindow& main = application.Main();
    PlayerEngine* engine = application.Engine();
    switch (function->mappingCode) {
        case kPlay: main.PlayAction(); break;
        case kStop: main.StopAction(); break;
        case kPause: PlayerPause(engine); break;
        case kPrev: main.PrevAction(); break;
        case kNext: main.NextAction(); break;
        case kRewind: Seek(engine, false); break;
        case kForward: Seek(engine, true); break;
        case kVolumeUp: ChangeVolume(main, g_settings.VolUpStep); break;
        case kVolumeDown: ChangeVolume(main, -g_settings.VolDownStep); break;
        case kScreenToggle: application.Device().ToggleScreen(); break;
        case kExit: application.Windows().PostMessage(&application.Frame(), WM_CLOSE, 0, 0); break;
        case kPlayPause:
            if (PlayerGetStatus(engine) == PLAYER_PLAYING) {
                PlayerPause(engine);
            } else {
                main.PlayAction();
            }
            break;
        case kMultiFunctionCode: CountMultiFunctionPress(application); break;
        default: break;
    }
}
