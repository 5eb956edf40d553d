// The mix of channel layouts down to stereo and the rounding of decoded
// samples to the output's width.

#include "formats/pcm/decoded_pcm.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace engine;

constexpr float k3Db = 0.70710678f;

TEST(ChannelMix, LayoutsMixToStereoByTheirRoles) {
    struct Case {
        ChannelOrder order;
        int channels;
        std::vector<float> left;  // before the scaling to full scale
        std::vector<float> right;
    };
    const Case cases[] = {
        {ChannelOrder::Wave, 6, {1, 0, k3Db, 0, k3Db, 0}, {0, 1, k3Db, 0, 0, k3Db}},
        {ChannelOrder::Vorbis, 6, {1, k3Db, 0, k3Db, 0, 0}, {0, k3Db, 1, 0, k3Db, 0}},
        {ChannelOrder::Wave, 3, {1, 0, k3Db}, {0, 1, k3Db}},
        {ChannelOrder::Vorbis, 3, {1, k3Db, 0}, {0, k3Db, 1}},
        {ChannelOrder::Wave, 4, {1, 0, k3Db, 0}, {0, 1, 0, k3Db}},
        {ChannelOrder::Wave, 8, {1, 0, k3Db, 0, k3Db, 0, k3Db, 0}, {0, 1, k3Db, 0, 0, k3Db, 0, k3Db}},
        {ChannelOrder::Vorbis, 8, {1, k3Db, 0, k3Db, 0, k3Db, 0, 0}, {0, k3Db, 1, 0, k3Db, 0, k3Db, 0}},
    };
    for (const auto& [order, channels, left, right] : cases) {
        ChannelMix mix;
        ASSERT_TRUE(MakeChannelMix(order, channels, 2, &mix)) << channels;
        float leftSum = 0;
        for (const float weight : left) leftSum += weight;
        float rightSum = 0;
        for (const float weight : right) rightSum += weight;
        for (int channel = 0; channel < channels; ++channel) {
            EXPECT_NEAR(mix.weights[0][channel], left[channel] / leftSum, 1e-6) << channels << " channels, " << channel;
            EXPECT_NEAR(mix.weights[1][channel], right[channel] / rightSum, 1e-6) << channels << " channels, " << channel;
        }
        EXPECT_FALSE(mix.passesThrough);
    }
    ChannelMix mix;
    EXPECT_FALSE(MakeChannelMix(ChannelOrder::Wave, 9, 2, &mix));
    EXPECT_FALSE(MakeChannelMix(ChannelOrder::Wave, 0, 2, &mix));
    ASSERT_TRUE(MakeChannelMix(ChannelOrder::Vorbis, 2, 2, &mix));
    EXPECT_TRUE(mix.passesThrough);
    ASSERT_TRUE(MakeChannelMix(ChannelOrder::Vorbis, 2, 1, &mix));
    EXPECT_FLOAT_EQ(mix.weights[0][0], 0.5f);
    EXPECT_FLOAT_EQ(mix.weights[0][1], 0.5f);
}

std::vector<int16_t> Quantize16(DecodedPcm& pcm) {
    std::vector<uint8_t> bytes(pcm.FramesLeft() * pcm.channels * 2);
    DitherNoise noise;
    QuantizeFrames(pcm, pcm.FramesLeft(), 16, noise, bytes.data());
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t index = 0; index < samples.size(); ++index) {
        samples[index] = static_cast<int16_t>(bytes[2 * index] | bytes[2 * index + 1] << 8);
    }
    return samples;
}

TEST(QuantizeFrames, SixteenBitsPassExactlyWiderOnesAreDitheredWithoutBias) {
    ChannelMix stereo;
    ASSERT_TRUE(MakeChannelMix(ChannelOrder::Wave, 2, 2, &stereo));
    const std::vector<int32_t> left = {-32768, -1, 0, 1, 32767};
    const std::vector<int32_t> right = {32767, 12345, -12345, 2, -2};
    const int32_t* planes[] = {left.data(), right.data()};
    DecodedPcm pcm;
    pcm.AppendPlanar(stereo, planes, 16, left.size());
    EXPECT_EQ(Quantize16(pcm), (std::vector<int16_t>{-32768, 32767, -1, 12345, 0, -12345, 1, 2, 32767, -2}));

    // A quarter step above 100 at 24 bits: dither makes the average exact,
    // and every sample lands on 99, 100, 101 or 102.
    const std::vector<int32_t> wide(20000, 100 * 256 + 64);
    const int32_t* widePlanes[] = {wide.data(), wide.data()};
    DecodedPcm dithered;
    dithered.AppendPlanar(stereo, widePlanes, 24, wide.size());
    const std::vector<int16_t> steps = Quantize16(dithered);
    double sum = 0;
    for (const int16_t step : steps) {
        EXPECT_GE(step, 99);
        EXPECT_LE(step, 102);
        sum += step;
    }
    EXPECT_NEAR(sum / double(steps.size()), 100.25, 0.02);
}

TEST(QuantizeFrames, FullScaleClipsAndEightBitsAreUnsigned) {
    ChannelMix mono;
    ASSERT_TRUE(MakeChannelMix(ChannelOrder::Vorbis, 1, 1, &mono));
    const std::vector<float> samples = {1.5f, -1.5f, 0.0f, 0.5f};
    DecodedPcm pcm;
    pcm.AppendInterleaved(mono, samples.data(), samples.size());
    const std::vector<int16_t> steps = Quantize16(pcm);
    EXPECT_EQ(steps[0], 32767);
    EXPECT_EQ(steps[1], -32768);
    EXPECT_LE(std::abs(steps[2]), 1);
    EXPECT_NEAR(steps[3], 16384, 1);

    // 8-bit output from 8-bit samples: exact, centred on 128.
    const std::vector<int32_t> eight = {-128, -1, 0, 127};
    const int32_t* planes[] = {eight.data()};
    DecodedPcm narrow;
    narrow.AppendPlanar(mono, planes, 8, eight.size());
    std::vector<uint8_t> bytes(4);
    DitherNoise noise;
    QuantizeFrames(narrow, 4, 8, noise, bytes.data());
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0, 127, 128, 255}));
}

}  // namespace
