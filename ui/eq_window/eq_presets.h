#pragma once

// The seventeen built-in equalizer presets of the "Preset" dialog. A preset
// sets the ten bands only; the preamp is not part of it.

#include <array>
#include <span>
#include <string_view>

#include "ui/skin/equalizer_placements.h"

struct EqPreset {
    std::string_view name;
    // Gains in tenths of a decibel (+200 is +20 dB), band 1 (the lowest) first.
    std::array<int, kEqualizerBands> gains;
};

// In the order of their names.
std::span<const EqPreset> EqPresets();

// The preset called exactly `name`, case included; nullptr when none is.
const EqPreset* FindEqPreset(std::string_view name);
