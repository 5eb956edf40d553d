#include "engine/mpeg_decoder.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/equalizer.h"
#include "platform/byte_order.h"
#include "tests/support/fixtures.h"
#include "tests/support/libmad_reference.h"

// DecodeFrame is checked against a plain continuous libmad decode of the same
// bytes, rounded the same way. The two start from different rounding
// accumulators (DecodeFrame's pair is process-wide), so a sample may differ
// by one step; the running sum of the differences may not drift further.

namespace {

using namespace engine;

constexpr size_t kWholeFile = SIZE_MAX;
constexpr size_t kFrameRoom = 1152 * 2 * 2;  // the largest frame: 1152 stereo 16-bit samples

// A fixture with the guard bytes libmad needs after the last frame.
std::vector<uint8_t> LoadStream(const char* name) {
    std::vector<uint8_t> bytes = test::ReadFileBytes(test::FixturePath(name));
    bytes.insert(bytes.end(), MAD_BUFFER_GUARD, 0);
    return bytes;
}

PlayerEqSettings Equalizer(int32_t preamp, int32_t bands) {
    PlayerEqSettings settings;
    settings.enabled = 1;
    settings.preamp = preamp;
    std::fill(std::begin(settings.bands), std::end(settings.bands), bands);
    return settings;
}

// Owns an EqualizerBlock with a created decoder.
struct DecoderFixture {
    explicit DecoderFixture(const PlayerEqSettings& settings = {}) {
        equalizer.settings = settings;
        CreateMpegDecoder(equalizer);
    }
    ~DecoderFixture() { DestroyMpegDecoder(equalizer); }
    MpegDecoder& Decoder() { return *equalizer.decoder; }
    EqualizerBlock equalizer;
};

struct Decoded {
    std::vector<uint8_t> pcm;
    std::vector<size_t> frameOffsets;
    int frames = 0;
    int channels = 0;
};

struct WalkOptions {
    int bits = 16;
    bool halfRate = false;
    size_t window = kWholeFile;  // otherwise windows of this size, grown when short
    bool refuseFirst = false;    // offer each frame too little room first
    int channels = kChannelsOfTheFrame;
};

// One DecodeFrame call. A limited window is copied into a buffer of its own
// size, so the address sanitizer sees any read past it.
int DecodeAt(MpegDecoder& decoder, const std::vector<uint8_t>& bytes, size_t offset, size_t windowLength,
             std::vector<uint8_t>& output, size_t room, const WalkOptions& options, size_t* consumed,
             size_t* produced) {
    const uint8_t* input = bytes.data() + offset;
    std::vector<uint8_t> window;
    if (options.window != kWholeFile) {
        window.assign(input, input + windowLength);
        input = window.data();
    }
    return DecodeFrame(decoder, input, windowLength, output.data(), room, options.bits, options.halfRate,
                       consumed, produced, options.channels);
}

// Walks the stream frame by frame as the engine's frame loop does: one byte
// on after an error, the end at a result of 1 with nothing left to add.
Decoded WalkWithDecodeFrame(MpegDecoder& decoder, const std::vector<uint8_t>& bytes, const WalkOptions& options) {
    constexpr uint8_t kSentinel = 0xA5;
    constexpr size_t kRefusedRoom = 1151;  // below every frame of the fixtures used here
    Decoded decoded;
    std::vector<uint8_t> output(kFrameRoom);
    size_t offset = 0;
    size_t windowLength = options.window;
    while (offset < bytes.size()) {
        windowLength = std::min(windowLength, bytes.size() - offset);
        size_t consumed = 0;
        size_t produced = 0;
        int firstResult = DECODE_OUTPUT_FULL;
        if (options.refuseFirst) {
            std::fill(output.begin(), output.end(), kSentinel);
            firstResult = DecodeAt(decoder, bytes, offset, windowLength, output, kRefusedRoom, options, &consumed,
                                   &produced);
            if (firstResult != DECODE_FRAME_DONE) {
                EXPECT_TRUE(std::all_of(output.begin(), output.end(), [](uint8_t b) { return b == kSentinel; }));
            }
        }
        const int result = firstResult == DECODE_FRAME_DONE
                               ? firstResult
                               : DecodeAt(decoder, bytes, offset, windowLength, output, output.size(), options,
                                          &consumed, &produced);
        if (result == DECODE_FRAME_DONE) {
            EXPECT_EQ(firstResult, DECODE_OUTPUT_FULL) << "every frame of the fixtures needs more room, at " << offset;
            EXPECT_GT(consumed, 0u);
            EXPECT_LE(consumed, windowLength);
            decoded.pcm.insert(decoded.pcm.end(), output.begin(), output.begin() + produced);
            decoded.frameOffsets.push_back(offset);
            ++decoded.frames;
            offset += consumed;
            windowLength = options.window;
        } else if (result == DECODE_NEED_MORE_INPUT) {
            if (windowLength == bytes.size() - offset) break;
            windowLength += options.window;
        } else {
            EXPECT_EQ(result, DECODE_RECOVERABLE_ERROR) << "at " << offset;
            ++offset;
        }
    }
    return decoded;
}

// The plain decode: one libmad stream over the whole file.
using test::Overflow;

Decoded DecodeContinuously(const std::vector<uint8_t>& bytes, int bits, bool halfRate,
                         const int32_t (*gains)[32] = nullptr, Overflow overflow = Overflow::Saturate) {
    const test::ReferencePcm reference = test::DecodeWithLibmad(bytes, bits, halfRate, gains, overflow);
    Decoded decoded;
    decoded.pcm = reference.pcm;
    decoded.frames = reference.frames;
    decoded.channels = reference.channels;
    return decoded;
}

std::vector<int32_t> Samples(const std::vector<uint8_t>& pcm, int bits) {
    std::vector<int32_t> samples;
    if (bits == 8) {
        for (uint8_t byte : pcm) samples.push_back(int32_t{byte} - 128);
    } else {
        for (size_t index = 0; index + 1 < pcm.size(); index += 2) {
            samples.push_back(static_cast<int16_t>(platform::ReadLittle16(&pcm[index])));
        }
    }
    return samples;
}

double Energy(const std::vector<uint8_t>& pcm) {
    double energy = 0;
    for (int32_t sample : Samples(pcm, 16)) energy += double{1.0} * sample * sample;
    return energy;
}

// Each sample within one step; without clipping, also no drift per channel.
// The first samples of each channel may still play out an error that earlier
// decodes left in the process-wide accumulators (after 8-bit output or a
// clipped run that can be many steps), so the comparison starts after them.
void ExpectWithinOneStep(const Decoded& actual, const Decoded& expected, int bits, bool checkDrift) {
    constexpr size_t kSettlingSamples = 4;
    const std::vector<int32_t> a = Samples(actual.pcm, bits);
    const std::vector<int32_t> b = Samples(expected.pcm, bits);
    ASSERT_EQ(a.size(), b.size());
    ASSERT_GT(expected.channels, 0);
    int64_t drift[2] = {0, 0};
    for (size_t index = kSettlingSamples * expected.channels; index < a.size(); ++index) {
        ASSERT_LE(std::abs(a[index] - b[index]), 1) << "sample " << index;
        int64_t& channelDrift = drift[index % expected.channels];
        channelDrift += a[index] - b[index];
        if (checkDrift) {
            ASSERT_LE(std::abs(channelDrift), 1) << "sample " << index;
        }
    }
}

// The 32 gains a decoder created with `settings` holds.
void GainsOf(const PlayerEqSettings& settings, int32_t (&gains)[32]) {
    DecoderFixture fixture(settings);
    for (int subband = 0; subband < 32; ++subband) gains[subband] = fixture.Decoder().gains[subband].load();
}

// Samples that differ by more than one step.
size_t CountDiffering(const std::vector<uint8_t>& first, const std::vector<uint8_t>& second) {
    const std::vector<int32_t> a = Samples(first, 16);
    const std::vector<int32_t> b = Samples(second, 16);
    size_t differing = 0;
    for (size_t index = 0; index < std::min(a.size(), b.size()); ++index) differing += std::abs(a[index] - b[index]) > 1;
    return differing;
}

TEST(DecoderTest, MatchesContinuousLibmadDecode) {
    struct Case {
        const char* file;
        int bits;
        bool halfRate;
        size_t window;
        bool clips;
    };
    const Case cases[] = {
        {"cbr128.mp3", 16, false, kWholeFile, false},
        {"cbr128_noinfo.mp3", 16, false, 1024, false},
        {"vbr.mp3", 16, false, 1024, false},
        {"mpeg2_l3.mp3", 16, false, kWholeFile, false},
        {"mpeg25_l3.mp3", 16, false, 300, false},
        {"layer2.mp2", 16, false, kWholeFile, false},
        {"mpeg2_layer2.mp2", 16, false, 700, false},
        {"truncated.mp3", 16, false, kWholeFile, false},
        {"short.mp3", 8, false, kWholeFile, false},
        {"cbr128.mp3", 8, false, 1024, false},
        {"cbr128.mp3", 16, true, kWholeFile, false},
        {"mpeg2_l3.mp3", 16, true, 1024, false},
        {"layer2.mp2", 8, true, 1024, false},
        {"loud.mp3", 16, false, 1024, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.file << " " << c.bits << " bits, half rate " << c.halfRate
                                        << ", window " << c.window);
        const std::vector<uint8_t> bytes = LoadStream(c.file);
        DecoderFixture fixture;
        const Decoded actual = WalkWithDecodeFrame(fixture.Decoder(), bytes, {c.bits, c.halfRate, c.window});
        const Decoded expected = DecodeContinuously(bytes, c.bits, c.halfRate);
        EXPECT_GT(expected.frames, 0);
        EXPECT_EQ(actual.frames, expected.frames);
        ExpectWithinOneStep(actual, expected, c.bits, !c.clips);
    }
}

TEST(DecoderTest, HalfRateHalvesTheOutput) {
    for (const char* file : {"cbr128.mp3", "mpeg2_l3.mp3", "layer2.mp2", "mpeg2_layer2.mp2"}) {
        const std::vector<uint8_t> bytes = LoadStream(file);
        DecoderFixture full;
        DecoderFixture half;
        const size_t fullBytes = WalkWithDecodeFrame(full.Decoder(), bytes, {16, false}).pcm.size();
        const size_t halfBytes = WalkWithDecodeFrame(half.Decoder(), bytes, {16, true}).pcm.size();
        EXPECT_GT(halfBytes, 0u) << file;
        EXPECT_EQ(halfBytes * 2, fullBytes) << file;
    }
}

TEST(DecoderTest, EightBitSilenceIs128) {
    // The Info frame that opens cbr128.mp3 decodes to digital silence.
    const std::vector<uint8_t> bytes = LoadStream("cbr128.mp3");
    DecoderFixture fixture;
    std::vector<uint8_t> output(kFrameRoom, 0);
    size_t consumed = 0;
    size_t produced = 0;
    ASSERT_EQ(DecodeFrame(fixture.Decoder(), bytes.data(), bytes.size(), output.data(), output.size(), 8, false,
                          &consumed, &produced),
              DECODE_FRAME_DONE);
    ASSERT_EQ(produced, 1152u * 2);
    // The first sample of each channel may play out an error left by others.
    EXPECT_TRUE(std::all_of(output.begin() + 2, output.begin() + produced, [](uint8_t b) { return b == 128; }));
}

TEST(DecoderTest, EqualizerMatchesTheSubbandMultiply) {
    struct Case {
        const char* file;
        int32_t preamp;
        int32_t bands;
        bool clips;
    };
    const Case cases[] = {
        {"cbr128.mp3", 31, 31, false},
        {"mpeg2_l3.mp3", 40, 20, false},
        {"layer2.mp2", 63, 63, false},
        {"loud.mp3", 31, 45, false},
        {"square.mp3", 0, 0, true},  // +18 dB: the products leave the 32-bit range
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::vector<uint8_t> bytes = LoadStream(c.file);
        int32_t gains[32];
        GainsOf(Equalizer(c.preamp, c.bands), gains);
        DecoderFixture fixture(Equalizer(c.preamp, c.bands));
        const Decoded actual = WalkWithDecodeFrame(fixture.Decoder(), bytes, {});
        ExpectWithinOneStep(actual, DecodeContinuously(bytes, 16, false, &gains), 16, !c.clips);
        if (c.clips) {
            // The case does reach the saturation: wrapped products sound different.
            const Decoded wrapped = DecodeContinuously(bytes, 16, false, &gains, Overflow::Wrap);
            EXPECT_GT(CountDiffering(actual.pcm, wrapped.pcm), 1000u);
        }
    }
}

// Flat settings are not a no-op: the multiply keeps 16 bits of each subband
// sample. That requantisation moves about half the PCM samples by a step or
// a few, a noise floor well under one step RMS.
TEST(DecoderTest, FlatEqualizerIsAlmostTransparent) {
    constexpr size_t kSettlingSamples = 8;
    for (const char* file : {"cbr128.mp3", "vbr.mp3", "layer2.mp2", "mpeg2_l3.mp3"}) {
        const std::vector<uint8_t> bytes = LoadStream(file);
        DecoderFixture off;
        DecoderFixture flat(Equalizer(31, 31));
        const std::vector<int32_t> plain = Samples(WalkWithDecodeFrame(off.Decoder(), bytes, {}).pcm, 16);
        const std::vector<int32_t> equalized = Samples(WalkWithDecodeFrame(flat.Decoder(), bytes, {}).pcm, 16);
        ASSERT_EQ(plain.size(), equalized.size());
        size_t differing = 0;
        int32_t largest = 0;
        double squares = 0;
        for (size_t index = kSettlingSamples; index < plain.size(); ++index) {
            const int32_t difference = equalized[index] - plain[index];
            differing += difference != 0;
            largest = std::max(largest, std::abs(difference));
            squares += double{1.0} * difference * difference;
        }
        const double rms = std::sqrt(squares / static_cast<double>(plain.size()));
        EXPECT_GT(differing, plain.size() / 10) << file;
        EXPECT_LE(largest, 4) << file;
        EXPECT_LT(rms, 1.0) << file;
    }
}

TEST(DecoderTest, EqualizerShapesTheTone) {
    // tone.wav is 440 and 660 Hz: subband 0 and, for the part of 660 Hz that
    // the filter bank spreads over the border at 689 Hz, subband 1.
    struct Case {
        int32_t preamp;
        int32_t lowBands;    // bands 1 and 2
        int32_t otherBands;  // bands 3 to 10
        double decibels;
    };
    const Case cases[] = {
        {31, 63, 31, -20.0},
        {31, 45, 31, -8.57},
        {31, 31, 63, 0.0},
        {63, 31, 31, -20.0},
        {0, 63, 63, 0.0},
    };
    const std::vector<uint8_t> bytes = LoadStream("cbr128.mp3");
    DecoderFixture off;
    const double reference = Energy(WalkWithDecodeFrame(off.Decoder(), bytes, {}).pcm);
    for (const Case& c : cases) {
        PlayerEqSettings settings = Equalizer(c.preamp, c.otherBands);
        settings.bands[0] = settings.bands[1] = c.lowBands;
        DecoderFixture fixture(settings);
        const double energy = Energy(WalkWithDecodeFrame(fixture.Decoder(), bytes, {}).pcm);
        EXPECT_NEAR(10 * std::log10(energy / reference), c.decibels, 0.3)
            << "preamp " << c.preamp << ", low bands " << c.lowBands << ", others " << c.otherBands;
    }
}

TEST(DecoderTest, RefusedFrameDecodesIntactOnTheNextCall) {
    // A frame that does not fit is refused before libmad sees it, so the
    // retry with a fresh block decodes it as if nothing had happened.
    struct Case {
        const char* file;
        int bits;
        bool halfRate;
    };
    const Case cases[] = {{"cbr128.mp3", 16, false}, {"mpeg2_l3.mp3", 8, false}, {"layer2.mp2", 16, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::vector<uint8_t> bytes = LoadStream(c.file);
        DecoderFixture fixture;
        const Decoded actual =
            WalkWithDecodeFrame(fixture.Decoder(), bytes, {c.bits, c.halfRate, kWholeFile, true});
        ExpectWithinOneStep(actual, DecodeContinuously(bytes, c.bits, c.halfRate), c.bits, true);
    }
}

// A frame whose channel count differs from the output's is converted as it
// is rounded: a stereo frame to the mean of its channels (each within one
// step of the plain decode, so their mean within two), a mono frame to the
// same value on both channels.
TEST(DecoderTest, ConvertsFramesToTheOutputChannels) {
    constexpr size_t kSettlingFrames = 4;
    struct Case {
        const char* file;
        int channels;
    };
    const Case cases[] = {{"cbr128.mp3", 1}, {"layer2.mp2", 1}, {"long_minute.mp3", 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::vector<uint8_t> bytes = LoadStream(c.file);
        DecoderFixture fixture;
        const Decoded actual =
            WalkWithDecodeFrame(fixture.Decoder(), bytes, {16, false, kWholeFile, false, c.channels});
        const Decoded expected = DecodeContinuously(bytes, 16, false);
        ASSERT_NE(expected.channels, c.channels);
        ASSERT_EQ(actual.frames, expected.frames);
        const std::vector<int32_t> converted = Samples(actual.pcm, 16);
        const std::vector<int32_t> plain = Samples(expected.pcm, 16);
        ASSERT_EQ(converted.size() / size_t(c.channels), plain.size() / size_t(expected.channels));
        for (size_t frame = kSettlingFrames; frame < plain.size() / size_t(expected.channels); ++frame) {
            if (c.channels == 1) {
                const int32_t mean = (plain[2 * frame] + plain[2 * frame + 1]) / 2;
                ASSERT_LE(std::abs(converted[frame] - mean), 2) << "frame " << frame;
            } else {
                ASSERT_EQ(converted[2 * frame], converted[2 * frame + 1]) << "frame " << frame;
                ASSERT_LE(std::abs(converted[2 * frame] - plain[frame]), 1) << "frame " << frame;
            }
        }
    }
}

TEST(DecoderTest, RoomIsCheckedAgainstTheExactFrameSize) {
    struct Case {
        const char* file;
        int bits;
        bool halfRate;
        size_t frameBytes;
    };
    const Case cases[] = {
        {"cbr128_noinfo.mp3", 16, false, 1152 * 2 * 2},
        {"cbr128_noinfo.mp3", 8, true, 576 * 2},
        {"mpeg2_l3.mp3", 16, false, 576 * 2 * 2},
        {"mpeg2_layer2.mp2", 16, false, 1152 * 2 * 2},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> bytes = LoadStream(c.file);
        for (size_t room : {c.frameBytes - 1, c.frameBytes}) {
            DecoderFixture fixture;
            std::vector<uint8_t> output(c.frameBytes + 16, 0x5A);
            size_t consumed = 99;
            size_t produced = 99;
            const int result = DecodeFrame(fixture.Decoder(), bytes.data(), bytes.size(), output.data(), room,
                                           c.bits, c.halfRate, &consumed, &produced);
            const bool fits = room == c.frameBytes;
            EXPECT_EQ(result, fits ? DECODE_FRAME_DONE : DECODE_OUTPUT_FULL) << c.file << " room " << room;
            EXPECT_EQ(produced, fits ? c.frameBytes : 0u);
            EXPECT_EQ(consumed > 0, fits);
            const size_t untouched = fits ? c.frameBytes : 0;
            EXPECT_TRUE(std::all_of(output.begin() + untouched, output.end(), [](uint8_t b) { return b == 0x5A; }))
                << c.file << " room " << room;
        }
    }
}

TEST(DecoderTest, PartialFrameNeedsMoreInput) {
    const std::vector<uint8_t> bytes = LoadStream("cbr128_noinfo.mp3");
    std::vector<uint8_t> output(kFrameRoom);
    size_t frameLength = 0;
    size_t produced = 0;
    {
        DecoderFixture fixture;
        ASSERT_EQ(DecodeFrame(fixture.Decoder(), bytes.data(), bytes.size(), output.data(), output.size(), 16,
                              false, &frameLength, &produced),
                  DECODE_FRAME_DONE);
    }
    struct Case {
        size_t windowLength;
        int result;
    };
    const Case cases[] = {
        {1, DECODE_NEED_MORE_INPUT},
        {MAD_BUFFER_GUARD, DECODE_NEED_MORE_INPUT},
        {frameLength - 1, DECODE_NEED_MORE_INPUT},
        {frameLength + MAD_BUFFER_GUARD - 1, DECODE_NEED_MORE_INPUT},  // libmad wants its guard bytes
        {frameLength + MAD_BUFFER_GUARD, DECODE_FRAME_DONE},
    };
    for (const Case& c : cases) {
        DecoderFixture fixture;
        const std::vector<uint8_t> window(bytes.begin(), bytes.begin() + c.windowLength);
        size_t consumed = 99;
        EXPECT_EQ(DecodeFrame(fixture.Decoder(), window.data(), window.size(), output.data(), output.size(), 16,
                              false, &consumed, &produced),
                  c.result)
            << "window " << c.windowLength;
        EXPECT_EQ(consumed, c.result == DECODE_FRAME_DONE ? frameLength : 0u) << "window " << c.windowLength;
    }
}

TEST(DecoderTest, DamagedInputNeverCrashes) {
    std::vector<uint8_t> damaged = LoadStream("cbr128.mp3");
    for (size_t index = 0; index < damaged.size(); index += 97) damaged[index] ^= 0x5C;
    for (const std::vector<uint8_t>& bytes : {test::ReadFileBytes(test::FixturePath("garbage.bin")), damaged}) {
        DecoderFixture fixture;
        std::vector<uint8_t> output(kFrameRoom);
        int recoverable = 0;
        for (size_t offset = 0; offset < bytes.size(); ++offset) {
            size_t consumed = 0;
            size_t produced = 0;
            const int result = DecodeFrame(fixture.Decoder(), bytes.data() + offset, bytes.size() - offset,
                                           output.data(), output.size(), 16, false, &consumed, &produced);
            ASSERT_GE(result, DECODE_UNRECOVERABLE_ERROR);
            ASSERT_LE(result, DECODE_NEED_MORE_INPUT);
            ASSERT_LE(consumed, bytes.size() - offset);
            ASSERT_LE(produced, output.size());
            recoverable += result == DECODE_RECOVERABLE_ERROR;
            if (result == DECODE_UNRECOVERABLE_ERROR) ResetMpegDecoder(fixture.equalizer);
        }
        EXPECT_GT(recoverable, 0);
    }
}

TEST(DecoderTest, NoInputIsUnrecoverableAndResetRecovers) {
    const std::vector<uint8_t> bytes = LoadStream("cbr128_noinfo.mp3");
    DecoderFixture fixture;
    std::vector<uint8_t> output(kFrameRoom);
    size_t consumed = 0;
    size_t produced = 0;
    EXPECT_EQ(DecodeFrame(fixture.Decoder(), nullptr, 0, output.data(), output.size(), 16, false, &consumed,
                          &produced),
              DECODE_UNRECOVERABLE_ERROR);
    ResetMpegDecoder(fixture.equalizer);
    EXPECT_EQ(DecodeFrame(fixture.Decoder(), bytes.data(), bytes.size(), output.data(), output.size(), 16, false,
                          &consumed, &produced),
              DECODE_FRAME_DONE);
}

TEST(DecoderTest, CreateLoadsTheSettingsAndResetKeepsTheGains) {
    constexpr int32_t kMinus20Decibels = 26843546;
    constexpr int32_t kMinus40Decibels = 2684355;
    PlayerEqSettings stored = Equalizer(31, 31);
    stored.bands[0] = 63;
    DecoderFixture fixture(stored);
    MpegDecoder& decoder = fixture.Decoder();
    EXPECT_EQ(decoder.equalizerEnabled.load(), 1);
    EXPECT_EQ(decoder.gains[0].load(), kMinus20Decibels);
    EXPECT_EQ(decoder.gains[1].load(), kMadOne);

    // New gains set on the running decoder, as a live settings change does.
    PlayerEqSettings live = Equalizer(63, 63);
    live.enabled = 0;
    ComputeSubbandGains(decoder, live);
    ResetMpegDecoder(fixture.equalizer);
    ASSERT_NE(fixture.equalizer.decoder, nullptr);
    EXPECT_EQ(fixture.equalizer.decoder->equalizerEnabled.load(), 0);
    for (const auto& gain : fixture.equalizer.decoder->gains) EXPECT_EQ(gain.load(), kMinus40Decibels);
}

TEST(DecoderTest, ResetDropsTheBitReservoir) {
    // Reset before every frame: frames that borrow bits from earlier ones can
    // no longer find them, the others still decode.
    const std::vector<uint8_t> bytes = LoadStream("cbr128_noinfo.mp3");
    DecoderFixture fixture;
    const std::vector<size_t> frameOffsets = WalkWithDecodeFrame(fixture.Decoder(), bytes, {}).frameOffsets;
    std::vector<uint8_t> output(kFrameRoom);
    int decodedFrames = 0;
    int failedFrames = 0;
    for (size_t offset : frameOffsets) {
        ResetMpegDecoder(fixture.equalizer);
        size_t consumed = 0;
        size_t produced = 0;
        const int result = DecodeFrame(fixture.Decoder(), bytes.data() + offset, bytes.size() - offset,
                                       output.data(), output.size(), 16, false, &consumed, &produced);
        ASSERT_TRUE(result == DECODE_FRAME_DONE || result == DECODE_RECOVERABLE_ERROR) << result;
        (result == DECODE_FRAME_DONE ? decodedFrames : failedFrames)++;
    }
    EXPECT_GT(decodedFrames, 0);
    EXPECT_GT(failedFrames, 0);
}

TEST(DecoderTest, LifecycleUnderTheLock) {
    EqualizerBlock equalizer;
    ResetMpegDecoder(equalizer);
    EXPECT_EQ(equalizer.decoder, nullptr);
    DestroyMpegDecoder(equalizer);
    EXPECT_EQ(equalizer.decoder, nullptr);
    CreateMpegDecoder(equalizer);
    ASSERT_NE(equalizer.decoder, nullptr);
    EXPECT_EQ(equalizer.decoder->equalizerEnabled.load(), 0);
    for (const auto& gain : equalizer.decoder->gains) EXPECT_EQ(gain.load(), kMadOne);
    CreateMpegDecoder(equalizer);  // replaces the first, which must not leak
    EXPECT_NE(equalizer.decoder, nullptr);
    DestroyMpegDecoder(equalizer);
    EXPECT_EQ(equalizer.decoder, nullptr);
}

TEST(DecoderTest, GainsChangeWhileDecoding) {
    // The caller's thread rewrites the gains under the decoder lock while the
    // decoding thread reads them without it; the thread sanitizer checks this.
    const std::vector<uint8_t> bytes = LoadStream("cbr128.mp3");
    DecoderFixture fixture(Equalizer(31, 31));
    std::atomic<bool> done{false};
    std::thread changer([&] {
        for (int32_t step = 0; !done.load(); ++step) {
            std::lock_guard lock(fixture.equalizer.decoderLock);
            if (fixture.equalizer.decoder) ComputeSubbandGains(*fixture.equalizer.decoder, Equalizer(step % 64, 31));
        }
    });
    const Decoded decoded = WalkWithDecodeFrame(fixture.Decoder(), bytes, {});
    done.store(true);
    changer.join();
    EXPECT_EQ(decoded.frames, DecodeContinuously(bytes, 16, false).frames);
}

}  // namespace
