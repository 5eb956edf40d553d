#include "platform/wave_volume.h"

#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "platform/app_files.h"
#include "tests/support/fixtures.h"

namespace {

std::vector<int16_t> Scaled(uint32_t volume, uint16_t channels, std::vector<int16_t> samples) {
    platform::ApplyWaveOutVolume(volume, 16, channels, reinterpret_cast<uint8_t*>(samples.data()), samples.size() * 2);
    return samples;
}

TEST(WaveVolume, GainPerChannel) {
    EXPECT_EQ(Scaled(0xFFFFFFFF, 2, {32767, -32768}), (std::vector<int16_t>{32767, -32768})) << "full level is untouched";
    EXPECT_EQ(Scaled(0x0000FFFF, 2, {1000, 1000}), (std::vector<int16_t>{1000, 0})) << "left full, right silent";
    EXPECT_EQ(Scaled(0x80008000, 2, {-20000, 20000}), (std::vector<int16_t>{-10000, 10000}));
    EXPECT_EQ(Scaled(0xFFFF8000, 1, {20000, 20000}), (std::vector<int16_t>{10000, 10000})) << "mono takes the left level";

    std::vector<uint8_t> eightBit = {255, 0, 128};
    platform::ApplyWaveOutVolume(0x80008000, 8, 1, eightBit.data(), eightBit.size());
    EXPECT_EQ(eightBit, (std::vector<uint8_t>{191, 64, 128})) << "8-bit scales around 128";
}

TEST(WaveVolume, KeptAcrossRuns) {
    test::TemporaryFile directory({});
    setenv("TUNELARK_HOME", directory.Directory().c_str(), 1);
    platform::SetWaveOutVolume(0x33333333);
    EXPECT_EQ(platform::GetWaveOutVolume(), 0x33333333u);
    std::string stored;
    ASSERT_EQ(platform::ReadWholeFile(directory.Directory() + "/device-volume", 64, stored), platform::FileRead::Done);
    EXPECT_EQ(stored, "33333333\n");
    unsetenv("TUNELARK_HOME");
}

}  // namespace
