#pragma once

// The equalizer of decoded PCM (every source but MPEG, whose equalizer works
// on its subbands): the filters of pcm_equalizer_design.h run over each block
// in place, 8-bit unsigned or 16-bit signed little-endian, interleaved.
//
// Only the decoding thread uses it. New settings are not applied at once
// but reached within a few milliseconds, the filter gains gliding from the
// old curve to the new one while the filter history runs on, so a moving
// slider never clicks. While the curve is flat and the history has died away
// the blocks are not touched at all.

#include <array>
#include <cstdint>
#include <vector>

#include "engine/pcm_equalizer_design.h"
#include "engine/peaking_cascade.h"
#include "engine/player.h"

namespace engine {

class PcmEqualizer {
public:
    // Sizes the filter history for a playback's channels and rate, empty,
    // with the settings' curve in force from the first sample.
    void Start(int32_t channels, int32_t sampleRate, const PlayerEqSettings& settings);
    // Leaves every block untouched until the next Start.
    void Stop();
    // Forgets the history, so nothing from before a seek rings on after it;
    // a glide under way ends at its goal.
    void Clear();
    // Glides to the settings' curve from the next block on.
    void Glide(const PlayerEqSettings& settings);

    void Process(int32_t bits, uint8_t* block, uint32_t length);

    // Whether blocks are being filtered (false: they pass untouched).
    bool Filtering() const { return filtering_; }

private:
    // The curve reached once `stepsLeft` steps of the glide remain.
    EqualizerCurve CurveAt(int stepsLeft) const;
    void UseCurve(const EqualizerCurve& curve);
    void ClearHistory();
    bool HistoryIsQuiet() const;
    // The common gain across a piece: start + step × n at its nth frame (from 1).
    struct GainRamp {
        float start;
        float step;
    };
    template <int Bits>
    void FilterPair(uint8_t* block, uint32_t left, uint32_t firstFrame, uint32_t frames, GainRamp gain);

    EqualizerDesign design_;
    int32_t channels_ = 0;
    bool filtering_ = false;

    // The glide: from `from_` to `to_` in steps of a few frames each; `to_`
    // is the curve in force when no steps are left.
    EqualizerCurve from_;
    EqualizerCurve to_;
    int glideStepsLeft_ = 0;

    // The curve in force, as filters (flat ones for the bands without a
    // filter at this rate) and the common gain.
    CascadeCoefficients cascade_{};
    float commonGain_ = 1;
    float appliedGain_ = 1;  // the common gain the last frame filtered got
    bool toFlat_ = true;  // the curve aimed at is flat

    std::vector<CascadeHistory> history_;  // one per pair of channels
    std::vector<float> scratch_;           // one pair of channels of a piece of the block
};

}  // namespace engine
