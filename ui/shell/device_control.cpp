#include "ui/shell/device_control.h"

#include "platform/ui/window_manager.h"
#include "platform/wave_volume.h"
#include "prefs/settings.h"

uint32_t g_alternativePowerState = kVideoPowerOn;

namespace {

constexpr float kLevelPerPercent = 655.35f;
// The float with bits 0x3AC800C8: a level times this is its percentage.
constexpr float kPercentPerLevel = 0.0015259022f;

}  // namespace

void DeviceControl::SetVolumePercent(int32_t percent) {
    const auto level = static_cast<uint32_t>(static_cast<float>(percent) * kLevelPerPercent) & 0xFFFF;
    platform::SetWaveOutVolume(level | (level << 16));
}

int32_t DeviceControl::GetVolumePercent() {
    const uint32_t right = platform::GetWaveOutVolume() >> 16;
    return static_cast<int32_t>(static_cast<float>(right) * kPercentPerLevel);
}

// The platform's display always supports power management.
bool DeviceControl::DisplayIsOn() const {
    return windows_.DisplayPowerOn();
}

void DeviceControl::ToggleDisplay() {
    windows_.SetDisplayPower(!windows_.DisplayPowerOn());
}

void DeviceControl::ToggleDisplayAlt() {
    if (g_alternativePowerState == kVideoPowerOn) {
        g_alternativePowerState = kVideoPowerOff;
        settings_.ScreenOn = false;
    } else {
        g_alternativePowerState = kVideoPowerOn;
        settings_.ScreenOn = true;
    }
    windows_.SetDisplayPower(g_alternativePowerState == kVideoPowerOn);
}

bool DeviceControl::ScreenIsOff() const {
    return settings_.UseDiffScr ? !settings_.ScreenOn : !DisplayIsOn();
}

void DeviceControl::ToggleScreen() {
    if (settings_.UseDiffScr) {
        ToggleDisplayAlt();
    } else {
        ToggleDisplay();
    }
}

void DeviceControl::ScreenBackOn() {
    if (!settings_.UseDiffScr && !DisplayIsOn()) {
        ToggleDisplay();
    } else if (settings_.UseDiffScr && !settings_.ScreenOn) {
        ToggleDisplayAlt();
    }
}
