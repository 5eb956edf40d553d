// A stream started without waiting for its server: the call answers at once
// whatever the server does, a stop cuts the start short, and a server that
// never brings audio fails the start within its deadline with a reason.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "engine/player_engine.h"
#include "formats/stream/stream_reader.h"
#include "platform/recording_window.h"
#include "tests/formats/stream/fault_server.h"
#include "tests/support/captured_audio.h"
#include "tests/support/engine_handle.h"
#include "tests/support/manual_clock.h"
#include "tests/support/waiting.h"

namespace {

using namespace std::chrono_literals;
using streamtest::Clock;
using streamtest::Drip;
using streamtest::FaultServer;
using streamtest::ServerConnection;
using streamtest::Session;

struct StartCase {
    std::string name;
    Session session;
    std::string reason;  // what the stream error says once the start failed
    bool waits;          // the start waits on the server until its deadline
};

const std::vector<StartCase>& StartCases() {
    static const std::vector<StartCase> cases = {
        {"audio drips after the headers", Drip("", ""), "sent no audio within 15 seconds", true},
        // The length byte announces 4080 bytes of metadata that never end.
        {"a metadata block never ends", Drip("icy-metaint:16\r\n", std::string(16, '\xff') + '\xff'),
         "sent no audio within 15 seconds", true},
        {"a page instead of audio",
         [](FaultServer& server, ServerConnection& connection) {
             server.ReadRequest(connection);
             connection.Send("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n" +
                             std::string(8192, '<'));
             connection.Pause(10s);
         },
         "not MPEG audio", false},
    };
    return cases;
}

class StreamStart : public ::testing::Test {
protected:
    void Open(const FaultServer& server) {
        captured = std::make_unique<test::CapturedAudio>(test::CapturedAudio::kUnpaced);
        engine.reset(PlayerCreate());
        PlayerSetNotifyWindow(engine.get(), &window);
        PlayerSetOutputDevice(engine.get(), platform::WaveBackend::Capture, captured->Sink());
        ASSERT_EQ(PlayerOpenURL(engine.get(), server.Url()), 1);
    }
    // The stopped reports' lParams, in order.
    std::vector<intptr_t> StoppedReports() {
        std::vector<intptr_t> reports;
        for (const auto& message : window.MessagesOf(WM_PLAYER_STATUS)) {
            if (message.wParam == PLAYER_STOPPED) reports.push_back(message.lParam);
        }
        return reports;
    }
    void StartAndExpectAnAnswerAtOnce() {
        const auto started = Clock::now();
        ASSERT_EQ(PlayerPlayAsync(engine.get()), 1);
        EXPECT_LT(Clock::now() - started, 100ms);
        EXPECT_EQ(PlayerGetStatus(engine.get()), PLAYER_PLAYING);
        EXPECT_EQ(PlayerIsConnecting(engine.get()), 1);
    }

    test::InstalledManualClock clock;
    platform::RecordingWindow window;
    std::unique_ptr<test::CapturedAudio> captured;
    test::EngineHandle engine;
};

TEST_F(StreamStart, AStopCutsEveryWaitingStartShort) {
    for (const StartCase& test : StartCases()) {
        if (!test.waits) continue;
        SCOPED_TRACE(test.name);
        FaultServer server({test.session});
        ASSERT_NO_FATAL_FAILURE(Open(server));
        StartAndExpectAnAnswerAtOnce();
        ASSERT_TRUE(test::Eventually([&] { return !server.Requests().empty(); }));
        const auto stopAt = Clock::now();
        PlayerStop(engine.get());
        EXPECT_LT(Clock::now() - stopAt, 500ms);
        EXPECT_EQ(PlayerGetStatus(engine.get()), PLAYER_STOPPED);
        EXPECT_EQ(PlayerIsConnecting(engine.get()), 0);
        EXPECT_EQ(StoppedReports(), std::vector<intptr_t>{0}) << "a stop is no failure";
        engine.reset();
        window.Clear();
    }
}

TEST_F(StreamStart, AServerWithoutAudioFailsTheStartWithItsReason) {
    for (const StartCase& test : StartCases()) {
        SCOPED_TRACE(test.name);
        FaultServer server({test.session});
        ASSERT_NO_FATAL_FAILURE(Open(server));
        StartAndExpectAnAnswerAtOnce();
        // The connection's own deadline runs on the same clock: it must be
        // made before the clock moves.
        ASSERT_TRUE(test::Eventually(
            [&] { return engine->streamReader->IsConnected() || !StoppedReports().empty(); }));
        ASSERT_TRUE(clock.AdvanceUntil(500ms, [&] { return !StoppedReports().empty(); }));
        EXPECT_EQ(StoppedReports(), std::vector<intptr_t>{kPlayerStartFailed});
        EXPECT_EQ(PlayerGetStatus(engine.get()), PLAYER_STOPPED);
        std::string error;
        ASSERT_EQ(PlayerGetStreamError(engine.get(), &error), 1);
        EXPECT_NE(error.find("127.0.0.1"), std::string::npos) << error;
        EXPECT_NE(error.find(test.reason), std::string::npos) << error;
        engine.reset();
        window.Clear();
    }
}

}  // namespace
