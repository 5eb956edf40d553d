#include <climits>
#include <vector>

#include <gtest/gtest.h>

#include "engine/mpeg_decoder.h"

// Every case brings its own accumulator, so nothing depends on the
// process-wide pair that DecodeFrame uses.

namespace {

using namespace engine;

constexpr int32_t kStep16 = 1 << 13;       // one 16-bit step
constexpr int32_t kStep8 = 1 << 21;        // one 8-bit step

TEST(RoundingTest, OneSample) {
    struct Case {
        mad_fixed_t sample;
        int32_t errorBefore;
        int bits;
        int32_t output;
        int32_t errorAfter;
        const char* why;
    };
    const Case cases[] = {
        {0, 0, 16, 0, 0, "silence"},
        {kStep16 * 5, 0, 16, 5, 0, "exact step"},
        {kStep16 * 5 + 17, 0, 16, 5, 17, "remainder goes to the accumulator"},
        {kStep16 - 1, 1, 16, 1, 0, "accumulated error completes a step"},
        {-1, 0, 16, -1, kStep16 - 1, "rounds toward minus infinity"},
        {kMadOne / 2, 0, 16, 16384, 0, "half scale"},
        {kMadOne - 1, 0, 16, 32767, kStep16 - 1, "largest unclipped value"},
        {kMadOne, 0, 16, 32767, kStep16, "full scale clips, excess carried"},
        {kMadOne + 100000, 0, 16, 32767, kStep16 + 100000, "larger excess carried whole"},
        {-kMadOne, 0, 16, -32768, 0, "negative full scale is exact"},
        {-kMadOne - 5000, 0, 16, -32768, -5000, "negative clip carries a negative error"},
        {kMadOne - kStep16, kStep16 - 1, 16, 32767, kStep16 - 1, "sum just below full scale"},
        {kStep8 * 5 + 3, 0, 8, 5, 3, "8-bit step"},
        {kMadOne, 0, 8, 127, kStep8, "8-bit full scale"},
        {-kMadOne, 0, 8, -128, 0, "8-bit negative full scale"},
        {100, 0, 24, 3, 4, "24-bit step of 32"},
        {100, 0, 32, 3, 4, "widths above 24 quantise at 24"},
    };
    for (const Case& c : cases) {
        int32_t error = c.errorBefore;
        EXPECT_EQ(RoundSampleToPcm(c.sample, error, c.bits), c.output) << c.why;
        EXPECT_EQ(error, c.errorAfter) << c.why;
    }
}

// Runs a sequence through one accumulator, starting from `error`.
std::vector<int32_t> RoundSequence(const std::vector<mad_fixed_t>& samples, int32_t error, int bits) {
    std::vector<int32_t> outputs;
    for (mad_fixed_t sample : samples) outputs.push_back(RoundSampleToPcm(sample, error, bits));
    return outputs;
}

TEST(RoundingTest, ClippedExcessReachesTheNextSamples) {
    // The full-scale sample leaves one step of excess, which the next
    // (silent) sample plays out.
    EXPECT_EQ(RoundSequence({kMadOne, 0, 0}, 0, 16), (std::vector<int32_t>{32767, 1, 0}));
    // A bigger excess comes out whole in the next sample.
    EXPECT_EQ(RoundSequence({kMadOne + 2 * kMadOne / 3, 0, 0, 0}, 0, 16),
              (std::vector<int32_t>{32767, 21846, 0, 0}));
    EXPECT_EQ(RoundSequence({-kMadOne - kStep16 * 3, 0, 0}, 0, 16),
              (std::vector<int32_t>{-32768, -3, 0}));
}

TEST(RoundingTest, ErrorFeedbackKeepsTheAverage) {
    // A constant a quarter step above zero comes out as one step in four.
    const std::vector<mad_fixed_t> quarterSteps(8, kStep16 / 4);
    EXPECT_EQ(RoundSequence(quarterSteps, 0, 16), (std::vector<int32_t>{0, 0, 0, 1, 0, 0, 0, 1}));
}

TEST(RoundingTest, AccumulatorIsBoundedToOneFullScale) {
    // Samples at the top of the 32-bit range would add almost 8 full scales
    // of excess each; the accumulator keeps one, so the silence after a long
    // clipped run plays out a single full-scale sample rather than thousands.
    struct Case {
        mad_fixed_t loud;
        int32_t bound;
        std::vector<int32_t> afterRun;
    };
    const Case cases[] = {
        {INT32_MAX, kMadOne, {32767, 1, 0, 0}},
        {INT32_MIN, -kMadOne, {-32768, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        int32_t error = 0;
        for (int index = 0; index < 1000; ++index) RoundSampleToPcm(c.loud, error, 16);
        EXPECT_EQ(error, c.bound);
        EXPECT_EQ(RoundSequence({0, 0, 0, 0}, error, 16), c.afterRun);
    }
}

}  // namespace
