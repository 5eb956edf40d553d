// The pipelined cascade, four lanes and (where the processor has them) eight,
// against the same filters one after the other in double precision.

#include "engine/peaking_cascade.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace engine;

constexpr double kGains[kCascadeFilters] = {12, -8, 6, -20, 18, 3, -6, 9, -12, 15};

class PeakingCascadeTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (!UseWideCascade(GetParam())) GTEST_SKIP() << "the processor has no AVX2 and FMA";
        const EqualizerDesign design = DesignForRate(44100);
        for (int filter = 0; filter < kCascadeFilters; ++filter) {
            filters_[filter] = PeakingFilter(design, filter, kGains[filter]);
            SetCascadeFilter(cascade_, filter, filters_[filter]);
        }
    }
    void TearDown() override { UseWideCascade(true) || UseWideCascade(false); }

    // One frame of both channels through the filters in the plain
    // transposed direct form II, in double precision.
    void Reference(double (&frame)[2]) {
        for (int channel = 0; channel < 2; ++channel) {
            double x = frame[channel];
            for (int filter = 0; filter < kCascadeFilters; ++filter) {
                const PeakingCoefficients& c = filters_[filter];
                double(&history)[2] = reference_[filter][channel];
                const double y = c.b0 * x + history[0];
                history[0] = c.a1 * x - c.a1 * y + history[1];
                history[1] = c.b2 * x - c.a2 * y;
                x = y;
            }
            frame[channel] = x;
        }
    }

    PeakingCoefficients filters_[kCascadeFilters];
    CascadeCoefficients cascade_;
    CascadeHistory history_;
    double reference_[kCascadeFilters][2][2] = {};
    std::mt19937 random_{7};
};

// Pieces of every length, the history carried from one to the next; the
// 16-bit form, where it runs, rounds what the float form gives.
TEST_P(PeakingCascadeTest, FollowsThePlainCascade) {
    CascadeHistory history16;
    for (int piece = 0; piece < 40; ++piece) {
        const size_t frames = 1 + random_() % 1200;
        std::vector<int16_t> pcm(2 * frames);
        for (int16_t& sample : pcm) sample = static_cast<int16_t>(int(random_() % 4000) - 2000);
        std::vector<float> samples(pcm.begin(), pcm.end());
        std::vector<int16_t> rounded = pcm;
        RunCascade(cascade_, history_, samples.data(), frames);
        const bool whole16 = RunCascadeStereo16(cascade_, history16, reinterpret_cast<uint8_t*>(rounded.data()),
                                                frames, 1.0f, 0.0f);
        ASSERT_EQ(whole16, GetParam());
        for (size_t frame = 0; frame < frames; ++frame) {
            double expected[2] = {double(pcm[2 * frame]), double(pcm[2 * frame + 1])};
            Reference(expected);
            for (int channel = 0; channel < 2; ++channel) {
                ASSERT_NEAR(samples[2 * frame + channel], expected[channel], 0.05) << "piece " << piece;
                if (whole16) {
                    ASSERT_NEAR(rounded[2 * frame + channel], expected[channel], 1.0) << "piece " << piece;
                }
            }
        }
    }
}

TEST_P(PeakingCascadeTest, FlatFiltersGiveTheirInputExactly) {
    const CascadeCoefficients flat;
    std::vector<int16_t> pcm(2 * 1000);
    for (int16_t& sample : pcm) sample = static_cast<int16_t>(random_());
    std::vector<float> samples(pcm.begin(), pcm.end());
    RunCascade(flat, history_, samples.data(), 1000);
    EXPECT_TRUE(samples == std::vector<float>(pcm.begin(), pcm.end()));
    std::vector<int16_t> rounded = pcm;
    if (RunCascadeStereo16(flat, history_, reinterpret_cast<uint8_t*>(rounded.data()), 1000, 1.0f, 0.0f)) {
        EXPECT_TRUE(rounded == pcm);
    }
}

INSTANTIATE_TEST_SUITE_P(Lanes, PeakingCascadeTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& lanes) { return lanes.param ? "Eight" : "Four"; });

}  // namespace
