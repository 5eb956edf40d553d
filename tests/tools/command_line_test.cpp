// Every program of the build keeps the README's word on its command line:
// --help answers on standard output with status 0, a misuse is refused with
// status 2 and a usage line on standard error, an option is never taken for
// a file, and "--" ends the options so a file named like one can be given.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/cli_runner.h"
#include "tests/support/fixtures.h"
#include "tests/support/temporary_directory.h"

namespace {

using test::Captured;

constexpr int kUsageStatus = 2;

struct Call {
    std::string program;
    std::vector<std::string> arguments;
    int status;
};

std::string Describe(const Call& call) {
    std::string text = std::filesystem::path(call.program).filename().string();
    for (const std::string& argument : call.arguments) text += " " + argument;
    return text;
}

bool HasUsageLine(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (line.starts_with("usage: ")) return true;
    }
    return false;
}

// The call, run in an empty directory: it answers with its status, the usage
// line on the stream the status calls for and nothing else there, and it
// writes no file.
void ExpectAnswer(const Call& call) {
    SCOPED_TRACE(Describe(call));
    const test::TemporaryDirectory directory;
    const bool help = call.status == 0;
    const test::CommandResult result =
        test::RunProgram(call.program, call.arguments, help ? Captured::Output : Captured::Errors, directory.Path());
    EXPECT_EQ(result.exitStatus, call.status);
    EXPECT_TRUE(HasUsageLine(result.lines));
    if (!help) {
        EXPECT_TRUE(test::RunProgram(call.program, call.arguments, Captured::Output, directory.Path()).lines.empty())
            << "a refused call printed results";
    }
    EXPECT_TRUE(std::filesystem::is_empty(directory.Path())) << "a file was written";
}

TEST(CommandLines, AnswerHelpAndRefuseMisuse) {
    const std::string cli = test::CliPath();
    const std::string preview = TUNELARK_SKIN_PREVIEW;
    const std::string player = TUNELARK_PLAYER;
    const std::string mp3 = test::FixturePath("cbr128.mp3");
    const std::vector<Call> calls = {
        {cli, {"--help"}, 0},
        {cli, {}, kUsageStatus},
        {cli, {"--bogus"}, kUsageStatus},
        {cli, {"info", "--help"}, 0},
        {cli, {"info", "--bogus", mp3}, kUsageStatus},
        {cli, {"info"}, kUsageStatus},
        {cli, {"play", "--help"}, 0},
        {cli, {"play", "--bogus", mp3}, kUsageStatus},
        {cli, {"render", "--help"}, 0},
        {cli, {"render", mp3, "-o", "out.wav", "--bogus"}, kUsageStatus},
        {cli, {"render", mp3, "-o", "out.wav", "--bits", "24"}, kUsageStatus},
        {cli, {"render", mp3, "-o"}, kUsageStatus},
        {cli, {"render", mp3}, kUsageStatus},
        {cli, {"render", mp3, mp3, "-o", "out.wav"}, kUsageStatus},
        {cli, {"bench", "--help"}, 0},
        {cli, {"bench", "--bogus", mp3}, kUsageStatus},
        {cli, {"bench", mp3, mp3}, kUsageStatus},
        {preview, {"--help"}, 0},
        {preview, {}, kUsageStatus},
        {preview, {"--bogus", "out.png"}, kUsageStatus},
        {preview, {"out.png", "--zoom"}, kUsageStatus},
        {preview, {"--zoom", "0", "out.png"}, kUsageStatus},
        {player, {"--help"}, 0},
        {player, {"--bogus"}, kUsageStatus},
    };
    for (const Call& call : calls) ExpectAnswer(call);
}

TEST(CommandLines, TakeFilesNamedLikeOptionsAfterTheEndOfOptions) {
    const test::TemporaryDirectory directory;
    const auto info = test::RunProgram(test::CliPath(), {"info", "--", "-x"}, Captured::Output, directory.Path());
    EXPECT_EQ(info.exitStatus, 0);
    ASSERT_EQ(info.lines.size(), 1u);
    EXPECT_NE(info.lines[0].find("\"path\":\"-x\""), std::string::npos) << info.lines[0];

    const auto preview = test::RunProgram(TUNELARK_SKIN_PREVIEW, {"--", "--help"}, Captured::Output, directory.Path());
    EXPECT_EQ(preview.exitStatus, 0);
    EXPECT_TRUE(std::filesystem::is_regular_file(directory.PathOf("--help")));
}

}  // namespace
