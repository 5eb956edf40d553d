// The PCM effects on hand-made blocks, and one echo heard through the engine.

#include "engine/effects.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/player_engine.h"
#include "platform/byte_order.h"
#include "platform/recording_window.h"
#include "tests/support/captured_audio.h"
#include "tests/support/engine_handle.h"
#include "tests/support/fixtures.h"
#include "tests/support/waiting.h"

namespace {

using namespace std::chrono_literals;
using namespace engine;
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

std::vector<uint8_t> Bytes16(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> bytes;
    for (int16_t sample : samples) platform::AppendLittle16(bytes, static_cast<uint16_t>(sample));
    return bytes;
}

std::vector<int16_t> Samples16(const std::vector<uint8_t>& bytes) {
    std::vector<int16_t> samples;
    for (size_t index = 0; index + 1 < bytes.size(); index += 2) {
        samples.push_back(static_cast<int16_t>(platform::ReadLittle16(&bytes[index])));
    }
    return samples;
}

// A silent block with a few samples set.
std::vector<int16_t> Impulses(size_t length, std::vector<std::pair<size_t, int16_t>> set) {
    std::vector<int16_t> samples(length, 0);
    for (auto [index, value] : set) samples[index] = value;
    return samples;
}

// Runs a 16-bit block through `process`, in two uneven pieces so that state
// carries over from one block to the next.
template <typename Process>
std::vector<int16_t> Run16(Process process, const std::vector<int16_t>& input) {
    auto bytes = Bytes16(input);
    const auto split = static_cast<uint32_t>(bytes.size() / 3 & ~size_t{3});
    process(16, bytes.data(), split);
    process(16, bytes.data() + split, static_cast<uint32_t>(bytes.size()) - split);
    return Samples16(bytes);
}

std::unique_ptr<Echo> MakeEcho(Echo::Mode mode, PlayerEffectParams params, int32_t channels, int32_t rate) {
    auto echo = std::make_unique<Echo>(mode);
    echo->EchoSetParams(params);
    echo->EchoSetup(channels, rate);
    return echo;
}

std::vector<int16_t> Echo16(Echo& echo, const std::vector<int16_t>& input) {
    return Run16([&echo](int32_t bits, uint8_t* block, uint32_t length) { echo.EchoProcess(bits, block, length); },
                 input);
}

TEST(EchoTest, LineLength) {
    struct Case {
        int32_t enabled, delay, level, channels, rate;
        uint32_t length;
    };
    const Case cases[] = {
        {1, 120, 30, 2, 44100, 10585},  // 2 × 5292 + 1
        {1, 120, 30, 1, 44100, 5293},
        {1, 5, 30, 1, 11025, 50},       // 55 is odd: 48 + 1, then + 1
        {1, 1, 30, 1, 11025, 2},        // 11 is odd: 0 + 1, then + 1
        {1, 60000, 30, 1, 8000, 480001},
        {1, 0, 30, 2, 44100, 0},        // no delay, no line
        {1, 120, 0, 2, 44100, 0},       // no level, no line
        {0, 120, 30, 2, 44100, 0},
        {1, 120, 30, 0, 44100, 0},
        {1, 120, 30, 2, 0, 0},
        {1, -120, 30, 2, 44100, 0},
        {1, 1, 30, 2, 500, 0},          // under one frame
        {1, 60001, 30, 1, 8000, 0},     // over a minute
        {1, 60000, 30, 2, kMax, 0},     // absurd rate
        {1, 120, 30, kMax, 44100, 0},   // absurd channel count
        {1, kMax, kMax, kMax, kMax, 0},
        {1, 120, -30, 2, 44100, 10585},  // a negative level inverts the echo
        {1, 1, 30, 2, 1000, 3},          // the 8-bit read position starts at the end and wraps
    };
    for (const Case& c : cases) {
        const auto echo = MakeEcho(Echo::kPlain, {c.enabled, c.delay, c.level}, c.channels, c.rate);
        EXPECT_EQ(echo->LineLength(), c.length) << c.delay << " ms, " << c.channels << " × " << c.rate << " Hz";
        // Set up first, parameters later: the same line, as when changed while playing.
        Echo later(Echo::kFeedback);
        later.EchoSetup(c.channels, c.rate);
        later.EchoSetParams({c.enabled, c.delay, c.level});
        EXPECT_EQ(later.LineLength(), c.length);
        // Every position stays inside the line (the address sanitizer watches).
        std::vector<uint8_t> block(4 * c.length + 64, 200);
        for (int32_t bits : {8, 16}) later.EchoProcess(bits, block.data(), static_cast<uint32_t>(block.size()));
    }
}

// Impulses in, the echoes out at exactly the delay, level percent truncated toward 0.
TEST(EchoTest, RepeatsAtTheDelay16) {
    struct Case {
        Echo::Mode mode;
        PlayerEffectParams params;
        int32_t channels, rate;
        size_t length;
        std::vector<std::pair<size_t, int16_t>> input, expected;
    };
    const Case cases[] = {
        // 10 ms stereo at 44100 Hz: 441 frames, 882 samples.
        {Echo::kPlain, {1, 10, 50}, 2, 44100, 900, {{0, 10000}, {1, -20000}},
         {{0, 10000}, {1, -20000}, {882, 5000}, {883, -10000}}},
        {Echo::kPlain, {1, 10, 30}, 2, 44100, 900, {{0, -333}}, {{0, -333}, {882, -99}}},
        {Echo::kPlain, {1, 10, -50}, 1, 1000, 30, {{0, 1000}}, {{0, 1000}, {10, -500}}},
        // The feedback echo repeats its own output: 10 samples at 1000 Hz mono.
        {Echo::kFeedback, {1, 10, 50}, 1, 1000, 65, {{0, 16000}},
         {{0, 16000}, {10, 8000}, {20, 4000}, {30, 2000}, {40, 1000}, {50, 500}, {60, 250}}},
        // Full scale clamps, and the line holds the clamped output.
        {Echo::kFeedback, {1, 10, 100}, 1, 1000, 60, {{0, 30000}, {10, 30000}, {15, -30000}, {25, -30000}},
         {{0, 30000}, {10, 32767}, {15, -30000}, {20, 32767}, {25, -32768}, {30, 32767}, {35, -32768},
          {40, 32767}, {45, -32768}, {50, 32767}, {55, -32768}}},
        // A level no one would choose still computes without overflow.
        {Echo::kPlain, {1, 10, kMax}, 1, 1000, 30, {{0, 1}, {1, -1}}, {{0, 1}, {1, -1}, {10, 32767}, {11, -32768}}},
        {Echo::kPlain, {1, 10, kMin}, 1, 1000, 30, {{0, 1}, {1, -1}}, {{0, 1}, {1, -1}, {10, -32768}, {11, 32767}}},
    };
    for (const Case& c : cases) {
        const auto echo = MakeEcho(c.mode, c.params, c.channels, c.rate);
        const auto output = Echo16(*echo, Impulses(c.length, c.input));
        EXPECT_EQ(output, Impulses(c.length, c.expected)) << "mode " << c.mode << ", level " << c.params.level;
    }
}

// At 8 bits the read position trails by about half the line.
TEST(EchoTest, RepeatsAtHalfTheDelay8) {
    struct Case {
        Echo::Mode mode;
        PlayerEffectParams params;
        int32_t channels, rate;
        size_t delaySamples;
        std::vector<uint8_t> echoes;  // what follows one impulse of 228 at each delay
    };
    const Case cases[] = {
        {Echo::kPlain, {1, 120, 30}, 2, 44100, 5292, {158, 128}},  // line 10585, read position 5293
        {Echo::kPlain, {1, 10, 30}, 1, 1000, 4, {158, 128}},       // line 11, read position 6 + 1
        {Echo::kFeedback, {1, 10, 50}, 1, 1000, 4, {178, 153, 140, 134, 131, 129, 128}},
        {Echo::kPlain, {1, 10, 500}, 1, 1000, 4, {255, 128}},       // clamped to the byte
        {Echo::kPlain, {1, 10, -500}, 1, 1000, 4, {0, 128}},
    };
    for (const Case& c : cases) {
        const auto echo = MakeEcho(c.mode, c.params, c.channels, c.rate);
        const size_t length = c.delaySamples * (c.echoes.size() + 1);
        std::vector<uint8_t> block(length, 128);
        block[0] = 228;
        echo->EchoProcess(8, block.data(), static_cast<uint32_t>(length));
        std::vector<uint8_t> expected(length, 128);
        expected[0] = 228;
        for (size_t repeat = 0; repeat < c.echoes.size(); ++repeat) {
            expected[(repeat + 1) * c.delaySamples] = c.echoes[repeat];
        }
        EXPECT_EQ(block, expected) << "delay " << c.delaySamples;
    }
}

TEST(EchoTest, ClearReleaseAndNewParametersForgetTheLine) {
    const std::vector<int16_t> impulse = Impulses(30, {{0, 1000}});
    const std::vector<int16_t> silence(30, 0);
    auto echo = MakeEcho(Echo::kPlain, {1, 10, 50}, 1, 1000);
    Echo16(*echo, Impulses(5, {{0, 1000}}));
    echo->EchoClear();
    EXPECT_EQ(Echo16(*echo, silence), silence) << "cleared at a seek";

    Echo16(*echo, Impulses(5, {{0, 1000}}));
    echo->EchoSetParams({1, 20, 50});
    EXPECT_EQ(echo->LineLength(), 21u) << "re-set up with the stored format";
    EXPECT_EQ(Echo16(*echo, silence), silence) << "restarted empty";
    EXPECT_EQ(Echo16(*echo, impulse), Impulses(30, {{0, 1000}, {20, 500}}));

    echo->EchoRelease();
    EXPECT_EQ(echo->LineLength(), 0u);
    EXPECT_EQ(Echo16(*echo, impulse), impulse);
    echo->EchoSetParams({1, 10, 50});
    EXPECT_EQ(echo->LineLength(), 0u) << "stopped: parameters are only stored";
    EXPECT_EQ(echo->GetParams().delay, 10);
}

TEST(BassShelfTest, GainIsClamped) {
    const std::pair<int32_t, int32_t> cases[] = {{25, 20}, {-3, 0}, {7, 7}, {20, 20}, {kMax, 20}, {kMin, 0}};
    for (auto [set, stored] : cases) {
        BassShelf shelf;
        shelf.BassSetGain(set);
        EXPECT_EQ(shelf.Gain(), stored) << set;
    }
}

// The cookbook low shelf with slope 1, written the cookbook's way.
TEST(BassShelfTest, CoefficientsMatchTheCookbook) {
    for (int32_t gain : {1, 6, 12, 20}) {
        for (int32_t rate : {8000, 22050, 44100, 48000}) {
            BassShelf shelf;
            shelf.BassSetGain(gain);
            shelf.BassDesign(2, rate);
            const double a = std::pow(10.0, gain / 40.0);
            const double w0 = 2 * std::numbers::pi * 70 / rate;
            const double alpha = std::sin(w0) / 2 * std::sqrt(2.0);
            const double root = 2 * std::sqrt(a) * alpha;
            const double c = std::cos(w0);
            const double expected[] = {
                (a + 1) + (a - 1) * c + root,       -2 * ((a - 1) + (a + 1) * c),
                (a + 1) + (a - 1) * c - root,       a * ((a + 1) - (a - 1) * c + root),
                2 * a * ((a - 1) - (a + 1) * c),    a * ((a + 1) - (a - 1) * c - root)};
            const BassCoefficients got = shelf.Coefficients();
            const int32_t actual[] = {got.a0, got.a1, got.a2, got.b0, got.b1, got.b2};
            for (size_t index = 0; index < 6; ++index) {
                // Truncated toward zero; the two ways of writing it may round the last bit apart.
                EXPECT_NEAR(actual[index], std::trunc(expected[index] * 4096), 1)
                    << gain << " dB " << rate << " Hz, coefficient " << index;
            }
        }
    }
}

std::vector<int16_t> Sine(double frequency, double amplitude, int32_t rate, size_t frames, size_t channels = 1,
                          size_t channel = 0) {
    std::vector<int16_t> samples(frames * channels, 0);
    for (size_t frame = 0; frame < frames; ++frame) {
        samples[frame * channels + channel] =
            static_cast<int16_t>(std::lround(amplitude * std::sin(2 * std::numbers::pi * frequency * frame / rate)));
    }
    return samples;
}

// Half the peak-to-peak swing of the second half: the settled amplitude.
double SettledAmplitude(const std::vector<int16_t>& samples) {
    const auto [low, high] = std::minmax_element(samples.begin() + samples.size() / 2, samples.end());
    return (*high - *low) / 2.0;
}

std::vector<int16_t> Bass16(BassShelf& shelf, const std::vector<int16_t>& input) {
    return Run16([&shelf](int32_t bits, uint8_t* block, uint32_t length) { shelf.BassProcess(bits, block, length); },
                 input);
}

TEST(BassShelfTest, BoostsTheBassOnly) {
    struct Case {
        int32_t gain;
        double frequency, minimumRatio, maximumRatio;
    };
    // The truncating integer filter strays from the ideal shelf by up to
    // about 1 dB at the top: 5 kHz stays within that, 50 Hz rises by more
    // than half the gain in dB and never past the plateau.
    const Case cases[] = {
        {12, 50, 2.0, 3.98}, {20, 50, 3.2, 10.0}, {12, 5000, 0.89, 1.12}, {20, 5000, 0.89, 1.12},
    };
    for (const Case& c : cases) {
        BassShelf shelf;
        shelf.BassSetGain(c.gain);
        shelf.BassDesign(1, 44100);
        const double ratio = SettledAmplitude(Bass16(shelf, Sine(c.frequency, 1000, 44100, 44100))) / 1000;
        EXPECT_GE(ratio, c.minimumRatio) << c.gain << " dB at " << c.frequency << " Hz";
        EXPECT_LE(ratio, c.maximumRatio) << c.gain << " dB at " << c.frequency << " Hz";
    }
}

TEST(BassShelfTest, InactiveWithoutGainOrFormat) {
    const auto input = Sine(50, 1000, 44100, 4410, 2);
    BassShelf shelf;
    shelf.BassDesign(2, 44100);
    EXPECT_EQ(Bass16(shelf, input), input) << "gain 0 leaves the samples untouched";
    shelf.BassReset();
    shelf.BassSetGain(12);
    EXPECT_EQ(Bass16(shelf, input), input) << "stopped: the gain is only stored";
    for (auto [channels, rate] : {std::pair{3, 44100}, {kMax, 44100}, {-2, 44100}, {2, -44100}}) {
        shelf.BassDesign(channels, rate);
        EXPECT_EQ(Bass16(shelf, input), input) << channels << " channels at " << rate << " Hz";
    }
    shelf.BassDesign(2, 44100);
    EXPECT_NE(Bass16(shelf, input), input) << "designed again for stereo";
}

TEST(BassShelfTest, EachChannelKeepsItsOwnHistory) {
    BassShelf mono;
    mono.BassSetGain(12);
    mono.BassDesign(1, 44100);
    const auto alone = Bass16(mono, Sine(50, 3000, 44100, 2000));
    for (size_t loud : {0u, 1u}) {
        BassShelf stereo;
        stereo.BassSetGain(12);
        stereo.BassDesign(2, 44100);
        const auto output = Bass16(stereo, Sine(50, 3000, 44100, 2000, 2, loud));
        for (size_t frame = 0; frame < 2000; ++frame) {
            ASSERT_EQ(output[2 * frame + loud], alone[frame]) << "frame " << frame;
            ASSERT_EQ(output[2 * frame + 1 - loud], 0) << "the silent channel stays silent, frame " << frame;
        }
    }
}

// At the top gains a full-scale input takes the filter sum past 32 bits;
// the result saturates instead of wrapping round to the other sign.
TEST(BassShelfTest, FullScaleSaturatesWithoutWrapping) {
    for (int32_t gain : {12, 20}) {
        for (int16_t level : {int16_t{32767}, int16_t{-32768}}) {
            BassShelf shelf;
            shelf.BassSetGain(gain);
            shelf.BassDesign(1, 44100);
            const auto output = Bass16(shelf, std::vector<int16_t>(44100, level));
            EXPECT_EQ(std::count(output.begin(), output.end(), level), 44100) << gain << " dB, " << level;
        }
        BassShelf shelf;
        shelf.BassSetGain(gain);
        shelf.BassDesign(1, 44100);
        std::vector<uint8_t> block(44100, 255);
        shelf.BassProcess(8, block.data(), static_cast<uint32_t>(block.size()));
        EXPECT_EQ(std::count(block.begin(), block.end(), 255), 44100) << gain << " dB at 8 bits";
    }
}

TEST(BassShelfTest, EightBitPath) {
    BassShelf shelf;
    shelf.BassSetGain(12);
    shelf.BassDesign(1, 44100);
    std::vector<uint8_t> block(44100);
    for (size_t index = 0; index < block.size(); ++index) {
        const double phase = 2 * std::numbers::pi * 50 * static_cast<double>(index) / 44100;
        block[index] = static_cast<uint8_t>(128 + std::lround(20 * std::sin(phase)));
    }
    shelf.BassProcess(8, block.data(), static_cast<uint32_t>(block.size()));
    const auto [low, high] = std::minmax_element(block.begin() + 22050, block.end());
    EXPECT_GE((*high - *low) / 2.0, 40) << "+12 dB shelf: 20 steps grow past 40";
    EXPECT_LE((*high - *low) / 2.0, 56);
}

TEST(StereoWidenTest, Formula) {
    struct Case {
        int32_t strength;
        int16_t left, right, wideLeft, wideRight;
    };
    const Case cases[] = {
        {25, 1000, 0, 1250, -250},  {100, 1000, -1000, 3000, -3000}, {50, -7, 0, -10, 3},  // truncated toward 0
        {100, 500, 500, 500, 500},  {100, 30000, -30000, 32767, -32768}, {150, 1000, 0, 2000, -1000},  // stored as 100
    };
    for (const Case& c : cases) {
        StereoWiden widen;
        widen.SetParams({1, 0, c.strength});
        auto block = Bytes16({c.left, c.right, c.left, c.right});
        widen.WidenProcess(16, block.data(), static_cast<uint32_t>(block.size()));
        EXPECT_EQ(Samples16(block), (std::vector<int16_t>{c.wideLeft, c.wideRight, c.wideLeft, c.wideRight}))
            << c.left << ", " << c.right << " at " << c.strength << " %";
    }
}

TEST(StereoWidenTest, EightBitPath) {
    struct Case {
        int32_t strength;
        uint8_t left, right, wideLeft, wideRight;
    };
    const Case cases[] = {
        {50, 200, 100, 250, 50},
        {100, 255, 0, 255, 0},     // far past the byte before the clamp
        {25, 129, 128, 129, 127},  // the shift rounds toward minus infinity
    };
    for (const Case& c : cases) {
        StereoWiden widen;
        widen.SetParams({1, 0, c.strength});
        std::vector<uint8_t> block = {c.left, c.right};
        widen.WidenProcess(8, block.data(), 2);
        EXPECT_EQ(block, (std::vector<uint8_t>{c.wideLeft, c.wideRight})) << int(c.left) << ", " << int(c.right);
    }
}

TEST(StereoWidenTest, SettingsAndWhenItDoesNothing) {
    struct Case {
        PlayerEffectParams set, read;
    };
    const Case cases[] = {{{1, 7, 150}, {1, 0, 100}}, {{1, 0, -5}, {1, 0, 0}}, {{0, 0, 40}, {0, 0, 40}}};
    const auto input = Bytes16({1000, -1000, 20, 30});
    for (const Case& c : cases) {
        StereoWiden widen;
        widen.SetParams(c.set);
        const PlayerEffectParams read = widen.GetParams();
        EXPECT_EQ(std::vector<int32_t>({read.enabled, read.delay, read.level}),
                  std::vector<int32_t>({c.read.enabled, c.read.delay, c.read.level}));
        if (c.read.enabled == 0 || c.read.level == 0) {
            auto block = input;
            widen.WidenProcess(16, block.data(), static_cast<uint32_t>(block.size()));
            EXPECT_EQ(block, input) << "disabled or no strength";
        }
    }
}

// The chain widens stereo only, and with everything at its defaults leaves the block alone.
TEST(EffectChainTest, MonoIsNeverWidenedAndDefaultsChangeNothing) {
    StereoWiden widen;
    BassShelf bassShelf;
    Echo echo(Echo::kPlain);
    Echo feedbackEcho(Echo::kFeedback);
    bassShelf.BassDesign(2, 44100);
    echo.EchoSetup(2, 44100);
    feedbackEcho.EchoSetup(2, 44100);
    const EffectChain chain{widen, bassShelf, echo, feedbackEcho};
    const auto input = Bytes16({1000, -1000, 20, 30});
    for (int32_t channels : {1, 2}) {
        auto block = input;
        chain.Process(channels, 16, block.data(), static_cast<uint32_t>(block.size()));
        EXPECT_EQ(block, input) << "defaults, " << channels << " channels";
    }
    widen.SetParams({1, 0, 100});
    auto block = input;
    chain.Process(1, 16, block.data(), static_cast<uint32_t>(block.size()));
    EXPECT_EQ(block, input) << "mono";
    chain.Process(2, 16, block.data(), static_cast<uint32_t>(block.size()));
    EXPECT_EQ(Samples16(block), (std::vector<int16_t>{3000, -3000, 10, 40}));
}

// Settings changed from another thread while blocks are processed (for the
// thread sanitizer); the last setting is what the next block hears.
TEST(EffectChainTest, SettingsChangeWhileProcessing) {
    StereoWiden widen;
    BassShelf bassShelf;
    Echo echo(Echo::kPlain);
    Echo feedbackEcho(Echo::kFeedback);
    bassShelf.BassDesign(2, 8000);
    echo.EchoSetup(2, 8000);
    feedbackEcho.EchoSetup(2, 8000);
    const EffectChain chain{widen, bassShelf, echo, feedbackEcho};
    std::atomic<bool> done{false};
    std::thread player([&] {
        std::vector<uint8_t> block(4096, 0x55);
        while (!done) chain.Process(2, 16, block.data(), static_cast<uint32_t>(block.size()));
    });
    for (int32_t round = 0; round < 200; ++round) {
        echo.EchoSetParams({round % 2, 1 + round % 7, 40});
        feedbackEcho.EchoSetParams({1, 1 + round % 5, round % 3 * 30});
        bassShelf.BassSetGain(round % 21);
        widen.SetParams({round % 2, 0, round});
        if (round % 50 == 0) {
            echo.EchoClear();
            bassShelf.BassClear();
        }
    }
    done = true;
    player.join();

    echo.EchoSetParams({1, 1, 50});  // 8 frames
    feedbackEcho.EchoSetParams({0, 1, 50});
    bassShelf.BassSetGain(0);
    widen.SetParams({0, 0, 0});
    auto block = Bytes16(Impulses(20, {{0, 1000}}));
    chain.Process(2, 16, block.data(), static_cast<uint32_t>(block.size()));
    EXPECT_EQ(Samples16(block), Impulses(20, {{0, 1000}, {16, 500}}));
}

// ---- Through the engine ----------------------------------------------------

// Plays a fixture to its end through the capture device and returns its samples.
std::vector<int16_t> Render(PlayerEngine* engine, platform::RecordingWindow& window, const std::string& fixture) {
    test::CapturedAudio captured(test::CapturedAudio::kUnpaced);
    PlayerSetOutputDevice(engine, platform::WaveBackend::Capture, captured.Sink());
    size_t stopsBefore = 0;
    for (const auto& message : window.MessagesOf(WM_PLAYER_STATUS)) stopsBefore += message.wParam == PLAYER_STOPPED;
    EXPECT_EQ(PlayerOpen(engine, test::FixturePath(fixture)), 1);
    EXPECT_EQ(PlayerPlay(engine), 1);
    EXPECT_TRUE(test::WaitForStatus(window, PLAYER_STOPPED, stopsBefore + 1)) << "played to the end";
    // The device that called the sink closed before the stop was reported.
    return Samples16(captured.Bytes());
}

// The decoder's rounding carries its error from one playback to the next, so
// two renders of one file may differ by one step in any sample.
TEST(EffectPlaybackTest, PlainEchoIsHeardAfterTheDelay) {
    platform::RecordingWindow window;  // outlives the engine, whose thread posts to it
    test::EngineHandle engine(PlayerCreate());
    PlayerSetNotifyWindow(engine.get(), &window);
    const auto dry = Render(engine.get(), window, "cbr128_noinfo.mp3");

    const PlayerEffectParams echo = {1, 120, 50};
    PlayerSetEffect(engine.get(), EFFECT_ECHO, &echo);
    for (int playback = 1; playback <= 2; ++playback) {
        // The second playback shows the line starts empty again, not holding
        // the loud end of the first.
        const auto wet = Render(engine.get(), window, "cbr128_noinfo.mp3");
        ASSERT_EQ(wet.size(), dry.size());
        ASSERT_GT(dry.size(), 44100u);

        const size_t delay = 2 * 44100 * 120 / 1000;  // samples, both channels
        int32_t largestBefore = 0, largestOff = 0, largestEcho = 0;
        for (size_t index = 0; index < dry.size(); ++index) {
            if (index < delay) {
                largestBefore = std::max(largestBefore, std::abs(wet[index] - dry[index]));
                continue;
            }
            const int32_t expected = std::clamp(dry[index] + 50 * dry[index - delay] / 100, -32768, 32767);
            largestOff = std::max(largestOff, std::abs(wet[index] - expected));
            largestEcho = std::max(largestEcho, std::abs(wet[index] - dry[index]));
        }
        EXPECT_LE(largestBefore, 1) << "playback " << playback << ": nothing to repeat in the first 120 ms";
        EXPECT_LE(largestOff, 2) << "playback " << playback << ": each sample plus half the one 120 ms before";
        EXPECT_GT(largestEcho, 4000) << "playback " << playback << ": a -6 dB tone echoed at half";
    }
}

}  // namespace
