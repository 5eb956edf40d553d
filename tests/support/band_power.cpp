#include "tests/support/band_power.h"

#include <cmath>
#include <numbers>

namespace test {
namespace {

constexpr size_t kBlockFrames = 512;

// The squared magnitude of DFT bin `bin` of `block`.
double BinPower(const std::vector<double>& block, size_t bin) {
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * double(bin) / double(block.size()));
    double previous = 0;
    double beforePrevious = 0;
    for (double sample : block) {
        const double current = sample + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    return previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
}

}  // namespace

double BandPower(const std::vector<int16_t>& samples, int channels, int sampleRate, double lowHz, double highHz,
                 size_t firstFrame, size_t endFrame) {
    const auto frames = samples.size() / size_t(channels);
    if (endFrame > frames) endFrame = frames;
    const double binHz = double(sampleRate) / kBlockFrames;
    const auto lowBin = size_t(std::ceil(lowHz / binHz));
    const auto highBin = size_t(std::floor(highHz / binHz));
    double total = 0;
    size_t measured = 0;
    std::vector<double> block(kBlockFrames);
    for (size_t start = firstFrame; start + kBlockFrames <= endFrame; start += kBlockFrames) {
        for (size_t frame = 0; frame < kBlockFrames; ++frame) {
            const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(frame) / kBlockFrames);
            block[frame] = hann * samples[(start + frame) * size_t(channels)];
        }
        for (size_t bin = lowBin; bin <= highBin; ++bin, ++measured) total += BinPower(block, bin);
    }
    return measured == 0 ? 0 : total / double(measured);
}

}  // namespace test
