// Streams from a real icecast2 on 127.0.0.1 (tests/stream/run_icecast.sh):
// the audio arrives as an unbroken chain of frames with every metadata block
// taken out, the station and each new title arrive, and the engine plays it.
// Without icecast2 these tests fail: tools/install-deps.sh installs it.

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/mpeg_header.h"
#include "engine/player.h"
#include "formats/stream/stream_reader.h"
#include "platform/byte_order.h"
#include "platform/recording_window.h"
#include "tests/formats/stream/icecast_server.h"
#include "tests/support/captured_audio.h"
#include "tests/support/fixtures.h"
#include "tests/support/waiting.h"

namespace {

using namespace std::chrono_literals;
using namespace engine;
using test::CapturedAudio;
using streamtest::IcecastServer;

constexpr size_t kBytesToCheck = 100000;  // the 64 KB burst and two seconds more

// How many frames follow each other exactly from the first frame pair on;
// stops at the first break. `checked` is how far the chain reached.
size_t UnbrokenFrames(const std::vector<uint8_t>& bytes, size_t* checked) {
    size_t offset = 0;
    MpegHeader first;
    MpegHeader next;
    for (; offset + 4 <= bytes.size(); ++offset) {
        if (!ParseMpegHeader(&bytes[offset], &first)) continue;
        const size_t follower = offset + size_t(first.frameLength);
        if (follower + 4 <= bytes.size() && ParseMpegHeader(&bytes[follower], &next)) break;
    }
    size_t frames = 0;
    MpegHeader header;
    while (offset + 4 <= bytes.size() && ParseMpegHeader(&bytes[offset], &header) && header.version == first.version &&
           header.layer == first.layer && header.sampleRate == first.sampleRate) {
        ++frames;
        offset += size_t(header.frameLength);
    }
    *checked = offset;
    return frames;
}

TEST(Icecast, AudioArrivesAsUnbrokenFramesWithStationAndTitle) {
    IcecastServer server(test::FixturePath("cbr128.mp3"));
    ASSERT_TRUE(server.Ready()) << "icecast2 with ffmpeg did not start (tools/install-deps.sh installs them)";
    ASSERT_TRUE(server.SetTitle("Before Connect"));

    platform::RecordingWindow window;
    StreamReader reader;
    reader.SetNotifyWindow(&window);
    ASSERT_TRUE(reader.StreamSetUrl(server.Url()));
    ASSERT_TRUE(reader.StreamStart());
    std::vector<uint8_t> bytes;
    uint8_t buffer[kStreamChunkBytes];
    size_t count = 0;
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (bytes.size() < kBytesToCheck && std::chrono::steady_clock::now() < deadline &&
           reader.StreamRead(buffer, sizeof buffer, &count)) {
        bytes.insert(bytes.end(), buffer, buffer + count);
    }
    reader.StreamStop();
    ASSERT_GE(bytes.size(), kBytesToCheck);

    // icecast sends a metadata block every 16000 bytes: six of them lie in
    // this stretch, and one stray byte would break the chain.
    size_t checked = 0;
    const size_t frames = UnbrokenFrames(bytes, &checked);
    EXPECT_GT(frames, 200u);
    EXPECT_GT(checked + 2000, bytes.size()) << "the chain broke at byte " << checked;

    std::string name, genre, url, title;
    EXPECT_EQ(reader.GetInfo(&name, &genre, &url), 1);
    EXPECT_EQ(name, streamtest::kIcecastStation);
    EXPECT_EQ(genre, "Test Genre");
    EXPECT_EQ(url, "http://station.example/");
    EXPECT_EQ(reader.GetTitle(&title), 1);
    EXPECT_EQ(title, "Before Connect");
    EXPECT_FALSE(window.MessagesOf(WM_PLAYER_STREAM_TITLE).empty());
}

TEST(Icecast, EnginePlaysAndReportsEachNewTitle) {
    IcecastServer server(test::FixturePath("cbr128.mp3"));
    ASSERT_TRUE(server.Ready()) << "icecast2 with ffmpeg did not start (tools/install-deps.sh installs them)";

    platform::RecordingWindow window;
    CapturedAudio captured(1.0);  // real time, as a listener
    PlayerEngine* engine = PlayerCreate();
    PlayerSetNotifyWindow(engine, &window);
    PlayerSetOutputDevice(engine, platform::WaveBackend::Capture, captured.Sink());
    ASSERT_EQ(PlayerOpenURL(engine, server.Url()), 1);
    ASSERT_EQ(PlayerPlay(engine), 1);
    std::string name;
    EXPECT_EQ(PlayerGetStreamInfo(engine, &name, nullptr, nullptr), 1);
    EXPECT_EQ(name, streamtest::kIcecastStation);

    // Each title is set once the one before has been reported, so that none
    // replaces another before it is read.
    for (const std::string title : {"First Song", "Second Song"}) {
        const size_t messagesBefore = window.MessagesOf(WM_PLAYER_STREAM_TITLE).size();
        ASSERT_TRUE(server.SetTitle(title));
        EXPECT_TRUE(test::Eventually(
            [&] {
                std::string current;
                return window.MessagesOf(WM_PLAYER_STREAM_TITLE).size() > messagesBefore &&
                       PlayerGetStreamTitle(engine, &current) && current == title;
            },
            20s))
            << title;
    }

    EXPECT_TRUE(test::Eventually([&] { return captured.Milliseconds() > 3000; }));
    const auto stopAt = std::chrono::steady_clock::now();
    PlayerStop(engine);
    EXPECT_LT(std::chrono::steady_clock::now() - stopAt, 500ms);
    EXPECT_EQ(window.MessagesOf(WM_PLAYER_STATUS).size(), 2u) << "playing, then stopped by us: no interruption";

    const platform::WaveFormat format = captured.Format();
    EXPECT_EQ(format.sampleRate, 44100u);
    EXPECT_EQ(format.channels, 2);
    EXPECT_GT(captured.Milliseconds(), 3000);
    const std::vector<uint8_t> pcm = captured.Bytes();
    int peak = 0;
    for (size_t index = 0; index + 1 < pcm.size(); index += 2) {
        peak = std::max(peak, std::abs(int(int16_t(platform::ReadLittle16(&pcm[index])))));
    }
    EXPECT_GT(peak, 4000) << "the tone at -6 dB is heard";
    PlayerDestroy(engine);
}

}  // namespace
