#pragma once

// Volume and display power, wherever they are touched: the main window's
// volume bar, the button functions, focus changes and shutdown.

#include <cstdint>

struct Settings;

namespace platform::ui {
class WindowManager;
}

// The display driver's power states.
constexpr uint32_t kVideoPowerOn = 1;
constexpr uint32_t kVideoPowerOff = 4;

class DeviceControl {
public:
    DeviceControl(platform::ui::WindowManager& windows, Settings& settings) : windows_(windows), settings_(settings) {}

    // Both channels at the integer part of percent x 655.35: 100 % is 65534.
    static void SetVolumePercent(int32_t percent);
    // The right channel's level x 0.0015259022, truncated: 65535 reads 100, 65534 reads 99.
    static int32_t GetVolumePercent();

    bool DisplayIsOn() const;
    void ToggleDisplay();
    // The alternative method: flips its own remembered state without asking the driver.
    void ToggleDisplayAlt();
    bool ScreenIsOff() const;
    void ToggleScreen();
    void ScreenBackOn();

private:
    platform::ui::WindowManager& windows_;
    Settings& settings_;
};

// The remembered power state of the alternative method; starts on.
extern uint32_t g_alternativePowerState;
