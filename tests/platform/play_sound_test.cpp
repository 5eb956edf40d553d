#include "platform/play_sound.h"

#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// A PCM WAVE file in memory: 16-bit mono at `rate`, `frames` samples.
std::vector<uint8_t> Clip(uint32_t rate, uint32_t frames, const char* chunkBeforeData = nullptr) {
    std::string file;
    auto le = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file += static_cast<char>(value >> (8 * i));
    };
    file += "RIFF";
    le(0, 4);
    file += "WAVEfmt ";
    le(16, 4);
    le(1, 2);
    le(1, 2);
    le(rate, 4);
    le(rate * 2, 4);
    le(2, 2);
    le(16, 2);
    if (chunkBeforeData != nullptr) {
        file += chunkBeforeData;
        le(3, 4);
        file += std::string("\x01\x02\x03\x00", 4);  // odd size and its pad byte
    }
    file += "data";
    le(frames * 2, 4);
    file += std::string(size_t{frames} * 2, '\0');
    return {file.begin(), file.end()};
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
