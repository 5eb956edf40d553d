#include "tools/base_skin/click_sound.h"

#include <algorithm>

namespace base_skin {
namespace {

constexpr int kCoefficientBits = 30;
constexpr int kStateBits = 16;  // extra precision of the resonator state
constexpr double kPi = 3.14159265358979323846;

// Series good to double precision for the small arguments used here; they
// run only at compile time.
constexpr double Cosine(double x) {
    double term = 1.0;
    double sum = 1.0;
    for (int k = 1; k < 16; ++k) {
        term *= -x * x / ((2.0 * k - 1.0) * (2.0 * k));
        sum += term;
    }
    return sum;
}

constexpr double Exponential(double x) {
    double term = 1.0;
    double sum = 1.0;
    for (int k = 1; k < 24; ++k) {
        term *= x / k;
        sum += term;
    }
    return sum;
}

// A two-pole resonator that rings at `hertz` and decays by 1/e in
// `decaySamples`: s[n] = a s[n-1] - b s[n-2].
struct Resonator {
    int64_t a;
    int64_t b;
    int64_t amplitude;
};

constexpr Resonator MakeResonator(double hertz, double decaySamples, int amplitude) {
    const double radius = Exponential(-1.0 / decaySamples);
    const double angle = 2.0 * kPi * hertz / kClickSampleRate;
    const double scale = static_cast<double>(int64_t{1} << kCoefficientBits);
    return {static_cast<int64_t>(2.0 * radius * Cosine(angle) * scale), static_cast<int64_t>(radius * radius * scale),
            amplitude};
}

// A bright tick, a wooden body and a faint low thump under it.
constexpr Resonator kVoices[] = {
    MakeResonator(3400.0, 22.0, 2600),
    MakeResonator(1150.0, 70.0, 2400),
    MakeResonator(330.0, 160.0, 900),
};
constexpr int kFadeOutSamples = 400;

// The voice's ring, starting from silence one sample after the strike.
void AddVoice(std::vector<int64_t>& mix, const Resonator& voice) {
    int64_t previous = 0;
    int64_t beforePrevious = 0;
    for (size_t n = 1; n < mix.size(); ++n) {
        int64_t current = voice.amplitude << kStateBits;
        if (n > 1) current = (voice.a * previous - voice.b * beforePrevious) >> kCoefficientBits;
        mix[n] += current;
        beforePrevious = previous;
        previous = current;
    }
}

}  // namespace

std::vector<int16_t> SynthesizeClick() {
    std::vector<int64_t> mix(kClickSamples, 0);
    for (const Resonator& voice : kVoices) AddVoice(mix, voice);

    std::vector<int16_t> samples(kClickSamples);
    for (int n = 0; n < kClickSamples; ++n) {
        int64_t value = mix[static_cast<size_t>(n)] >> kStateBits;
        const int fromEnd = kClickSamples - 1 - n;
        if (fromEnd < kFadeOutSamples) value = value * fromEnd / kFadeOutSamples;
        samples[static_cast<size_t>(n)] = static_cast<int16_t>(std::clamp<int64_t>(value, -32767, 32767));
    }
    return samples;
}

}  // namespace base_skin
