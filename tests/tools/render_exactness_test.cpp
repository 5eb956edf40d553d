// What the engine plays equals libmad's own decode of the file, rounded the
// same way, sample for sample: every frame, the last one included, and of a
// file with a LAME tag exactly the samples the encoder was given. The render
// runs in a fresh process, so the rounding's error feedback starts from zero
// there as it does here.

#include <gtest/gtest.h>

#include "tests/support/cli_runner.h"
#include "tests/support/fixtures.h"
#include "tests/support/libmad_reference.h"
#include "tests/support/wave_file.h"

namespace {

// The Info frame (which libmad decodes as a frame of silence), LAME's encoder
// delay and libmad's own.
constexpr size_t kLameLeadingSamples = 1152 + 576 + 529;

TEST(RenderExactness, EnginePcmEqualsLibmadWithTheSameRounding) {
    struct Case {
        const char* fixture;
        size_t encodedSamples;  // what LAME was given; 0 for a file without a LAME tag
    };
    const Case cases[] = {{"cbr128_noinfo.mp3", 0}, {"layer2.mp2", 0}, {"vbr.mp3", 5 * 44100},
                          {"exact_48001.mp3", 48001}, {"exact_vbr_100003.mp3", 100003}};
    test::TemporaryFile directory({});
    const std::string output = directory.Directory() + "/out.wav";
    for (const auto& [fixture, encodedSamples] : cases) {
        for (int bits : {16, 8}) {
            const std::string input = test::FixturePath(fixture);
            ASSERT_EQ(test::RunCli({"render", input, "-o", output, "--bits", std::to_string(bits)}).exitStatus, 0);
            const auto rendered = test::ReadWaveFile(output);
            ASSERT_TRUE(rendered.has_value());
            const auto decoded = test::DecodeWithLibmad(test::WithMadGuard(test::ReadFileBytes(input)), bits, false);
            std::vector<uint8_t> reference = decoded.pcm;
            if (encodedSamples != 0) {
                const size_t sampleBytes = size_t(decoded.channels) * (bits / 8);
                ASSERT_GE(reference.size(), (kLameLeadingSamples + encodedSamples) * sampleBytes) << fixture;
                reference.assign(decoded.pcm.begin() + kLameLeadingSamples * sampleBytes,
                                 decoded.pcm.begin() + (kLameLeadingSamples + encodedSamples) * sampleBytes);
            }
            ASSERT_EQ(rendered->pcm.size(), reference.size()) << fixture << " at " << bits << " bits";
            EXPECT_TRUE(rendered->pcm == reference) << fixture << " at " << bits << " bits";
        }
    }
}

}  // namespace
