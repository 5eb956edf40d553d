// Station lists fetched from the project's own server: a list named so or
// served with a list's content type gives its entries, anything else is a
// stream that stands for itself, and every failure says which server.

#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "formats/stream/station_list.h"
#include "tests/formats/stream/fault_server.h"

namespace {

using namespace std::chrono_literals;
using namespace engine;
using streamtest::Clock;
using streamtest::FaultServer;
using streamtest::Respond;
using streamtest::ServerConnection;
using streamtest::Session;

const std::string kPls = "[playlist]\nFile1=live.mp3\nTitle1=Relative\nFile2=http://other.example/x\n";

struct FetchCase {
    std::string name;
    std::string path;                     // asked for on the server
    std::vector<Session> sessions;
    std::vector<std::string> locations;   // $ stands for the server's address; empty when an error is expected
    std::string error;                    // a part of the expected message
};

// A session that answers with a head and then keeps the connection open.
Session RespondAndLinger(std::string head) {
    return [head](FaultServer& server, ServerConnection& connection) {
        server.ReadRequest(connection);
        connection.Send(head);
        connection.Pause(10s);
    };
}

TEST(StationListFetch, ResolvesListsAndStreams) {
    const std::vector<FetchCase> cases = {
        {"a list by its content type, without an extension", "/radio/listen",
         {Respond("HTTP/1.1 200 OK", "Content-Type: audio/x-scpls\r\n", kPls)},
         {"$/radio/live.mp3", "http://other.example/x"}, ""},
        {"a list by its name, served as text", "/radio/top.m3u8?sid=3",
         {Respond("HTTP/1.0 200 OK", "Content-Type: text/plain\r\n", "#EXTM3U\n../up.mp3\n")}, {"$/up.mp3"}, ""},
        {"a stream stands for itself", "/live",
         {Respond("ICY 200 OK", "content-type:audio/mpeg\r\nicy-name:Radio\r\n", std::string(5000, 'a'))},
         {"$/live"}, ""},
        {"a redirect to a list resolves against where it ended", "/start",
         {Respond("HTTP/1.1 302 Found", "Location: /lists/final.pls\r\n", ""),
          Respond("HTTP/1.1 200 OK", "", kPls)},
         {"$/lists/live.mp3", "http://other.example/x"}, ""},
        {"the body ends at its Content-Length", "/radio/listen",
         {RespondAndLinger("HTTP/1.1 200 OK\r\nContent-Type: audio/x-mpegurl\r\nContent-Length: 17\r\n\r\n"
                           "http://a.example/ and what the length leaves out")},
         {"http://a.example/"}, ""},
        {"an HLS list", "/hls/index",
         {Respond("HTTP/1.1 200 OK", "Content-Type: application/vnd.apple.mpegurl\r\n",
                  "#EXTM3U\n#EXT-X-TARGETDURATION:6\nseg.ts\n")},
         {}, "HLS"},
        {"a list too large", "/big.pls",
         {Respond("HTTP/1.1 200 OK", "",
                  "[playlist]\nFile1=http://a.example/\n" + std::string(kLargestStationList, ';'))},
         {}, "The station list at 127.0.0.1 is larger than 1 MiB."},
        {"a list cut off before its length", "/cut.pls",
         {Respond("HTTP/1.1 200 OK", "Content-Type: audio/x-scpls\r\nContent-Length: 500\r\n", kPls)}, {},
         "The station list from 127.0.0.1 was cut off in transfer."},
        {"not found", "/missing.pls", {Respond("HTTP/1.1 404 Not Found", "", "")}, {},
         "127.0.0.1 answered with status 404."},
        {"a web page in place of a list", "/list.m3u", {Respond("HTTP/1.1 200 OK", "", "<html></html>")}, {},
         "not a station list"},
    };
    for (const FetchCase& test : cases) {
        SCOPED_TRACE(test.name);
        FaultServer server(test.sessions);
        const auto start = Clock::now();
        const StationListResult result = ResolveStationUrl(server.Url(test.path), PlayerStreamOptions{});
        EXPECT_LT(Clock::now() - start, 5s);
        if (test.locations.empty()) {
            EXPECT_TRUE(result.entries.empty());
            EXPECT_NE(result.error.find(test.error), std::string::npos) << result.error;
            continue;
        }
        EXPECT_EQ(result.error, "");
        ASSERT_EQ(result.entries.size(), test.locations.size());
        for (size_t index = 0; index < test.locations.size(); ++index) {
            std::string expected = test.locations[index];
            if (expected.starts_with('$')) expected = server.Url("") + expected.substr(1);
            EXPECT_EQ(result.entries[index].location, expected);
        }
    }
}

TEST(StationListFetch, SaysWhichServerFailed) {
    uint16_t closedPort = 0;
    {
        FaultServer closed({});
        closedPort = closed.Port();
    }
    struct Case {
        std::string url;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"http://127.0.0.1:" + std::to_string(closedPort) + "/list.pls", "Could not connect to 127.0.0.1."},
        {"ftp://files.example/list.pls", "ftp://files.example/list.pls is not an http:// or https:// address."},
        {"http://:80/list.pls", "is not a usable address"},
        {"http://radio.example/" + std::string(300, 'x'), "too long"},
    };
    for (const Case& test : cases) {
        const StationListResult result = ResolveStationUrl(test.url, PlayerStreamOptions{});
        EXPECT_TRUE(result.entries.empty());
        EXPECT_NE(result.error.find(test.error), std::string::npos) << result.error;
    }
}

TEST(StationListFetch, GoesThroughTheProxy) {
    FaultServer proxy({Respond("HTTP/1.0 200 OK", "Content-Type: audio/x-scpls\r\n", kPls)});
    PlayerStreamOptions options;
    options.proxy = "127.0.0.1:" + std::to_string(proxy.Port());
    const StationListResult result = ResolveStationUrl("HTTP://lists.invalid/radio/listen", options);
    EXPECT_EQ(result.error, "");
    ASSERT_EQ(result.entries.size(), 2u);
    EXPECT_EQ(result.entries[0].location, "http://lists.invalid/radio/live.mp3");
    EXPECT_EQ(result.entries[0].title, "Relative");
    const auto requests = proxy.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].starts_with("GET http://lists.invalid/radio/listen HTTP/1.0\r\n")) << requests[0];
}

}  // namespace
