// The stream reader against the project's own fault-injecting server: what
// it accepts and refuses, the request it sends, redirects, and that exactly
// the audio, and nothing of the metadata, comes out of StreamRead.

#include <chrono>
#include <future>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "formats/stream/stream_reader.h"
#include "formats/stream/stream_request.h"
#include "platform/recording_window.h"
#include "tests/formats/stream/fault_server.h"
#include "tests/support/waiting.h"

namespace {

using namespace std::chrono_literals;
using namespace engine;
using streamtest::Clock;
using streamtest::FaultServer;
using streamtest::Interleave;
using streamtest::Respond;
using streamtest::ServerConnection;
using streamtest::Session;
using streamtest::TitleText;

constexpr auto kReadLimit = 20s;

std::vector<uint8_t> Audio(size_t bytes) {
    std::vector<uint8_t> audio(bytes);
    for (size_t index = 0; index < bytes; ++index) audio[index] = static_cast<uint8_t>(index * 13 % 253 + 1);
    return audio;
}

std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Everything StreamRead hands out until it reports the end.
std::vector<uint8_t> ReadAll(StreamReader& reader) {
    std::vector<uint8_t> bytes;
    const auto deadline = Clock::now() + kReadLimit;
    uint8_t buffer[kStreamChunkBytes];
    size_t count = 0;
    while (Clock::now() < deadline && reader.StreamRead(buffer, sizeof buffer, &count)) {
        bytes.insert(bytes.end(), buffer, buffer + count);
    }
    return bytes;
}

std::string TitleBlocks(size_t index) {
    return index % 3 == 1 ? "" : TitleText("Song " + std::to_string(index));
}

struct AcceptedCase {
    std::string name;
    std::string statusLine;
    int32_t metaint;  // 0: no icy-metaint header
    size_t piece;     // the body goes out in pieces of this size, 30 ms apart
    size_t headerPiece;
};

TEST(StreamReaderServer, HandsOutExactlyTheAudio) {
    const std::vector<uint8_t> audio = Audio(60000);
    const std::vector<AcceptedCase> cases = {
        {"icy status, metaint 8192", "ICY 200 OK", 8192, 1 << 20, 1 << 20},
        {"http status, metaint 1000", "HTTP/1.0 200 OK", 1000, 1 << 20, 1 << 20},
        {"no metaint", "HTTP/1.0 200 OK", 0, 1 << 20, 1 << 20},
        // 8192 audio bytes + the 19-byte block split 10 / 9 across receives.
        {"block split across receives", "ICY 200 OK", 8192, 8202, 1 << 20},
        // Pieces of 8192 + 1 + 32 bytes: a block ends exactly where a receive does.
        {"block ending with a receive", "ICY 200 OK", 8192, 8192 + 1 + 32, 1 << 20},
        {"headers dribbled byte by byte", "ICY 200 OK", 8192, 1 << 20, 1},
    };
    for (const AcceptedCase& test : cases) {
        SCOPED_TRACE(test.name);
        const std::string body = test.metaint > 0 ? Interleave(audio, size_t(test.metaint), TitleBlocks) : Text(audio);
        std::string headers = "icy-name:Test Radio\r\nicy-genre:Caf\xE9\r\nicy-url:http://station/\r\n";
        if (test.metaint > 0) headers += "icy-metaint:" + std::to_string(test.metaint) + "\r\n";
        const std::string head = test.statusLine + "\r\n" + headers + "\r\n";
        FaultServer server({[&](FaultServer& self, ServerConnection& connection) {
            self.ReadRequest(connection);
            connection.SendSlowly(head, test.headerPiece, 10ms);
            connection.SendSlowly(body, test.piece, 30ms);
        }});
        platform::RecordingWindow window;
        StreamReader reader;
        reader.SetNotifyWindow(&window);
        ASSERT_TRUE(reader.StreamSetUrl(server.Url()));
        ASSERT_TRUE(reader.StreamStart());
        EXPECT_TRUE(Text(ReadAll(reader)) == Text(audio)) << "the audio, whole and unchanged";
        EXPECT_TRUE(reader.EndOfStream());

        std::string name, genre, url;
        EXPECT_EQ(reader.GetInfo(&name, &genre, &url), 1);
        EXPECT_EQ(name, "Test Radio");
        EXPECT_EQ(genre, "Caf\xC3\xA9");
        EXPECT_EQ(url, "http://station/");
        std::string title;
        const size_t blocks = test.metaint > 0 ? audio.size() / size_t(test.metaint) : 0;
        size_t titled = 0;
        for (size_t index = 0; index < blocks; ++index) titled += TitleBlocks(index).empty() ? 0 : 1;
        EXPECT_EQ(window.MessagesOf(WM_PLAYER_STREAM_TITLE).size(), titled);
        EXPECT_EQ(reader.GetTitle(&title), blocks > 0 ? 1 : 0);
        // The last block with text: the empty blocks leave it standing.
        if (blocks > 0) {
            const size_t last = TitleBlocks(blocks - 1).empty() ? blocks - 2 : blocks - 1;
            EXPECT_EQ(title, "Song " + std::to_string(last));
        }

        const auto requests = server.Requests();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0], "GET /live HTTP/1.0\r\nHost: 127.0.0.1\r\nAccept: */*\r\nIcy-MetaData:1\r\n"
                               "User-Agent: Unknown\r\n\r\n");
        reader.StreamClose();
        EXPECT_EQ(reader.GetInfo(&name, &genre, &url), 0) << "closing forgets the station";
        EXPECT_EQ(reader.GetTitle(&title), 0);
    }
}

struct RefusedCase {
    std::string name;
    Session session;
    int connections;
};

Session Silent() {
    return [](FaultServer& server, ServerConnection& connection) {
        server.ReadRequest(connection);
        connection.Pause(5s);
    };
}

TEST(StreamReaderServer, RefusesWhatIsNotAStream) {
    const std::string endless = "ICY 200 OK\r\n" + std::string(3000, 'h');
    const std::vector<RefusedCase> cases = {
        {"404", Respond("HTTP/1.0 404 Not Found", "", "body"), 1},
        {"300", Respond("HTTP/1.0 300 Multiple Choices", "Location: /elsewhere\r\n", ""), 1},
        {"metaint beyond its bound",
         Respond("ICY 200 OK", "icy-metaint:" + std::to_string(kLargestMetaint + 1) + "\r\n", "audio"), 1},
        {"metaint not a number", Respond("ICY 200 OK", "icy-metaint:lots\r\n", "audio"), 1},
        {"redirect to another scheme", Respond("HTTP/1.0 302 Found", "Location: ftp://127.0.0.1/\r\n", ""), 1},
        {"no status number", Respond("ICY OK", "icy-name:x\r\n", "audio"), 1},
        {"302 without location", Respond("HTTP/1.0 302 Found", "X: y\r\n", ""), 1},
        {"3000 bytes of headers without an end",
         [&endless](FaultServer& server, ServerConnection& connection) {
             server.ReadRequest(connection);
             connection.Send(endless);
             connection.Pause(5s);
         },
         1},
        {"closed before the headers end",
         [](FaultServer& server, ServerConnection& connection) {
             server.ReadRequest(connection);
             connection.Send("ICY 200 OK\r\nicy-name:x\r\n");
         },
         1},
        {"silent for 3 seconds", Silent(), 1},
    };
    for (const RefusedCase& test : cases) {
        SCOPED_TRACE(test.name);
        FaultServer server({test.session});
        StreamReader reader;
        ASSERT_TRUE(reader.StreamSetUrl(server.Url()));
        const auto start = Clock::now();
        EXPECT_FALSE(reader.StreamStart());
        EXPECT_LT(Clock::now() - start, 4s);
        EXPECT_EQ(server.Connections(), test.connections);
        EXPECT_FALSE(reader.IsConnected());
        EXPECT_EQ(reader.FilledCount(), 0);
        size_t count = 0;
        uint8_t byte = 0;
        EXPECT_FALSE(reader.StreamRead(&byte, 1, &count));
        std::string error;
        EXPECT_EQ(reader.GetLastError(&error), 1);
        EXPECT_NE(error.find("127.0.0.1"), std::string::npos) << error;
    }
}

Session RedirectTo(std::string location) {
    return Respond("HTTP/1.0 302 Found", "Location: " + location + "\r\n", "");
}

TEST(StreamReaderServer, FollowsRedirects) {
    struct Case {
        std::string status;
        std::string location;  // $ stands for the server's own address
        std::string secondRequest;
    };
    const std::vector<Case> cases = {
        {"301 Moved Permanently", "$/second", "GET /second HTTP/1.0\r\n"},
        {"302 Found", "$/second?a=1", "GET /second?a=1 HTTP/1.0\r\n"},
        {"303 See Other", "/absolute/path", "GET /absolute/path HTTP/1.0\r\n"},
        {"307 Temporary Redirect", "relative.mp3", "GET /lists/relative.mp3 HTTP/1.0\r\n"},
        {"308 Permanent Redirect", "../up", "GET /up HTTP/1.0\r\n"},
        {"302 Found", "  //127.0.0.1:%/spaced  ", "GET /spaced HTTP/1.0\r\n"},
    };
    const std::vector<uint8_t> audio = Audio(10000);
    for (const Case& test : cases) {
        SCOPED_TRACE(test.status + " to " + test.location);
        std::string location;
        FaultServer server({
            [&location, &test](FaultServer& self, ServerConnection& connection) {
                Respond("HTTP/1.1 " + test.status, "LOCATION: " + location + "\r\n", "")(self, connection);
            },
            Respond("ICY 200 OK", "icy-name:Moved\r\n", Text(audio)),
        });
        location = test.location;
        if (location.starts_with('$')) location = server.Url("") + location.substr(1);
        if (const size_t port = location.find('%'); port != std::string::npos) {
            location.replace(port, 1, std::to_string(server.Port()));
        }
        StreamReader reader;
        ASSERT_TRUE(reader.StreamSetUrl(server.Url("/lists/first")));
        ASSERT_TRUE(reader.StreamStart());
        EXPECT_TRUE(Text(ReadAll(reader)) == Text(audio));
        const auto requests = server.Requests();
        ASSERT_EQ(requests.size(), 2u);
        EXPECT_TRUE(requests[0].starts_with("GET /lists/first HTTP/1.0\r\n"));
        EXPECT_TRUE(requests[1].starts_with(test.secondRequest)) << requests[1];
    }
}

TEST(StreamReaderServer, ARedirectLoopEnds) {
    std::string self;
    FaultServer server({[&self](FaultServer& owner, ServerConnection& connection) {
        RedirectTo(self)(owner, connection);
    }});
    self = server.Url("/loop");
    StreamReader reader;
    ASSERT_TRUE(reader.StreamSetUrl(self));
    const auto start = Clock::now();
    EXPECT_FALSE(reader.StreamStart());
    EXPECT_LT(Clock::now() - start, 5s);
    EXPECT_EQ(server.Connections(), 6) << "the first request and five redirects";
}

TEST(StreamReaderServer, GoesThroughTheProxy) {
    const std::vector<uint8_t> audio = Audio(5000);
    std::string target;
    FaultServer proxy({
        [&target](FaultServer& self, ServerConnection& connection) { RedirectTo(target)(self, connection); },
        Respond("ICY 200 OK", "", Text(audio)),
    });
    // The second URL names no reachable host: only the proxy is ever contacted.
    target = "http://elsewhere.invalid:8001/moved";
    StreamReader reader;
    PlayerStreamOptions options;
    options.proxy = "http://127.0.0.1:" + std::to_string(proxy.Port());
    options.userAgent = "Tunelark Test";
    ASSERT_EQ(reader.SetOptions(options), 1);
    ASSERT_TRUE(reader.StreamSetUrl("http://radio.invalid:8000/live"));
    ASSERT_TRUE(reader.StreamStart());
    EXPECT_TRUE(Text(ReadAll(reader)) == Text(audio));
    const auto requests = proxy.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0], "GET http://radio.invalid:8000/live HTTP/1.0\r\nHost: 127.0.0.1\r\nAccept: */*\r\n"
                           "Icy-MetaData:1\r\nUser-Agent: Tunelark Test\r\n\r\n");
    EXPECT_TRUE(requests[1].starts_with("GET http://elsewhere.invalid:8001/moved HTTP/1.0\r\nHost: 127.0.0.1\r\n"));
    EXPECT_EQ(reader.SetOptions(options), 0) << "refused while the pool exists";
    reader.StreamStop();
    EXPECT_EQ(reader.SetOptions(options), 1);
}

TEST(StreamReaderServer, ResolvesNames) {
    const std::vector<uint8_t> audio = Audio(3000);
    FaultServer server({Respond("ICY 200 OK", "", Text(audio))});
    StreamReader reader;
    ASSERT_TRUE(reader.StreamSetUrl("http://localhost:" + std::to_string(server.Port()) + "/live"));
    ASSERT_TRUE(reader.StreamStart()) << "localhost resolves (from the hosts file) to the server's 127.0.0.1";
    EXPECT_TRUE(Text(ReadAll(reader)) == Text(audio));
}

TEST(StreamReaderServer, InterruptEndsTheWaitForHeadersAtOnce) {
    FaultServer server({Silent()});
    StreamReader reader;
    ASSERT_TRUE(reader.StreamSetUrl(server.Url()));
    auto started = std::async(std::launch::async, [&reader] { return reader.StreamStart(); });
    ASSERT_TRUE(test::Eventually([&] { return !server.Requests().empty(); }));
    const auto interrupted = Clock::now();
    reader.Interrupt();
    EXPECT_FALSE(started.get());
    EXPECT_LT(Clock::now() - interrupted, 500ms);
    EXPECT_FALSE(reader.StreamStart()) << "an interrupted reader stays stopped";
    reader.ClearInterrupt();
}

TEST(StreamReaderServer, AClosedPortFailsAtOnce) {
    uint16_t port = 0;
    {
        FaultServer closed({});
        port = closed.Port();
    }
    StreamReader reader;
    ASSERT_TRUE(reader.StreamSetUrl("http://127.0.0.1:" + std::to_string(port) + "/"));
    const auto start = Clock::now();
    EXPECT_FALSE(reader.StreamStart());
    EXPECT_LT(Clock::now() - start, 1s);
}

}  // namespace
