// The equalizer window's life, its messages, what it draws, and the sliders
// it keeps in step with the engine.

#include "ui/eq_window/eq_window.h"

#include "engine/player.h"
#include "ui/eq_window/eq_presets.h"
#include "ui/eq_window/slider_values.h"
#include "ui/shell/application.h"
#include "ui/skin/equalizer_placements.h"
#include "ui/skin/skin.h"

using namespace platform::ui;

namespace {

// The equalizer window draws the skin, made for a 275-pixel window, at 87 %.
constexpr int kEqualizerScale = 87;

int SliderColumn(int slider) {
    return slider == kPreampSlider ? kPreampSliderColumn : BandSliderColumn(slider - 1);
}

// The engine's value of `slider` inside its equalizer settings.
int32_t& EngineValue(PlayerEqSettings& settings, int slider) {
    return slider == kPreampSlider ? settings.preamp : settings.bands[slider - 1];
}

}  // namespace

void EqWindow::OnCreate() {
    g_skin.Scale = kEqualizerScale;
    // The sliders start where the stored settings put the engine; from here
    // on the window leads and the engine follows.
    PlayerEqSettings settings;
    PlayerGetEqualizer(application_.Engine(), &settings);
    for (int slider = 0; slider < kSliderCount; ++slider) {
        sliders_[static_cast<size_t>(slider)] = SliderFromEngine(EngineValue(settings, slider));
    }
}

bool EqWindow::EqualizerEnabled() const {
    PlayerEqSettings settings;
    PlayerGetEqualizer(application_.Engine(), &settings);
    return settings.enabled != 0;
}

void EqWindow::PaintAll() {
    if (HDC target = Drawing(kEqualizerScale)) {
        PaintEqualizerBackground(target);
        PaintEqualizerTitleBar(target);
        DrawOnButton(EqualizerEnabled(), false);
        PaintEqualizerAutoButton(target, false);
        DrawPresetsButton(false);
    }
    // Even unseen, the sliders set the engine, with the values it already has.
    for (int slider = 0; slider < kSliderCount; ++slider) DrawSlider(slider);
}

void EqWindow::DrawOnButton(bool on, bool pressed) {
    if (HDC target = Drawing(kEqualizerScale)) PaintEqualizerOnButton(target, on, pressed);
}

void EqWindow::DrawPresetsButton(bool pressed) {
    if (HDC target = Drawing(kEqualizerScale)) PaintPresetsButton(target, pressed);
}

void EqWindow::DrawButton(EqControl control, bool pressed) {
    if (control == EqControl::OnButton) DrawOnButton(EqualizerEnabled(), pressed);
    if (control == EqControl::PresetsButton) DrawPresetsButton(pressed);
}

void EqWindow::DrawSlider(int slider) {
    const int position = sliders_[static_cast<size_t>(slider)];
    if (HDC target = Drawing(kEqualizerScale)) PaintSlider(target, SliderColumn(slider), position);
    PlayerEngine* engine = application_.Engine();
    PlayerEqSettings settings;
    PlayerGetEqualizer(engine, &settings);
    EngineValue(settings, slider) = EngineFromSlider(position);
    PlayerSetEqualizer(engine, &settings);
}

void EqWindow::ApplyPreset(std::string_view name) {
    const EqPreset* preset = FindEqPreset(name);
    if (preset == nullptr) return;
    for (int band = 1; band <= kEqualizerBands; ++band) {
        sliders_[static_cast<size_t>(band)] = SliderFromPresetGain(preset->gains[static_cast<size_t>(band - 1)]);
        DrawSlider(band);
    }
}
