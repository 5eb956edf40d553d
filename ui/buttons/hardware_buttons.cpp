#include "ui/buttons/hardware_buttons.h"

#include <algorithm>

#include "engine/player.h"
#include "platform/ui/window_manager.h"
#include "prefs/button_functions.h"
#include "prefs/settings.h"
#include "ui/buttons/multi_function.h"
#include "ui/shell/application.h"

using namespace platform::ui;

namespace {

constexpr int kMaximumVolume = 100;

bool Mapped(const HardwareKey& key) { return g_settings.*key.mapping != 0; }

// While ButtonHold keeps the screen off, only waking it, the media keys and
// the multi-function button get through; true when the call is done.
bool HeldBack(Application& application, uint32_t key, const ButtonFunction& function) {
    if (!g_settings.ButtonHold || !application.Device().ScreenIsOff()) return false;
    if (function.mappingCode == kScreenToggleCode) {
        application.Device().ToggleScreen();
        return true;
    }
    return !IsMediaKey(key) && function.mappingCode != kMultiFunctionCode;
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
        case kPlayCode: main.PlayAction(); break;
        case kStopCode: main.StopAction(); break;
        case kPauseCode: PlayerPause(engine); break;
        case kPrevCode: main.PrevAction(); break;
        case kNextCode: main.NextAction(); break;
        case kRewindCode: main.SeekByStep(false); break;
        case kForwardCode: main.SeekByStep(true); break;
        case kVolumeUpCode: ChangeVolume(main, g_settings.VolUpStep); break;
        case kVolumeDownCode: ChangeVolume(main, -g_settings.VolDownStep); break;
        case kScreenToggleCode: application.Device().ToggleScreen(); break;
        case kExitCode: application.Windows().PostMessage(&application.Frame(), WM_CLOSE, 0, 0); break;
        case kPlayPauseCode:
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
