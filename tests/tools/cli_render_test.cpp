// tunelark-cli render and bench, run as real programs on the fixtures.

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/byte_order.h"
#include "tests/support/cli_runner.h"
#include "tests/support/fixtures.h"
#include "tests/support/wave_file.h"

namespace {

using test::RunCli;

class CliRender : public ::testing::Test {
protected:
    std::optional<test::WaveData> Render(std::vector<std::string> options, int expectedStatus = 0) {
        std::vector<std::string> arguments = {"render", test::FixturePath("cbr128_noinfo.mp3"), "-o", output};
        arguments.insert(arguments.end(), options.begin(), options.end());
        EXPECT_EQ(RunCli(arguments).exitStatus, expectedStatus);
        return test::ReadWaveFile(output);
    }

    test::TemporaryFile directory{{}};
    const std::string output = directory.Directory() + "/out.wav";
};

TEST_F(CliRender, WritesTheEnginesPcmInItsOutputFormat) {
    struct Case {
        std::vector<std::string> options;
        uint16_t bits;
        uint32_t rate;
        double seconds;
    };
    const Case cases[] = {
        {{}, 16, 44100, 5.0},
        {{"--bits", "8"}, 8, 44100, 5.0},
        {{"--half-rate"}, 16, 22050, 5.0},
        {{"--seek", "2000"}, 16, 44100, 3.0},
        {{"--buffers", "2"}, 16, 44100, 5.0},
    };
    for (const auto& [options, bits, rate, seconds] : cases) {
        const auto wave = Render(options);
        ASSERT_TRUE(wave.has_value());
        EXPECT_EQ(wave->formatTag, 1);
        EXPECT_EQ(wave->channels, 2);
        EXPECT_EQ(wave->bitsPerSample, bits);
        EXPECT_EQ(wave->sampleRate, rate);
        // Every frame but the last; a seek lands on a frame boundary.
        EXPECT_NEAR(double(wave->Frames()) / rate, seconds, 0.06) << options.size();
    }
}

TEST_F(CliRender, LengthCutsTheOutputExactly) {
    const auto wave = Render({"--length", "1000", "--bits", "8"});
    ASSERT_TRUE(wave.has_value());
    EXPECT_EQ(wave->Frames(), 44100u);
    const auto empty = Render({"--length", "0"});
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(empty->Frames(), 0u);
}

TEST_F(CliRender, EqualizerAndEffectsChangeTheSound) {
    const auto flat = Render({"--length", "2000"});
    const auto cut = Render({"--length", "2000", "--eq", "1,31,63,63,63,63,63,63,63,63,63,63"});
    ASSERT_TRUE(flat && cut);
    ASSERT_EQ(flat->pcm.size(), cut->pcm.size());
    auto energy = [](const test::WaveData& wave) {
        double sum = 0;
        for (size_t i = 0; i + 1 < wave.pcm.size(); i += 2) {
            const auto sample = int16_t(platform::ReadLittle16(&wave.pcm[i]));
            sum += double(sample) * sample;
        }
        return sum;
    };
    // Every band at -20 dB takes about 20 dB off the whole signal.
    EXPECT_NEAR(10 * std::log10(energy(*cut) / energy(*flat)), -20.0, 1.5);

    // The tones (440 and 660 Hz) lie in the lowest band: raising it by
    // 4.1 dB raises them, raising the top band leaves them alone.
    const auto lowBoost = Render({"--length", "2000", "--eq", "1,31,25,31,31,31,31,31,31,31,31,31"});
    const auto highBoost = Render({"--length", "2000", "--eq", "1,31,31,31,31,31,31,31,31,31,31,0"});
    ASSERT_TRUE(lowBoost && highBoost);
    EXPECT_NEAR(10 * std::log10(energy(*lowBoost) / energy(*flat)), 4.1, 1.0);
    EXPECT_NEAR(10 * std::log10(energy(*highBoost) / energy(*flat)), 0.0, 0.5);
}

// The capture is the command: a device the environment chooses for playing
// does not take the PCM away from the file.
TEST_F(CliRender, RendersWhateverDeviceTheEnvironmentChooses) {
    setenv("TUNELARK_AUDIO", "null", 1);
    const auto wave = Render({"--length", "1000"});
    unsetenv("TUNELARK_AUDIO");
    ASSERT_TRUE(wave.has_value());
    EXPECT_EQ(wave->Frames(), 44100u);
}

TEST_F(CliRender, RefusesWhatItCannotDo) {
    EXPECT_EQ(RunCli({"render", test::FixturePath("garbage.bin"), "-o", output}).exitStatus, 1);
    EXPECT_EQ(RunCli({"render", test::FixturePath("cbr128.mp3")}).exitStatus, 2) << "no output";
    EXPECT_EQ(RunCli({"render", test::FixturePath("cbr128.mp3"), "-o", output, "--bits", "24"}).exitStatus, 2);
    EXPECT_EQ(RunCli({"render", test::FixturePath("cbr128.mp3"), "-o", output, "--eq", "1,2,3"}).exitStatus, 2);
    EXPECT_EQ(RunCli({"render", test::FixturePath("cbr128.mp3"), "-o", output, "--frobnicate", "1"}).exitStatus, 2);
    EXPECT_EQ(RunCli({"render", test::FixturePath("cbr128.mp3"), "-o", "/nonexistent/dir/out.wav"}).exitStatus, 1);
}

TEST(CliBench, ComparesTheEngineWithPlainLibmad) {
    const auto result = RunCli({"bench", test::FixturePath("cbr128_noinfo.mp3")});
    ASSERT_EQ(result.exitStatus, 0);
    ASSERT_EQ(result.lines.size(), 5u);
    EXPECT_EQ(result.lines[0].rfind("engine:", 0), 0u);
    EXPECT_EQ(result.lines[1].rfind("engine, equalizer:", 0), 0u);
    EXPECT_EQ(result.lines[2].rfind("plain libmad:", 0), 0u);
    EXPECT_EQ(result.lines[3].rfind("ratio:", 0), 0u);
    EXPECT_EQ(result.lines[4].rfind("ratio, equalizer:", 0), 0u);
    EXPECT_EQ(RunCli({"bench", test::FixturePath("garbage.bin")}).exitStatus, 1);
}

// What plays, plays; anything that could not be played at all fails the
// command after the rest has played.
TEST(CliPlay, PlaysSilentlyOnTheNullDeviceAndFailsForWhatItCannotPlay) {
    struct Case {
        std::vector<std::string> items;
        int exitStatus;
    };
    const Case cases[] = {
        {{test::FixturePath("short.mp3")}, 0},
        {{test::FixturePath("short.mp3"), test::FixturePath("garbage.bin")}, 1},
        {{"http://127.0.0.1:1/live", test::FixturePath("short.mp3")}, 1},
    };
    setenv("TUNELARK_AUDIO", "null", 1);
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"play"};
        arguments.insert(arguments.end(), c.items.begin(), c.items.end());
        const auto result = RunCli(arguments);
        EXPECT_EQ(result.exitStatus, c.exitStatus) << c.items.size();
        EXPECT_NE(std::find(result.lines.begin(), result.lines.end(), "playing short.mp3"), result.lines.end());
    }
    unsetenv("TUNELARK_AUDIO");
}

// No device that opens, and one that SDL finds gone while it plays (its disk
// driver writing to a full disk), each end the command with a line that says
// so and status 1.
TEST(CliPlay, SaysSoWithoutAWorkingSoundDevice) {
    const struct {
        const char* driver;
        std::string said;
    } cases[] = {
        {"no-such-driver", "tunelark-cli play: no sound device could be opened (TUNELARK_AUDIO=null plays silently)"},
        {"disk", "tunelark-cli play: the sound device stopped playing (TUNELARK_AUDIO=null plays silently)"},
    };
    setenv("SDL_DISKAUDIOFILE", "/dev/full", 1);
    for (const auto& c : cases) {
        setenv("SDL_AUDIODRIVER", c.driver, 1);
        const auto result = test::RunProgram(test::CliPath(), {"play", test::FixturePath("long_minute.mp3")},
                                             test::Captured::Errors);
        EXPECT_EQ(result.exitStatus, 1) << c.driver;
        EXPECT_NE(std::find(result.lines.begin(), result.lines.end(), c.said), result.lines.end()) << c.driver;
    }
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
}

}  // namespace
