#pragma once

// The middle skinned window: the equalizer's ON button, the decorative AUTO
// button, the PRESETS button, the preamp and the ten band sliders. It keeps
// no equalizer state of its own beyond the slider positions: every change
// goes straight into the engine's equalizer, whose settings are saved with
// the others at shutdown. User-interface thread only.

#include <array>
#include <string_view>

#include "ui/eq_window/eq_hit_regions.h"
#include "ui/skin/skinned_window.h"

class Application;

inline constexpr const char* kEqWindowClass = "Tunelark_EQ";

class EqWindow final : public SkinnedWindow {
public:
    explicit EqWindow(Application& application) : SkinnedWindow(kEqWindowClass), application_(application) {}

    // Moves the ten band sliders to the preset called exactly `name` and
    // sets the engine from them; the preamp stays. Any other name changes
    // nothing.
    void ApplyPreset(std::string_view name);
    // Draws slider `slider` (kPreampSlider or band 1 to 10) at its position
    // and writes that position into the engine's equalizer.
    void DrawSlider(int slider);

    // Percent, 0 at the bottom and 100 at the top.
    int SliderPosition(int slider) const { return sliders_[static_cast<size_t>(slider)]; }

private:
    void OnCreate() override;
    void PaintAll() override;
    // The ON button showing the equalizer `on` or off; the PRESETS button.
    void DrawOnButton(bool on, bool pressed);
    void DrawPresetsButton(bool pressed);
    // The button of `control` as its state is now.
    void DrawButton(EqControl control, bool pressed);

    void OnStylusDown(int x, int y, bool doubleTap) override;
    void OnStylusMove(int x, int y) override;
    void OnStylusUp(int x, int y) override;
    // Over a slider, the wheel moves it a step of the engine's values a notch.
    void OnWheel(int x, int y, int notches) override;
    void ToggleEqualizer();
    void ShowPresets();

    bool ScreenIgnoresTaps() const;
    bool EqualizerEnabled() const;

    Application& application_;
    std::array<int, kSliderCount> sliders_{};
    // The button the stylus went down on, drawn pressed until it lifts.
    EqControl pressed_ = EqControl::None;
};
