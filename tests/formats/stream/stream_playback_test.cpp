// Streams played by the engine from the project's own server: the PCM equals
// a plain decode of the audio that was sent (so no metadata byte reached the
// decoder), titles arrive, a closing server plays out, a stalled one is
// reconnected, a change of channels keeps the first ones, and a stop ends
// every state promptly.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/decoding_thread.h"
#include "engine/mpeg_header.h"
#include "engine/player.h"
#include "engine/player_engine.h"
#include "formats/stream/stream_reader.h"
#include "platform/byte_order.h"
#include "platform/recording_window.h"
#include "tests/formats/stream/fault_server.h"
#include "tests/support/captured_audio.h"
#include "tests/support/engine_handle.h"
#include "tests/support/fixtures.h"
#include "tests/support/libmad_reference.h"
#include "tests/support/waiting.h"
#include "tests/support/watchdog.h"

namespace {

using namespace std::chrono_literals;
using test::CapturedAudio;
using streamtest::Clock;
using streamtest::FaultServer;
using streamtest::Interleave;
using streamtest::Respond;
using streamtest::ServerConnection;
using streamtest::Session;
using streamtest::TitleText;

// The stream thread takes the format from the first read and decodes from
// the frame after it.
constexpr size_t kFirstReadBytes = 2048;
// Layer II at 192 kbit/s and 44100 Hz.
constexpr size_t kLayer2BytesPerSecond = 24000;
constexpr double kRealTime = 1;
constexpr double kFastPace = 4;
constexpr double kUnpaced = test::CapturedAudio::kUnpaced;
// MPEG-2.5 Layer III, the regression corpus's mixed-channel streams.
constexpr size_t kSamplesPerFrameAt8000 = 576;

std::string Text(const std::vector<uint8_t>& bytes, size_t count = SIZE_MAX) {
    return std::string(bytes.begin(), bytes.begin() + long(std::min(count, bytes.size())));
}

// The first frame start at or after `from`, walking the frames from the start.
size_t FrameStartFrom(const std::vector<uint8_t>& mpeg, size_t from) {
    size_t offset = 0;
    engine::MpegHeader header;
    while (offset < from && offset + 4 <= mpeg.size() && engine::ParseMpegHeader(&mpeg[offset], &header)) {
        offset += size_t(header.frameLength);
    }
    return offset;
}

// The largest difference between two 16-bit PCM streams of equal length. The
// engine's rounding error carries over from one playback to the next in a
// process, so a plain decode may differ from it by one step per sample.
int LargestSampleDifference(const std::vector<uint8_t>& first, const std::vector<uint8_t>& second) {
    int largest = 0;
    for (size_t index = 0; index + 1 < std::min(first.size(), second.size()); index += 2) {
        const int a = int16_t(platform::ReadLittle16(&first[index]));
        const int b = int16_t(platform::ReadLittle16(&second[index]));
        largest = std::max(largest, std::abs(a - b));
    }
    return largest;
}

class StreamPlayback : public ::testing::Test {
protected:
    void Start(double speed) {
        captured = std::make_unique<CapturedAudio>(speed);
        engine.reset(PlayerCreate());
        PlayerSetNotifyWindow(engine.get(), &window);
        PlayerSetOutputDevice(engine.get(), platform::WaveBackend::Capture, captured->Sink());
    }
    size_t StatusCount(PlayerStatus status) {
        size_t seen = 0;
        for (const auto& message : window.MessagesOf(WM_PLAYER_STATUS)) seen += message.wParam == uintptr_t(status);
        return seen;
    }
    bool WaitForStop(std::chrono::seconds timeout) { return test::WaitForStatus(window, PLAYER_STOPPED, 1, timeout); }

    // Serves `audio` once and plays it: every frame after the first read, in `channels`.
    void PlayAndExpectChannels(const std::vector<uint8_t>& audio, uint16_t channels) {
        Start(kFastPace);
        FaultServer server({Respond("ICY 200 OK", "", Text(audio))});
        ASSERT_EQ(PlayerOpenURL(engine.get(), server.Url()), 1);
        ASSERT_EQ(PlayerPlay(engine.get()), 1);
        ASSERT_TRUE(WaitForStop(20s));
        const size_t start = FrameStartFrom(audio, kFirstReadBytes);
        const auto reference = test::DecodeWithLibmad({audio.begin() + long(start), audio.end()}, 16, false);
        ASSERT_GT(reference.frames, 0);
        EXPECT_EQ(captured->Format().channels, channels);
        EXPECT_EQ(captured->Bytes().size(), size_t(reference.frames) * kSamplesPerFrameAt8000 * channels * 2);
    }

    platform::RecordingWindow window;
    std::unique_ptr<CapturedAudio> captured;
    test::EngineHandle engine;
};

struct BodyCase {
    std::string name;
    std::string statusLine;
    int32_t metaint;
    size_t audioBytes;  // how much of the file is sent
    std::function<std::string(size_t)> blockText;
    size_t titles;      // title messages expected
};

std::string LongBlocks(size_t index) {
    if (index % 3 == 1) return "";
    return std::string(250, ' ') + TitleText("Long " + std::to_string(index)) + std::string(index % 7, '.');
}

TEST_F(StreamPlayback, PlaysExactlyTheAudioThatWasSent) {
    const std::vector<uint8_t> file = test::ReadFileBytes(test::FixturePath("layer2.mp2"));
    ASSERT_GT(file.size(), 100000u);
    const std::vector<BodyCase> cases = {
        {"icy, metaint 8192", "ICY 200 OK", 8192, file.size(),
         [](size_t index) { return TitleText("Artist - Song " + std::to_string(index)); }, file.size() / 8192},
        {"http, metaint 1000, long and empty blocks", "HTTP/1.0 200 OK", 1000, file.size(), LongBlocks,
         file.size() / 1000 - (file.size() / 1000 + 1) / 3},
        {"no metadata", "HTTP/1.0 200 OK", 0, file.size(), nullptr, 0},
        {"shorter than the prebuffer", "ICY 200 OK", 8192, 20000, [](size_t) { return TitleText("Short"); }, 2},
    };
    for (const BodyCase& test : cases) {
        SCOPED_TRACE(test.name);
        // Paced, so that the decoder never runs the buffer dry (which would
        // reconnect and play the stream twice).
        Start(kFastPace);
        const std::vector<uint8_t> audio(file.begin(), file.begin() + long(test.audioBytes));
        const std::string body = test.metaint > 0 ? Interleave(audio, size_t(test.metaint), test.blockText) : Text(audio);
        std::string headers = "icy-name:Fault Radio\r\n";
        if (test.metaint > 0) headers += "icy-metaint:" + std::to_string(test.metaint) + "\r\n";
        FaultServer server({Respond(test.statusLine, headers, body)});

        ASSERT_EQ(PlayerOpenURL(engine.get(), server.Url()), 1);
        ASSERT_EQ(PlayerPlay(engine.get()), 1);
        ASSERT_TRUE(WaitForStop(20s));
        EXPECT_EQ(StatusCount(PLAYER_PLAYING), 1u);
        EXPECT_EQ(StatusCount(PLAYER_STOPPED), 1u);

        PlayerFileInfo info;
        PlayerGetFileInfo(engine.get(), &info);
        EXPECT_EQ(info.version, 1);
        EXPECT_EQ(info.layer, 2);
        EXPECT_EQ(info.sampleRate, 44100);
        EXPECT_EQ(info.bitrate, 192);
        EXPECT_EQ(info.duration, 0);

        const size_t start = FrameStartFrom(audio, kFirstReadBytes);
        const std::vector<uint8_t> decoded(audio.begin() + long(start), audio.end());
        const auto reference = test::DecodeWithLibmad(decoded, 16, false);
        ASSERT_GT(reference.pcm.size(), 0u);
        const std::vector<uint8_t> played = captured->Bytes();
        ASSERT_EQ(played.size(), reference.pcm.size());
        EXPECT_LE(LargestSampleDifference(played, reference.pcm), 1)
            << "the same samples, but for the rounding carried over from earlier playbacks";
        EXPECT_EQ(window.MessagesOf(WM_PLAYER_STREAM_TITLE).size(), test.titles);
        std::string name;
        EXPECT_EQ(PlayerGetStreamInfo(engine.get(), &name, nullptr, nullptr), 1);
        EXPECT_EQ(name, "Fault Radio");
        engine.reset();
        window.Clear();
    }
}

TEST_F(StreamPlayback, RefusesStreamsWithoutFrames) {
    const std::vector<uint8_t> garbage = test::ReadFileBytes(test::FixturePath("garbage.bin"));
    const std::vector<Session> sessions = {
        Respond("ICY 200 OK", "icy-metaint:8192\r\n", Text(garbage)),
        Respond("HTTP/1.0 404 Not Found", "", ""),
    };
    for (const Session& session : sessions) {
        Start(kUnpaced);
        FaultServer server({session});
        ASSERT_EQ(PlayerOpenURL(engine.get(), server.Url()), 1);
        EXPECT_EQ(PlayerPlay(engine.get()), 0);
        EXPECT_TRUE(window.MessagesOf(WM_PLAYER_STATUS).empty()) << "nothing started, so nothing stopped";
        EXPECT_EQ(PlayerGetStatus(engine.get()), PLAYER_STOPPED);
        engine.reset();
    }
}

// The server sends four seconds of audio at once and then nothing: the
// reader gives up after three silent seconds, the buffered audio plays on,
// and when it is used up the engine reconnects and plays the second session.
TEST_F(StreamPlayback, ReconnectsAfterAStallAndPlaysOn) {
    const std::vector<uint8_t> file = test::ReadFileBytes(test::FixturePath("layer2.mp2"));
    const size_t firstBytes = 4 * kLayer2BytesPerSecond;
    const size_t secondBytes = kLayer2BytesPerSecond;
    const std::string first = Text(file, firstBytes);
    const std::string second = Text(file, secondBytes);
    Start(kRealTime);
    PlayerStreamOptions options;
    options.bufferBlocks = 64;  // room for all of the first session
    options.prebufferBlocks = 4;
    ASSERT_EQ(PlayerSetStreamOptions(engine.get(), &options), 1);
    FaultServer server({
        [&first](FaultServer& self, ServerConnection& connection) {
            self.ReadRequest(connection);
            connection.Send("ICY 200 OK\r\n\r\n" + first);
            const auto closed = connection.WaitForClientClose(10s);
            self.Note(closed ? std::to_string(closed->count()) : "never");
        },
        Respond("ICY 200 OK", "", second),
    });
    ASSERT_EQ(PlayerOpenURL(engine.get(), server.Url()), 1);
    ASSERT_EQ(PlayerPlay(engine.get()), 1);
    EXPECT_EQ(PlayerSetStreamOptions(engine.get(), &options), 0) << "refused while the stream runs";
    ASSERT_TRUE(WaitForStop(20s));

    EXPECT_EQ(server.Connections(), 2);
    const auto notes = server.Notes();
    ASSERT_EQ(notes.size(), 1u);
    ASSERT_NE(notes[0], "never");
    const int closedAfter = std::stoi(notes[0]);
    EXPECT_GE(closedAfter, 2900) << "the reader waits three seconds for data";
    EXPECT_LT(closedAfter, 3900);
    EXPECT_EQ(StatusCount(PLAYER_STOPPED), 1u) << "the reconnection does not end the playback";

    // All of both sessions played, less the first read and the frames cut at each end.
    const double expected = double(firstBytes - kFirstReadBytes + secondBytes) * 1000 / kLayer2BytesPerSecond;
    EXPECT_NEAR(double(captured->Milliseconds()), expected, 200);
    EXPECT_EQ(PlayerSetStreamOptions(engine.get(), &options), 1) << "accepted again once stopped";
}

struct StopCase {
    std::string name;
    size_t requests;               // the stop comes once this many requests have arrived
    std::function<bool()> reached; // and the playback is in the state named
    Session second;                // how the reconnection goes
};

// The first session sends a little and then stalls, so the engine (not paced)
// runs dry and reconnects; the second decides the state the stop meets.
TEST_F(StreamPlayback, StopEndsEveryStatePromptly) {
    const std::vector<uint8_t> file = test::ReadFileBytes(test::FixturePath("layer2.mp2"));
    const std::string some = Text(file, 40000);
    const Session stallAfterSome = [&some](FaultServer& self, ServerConnection& connection) {
        self.ReadRequest(connection);
        connection.Send("ICY 200 OK\r\n\r\n" + some);
        connection.Pause(10s);
    };
    const Session headersOnly = [](FaultServer& self, ServerConnection& connection) {
        self.ReadRequest(connection);
        connection.Send("ICY 200 OK\r\n\r\n");
        connection.Pause(10s);
    };
    const Session silent = [](FaultServer& self, ServerConnection& connection) {
        self.ReadRequest(connection);
        connection.Pause(10s);
    };
    const Session slowAudio = [&file](FaultServer& self, ServerConnection& connection) {
        self.ReadRequest(connection);
        connection.Send("ICY 200 OK\r\n\r\n");
        connection.SendSlowly(Text(file), 2400, 100ms);
    };
    const auto played = [this](int64_t milliseconds) { return [this, milliseconds] { return captured->Milliseconds() >= milliseconds; }; };
    const auto connected = [this] { return engine->streamReader->IsConnected(); };
    const std::vector<StopCase> cases = {
        {"playing", 1, played(1), slowAudio},
        // At the listener's pace, the network keeping just up with it.
        {"stalled while playing", 1, played(500), slowAudio},
        {"reconnecting, waiting for the headers", 2, [] { return true; }, silent},
        {"reconnecting, prebuffering", 2, connected, headersOnly},
        {"reconnecting, stalled again", 2, [&] { return connected() && engine->streamReader->FilledCount() > 0; },
         stallAfterSome},
    };
    for (const StopCase& test : cases) {
        SCOPED_TRACE(test.name);
        Start(test.name == "stalled while playing" ? kRealTime : kUnpaced);
        const Session first = test.requests == 1 ? test.second : stallAfterSome;
        FaultServer server({first, test.second});
        ASSERT_EQ(PlayerOpenURL(engine.get(), server.Url()), 1);
        ASSERT_EQ(PlayerPlay(engine.get()), 1);
        ASSERT_TRUE(test::Eventually([&] { return server.Requests().size() >= test.requests && test.reached(); }));
        const auto stopAt = Clock::now();
        PlayerStop(engine.get());
        EXPECT_LT(Clock::now() - stopAt, 500ms);
        EXPECT_EQ(PlayerGetStatus(engine.get()), PLAYER_STOPPED);
        EXPECT_EQ(StatusCount(PLAYER_STOPPED), 1u);
        engine.reset();
        window.Clear();
    }
}

// A stream whose channel count changes plays all of its audio in the
// channels of its first frames: stereo frames mixed down, mono ones doubled.
TEST_F(StreamPlayback, KeepsTheChannelsOfItsFirstFrames) {
    struct Case {
        const char* file;
        uint16_t channels;
    };
    constexpr auto kWatchdogLimit = 30s;
    const Case cases[] = {{"stream-mono-then-stereo.mp3", 1}, {"mpeg-stereo-after-mono.mp3", 2}};
    for (const Case& c : cases) {
        const std::vector<uint8_t> audio = test::ReadFileBytes(test::RegressionInputPath("mpeg_playback", c.file));
        // Torn down under the watchdog too: a decoding thread that spins would hang it.
        test::RunWithWatchdog(kWatchdogLimit, c.file, [&] {
            SCOPED_TRACE(c.file);
            PlayAndExpectChannels(audio, c.channels);
            engine.reset();
            window.Clear();
        });
    }
}

TEST_F(StreamPlayback, PlaysAgainAfterAStop) {
    const std::vector<uint8_t> file = test::ReadFileBytes(test::FixturePath("layer2.mp2"));
    Start(kFastPace);
    FaultServer server({Respond("ICY 200 OK", "icy-metaint:8192\r\n", Interleave(file, 8192, [](size_t index) {
                                    return TitleText("Again " + std::to_string(index));
                                }))});
    ASSERT_EQ(PlayerOpenURL(engine.get(), server.Url()), 1);
    ASSERT_EQ(PlayerPlay(engine.get()), 1);
    PlayerStop(engine.get());
    window.Clear();
    ASSERT_EQ(PlayerPlay(engine.get()), 1) << "a new connection to the same URL";
    ASSERT_TRUE(WaitForStop(20s));
    EXPECT_EQ(server.Connections(), 2);
    std::string title;
    EXPECT_EQ(PlayerGetStreamTitle(engine.get(), &title), 1);
    EXPECT_EQ(title, "Again " + std::to_string(file.size() / 8192 - 1));
    PlayerClose(engine.get());
    EXPECT_EQ(PlayerGetStreamTitle(engine.get(), &title), 0);
    EXPECT_EQ(PlayerGetStreamInfo(engine.get(), nullptr, nullptr, nullptr), 0);
}

}  // namespace
