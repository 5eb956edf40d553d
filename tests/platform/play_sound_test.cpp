#include "platform/play_sound.h"

#include <chrono>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/riff_builder.h"

namespace {

// A PCM WAVE file in memory: 16-bit mono at `rate`, `frames` samples.
std::vector<uint8_t> Clip(uint32_t rate, uint32_t frames, const char* chunkBeforeData = nullptr) {
    std::vector<test::Chunk> chunks = {{"fmt ", test::Fmt(1, 1, rate, rate * 2, 2, 16)}};
    if (chunkBeforeData != nullptr) chunks.push_back({chunkBeforeData, {1, 2, 3}});  // odd size and its pad byte
    chunks.push_back({"data", std::vector<uint8_t>(size_t{frames} * 2, 0)});
    return test::Riff(chunks);
}

TEST(PlaySound, PlaysTheClipToItsEndBeforeReturning) {
    const auto clip = Clip(22050, 4410, "LIST");  // 200 ms
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(platform::PlaySoundClip(clip, platform::WaveBackend::Null));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(180));
}

TEST(PlaySound, RefusesWhatIsNotAPcmClip) {
    EXPECT_FALSE(platform::PlaySoundClip({}, platform::WaveBackend::Null));
    auto truncated = Clip(22050, 100);
    truncated.resize(truncated.size() - 10);
    EXPECT_FALSE(platform::PlaySoundClip(truncated, platform::WaveBackend::Null));
    auto compressed = Clip(22050, 100);
    compressed[20] = 0x11;  // IMA ADPCM
    EXPECT_FALSE(platform::PlaySoundClip(compressed, platform::WaveBackend::Null));
    EXPECT_FALSE(platform::PlaySoundClip(Clip(22050, 0), platform::WaveBackend::Null));
}

}  // namespace
