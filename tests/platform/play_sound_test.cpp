#include "platform/play_sound.h"

#include <chrono>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/byte_order.h"

namespace {

// A PCM WAVE file in memory: 16-bit mono at `rate`, `frames` samples.
std::vector<uint8_t> Clip(uint32_t rate, uint32_t frames, const char* chunkBeforeData = nullptr) {
    std::vector<uint8_t> file;
    const auto text = [&file](std::string_view characters) {
        file.insert(file.end(), characters.begin(), characters.end());
    };
    text("RIFF");
    platform::AppendLittle32(file, 0);
    text("WAVEfmt ");
    platform::AppendLittle32(file, 16);
    platform::AppendLittle16(file, 1);
    platform::AppendLittle16(file, 1);
    platform::AppendLittle32(file, rate);
    platform::AppendLittle32(file, rate * 2);
    platform::AppendLittle16(file, 2);
    platform::AppendLittle16(file, 16);
    if (chunkBeforeData != nullptr) {
        text(chunkBeforeData);
        platform::AppendLittle32(file, 3);
        text(std::string_view("\x01\x02\x03\x00", 4));  // odd size and its pad byte
    }
    text("data");
    platform::AppendLittle32(file, frames * 2);
    file.resize(file.size() + size_t{frames} * 2, 0);
    return file;
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
