// tunelark-cli with stream URLs, against the project's own server: info
// reports the stream, render records the asked length in real time, play
// shows the station and each title.

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/formats/stream/fault_server.h"
#include "tests/support/cli_runner.h"
#include "tests/support/fixtures.h"
#include "tests/support/wave_file.h"

namespace {

using streamtest::FaultServer;
using streamtest::Interleave;
using streamtest::Respond;
using streamtest::TitleText;

std::string Value(const std::string& line, const std::string& key) {
    const std::regex pattern("\"" + key + "\":(\"(?:[^\"\\\\]|\\\\.)*\"|[^,}]+)");
    std::smatch match;
    if (!std::regex_search(line, match, pattern)) return "<missing>";
    return match[1];
}

std::string Body(size_t bytes) {
    const std::vector<uint8_t> file = test::ReadFileBytes(test::FixturePath("layer2.mp2"));
    const std::vector<uint8_t> audio(file.begin(), file.begin() + long(std::min(bytes, file.size())));
    return Interleave(audio, 8192, [](size_t index) { return TitleText("Track " + std::to_string(index)); });
}

const std::string kHeaders = "icy-name:CLI Radio\r\nicy-genre:Rock\r\nicy-metaint:8192\r\n";

TEST(StreamCli, InfoReportsTheStream) {
    FaultServer server({Respond("ICY 200 OK", kHeaders, Body(60000))});
    const auto result = test::RunCli({"info", server.Url(), "http://127.0.0.1:1/closed", "https://secure/"});
    ASSERT_EQ(result.exitStatus, 0);
    ASSERT_EQ(result.lines.size(), 3u);
    const std::string& line = result.lines[0];
    EXPECT_EQ(Value(line, "url"), "\"" + server.Url() + "\"");
    EXPECT_EQ(Value(line, "playable"), "true");
    EXPECT_EQ(Value(line, "source"), "\"stream\"");
    EXPECT_EQ(Value(line, "version"), "1");
    EXPECT_EQ(Value(line, "layer"), "2");
    EXPECT_EQ(Value(line, "sample_rate"), "44100");
    EXPECT_EQ(Value(line, "bitrate"), "192");
    EXPECT_EQ(Value(line, "station_name"), "\"CLI Radio\"");
    EXPECT_EQ(Value(line, "genre"), "\"Rock\"");
    EXPECT_EQ(Value(line, "station_url"), "null");
    for (const size_t failed : {1u, 2u}) {
        EXPECT_EQ(Value(result.lines[failed], "playable"), "false");
        EXPECT_EQ(Value(result.lines[failed], "sample_rate"), "0");
    }
}

TEST(StreamCli, RenderRecordsTheAskedLength) {
    FaultServer server({Respond("ICY 200 OK", kHeaders, Body(120000))});
    test::TemporaryFile placeholder({}, "unused.bin");
    const std::string output = placeholder.Directory() + "/stream.wav";
    const auto start = std::chrono::steady_clock::now();
    const auto result = test::RunCli({"render", server.Url(), "-o", output, "--length", "1500"});
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(result.exitStatus, 0);
    const auto wave = test::ReadWaveFile(output);
    ASSERT_TRUE(wave.has_value());
    EXPECT_EQ(wave->sampleRate, 44100u);
    EXPECT_EQ(wave->channels, 2);
    EXPECT_EQ(wave->Frames(), 1500u * 44100 / 1000);
    EXPECT_GE(elapsed, std::chrono::milliseconds(1400)) << "recorded at the pace it plays";

    EXPECT_EQ(test::RunCli({"render", server.Url(), "-o", output}).exitStatus, 2) << "a stream needs --length";
}

TEST(StreamCli, PlayShowsStationAndTitles) {
    // Three seconds of audio, sent slowly so that titles come while it
    // plays; the server then closes and the playback ends.
    const std::string body = Body(72000);
    FaultServer server({[&body](FaultServer& self, streamtest::ServerConnection& connection) {
        self.ReadRequest(connection);
        connection.Send("ICY 200 OK\r\n" + kHeaders + "\r\n");
        connection.SendSlowly(body, 8000, std::chrono::milliseconds(300));
    }});
    setenv("TUNELARK_AUDIO", "null", 1);
    const auto result = test::RunCli({"play", server.Url()});
    unsetenv("TUNELARK_AUDIO");
    ASSERT_EQ(result.exitStatus, 0);
    ASSERT_FALSE(result.lines.empty());
    EXPECT_TRUE(result.lines[0].starts_with("playing CLI Radio")) << result.lines[0];
    bool sawTitle = false;
    for (const std::string& line : result.lines) sawTitle = sawTitle || line.starts_with("now playing CLI Radio - Track ");
    EXPECT_TRUE(sawTitle);
}

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

std::string ClosedUrl() {
    uint16_t port = 0;
    {
        FaultServer closed({});
        port = closed.Port();
    }
    return "http://127.0.0.1:" + std::to_string(port) + "/closed";
}

TEST(StreamCli, InfoDescribesEachEntryOfAStationList) {
    FaultServer first({Respond("ICY 200 OK", kHeaders, Body(60000))});
    FaultServer second({Respond("ICY 200 OK", "icy-name:Second Radio\r\n", Body(60000))});
    const std::string closed = ClosedUrl();
    const std::string pls = "[playlist]\nNumberOfEntries=3\nFile1=" + first.Url() + "\nTitle1=First\nFile2=" +
                            closed + "\nFile3=" + second.Url() + "\n";
    test::TemporaryFile list(Bytes(pls), "stations.pls");
    // A list on the network, known by its content type alone, with an entry relative to it.
    FaultServer web({Respond("HTTP/1.1 200 OK", "Content-Type: audio/x-mpegurl\r\n",
                             "#EXTM3U\n" + first.Url() + "\nrelative/stream\n")});

    const auto result = test::RunCli({"info", list.Path(), web.Url("/listen")});
    ASSERT_EQ(result.exitStatus, 0);
    ASSERT_EQ(result.lines.size(), 5u);
    const std::vector<std::string> urls = {first.Url(), closed, second.Url(), first.Url(), web.Url("/relative/stream")};
    const std::vector<std::string> playable = {"true", "false", "true", "true", "false"};
    for (size_t index = 0; index < urls.size(); ++index) {
        EXPECT_EQ(Value(result.lines[index], "url"), "\"" + urls[index] + "\"") << index;
        EXPECT_EQ(Value(result.lines[index], "playable"), playable[index]) << index;
    }
    EXPECT_EQ(Value(result.lines[0], "station_name"), "\"CLI Radio\"");
    EXPECT_EQ(Value(result.lines[2], "station_name"), "\"Second Radio\"");

    // A list that cannot be read is described as the file it is.
    test::TemporaryFile damaged(Bytes("File1=http://127.0.0.1/\n"), "damaged.pls");
    const auto refused = test::RunCli({"info", damaged.Path()});
    ASSERT_EQ(refused.exitStatus, 0);
    ASSERT_EQ(refused.lines.size(), 1u);
    EXPECT_EQ(Value(refused.lines[0], "path"), "\"" + damaged.Path() + "\"");
    EXPECT_EQ(Value(refused.lines[0], "playable"), "false");
}

TEST(StreamCli, PlayAndRenderTakeTheFirstEntryThatStarts) {
    FaultServer working({Respond("ICY 200 OK", kHeaders, Body(30000))});
    FaultServer spare({Respond("ICY 200 OK", kHeaders, Body(30000))});
    const std::string m3u =
        "#EXTM3U\n#EXTINF:-1,Gone\n" + ClosedUrl() + "\n" + working.Url() + "\n" + spare.Url() + "\n";
    test::TemporaryFile list(Bytes(m3u), "stations.m3u8");

    setenv("TUNELARK_AUDIO", "null", 1);
    const auto played = test::RunCli({"play", list.Path()});
    unsetenv("TUNELARK_AUDIO");
    ASSERT_EQ(played.exitStatus, 0);
    ASSERT_FALSE(played.lines.empty());
    EXPECT_TRUE(played.lines[0].starts_with("playing CLI Radio")) << played.lines[0];
    EXPECT_EQ(spare.Connections(), 0) << "one entry of a list plays";

    const std::string output = list.Directory() + "/list.wav";
    const auto rendered = test::RunCli({"render", list.Path(), "-o", output, "--length", "500"});
    ASSERT_EQ(rendered.exitStatus, 0);
    const auto wave = test::ReadWaveFile(output);
    ASSERT_TRUE(wave.has_value());
    EXPECT_EQ(wave->Frames(), 500u * 44100 / 1000);
    EXPECT_EQ(spare.Connections(), 0);
    EXPECT_EQ(test::RunCli({"render", list.Path(), "-o", output}).exitStatus, 2) << "streams need --length";
}

}  // namespace
