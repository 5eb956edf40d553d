#pragma once

// The shape of the equalizer for decoded PCM: ten peaking filters, one per
// band, and a gain common to all frequencies, chosen so that the response at
// each band's centre is what the MPEG subband equalizer gives there.

#include <array>
#include <cstdint>

#include "engine/player.h"

namespace engine {

constexpr int kEqualizerBands = 10;

// The band centres in Hz, as the equalizer window labels its sliders: the
// middle of the subbands each band scales in MPEG audio at 44.1 kHz.
constexpr std::array<double, kEqualizerBands> kBandCentres = {300,  1000, 1700, 2400, 3100,
                                                              3800, 4800, 6900, 11000, 18000};

// What the filters apply: a common gain and one gain per band filter, in
// decibels. A band without a filter at the design's rate keeps gain 0.
struct EqualizerCurve {
    double commonDecibels = 0;
    std::array<double, kEqualizerBands> bandDecibels{};
};

// The constants of one sample rate: which bands have a filter (those below
// the Nyquist frequency), each filter's frequency terms, and how much a
// filter of 1 dB lifts every band centre.
struct EqualizerDesign {
    int32_t sampleRate = 0;
    std::array<bool, kEqualizerBands> present{};
    std::array<double, kEqualizerBands> cosine{};  // cos ω of the centre
    std::array<double, kEqualizerBands> alpha{};   // sin ω / 2Q
    // interaction[k][j]: the response in dB at centre k of filter j set to 1 dB.
    std::array<std::array<double, kEqualizerBands>, kEqualizerBands> interaction{};
};

// The normalised coefficients of one peaking filter (a0 = 1). A peaking
// filter has b1 = a1, so one value serves both.
struct PeakingCoefficients {
    double b0 = 1;
    double b2 = 0;
    double a1 = 0;
    double a2 = 0;
};

EqualizerDesign DesignForRate(int32_t sampleRate);

// Whether the settings leave the sound as it is: off, or every slider at its middle.
bool IsFlat(const PlayerEqSettings& settings);

// The curve for the settings: at each band centre the total of the preamp
// and the band (at most +18 dB, as in MPEG audio).
EqualizerCurve CurveForSettings(const EqualizerDesign& design, const PlayerEqSettings& settings);

PeakingCoefficients PeakingFilter(const EqualizerDesign& design, int band, double decibels);

// The response in dB of the curve at `hertz` for the design's rate.
double ResponseDecibels(const EqualizerDesign& design, const EqualizerCurve& curve, double hertz);

}  // namespace engine
