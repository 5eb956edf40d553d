// What the engine plays equals libmad's own decode of the file, rounded the
// same way, sample for sample. The render runs in a fresh process, so the
// rounding's error feedback starts from zero there as it does here.

#include <gtest/gtest.h>

#include "tests/support/cli_runner.h"
#include "tests/support/fixtures.h"
#include "tests/support/libmad_reference.h"
#include "tests/support/wave_file.h"

namespace {

TEST(RenderExactness, EnginePcmEqualsLibmadWithTheSameRounding) {
    test::TemporaryFile directory({});
    const std::string output = directory.Directory() + "/out.wav";
    for (const char* fixture : {"cbr128_noinfo.mp3", "vbr.mp3", "mpeg2_l3.mp3", "layer2.mp2"}) {
        for (int bits : {16, 8}) {
            const std::string input = test::FixturePath(fixture);
            ASSERT_EQ(test::RunCli({"render", input, "-o", output, "--bits", std::to_string(bits)}).exitStatus, 0);
            const auto rendered = test::ReadWaveFile(output);
            ASSERT_TRUE(rendered.has_value());
            const auto reference = test::DecodeWithLibmad(test::ReadFileBytes(input), bits, false).pcm;
            ASSERT_EQ(rendered->pcm.size(), reference.size()) << fixture << " at " << bits << " bits";
            EXPECT_TRUE(rendered->pcm == reference) << fixture << " at " << bits << " bits";
        }
    }
}

}  // namespace
