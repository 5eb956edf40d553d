// The equalizer on decoded PCM: its curve against the settings, untouched
// samples while it is off or flat, the same response as the MPEG subband
// equalizer on the same noise, and a slider moved while playing.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/equalizer.h"
#include "engine/pcm_equalizer_design.h"
#include "tests/support/band_power.h"
#include "tests/support/captured_playback.h"
#include "tests/support/fixtures.h"

namespace {

using namespace engine;

PlayerEqSettings Settings(int32_t enabled, int32_t preamp, std::vector<int32_t> bands) {
    PlayerEqSettings settings;
    settings.enabled = enabled;
    settings.preamp = preamp;
    for (int band = 0; band < kEqualizerBands; ++band) settings.bands[band] = bands[size_t(band) % bands.size()];
    return settings;
}

// Engine values of presets and of single sliders far from the middle.
const struct {
    const char* name;
    PlayerEqSettings settings;
} kCurves[] = {
    {"Rock", Settings(1, 31, {19, 23, 40, 45, 38, 25, 17, 14, 14, 14})},
    {"Full Bass & Treble", Settings(1, 31, {20, 22, 31, 44, 40, 28, 18, 14, 11, 11})},
    {"Pop, preamp cut", Settings(1, 40, {35, 23, 20, 19, 23, 34, 36, 36, 35, 35})},
    {"one band up", Settings(1, 31, {31, 31, 31, 31, 10, 31, 31, 31, 31, 31})},
    {"every other band", Settings(1, 31, {20, 42})},
};

TEST(PcmEqualizerDesignTest, CentresFollowTheSettings) {
    std::vector<std::pair<std::string, PlayerEqSettings>> curves = {
        {"zigzag, 27 dB apart", Settings(1, 31, {10, 52})},
        {"everything up, limited to +18 dB", Settings(1, 0, {0})},
        {"everything down", Settings(1, 63, {63})},
    };
    for (const auto& curve : kCurves) curves.emplace_back(curve.name, curve.settings);
    for (const int32_t rate : {44100, 48000, 22050, 8000}) {
        const EqualizerDesign design = DesignForRate(rate);
        for (const auto& [name, settings] : curves) {
            const EqualizerCurve shape = CurveForSettings(design, settings);
            for (int band = 0; band < kEqualizerBands; ++band) {
                // Bands at or above the Nyquist frequency have no filter.
                ASSERT_EQ(design.present[band], kBandCentres[band] < rate / 2.0) << rate << " Hz, band " << band;
                if (!design.present[band]) continue;
                EXPECT_NEAR(ResponseDecibels(design, shape, kBandCentres[band]), BandDecibels(settings, band), 0.5)
                    << name << " at " << rate << " Hz, band " << band;
            }
        }
    }
}

class PcmEqualizerTest : public test::CapturedPlayback {
protected:
    // The PCM of the whole fixture as played with `settings`.
    std::vector<int16_t> PlayWith(const std::string& fixture, const PlayerEqSettings& settings) {
        captured.Clear();
        PlayerSetEqualizer(engine.get(), &settings);
        EXPECT_EQ(PlayerOpen(engine.get(), test::FixturePath(fixture)), 1) << fixture;
        EXPECT_TRUE(PlayToTheEnd(plays_++)) << fixture;
        return Samples();
    }
    std::vector<uint8_t> BytesWith(const std::string& fixture, const PlayerEqSettings& settings) {
        PlayWith(fixture, settings);
        return captured.Bytes();
    }

    size_t plays_ = 0;
};

TEST_F(PcmEqualizerTest, OffOrFlatLeavesEverySampleAsDecoded) {
    const PlayerEqSettings untouched = Settings(0, 31, {31});
    const PlayerEqSettings off = Settings(0, 5, {0, 63});
    const PlayerEqSettings flat = Settings(1, 31, {31});
    for (const char* fixture : {"tagged.ogg", "mono.ogg", "tagged.flac", "tagged.opus", "pcm.wav",
                                "wave_pcm8_stereo.wav", "wave_ima_stereo.wav"}) {
        const std::vector<uint8_t> decoded = BytesWith(fixture, untouched);
        ASSERT_FALSE(decoded.empty()) << fixture;
        EXPECT_TRUE(BytesWith(fixture, off) == decoded) << fixture << ", off";
        EXPECT_TRUE(BytesWith(fixture, flat) == decoded) << fixture << ", flat";
        EXPECT_FALSE(BytesWith(fixture, kCurves[0].settings) == decoded) << fixture << ", on";
    }
}

// What the equalizer does to the noise at each band centre, in dB.
std::vector<double> CentreGains(const std::vector<int16_t>& flat, const std::vector<int16_t>& shaped) {
    constexpr int kRate = 44100;
    constexpr double kHalfWidth = 60;  // Hz: the one or two DFT bins nearest the centre
    std::vector<double> gains;
    for (const double centre : kBandCentres) {
        const auto power = [&](const std::vector<int16_t>& samples) {
            return test::BandPower(samples, 2, kRate, centre - kHalfWidth, centre + kHalfWidth, 0, samples.size() / 2);
        };
        gains.push_back(10 * std::log10(power(shaped) / power(flat)));
    }
    return gains;
}

TEST_F(PcmEqualizerTest, ShapesLikeTheSubbandEqualizer) {
    const PlayerEqSettings flat = Settings(1, 31, {31});
    for (const auto& curve : kCurves) {
        const std::vector<double> mpeg = CentreGains(PlayWith("noise.mp3", flat), PlayWith("noise.mp3", curve.settings));
        for (const char* fixture : {"noise.ogg", "noise.wav"}) {
            const std::vector<double> pcm = CentreGains(PlayWith(fixture, flat), PlayWith(fixture, curve.settings));
            for (int band = 0; band < kEqualizerBands; ++band) {
                EXPECT_NEAR(pcm[band], mpeg[band], 1.5) << curve.name << ", " << fixture << ", band " << band;
            }
        }
    }
}

// A change while playing: the preamp drops by 20 dB a second into the tone.
// It must be heard, and glide: at once it would jump by most of the
// tone's height, far more than the tone itself moves from one sample to
// the next.
TEST(PcmEqualizerGlideTest, SliderMovedWhilePlayingGlides) {
    platform::RecordingWindow window;
    test::CapturedAudio captured{4.0};  // paced, so the change lands mid-file
    test::EngineHandle engine = test::MakeEngine();
    PlayerSetNotifyWindow(engine.get(), &window);
    PlayerSetOutputDevice(engine.get(), platform::WaveBackend::Capture, captured.Sink());
    PlayerEqSettings settings = Settings(1, 31, {31});
    PlayerSetEqualizer(engine.get(), &settings);
    ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath("tone.wav")), 1);
    ASSERT_EQ(PlayerPlay(engine.get()), 1);
    ASSERT_TRUE(test::Eventually([&] { return captured.Milliseconds() >= 1000; }));
    settings.preamp = 63;
    PlayerSetEqualizer(engine.get(), &settings);
    ASSERT_TRUE(test::WaitForStatus(window, PLAYER_STOPPED));

    const std::vector<uint8_t> bytes = captured.Bytes();
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    const size_t second = 44100 * 2;
    ASSERT_GT(samples.size(), 4 * second);
    const auto largest = [&](size_t first, size_t end, auto measure) {
        int32_t most = 0;
        for (size_t index = first; index < end; ++index) most = std::max(most, measure(index));
        return most;
    };
    const auto height = [&](size_t index) { return std::abs(int32_t{samples[index]}); };
    const auto stepOf = [&](size_t index) { return std::abs(samples[index] - samples[index - 2]); };
    const int32_t before = largest(0, second, height);
    const int32_t after = largest(samples.size() - second, samples.size(), height);
    EXPECT_LT(after, before / 8) << "the cut is heard";
    EXPECT_LE(largest(2, samples.size(), stepOf), largest(2, second, stepOf) + 2) << "no step";
}

// A seek back to the start while playing: from there on the PCM is what a
// playback from the start gives, sample for sample, so nothing from before
// the seek rang on in the filters.
TEST(PcmEqualizerSeekTest, SeekStartsTheFiltersAfresh) {
    platform::RecordingWindow window;
    test::CapturedAudio captured{4.0};
    test::EngineHandle engine = test::MakeEngine();
    PlayerSetNotifyWindow(engine.get(), &window);
    PlayerSetOutputDevice(engine.get(), platform::WaveBackend::Capture, captured.Sink());
    PlayerSetEqualizer(engine.get(), &kCurves[0].settings);
    ASSERT_EQ(PlayerOpen(engine.get(), test::FixturePath("noise.wav")), 1);
    ASSERT_TRUE(PlayerPlay(engine.get()) == 1 && test::WaitForStatus(window, PLAYER_STOPPED));
    const std::vector<uint8_t> fromTheStart = captured.Bytes();

    captured.Clear();
    ASSERT_EQ(PlayerPlay(engine.get()), 1);
    ASSERT_TRUE(test::Eventually([&] { return captured.Milliseconds() >= 1500; }));
    ASSERT_EQ(PlayerSeek(engine.get(), 0), 1);
    ASSERT_TRUE(test::WaitForStatus(window, PLAYER_STOPPED, 2));
    const std::vector<uint8_t> seeked = captured.Bytes();

    // Where the start comes again: the first 64 frames match there.
    constexpr size_t kProbe = 64 * 4;
    ASSERT_GT(fromTheStart.size(), kProbe);
    size_t restart = 4;
    while (restart + kProbe <= seeked.size() &&
           std::memcmp(seeked.data() + restart, fromTheStart.data(), kProbe) != 0) {
        restart += 4;
    }
    ASSERT_LT(restart + kProbe, seeked.size()) << "the start never came again";
    EXPECT_TRUE(std::equal(seeked.begin() + std::ptrdiff_t(restart), seeked.end(), fromTheStart.begin(),
                           fromTheStart.end()));
}

}  // namespace
