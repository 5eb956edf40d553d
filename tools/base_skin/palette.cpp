#include "tools/base_skin/palette.h"

#include <algorithm>
#include <span>

namespace base_skin {
namespace {

constexpr int kSlateFirst = 16;
constexpr int kGlowFirst = kSlateFirst + kRampLevels;
constexpr int kWarmFirst = kGlowFirst + kRampLevels;

struct Anchor {
    int level;
    Rgb color;
};

// A faint blue in the greys keeps the surfaces cool next to the green.
constexpr Anchor kSlateAnchors[] = {
    {0, {8, 10, 13}},   {16, {29, 34, 42}},   {32, {55, 63, 75}},
    {48, {112, 123, 139}}, {63, {232, 236, 241}},
};
constexpr Anchor kGlowAnchors[] = {
    {0, {0, 10, 3}}, {16, {0, 52, 14}}, {32, {0, 140, 36}}, {48, {0, 255, 0}}, {63, {214, 255, 214}},
};
constexpr Anchor kWarmAnchors[] = {
    {0, {96, 64, 0}}, {8, {255, 190, 40}}, {15, {255, 84, 48}},
};

uint8_t Mix(uint8_t from, uint8_t to, int step, int steps) {
    return static_cast<uint8_t>(from + (to - from) * step / steps);
}

// The colour of `level` on the straight lines between the anchors.
Rgb RampColor(std::span<const Anchor> anchors, int level) {
    for (size_t i = 1; i < anchors.size(); ++i) {
        const Anchor& low = anchors[i - 1];
        const Anchor& high = anchors[i];
        if (level <= high.level) {
            const int step = level - low.level;
            const int steps = high.level - low.level;
            return {Mix(low.color.red, high.color.red, step, steps), Mix(low.color.green, high.color.green, step, steps),
                    Mix(low.color.blue, high.color.blue, step, steps)};
        }
    }
    return anchors.back().color;
}

uint8_t RampIndex(int first, int levels, int level) {
    return static_cast<uint8_t>(first + std::clamp(level, 0, levels - 1));
}

}  // namespace

uint8_t Slate(int level) { return RampIndex(kSlateFirst, kRampLevels, level); }
uint8_t Glow(int level) { return RampIndex(kGlowFirst, kRampLevels, level); }
uint8_t Warm(int level) { return RampIndex(kWarmFirst, kWarmLevels, level); }

int GradientLevel(int from, int to, int step, int steps) {
    if (steps <= 1) return from;
    return from + (to - from) * step / (steps - 1);
}

std::array<Rgb, 256> BasePalette() {
    std::array<Rgb, 256> palette{};
    palette[ink::kWhite] = {255, 255, 255};
    palette[ink::kDisplayGreen] = {0, 255, 0};
    palette[ink::kSelectedBlue] = {50, 50, 255};
    palette[ink::kCloseRed] = {232, 72, 64};
    for (int level = 0; level < kRampLevels; ++level) {
        palette[Slate(level)] = RampColor(kSlateAnchors, level);
        palette[Glow(level)] = RampColor(kGlowAnchors, level);
    }
    for (int level = 0; level < kWarmLevels; ++level) palette[Warm(level)] = RampColor(kWarmAnchors, level);
    return palette;
}

}  // namespace base_skin
