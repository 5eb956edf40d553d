// Taps on the equalizer window: the close button of its title bar, the ON
// and PRESETS buttons, and drags on the sliders.

#include <algorithm>

#include "engine/player.h"
#include "platform/ui/window_manager.h"
#include "prefs/settings.h"
#include "ui/eq_window/eq_window.h"
#include "ui/eq_window/preset_dialog.h"
#include "ui/eq_window/slider_values.h"
#include "ui/shell/application.h"
#include "ui/shell/frame_window.h"
#include "ui/skin/skin.h"

using namespace platform::ui;

bool EqWindow::ScreenIgnoresTaps() const { return g_settings.TapHold && application_.Device().ScreenIsOff(); }

void EqWindow::OnStylusDown(int x, int y, bool /*doubleTap*/) {
    pressed_ = EqControl::None;
    if (ScreenIgnoresTaps()) return;
    if (InTitleBarCloseBox(x, y)) {
        // The window stays with its sliders; the layout gives it no room.
        g_settings.EQWnd = 0;
        application_.Windows().SendMessage(application_.Frame(), WM_RELAYOUT, 0, 0);
        return;
    }
    const EqControl control = EqRegionAt(x, y, g_skin.Scale).control;
    if (control != EqControl::OnButton && control != EqControl::PresetsButton) return;
    // A tap on a slider moves nothing: only the stylus moving does.
    pressed_ = control;
    DrawButton(control, true);
}

void EqWindow::OnStylusMove(int x, int y) {
    if (ScreenIgnoresTaps()) return;
    const EqRegion region = EqRegionAt(x, y, g_skin.Scale);
    if (region.control != EqControl::Slider) return;
    // Whichever slider the stylus passes over follows it, so one stroke
    // across the bands draws a curve.
    sliders_[static_cast<size_t>(region.slider)] = SliderPositionAtY(y, g_skin.Scale);
    DrawSlider(region.slider);
}

void EqWindow::OnStylusUp(int x, int y) {
    const EqControl pressed = pressed_;
    pressed_ = EqControl::None;
    if (ScreenIgnoresTaps() || pressed == EqControl::None) return;
    if (EqRegionAt(x, y, g_skin.Scale).control != pressed) {
        // A button lifted elsewhere springs back without acting.
        DrawButton(pressed, false);
        return;
    }
    if (pressed == EqControl::OnButton) ToggleEqualizer();
    if (pressed == EqControl::PresetsButton) ShowPresets();
}

void EqWindow::OnWheel(int x, int y, int notches) {
    if (ScreenIgnoresTaps()) return;
    const EqRegion region = EqRegionAt(x, y, g_skin.Scale);
    if (region.control != EqControl::Slider) return;
    int& position = sliders_[static_cast<size_t>(region.slider)];
    // Up the slider is down the engine's scale.
    position = SliderFromEngine(std::clamp(EngineFromSlider(position) - notches, 0, kEngineBottomValue));
    DrawSlider(region.slider);
}

void EqWindow::ToggleEqualizer() {
    PlayerEngine* engine = application_.Engine();
    PlayerEqSettings settings;
    PlayerGetEqualizer(engine, &settings);
    const bool enabled = settings.enabled != 0;
    // The button shows the state the tap gives the equalizer.
    DrawOnButton(!enabled, false);
    settings.enabled = enabled ? 0 : 1;
    PlayerSetEqualizer(engine, &settings);
}

void EqWindow::ShowPresets() {
    DrawButton(EqControl::PresetsButton, false);
    if (const std::optional<std::string> name = ShowPresetDialog(application_.Windows())) ApplyPreset(*name);
}
