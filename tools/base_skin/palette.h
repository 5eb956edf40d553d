#pragma once

#include <array>
#include <cstdint>

// The one 256-colour palette that every bitmap of the base skin shares. Colours
// are picked by name or from a ramp by level; ramps run from dark (level 0) to
// light (the last level).
namespace base_skin {

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

namespace ink {
constexpr uint8_t kBlack = 0;
constexpr uint8_t kWhite = 1;
// The player's default text colour, so lit labels match the texts it draws.
constexpr uint8_t kDisplayGreen = 2;
// The playlist's default background for the selected entry.
constexpr uint8_t kSelectedBlue = 3;
constexpr uint8_t kCloseRed = 4;
}  // namespace ink

constexpr int kRampLevels = 64;
constexpr int kWarmLevels = 16;

// Blue-grey surfaces: level 0 is nearly black, 63 nearly white.
uint8_t Slate(int level);
// The accent for lit things: deep green up to the display green (level 48)
// and on towards white.
uint8_t Glow(int level);
// A small amber-to-red ramp for the loudest end of the meters.
uint8_t Warm(int level);

// `from` + (`to` - `from`) x step / (steps - 1), rounded down: the level of
// one step of a gradient of `steps` pixels.
int GradientLevel(int from, int to, int step, int steps);

std::array<Rgb, 256> BasePalette();

}  // namespace base_skin
