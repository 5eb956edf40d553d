// What the engine plays equals libmad's own decode of the file, rounded the
// same way, sample for sample. The render runs in a fresh process, so the
// rounding's error feedback starts from zero there as it does here.

#include <mad.h>

#include <gtest/gtest.h>

#include "engine/mpeg_decoder.h"
#include "tests/support/cli_runner.h"
#include "tests/support/fixtures.h"
#include "tests/support/wave_file.h"

namespace {

// One continuous libmad stream over the whole file, every sample through the
// engine's rounding with accumulators that start at zero.
std::vector<uint8_t> ReferenceDecode(const std::vector<uint8_t>& file, int bits) {
    mad_stream stream;
    mad_frame frame;
    mad_synth synth;
    mad_stream_init(&stream);
    mad_frame_init(&frame);
    mad_synth_init(&synth);
    mad_stream_buffer(&stream, file.data(), file.size());
    int32_t errors[2] = {0, 0};
    std::vector<uint8_t> pcm;
    for (;;) {
        if (mad_frame_decode(&frame, &stream) != 0) {
            if (MAD_RECOVERABLE(stream.error)) continue;
            break;
        }
        mad_synth_frame(&synth, &frame);
        for (unsigned index = 0; index < synth.pcm.length; ++index) {
            for (unsigned channel = 0; channel < synth.pcm.channels; ++channel) {
                const int32_t value = RoundSampleToPcm(synth.pcm.samples[channel][index], errors[channel], bits);
                if (bits == 8) {
                    pcm.push_back(static_cast<uint8_t>(value + 128));
                } else {
                    pcm.push_back(static_cast<uint8_t>(value));
                    pcm.push_back(static_cast<uint8_t>(value >> 8));
                }
            }
        }
    }
    mad_frame_finish(&frame);
    mad_stream_finish(&stream);
    return pcm;
}

TEST(RenderExactness, EnginePcmEqualsLibmadWithTheSameRounding) {
    test::TemporaryFile directory({});
    const std::string output = directory.Directory() + "/out.wav";
    for (const char* fixture : {"cbr128_noinfo.mp3", "vbr.mp3", "mpeg2_l3.mp3", "layer2.mp2"}) {
        for (int bits : {16, 8}) {
            const std::string input = test::FixturePath(fixture);
            ASSERT_EQ(test::RunCli({"render", input, "-o", output, "--bits", std::to_string(bits)}).exitStatus, 0);
            const auto rendered = test::ReadWaveFile(output);
            ASSERT_TRUE(rendered.has_value());
            const auto reference = ReferenceDecode(test::ReadFileBytes(input), bits);
            ASSERT_EQ(rendered->pcm.size(), reference.size()) << fixture << " at " << bits << " bits";
            EXPECT_TRUE(rendered->pcm == reference) << fixture << " at " << bits << " bits";
        }
    }
}

}  // namespace
