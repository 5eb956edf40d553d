#pragma once

// Ten peaking filters in a row over two channels at once, in single
// precision. Each filter is kept in the form
//     y  = b0·x + s1
//     s1 = c1·x − a1·s1 + s2      (c1 = a1·(1 − b0))
//     s2 = c2·x − a2·s1           (c2 = b2 − a2·b0)
// which is the transposed direct form II of a filter whose b1 equals a1
// (every peaking filter's does), rearranged so that the history feeds back
// through one multiply and one add: the recursion, not the arithmetic,
// bounds how fast a filter runs.
//
// With SSE the filters run as a pipeline: each step feeds a new frame to the
// first filter while every later filter takes the frame its predecessor
// finished one step before, so the ten filters of both channels work side by
// side in a few vectors instead of waiting on one another: five of four
// lanes, or, where the processor has AVX2 and FMA, three of eight. A vector
// holds every fifth (or third) filter, so that each vector's inputs are the
// previous vector's outputs where they stand, and only the first needs a
// shuffle.

#include <cstddef>
#include <cstdint>

#include "engine/pcm_equalizer_design.h"

namespace engine {

constexpr int kCascadeFilters = kEqualizerBands;
// Room for twelve filters, the last two always flat, so that the filters
// fill whole vectors of eight lanes as well as of four. Each filter has a
// left and a right lane, placed as the running code wants them; only
// peaking_cascade.cpp knows where.
constexpr int kCascadeLanes = 24;

struct CascadeCoefficients {
    alignas(32) float b0[kCascadeLanes] = {};
    alignas(32) float c1[kCascadeLanes] = {};
    alignas(32) float a1[kCascadeLanes] = {};
    alignas(32) float c2[kCascadeLanes] = {};
    alignas(32) float a2[kCascadeLanes] = {};
    CascadeCoefficients();
};

// The history of one pair of channels.
struct CascadeHistory {
    alignas(32) float first[kCascadeLanes] = {};
    alignas(32) float second[kCascadeLanes] = {};
};

// Sets filter `filter`; one set to the flat filter (decibels 0, or the
// default coefficients) gives out its input exactly.
void SetCascadeFilter(CascadeCoefficients& cascade, int filter, const PeakingCoefficients& peaking);

// Runs `frames` frames of two interleaved channels through the cascade in place.
void RunCascade(const CascadeCoefficients& cascade, CascadeHistory& history, float* samples, size_t frames);

// The same over 16-bit little-endian stereo in place, each output multiplied
// by gainStart + gainStep × n at the nth frame (from 1), rounded and
// saturated: the conversions ride along in the pipeline's steps. False,
// touching nothing, where the processor lacks AVX2 and FMA; the caller then
// converts the samples itself for RunCascade.
bool RunCascadeStereo16(const CascadeCoefficients& cascade, CascadeHistory& history, uint8_t* pcm, size_t frames,
                        float gainStart, float gainStep);

// Chooses the four-lane pipeline (false) or the eight-lane one (true, which
// is the default where the processor has AVX2 and FMA), so tests can run
// both; false when the processor cannot run the one asked for. Coefficients
// and history must be set afresh after a change: the lanes move.
bool UseWideCascade(bool wide);

}  // namespace engine
