#include "ui/eq_window/eq_presets.h"

#include <algorithm>

namespace {

constexpr std::array<EqPreset, 17> kPresets{{
    {"Classical", {0, 0, 0, 0, 0, 0, -79, -79, -79, -105}},
    {"Club", {0, 0, 41, 60, 60, 60, 41, 0, 0, 0}},
    {"Dance", {98, 54, 22, 0, 0, -60, -79, -79, 0, 0}},
    {"Full Bass", {98, 98, 98, 60, 16, -48, -92, -111, -117, -117}},
    {"Full Bass & Treble", {73, 60, 0, -79, -54, 16, 86, 111, 124, 124}},
    {"Full Treble", {-105, -105, -105, -48, 29, 111, 162, 162, 162, 175}},
    {"Laptop speakers/headphones", {48, 111, 54, -41, -29, 16, 48, 98, 130, 149}},
    {"Large Hall", {111, 111, 60, 60, 0, -54, -54, -54, 0, 0}},
    {"Live", {-54, 0, 41, 54, 60, 60, 41, 29, 29, 22}},
    {"Party", {73, 73, 0, 0, 0, 0, 0, 0, 73, 73}},
    {"Pop", {-22, 48, 73, 79, 54, -16, -29, -29, -22, -22}},
    {"Reggae", {0, 0, -1, -60, 0, 73, 73, 0, 0, 0}},
    {"Rock", {79, 48, -60, -86, -41, 41, 92, 111, 111, 111}},
    {"Ska", {-29, -54, -48, -1, 41, 60, 92, 98, 111, 98}},
    {"Soft", {48, 16, -16, -29, -16, 41, 86, 98, 111, 124}},
    {"Soft Rock", {41, 41, 22, -1, -48, -60, -41, -1, 29, 92}},
    {"Techno", {79, 60, 0, -60, -54, 0, 79, 98, 98, 92}},
}};

}  // namespace

std::span<const EqPreset> EqPresets() { return kPresets; }

const EqPreset* FindEqPreset(std::string_view name) {
    const auto found =
        std::find_if(kPresets.begin(), kPresets.end(), [&](const EqPreset& preset) { return preset.name == name; });
    return found != kPresets.end() ? &*found : nullptr;
}
