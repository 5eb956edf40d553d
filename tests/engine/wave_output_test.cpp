// The block pool over a capture device: peak levels, the free-block event,
// flushing and the buffer count.

#include "engine/wave_output.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <future>

#include <gtest/gtest.h>

#include "tests/support/waiting.h"

namespace {

using namespace std::chrono_literals;
using namespace engine;

// A closed-loop check: the done callback runs on the device's thread, so wait
// until the pool has taken back what was queued.
bool WaitUntilQueued(WaveOutput& output, uint32_t count) {
    return test::Eventually([&] { return output.QueuedCount() == count; });
}

struct LevelCase {
    uint32_t channels;
    uint32_t bits;
    std::vector<int32_t> samples;  // interleaved, signed (8-bit ones as -128..127)
    int32_t left;
    int32_t right;
};

// `count` samples of silence with the given peaks placed in them.
std::vector<int32_t> Silence(size_t count, std::initializer_list<std::pair<size_t, int32_t>> peaks) {
    std::vector<int32_t> samples(count, 0);
    for (const auto& [index, value] : peaks) samples[index] = value;
    return samples;
}

TEST(WaveOutput, PeakLevelsOfTheLastCompletedBlock) {
    const LevelCase cases[] = {
        // Long enough for whole groups of samples and a rest after them.
        {2, 16, Silence(70, {{20, 16384}, {33, 3277}, {69, 100}}), 50, 10},
        {1, 16, Silence(70, {{5, -30000}, {66, 3277}}), 10, 10},
        {1, 16, {32767, 0, -32768}, 100, 100},    // full-scale mono gives both levels
        {1, 16, {0, 0, 0, 0}, 0, 0},              // silence
        {1, 16, {-20000, -5, -1}, 0, 0},          // only positive peaks count
        {2, 16, {16384, 3277, -30000, 100}, 50, 10},
        {2, 8, {127, 0, 64, -128}, 100, 0},
        {1, 8, {-128, -1, 0}, 0, 0},
    };
    for (const auto& [channels, bits, samples, left, right] : cases) {
        WaveOutput output;
        output.SetDevice(platform::WaveBackend::Capture, {});
        const uint32_t bytes = static_cast<uint32_t>(samples.size() * bits / 8);
        ASSERT_EQ(output.Open(bytes, channels, 8000, bits), 1);
        platform::WaveHeader* block = output.AcquireBlock();
        ASSERT_NE(block, nullptr);
        for (size_t i = 0; i < samples.size(); ++i) {
            if (bits == 8) {
                block->data[i] = static_cast<uint8_t>(samples[i] + 128);
            } else {
                const auto value = static_cast<int16_t>(samples[i]);
                std::memcpy(block->data + 2 * i, &value, 2);
            }
        }
        block->bufferLength = bytes;
        output.QueueBlock(block);
        output.SendHeldBlocks();
        ASSERT_TRUE(WaitUntilQueued(output, 0));
        EXPECT_EQ(output.LeftLevel(), left) << channels << " channels, " << bits << " bits";
        EXPECT_EQ(output.RightLevel(), right) << channels << " channels, " << bits << " bits";
        output.Close();
    }
}

TEST(WaveOutput, LastFreeBlockMakesTheNextAcquireWaitUntilAFlush) {
    WaveOutput output;
    output.SetDevice(platform::WaveBackend::Capture, {});
    ASSERT_EQ(output.SetBufferCount(2), 1);
    ASSERT_EQ(output.Open(400, 2, 44100, 16), 1);
    output.SetPaused(true);
    for (int i = 0; i < 2; ++i) output.QueueBlock(output.AcquireBlock());
    EXPECT_EQ(output.QueuedCount(), 2u);

    auto waiting = std::async(std::launch::async, [&output] { return output.AcquireBlock(); });
    EXPECT_EQ(waiting.wait_for(100ms), std::future_status::timeout) << "no block is free while paused";
    output.Flush();
    ASSERT_EQ(waiting.wait_for(10s), std::future_status::ready) << "a flush frees every block";
    EXPECT_NE(waiting.get(), nullptr);
    EXPECT_EQ(output.QueuedCount(), 0u);
    EXPECT_EQ(output.PlayedSamples(), 0u);
    EXPECT_EQ(output.LeftLevel(), 0);
    output.Close();
}

TEST(WaveOutput, BlocksReachTheDeviceHalfAPoolAtATime) {
    WaveOutput output;
    output.SetDevice(platform::WaveBackend::Capture, {});
    ASSERT_EQ(output.Open(400, 2, 44100, 16), 1);  // a pool of 8
    for (int i = 0; i < 3; ++i) output.QueueBlock(output.AcquireBlock());
    EXPECT_EQ(output.PlayedSamples(), 0u) << "held back until the batch is whole";
    output.QueueBlock(output.AcquireBlock());
    ASSERT_TRUE(WaitUntilQueued(output, 0));
    EXPECT_EQ(output.PlayedSamples(), 400u);
    output.Close();
}

TEST(WaveOutput, PlayedSamplesCountFromTheLastFlush) {
    WaveOutput output;
    output.SetDevice(platform::WaveBackend::Capture, {});
    ASSERT_EQ(output.Open(400, 2, 44100, 16), 1);  // 100 frames a block
    for (int i = 0; i < 3; ++i) output.QueueBlock(output.AcquireBlock());
    output.SendHeldBlocks();
    ASSERT_TRUE(WaitUntilQueued(output, 0));
    EXPECT_EQ(output.PlayedSamples(), 300u);
    output.Flush();
    EXPECT_EQ(output.PlayedSamples(), 0u);
    output.SetPaused(false);
    output.QueueBlock(output.AcquireBlock());
    output.SendHeldBlocks();
    ASSERT_TRUE(WaitUntilQueued(output, 0));
    EXPECT_EQ(output.PlayedSamples(), 100u);
    output.Close();
    EXPECT_EQ(output.PlayedSamples(), 0u) << "closed";
}

TEST(WaveOutput, BufferCountLimitsAndOnlyWhileClosed) {
    WaveOutput output;
    output.SetDevice(platform::WaveBackend::Capture, {});
    EXPECT_EQ(output.SetBufferCount(1), 0);
    EXPECT_EQ(output.SetBufferCount(129), 0);
    EXPECT_EQ(output.GetBufferCount(), 8u);
    EXPECT_EQ(output.SetBufferCount(128), 1);
    EXPECT_EQ(output.SetBufferCount(2), 1);
    ASSERT_EQ(output.Open(400, 2, 44100, 16), 1);
    EXPECT_EQ(output.SetBufferCount(4), 0);
    EXPECT_EQ(output.GetBufferCount(), 2u);
    EXPECT_EQ(output.Open(400, 2, 44100, 16), 0) << "already open";
    output.Close();
    EXPECT_EQ(output.AcquireBlock(), nullptr) << "a closed output has no blocks";
}

}  // namespace
