// https streams: the real icecast2 and the project's own server behind
// stunnel4, with certificates made at test time by the openssl command and
// an authority trusted for the test alone. A station plays with its titles,
// a certificate that does not verify is refused with the server's name,
// redirects cross between http and https both ways, a proxy tunnels, and a
// stop cuts a stalled handshake short. Without stunnel4 or icecast2 these
// tests fail: tools/install-deps.sh installs them.

#include <chrono>
#include <future>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "formats/stream/station_list.h"
#include "formats/stream/stream_reader.h"
#include "platform/recording_window.h"
#include "tests/formats/stream/fault_server.h"
#include "tests/formats/stream/icecast_server.h"
#include "tests/formats/stream/tls_front.h"
#include "tests/support/captured_audio.h"
#include "tests/support/engine_handle.h"
#include "tests/support/fixtures.h"
#include "tests/support/waiting.h"

namespace {

using namespace std::chrono_literals;
using namespace engine;
using streamtest::CertificatePair;
using streamtest::Clock;
using streamtest::FaultServer;
using streamtest::Respond;
using streamtest::ServerConnection;
using streamtest::Session;
using streamtest::TestCertificates;
using streamtest::TlsFront;
using streamtest::TrustedAuthority;

constexpr auto kReadLimit = 20s;
constexpr auto kPromptStop = 500ms;

std::string Layer2Audio() {
    const std::vector<uint8_t> file = test::ReadFileBytes(test::FixturePath("layer2.mp2"));
    return std::string(file.begin(), file.end());
}

std::string TextPattern(size_t bytes) {
    std::string text(bytes, '\0');
    for (size_t index = 0; index < bytes; ++index) text[index] = static_cast<char>(index * 13 % 253 + 1);
    return text;
}

// Everything StreamRead hands out until it reports the end.
std::string ReadAll(StreamReader& reader) {
    std::string bytes;
    const auto deadline = Clock::now() + kReadLimit;
    uint8_t buffer[kStreamChunkBytes];
    size_t count = 0;
    while (Clock::now() < deadline && reader.StreamRead(buffer, sizeof buffer, &count)) {
        bytes.append(reinterpret_cast<const char*>(buffer), count);
    }
    return bytes;
}

// A session that takes the connection and never says anything. It notes
// when the client has spoken: a TLS client then waits for the server's hello.
Session Mute() {
    return [](FaultServer& self, ServerConnection& connection) {
        if (connection.Heard(10s)) self.Note("heard");
        connection.Pause(10s);
    };
}

TEST(TlsStream, IcecastStationPlaysWithItsTitles) {
    TestCertificates certificates;
    ASSERT_TRUE(certificates.Ready()) << "the openssl command made no certificates";
    const TrustedAuthority trust(certificates);
    streamtest::IcecastServer server(test::FixturePath("cbr128.mp3"));
    ASSERT_TRUE(server.Ready()) << "icecast2 with ffmpeg did not start (tools/install-deps.sh installs them)";
    TlsFront front(server.Port(), certificates.Server());
    ASSERT_TRUE(front.Ready()) << "stunnel4 did not start (tools/install-deps.sh installs it)";

    platform::RecordingWindow window;
    test::CapturedAudio captured(1.0);
    test::EngineHandle engine(PlayerCreate());
    PlayerSetNotifyWindow(engine.get(), &window);
    PlayerSetOutputDevice(engine.get(), platform::WaveBackend::Capture, captured.Sink());
    ASSERT_EQ(PlayerOpenURL(engine.get(), front.Url("localhost", "/live.mp3")), 1);
    ASSERT_EQ(PlayerPlay(engine.get()), 1);
    std::string name;
    EXPECT_EQ(PlayerGetStreamInfo(engine.get(), &name, nullptr, nullptr), 1);
    EXPECT_EQ(name, streamtest::kIcecastStation);

    // The title is set once playing; a block of the burst may still carry the old one.
    ASSERT_TRUE(server.SetTitle("Secure Song"));
    std::string title;
    EXPECT_TRUE(test::Eventually([&] {
        return !window.MessagesOf(WM_PLAYER_STREAM_TITLE).empty() && PlayerGetStreamTitle(engine.get(), &title) &&
               title == "Secure Song";
    }, 30s)) << "last title: " << title;
    EXPECT_TRUE(test::Eventually([&] { return captured.Milliseconds() >= 2000; }, 10s));

    const auto stopAt = Clock::now();
    PlayerStop(engine.get());
    EXPECT_LT(Clock::now() - stopAt, kPromptStop);
    EXPECT_EQ(captured.Format().sampleRate, 44100u);
    EXPECT_EQ(PlayerGetStreamError(engine.get(), nullptr), 0);
}

TEST(TlsStream, RefusesCertificatesThatDoNotVerify) {
    TestCertificates certificates;
    ASSERT_TRUE(certificates.Ready()) << "the openssl command made no certificates";
    const TrustedAuthority trust(certificates);
    struct Case {
        std::string name;
        CertificatePair pair;
        std::string host;  // as the URL names the server
    };
    const std::vector<Case> cases = {
        {"self-signed", certificates.SelfSigned(), "localhost"},
        {"signed by an authority nobody trusts", certificates.Stranger(), "localhost"},
        {"made out to another name", certificates.Server(), "127.0.0.1"},
    };
    const std::string audio = Layer2Audio();
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        FaultServer backend({Respond("ICY 200 OK", "icy-name:Should Not Play\r\n", audio)});
        TlsFront front(backend.Port(), test.pair);
        ASSERT_TRUE(front.Ready()) << "stunnel4 did not start (tools/install-deps.sh installs it)";

        platform::RecordingWindow window;
        test::CapturedAudio captured(0);
        test::EngineHandle engine(PlayerCreate());
        PlayerSetNotifyWindow(engine.get(), &window);
        PlayerSetOutputDevice(engine.get(), platform::WaveBackend::Capture, captured.Sink());
        ASSERT_EQ(PlayerOpenURL(engine.get(), front.Url(test.host, "/live")), 1);
        EXPECT_EQ(PlayerPlay(engine.get()), 0);
        std::string error;
        EXPECT_EQ(PlayerGetStreamError(engine.get(), &error), 1);
        EXPECT_TRUE(error.starts_with("The certificate of " + test.host + " could not be verified")) << error;
        EXPECT_TRUE(window.MessagesOf(WM_PLAYER_STATUS).empty()) << "nothing started";
        EXPECT_EQ(captured.Milliseconds(), 0);
        EXPECT_TRUE(backend.Requests().empty()) << "no request left the failed handshake";
        EXPECT_EQ(PlayerGetStreamInfo(engine.get(), nullptr, nullptr, nullptr), 0);

        // Nor does a station list come from such a server.
        const StationListResult list = ResolveStationUrl(front.Url(test.host, "/list.pls"), PlayerStreamOptions{});
        EXPECT_TRUE(list.entries.empty());
        EXPECT_TRUE(list.error.starts_with("The certificate of " + test.host)) << list.error;
    }
}

TEST(TlsStream, RedirectsCrossBetweenHttpAndHttps) {
    TestCertificates certificates;
    ASSERT_TRUE(certificates.Ready()) << "the openssl command made no certificates";
    const TrustedAuthority trust(certificates);
    const std::string audio = TextPattern(30000);
    struct Case {
        std::string name;
        bool startSecure;  // the first request goes to the https server
    };
    for (const Case& test : {Case{"http to https", false}, Case{"https to http", true}}) {
        SCOPED_TRACE(test.name);
        // One server behind TLS, one plain; whichever comes first redirects to the other.
        std::string next;
        const Session redirect = [&next](FaultServer& self, ServerConnection& connection) {
            Respond("HTTP/1.1 307 Temporary Redirect", "Location: " + next + "\r\n", "")(self, connection);
        };
        const Session serve = Respond("ICY 200 OK", "icy-name:Arrived\r\n", audio);
        FaultServer secureBackend({test.startSecure ? redirect : serve});
        FaultServer plain({test.startSecure ? serve : redirect});
        TlsFront front(secureBackend.Port(), certificates.Server());
        ASSERT_TRUE(front.Ready()) << "stunnel4 did not start (tools/install-deps.sh installs it)";
        const std::string secureUrl = front.Url("localhost", "/secure");
        next = test.startSecure ? plain.Url("/plain") : secureUrl;

        StreamReader reader;
        ASSERT_TRUE(reader.StreamSetUrl(test.startSecure ? secureUrl : plain.Url("/plain-start")));
        ASSERT_TRUE(reader.StreamStart());
        EXPECT_TRUE(ReadAll(reader) == audio) << "the audio, whole and unchanged";
        std::string name;
        EXPECT_EQ(reader.GetInfo(&name, nullptr, nullptr), 1);
        EXPECT_EQ(name, "Arrived");
        ASSERT_EQ(secureBackend.Requests().size(), 1u);
        ASSERT_EQ(plain.Requests().size(), 1u);
        EXPECT_TRUE(secureBackend.Requests()[0].starts_with("GET /secure HTTP/1.0\r\nHost: localhost\r\n"))
            << secureBackend.Requests()[0];
    }
}

TEST(TlsStream, TunnelsThroughTheProxy) {
    TestCertificates certificates;
    ASSERT_TRUE(certificates.Ready()) << "the openssl command made no certificates";
    const TrustedAuthority trust(certificates);
    const std::string audio = TextPattern(20000);
    FaultServer backend({Respond("ICY 200 OK", "", audio)});
    TlsFront front(backend.Port(), certificates.Server());
    ASSERT_TRUE(front.Ready()) << "stunnel4 did not start (tools/install-deps.sh installs it)";
    const uint16_t frontPort = front.Port();
    FaultServer proxy({
        [frontPort](FaultServer& self, ServerConnection& connection) {
            self.ReadRequest(connection);
            connection.Send("HTTP/1.0 200 Connection established\r\n\r\n");
            connection.Relay(frontPort);
        },
        Respond("HTTP/1.0 403 Forbidden", "", ""),
    });
    PlayerStreamOptions options;
    options.proxy = "127.0.0.1:" + std::to_string(proxy.Port());
    options.userAgent = "Tunnel Test";
    StreamReader reader;
    ASSERT_EQ(reader.SetOptions(options), 1);
    ASSERT_TRUE(reader.StreamSetUrl(front.Url("localhost", "/through")));
    ASSERT_TRUE(reader.StreamStart());
    EXPECT_TRUE(ReadAll(reader) == audio);
    reader.StreamStop();
    const std::string tunnel = "localhost:" + std::to_string(frontPort);
    ASSERT_EQ(proxy.Requests().size(), 1u);
    EXPECT_EQ(proxy.Requests()[0],
              "CONNECT " + tunnel + " HTTP/1.0\r\nHost: " + tunnel + "\r\nUser-Agent: Tunnel Test\r\n\r\n");
    ASSERT_EQ(backend.Requests().size(), 1u);
    EXPECT_TRUE(backend.Requests()[0].starts_with("GET /through HTTP/1.0\r\nHost: localhost\r\n"));

    // A proxy that refuses the tunnel fails the connection, naming itself.
    EXPECT_FALSE(reader.StreamStart());
    std::string error;
    EXPECT_EQ(reader.GetLastError(&error), 1);
    EXPECT_EQ(error, "127.0.0.1 answered with status 403.");
}

TEST(TlsStream, AStalledHandshakeFailsOrStopsPromptly) {
    FaultServer mute({Mute()});
    const std::string url = "https://127.0.0.1:" + std::to_string(mute.Port()) + "/";

    // Left alone, the silence fails the connection as a silent plain server does.
    StreamReader reader;
    ASSERT_TRUE(reader.StreamSetUrl(url));
    const auto start = Clock::now();
    EXPECT_FALSE(reader.StreamStart());
    EXPECT_LT(Clock::now() - start, 5s);
    std::string error;
    EXPECT_EQ(reader.GetLastError(&error), 1);
    EXPECT_EQ(error, "127.0.0.1 did not answer the secure connection.");

    // Interrupted, it ends at once, and a stop is no failure to report.
    const size_t before = mute.Notes().size();
    auto started = std::async(std::launch::async, [&reader] { return reader.StreamStart(); });
    ASSERT_TRUE(test::Eventually([&] { return mute.Notes().size() > before; }, 5s)) << "the handshake waits";
    const auto interrupted = Clock::now();
    reader.Interrupt();
    EXPECT_FALSE(started.get());
    EXPECT_LT(Clock::now() - interrupted, kPromptStop);
    EXPECT_EQ(reader.GetLastError(nullptr), 0);
    reader.ClearInterrupt();
}

// The engine plays a plain stream that stalls; its reconnection is sent to a
// server that never answers the handshake, where PlayerStop finds it.
TEST(TlsStream, StopDuringAReconnectionHandshakeIsPrompt) {
    FaultServer mute({Mute()});
    const std::string audio = Layer2Audio().substr(0, 40000);
    const std::string secure = "https://127.0.0.1:" + std::to_string(mute.Port()) + "/";
    FaultServer plain({
        [&audio](FaultServer& self, ServerConnection& connection) {
            self.ReadRequest(connection);
            connection.Send("ICY 200 OK\r\n\r\n" + audio);
            connection.Pause(10s);
        },
        Respond("HTTP/1.0 302 Found", "Location: " + secure + "\r\n", ""),
    });
    platform::RecordingWindow window;
    test::CapturedAudio captured(0);
    test::EngineHandle engine(PlayerCreate());
    PlayerSetNotifyWindow(engine.get(), &window);
    PlayerSetOutputDevice(engine.get(), platform::WaveBackend::Capture, captured.Sink());
    ASSERT_EQ(PlayerOpenURL(engine.get(), plain.Url()), 1);
    ASSERT_EQ(PlayerPlay(engine.get()), 1);
    ASSERT_TRUE(test::Eventually([&] { return !mute.Notes().empty(); }, 10s)) << "the handshake waits";
    const auto stopAt = Clock::now();
    PlayerStop(engine.get());
    EXPECT_LT(Clock::now() - stopAt, kPromptStop);
    EXPECT_EQ(PlayerGetStatus(engine.get()), PLAYER_STOPPED);
}

TEST(TlsStream, StationListOverHttps) {
    TestCertificates certificates;
    ASSERT_TRUE(certificates.Ready()) << "the openssl command made no certificates";
    const TrustedAuthority trust(certificates);
    FaultServer backend({Respond("HTTP/1.1 200 OK", "Content-Type: audio/x-mpegurl\r\n",
                                 "#EXTM3U\n#EXTINF:-1,Near\nnear.mp3\nhttp://plain.example/far\n")});
    TlsFront front(backend.Port(), certificates.Server());
    ASSERT_TRUE(front.Ready()) << "stunnel4 did not start (tools/install-deps.sh installs it)";
    const StationListResult result = ResolveStationUrl(front.Url("localhost", "/lists/listen"), PlayerStreamOptions{});
    EXPECT_EQ(result.error, "");
    ASSERT_EQ(result.entries.size(), 2u);
    EXPECT_EQ(result.entries[0].location, front.Url("localhost", "/lists/near.mp3"));
    EXPECT_EQ(result.entries[0].title, "Near");
    EXPECT_EQ(result.entries[1].location, "http://plain.example/far");
}

}  // namespace
