#include "engine/equalizer.h"

#include <gtest/gtest.h>

#include "engine/mpeg_decoder.h"

namespace {

using namespace engine;

PlayerEqSettings Settings(int32_t enabled, int32_t preamp, int32_t allBands) {
    PlayerEqSettings settings;
    settings.enabled = enabled;
    settings.preamp = preamp;
    for (int32_t& band : settings.bands) band = allBands;
    return settings;
}

TEST(EqualizerTest, SliderDecibels) {
    struct Case {
        int32_t position;
        double decibels;
    };
    const Case cases[] = {
        {31, 0.0},  // pinned, although the line gives 0.317 dB there
        {0, 20.0},
        {63, -20.0},
        {1, 19.365079365079364},
        {30, 0.9523809523809526},
        {32, -0.31746031746031633},
        {62, -19.365079365079367},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(SliderDecibels(c.position), c.decibels) << "position " << c.position;
    }
    EXPECT_EQ(SliderDecibels(31), 0.0);  // exactly, not merely close
}

// Expected gains worked out apart from the code: 10^(dB / 20) * 2^28, rounded.
TEST(EqualizerTest, GainsFromPreampAndBands) {
    struct Case {
        int32_t preamp;
        int32_t bands;
        int32_t gain;
        const char* why;
    };
    const Case cases[] = {
        {31, 31, 268435456, "flat is exactly 1.0"},
        {0, 63, 268435456, "+20 dB preamp and -20 dB bands cancel"},
        {31, 0, 2132258619, "+20 dB band is limited to +18 dB"},
        {0, 0, 2132258619, "+40 dB in all is limited to +18 dB"},
        {10, 20, 2132258619, "13.65 + 7.30 dB is limited to +18 dB"},
        {31, 63, 26843546, "-20 dB band"},
        {63, 63, 2684355, "-40 dB: cuts have no lower limit"},
        {40, 31, 144211073, "-5.40 dB preamp alone"},
        {31, 45, 100061832, "-8.57 dB band alone"},
    };
    MpegDecoder decoder;
    for (const Case& c : cases) {
        ComputeSubbandGains(decoder, Settings(1, c.preamp, c.bands));
        for (int subband = 0; subband < 32; ++subband) {
            ASSERT_EQ(decoder.gains[subband].load(), c.gain) << c.why << ", subband " << subband;
        }
    }
}

TEST(EqualizerTest, BandMapCoversSubbands) {
    struct Case {
        int band;
        int firstSubband;
        int lastSubband;
    };
    const Case cases[] = {
        {0, 0, 0},   {1, 1, 1},   {2, 2, 2},   {3, 3, 3},   {4, 4, 4},
        {5, 5, 5},   {6, 6, 7},   {7, 8, 11},  {8, 12, 19}, {9, 20, 31},
    };
    constexpr int32_t kCutGain = 26843546;  // -20 dB
    MpegDecoder decoder;
    for (const Case& c : cases) {
        PlayerEqSettings settings = Settings(1, 31, 31);
        settings.bands[c.band] = 63;
        ComputeSubbandGains(decoder, settings);
        for (int subband = 0; subband < 32; ++subband) {
            const bool inBand = subband >= c.firstSubband && subband <= c.lastSubband;
            EXPECT_EQ(decoder.gains[subband].load(), inBand ? kCutGain : kMadOne)
                << "band " << c.band << ", subband " << subband;
        }
    }
}

TEST(EqualizerTest, EnabledFlagFollowsSettings) {
    MpegDecoder decoder;
    for (int32_t enabled : {1, 0, 7, 0}) {
        ComputeSubbandGains(decoder, Settings(enabled, 31, 31));
        EXPECT_EQ(decoder.equalizerEnabled.load() != 0, enabled != 0) << "enabled " << enabled;
    }
}

}  // namespace
