// Runs the real tunelark-cli binary on the fixtures and checks its JSON lines.

#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/cli_runner.h"
#include "tests/support/fixtures.h"

namespace {

using test::RunCli;

// The raw JSON value of `key` in a flat line (nested objects are searched too).
std::string Value(const std::string& line, const std::string& key) {
    const std::regex pattern("\"" + key + "\":(\"(?:[^\"\\\\]|\\\\.)*\"|[^,}]+)");
    std::smatch match;
    if (!std::regex_search(line, match, pattern)) return "<missing>";
    return match[1];
}

TEST(CliInfo, DescribesMpegFormatsAndDuration) {
    const auto result = RunCli({"info", test::FixturePath("cbr128.mp3"), test::FixturePath("mpeg2_layer2.mp2")});
    ASSERT_EQ(result.exitStatus, 0);
    ASSERT_EQ(result.lines.size(), 2u);

    const std::string& mp3 = result.lines[0];
    EXPECT_EQ(Value(mp3, "playable"), "true");
    EXPECT_EQ(Value(mp3, "source"), "\"mpeg\"");
    EXPECT_EQ(Value(mp3, "version"), "1");
    EXPECT_EQ(Value(mp3, "layer"), "3");
    EXPECT_EQ(Value(mp3, "channels"), "2");
    EXPECT_EQ(Value(mp3, "sample_rate"), "44100");
    EXPECT_EQ(Value(mp3, "bitrate"), "128");
    EXPECT_EQ(Value(mp3, "samples_per_frame"), "1152");
    const int frameLength = std::stoi(Value(mp3, "frame_length"));
    EXPECT_TRUE(frameLength == 417 || frameLength == 418) << frameLength;
    const int duration = std::stoi(Value(mp3, "duration_ms"));
    EXPECT_NEAR(duration, 5000, 150);  // the encoder pads the end
    EXPECT_EQ(Value(mp3, "tag"), "null");

    const std::string& mp2 = result.lines[1];
    EXPECT_EQ(Value(mp2, "version"), "2");
    EXPECT_EQ(Value(mp2, "layer"), "2");
    EXPECT_EQ(Value(mp2, "sample_rate"), "24000");
    EXPECT_EQ(Value(mp2, "bitrate"), "64");
    EXPECT_EQ(Value(mp2, "frame_length"), "384");
}

TEST(CliInfo, NamesEverySourceKindOfAFile) {
    const struct {
        const char* file;
        const char* source;
        const char* sampleRate;
        const char* duration;
        const char* title;
    } cases[] = {
        {"tagged.flac", "\"flac\"", "44100", "5000", "\"FLAC title\""},
        {"rate96k.flac", "\"flac\"", "96000", "2000", "\"\""},
        {"tagged.opus", "\"opus\"", "48000", "5000", "\"Opus title\""},
        {"tagged.ogg", "\"ogg\"", "44100", "5000", "\"lower case\""},
        {"pcm.wav", "\"wave\"", "44100", "5000", "<missing>"},
    };
    for (const auto& [file, source, sampleRate, duration, title] : cases) {
        const auto result = RunCli({"info", test::FixturePath(file)});
        ASSERT_EQ(result.exitStatus, 0) << file;
        ASSERT_EQ(result.lines.size(), 1u) << file;
        const std::string& line = result.lines[0];
        EXPECT_EQ(Value(line, "source"), source) << file;
        EXPECT_EQ(Value(line, "sample_rate"), sampleRate) << file;
        EXPECT_EQ(Value(line, "duration_ms"), duration) << file;
        EXPECT_EQ(Value(line, "title"), title) << file;
    }
}

TEST(CliInfo, ReportsTheId3v1Tag) {
    const auto result = RunCli({"info", test::FixturePath("id3v1.mp3")});
    ASSERT_EQ(result.exitStatus, 0);
    ASSERT_EQ(result.lines.size(), 1u);
    const std::string& line = result.lines[0];
    EXPECT_EQ(Value(line, "title"), "\"Song Title\"");
    EXPECT_EQ(Value(line, "artist"), "\"The Artist\"");
    EXPECT_EQ(Value(line, "album"), "\"The Album\"");
    EXPECT_EQ(Value(line, "comment"), "\"A comment\"");
    EXPECT_EQ(Value(line, "year"), "2003");
    EXPECT_EQ(Value(line, "genre"), "8");
    EXPECT_EQ(Value(line, "genre_name"), "\"Jazz\"");
}

// The fields added for current tags come after the older ones, which keep
// their meaning: "genre" is the ID3v1 byte (255 outside its list).
TEST(CliInfo, ReportsAlbumTrackYearAndGenreOfEveryTag) {
    const struct {
        const char* file;
        const char* album;
        const char* track;
        const char* year;
        const char* genre;
        const char* genreText;
    } cases[] = {
        {"id3v2_only.mp3", "\"V2 Album\"", "7", "2011", "17", "\"Rock\""},
        {"id3v24_utf8.mp3", "\"\"", "3", "0", "255", "\"Chiptune\""},
        {"lower_case.ogg", "\"Lower Album\"", "4", "1999", "26", "\"Ambient\""},
        {"info.wav", "\"Info Album\"", "0", "1987", "80", "\"Folk\""},
        {"id3v1.mp3", "\"The Album\"", "0", "2003", "8", "\"Jazz\""},
    };
    for (const auto& [file, album, track, year, genre, genreText] : cases) {
        const auto result = RunCli({"info", test::FixturePath(file)});
        ASSERT_EQ(result.exitStatus, 0) << file;
        ASSERT_EQ(result.lines.size(), 1u) << file;
        const std::string& line = result.lines[0];
        EXPECT_EQ(Value(line, "album"), album) << file;
        EXPECT_EQ(Value(line, "track"), track) << file;
        EXPECT_EQ(Value(line, "year"), year) << file;
        EXPECT_EQ(Value(line, "genre"), genre) << file;
        EXPECT_EQ(Value(line, "genre_text"), genreText) << file;
        EXPECT_LT(line.find("\"genre_name\""), line.find("\"track\"")) << "new fields come last: " << file;
    }
}

TEST(CliInfo, ExaminesUnplayableAndMissingFilesWithoutFailing) {
    const std::string missing = test::FixturePath("no such file.mp3");
    const auto result = RunCli({"info", test::FixturePath("garbage.bin"), test::FixturePath("empty.mp3"),
                                test::FixturePath("four_bytes.mp3"), missing, test::FixturePath("")});
    ASSERT_EQ(result.exitStatus, 0);
    ASSERT_EQ(result.lines.size(), 5u);
    for (const auto& line : result.lines) {
        EXPECT_EQ(Value(line, "source"), "\"none\"") << line;
        EXPECT_EQ(Value(line, "duration_ms"), "0") << line;
        EXPECT_EQ(Value(line, "tag"), "null") << line;
    }
    EXPECT_EQ(Value(result.lines[3], "path"), "\"" + missing + "\"");
}

TEST(CliInfo, BadArgumentsGiveUsageStatus) {
    EXPECT_EQ(RunCli({}).exitStatus, 2);
    EXPECT_EQ(RunCli({"info"}).exitStatus, 2);
    EXPECT_EQ(RunCli({"frobnicate", "x"}).exitStatus, 2);
}

}  // namespace
