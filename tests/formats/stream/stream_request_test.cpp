// The text side of a stream connection: where a URL and proxy lead, the
// request, the status line and headers; and the limits of URLs and options.

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "formats/stream/stream_reader.h"
#include "formats/stream/stream_request.h"

namespace {

using namespace engine;

// The endpoint as the tables write it.
struct Endpoint {
    std::string host;
    std::string hostHeader;
    uint16_t port;
    std::string target;
    std::string secureHost = "";  // empty: plain http
    std::string tunnel = "";
};

TEST(StreamRequest, ChoosesHostPortAndTarget) {
    struct Case {
        std::string url;
        std::string proxy;
        std::optional<Endpoint> expected;
    };
    const std::string radio = "http://radio.example:8000/live?x=1";
    const std::string secure = "https://radio.example/live";
    const std::vector<Case> cases = {
        {"http://host/path", "", Endpoint{"host", "host", 80, "/path"}},
        {"http://host:8000", "", Endpoint{"host", "host", 8000, "/"}},
        {"http://host:8000/a/b.mp3", "", Endpoint{"host", "host", 8000, "/a/b.mp3"}},
        {"http://host:/x", "", Endpoint{"host", "host", 80, "/x"}},
        {"http://host?q=1", "", Endpoint{"host", "host", 80, "/?q=1"}},
        {"http://host/a#fragment", "", Endpoint{"host", "host", 80, "/a"}},
        {"http://10.0.0.7:81/", "", Endpoint{"10.0.0.7", "10.0.0.7", 81, "/"}},
        {"http://[::1]:8000/s", "", Endpoint{"::1", "[::1]", 8000, "/s"}},
        {"http://[::1]/s", "", Endpoint{"::1", "[::1]", 80, "/s"}},
        {"https://host/s", "", Endpoint{"host", "host", 443, "/s", "host"}},
        {"https://host:8443", "", Endpoint{"host", "host", 8443, "/", "host"}},
        {"https://[::1]/s", "", Endpoint{"::1", "[::1]", 443, "/s", "::1"}},
        {radio, "proxyhost:3128", Endpoint{"proxyhost", "proxyhost", 3128, radio}},
        {radio, "http://proxyhost:3128", Endpoint{"proxyhost", "proxyhost", 3128, radio}},
        {radio, "proxyhost", Endpoint{"proxyhost", "proxyhost", 80, radio}},
        // https goes through a tunnel: the request inside it is the server's own.
        {secure, "proxyhost:3128", Endpoint{"proxyhost", "radio.example", 3128, "/live", "radio.example",
                                            "radio.example:443"}},
        {"https://[::1]:8443/", "proxyhost:3128", Endpoint{"proxyhost", "[::1]", 3128, "/", "::1", "[::1]:8443"}},
        {"other:9000/next", "", std::nullopt},
        {"ftp://host/", "", std::nullopt},
        {"http://", "", std::nullopt},
        {"https://", "", std::nullopt},
        {"http://:8000/x", "", std::nullopt},
        {"http:///x", "", std::nullopt},
        {"http://host:0/", "", std::nullopt},
        {"http://host:65536/", "", std::nullopt},
        {"http://host:-80/", "", std::nullopt},
        {"http://[::1/", "", std::nullopt},
        {radio, "http://:3128", std::nullopt},
        {secure, "http://:3128", std::nullopt},
    };
    for (const Case& test : cases) {
        const auto endpoint = ChooseEndpoint(test.url, test.proxy);
        ASSERT_EQ(endpoint.has_value(), test.expected.has_value()) << test.url << " via " << test.proxy;
        if (!endpoint) continue;
        EXPECT_EQ(endpoint->host, test.expected->host) << test.url;
        EXPECT_EQ(endpoint->hostHeader, test.expected->hostHeader) << test.url;
        EXPECT_EQ(endpoint->port, test.expected->port) << test.url;
        EXPECT_EQ(endpoint->target, test.expected->target) << test.url;
        EXPECT_EQ(endpoint->secure, !test.expected->secureHost.empty()) << test.url;
        EXPECT_EQ(endpoint->secureHost, test.expected->secureHost) << test.url;
        EXPECT_EQ(endpoint->tunnel, test.expected->tunnel) << test.url;
    }
}

TEST(StreamRequest, AsksTheProxyForATunnel) {
    const auto endpoint = ChooseEndpoint("https://radio.example:8443/live", "proxy:3128");
    ASSERT_TRUE(endpoint);
    EXPECT_EQ(BuildTunnelRequest(*endpoint, "Agent/1"),
              "CONNECT radio.example:8443 HTTP/1.0\r\nHost: radio.example:8443\r\nUser-Agent: Agent/1\r\n\r\n");
    EXPECT_EQ(BuildRequest(*endpoint, "Agent/1"),
              "GET /live HTTP/1.0\r\nHost: radio.example\r\nAccept: */*\r\nIcy-MetaData:1\r\n"
              "User-Agent: Agent/1\r\n\r\n");
}

TEST(StreamRequest, RequestNamesTheHostWithoutPort) {
    const auto endpoint = ChooseEndpoint("http://host:8000/live", "");
    ASSERT_TRUE(endpoint);
    EXPECT_EQ(BuildRequest(*endpoint, "Agent/1"),
              "GET /live HTTP/1.0\r\nHost: host\r\nAccept: */*\r\nIcy-MetaData:1\r\nUser-Agent: Agent/1\r\n\r\n");
}

TEST(StreamRequest, ReadsTheStatusCode) {
    struct Case {
        std::string response;
        std::optional<int> status;
    };
    const std::vector<Case> cases = {
        {"ICY 200 OK\r\n", 200},
        {"HTTP/1.0 200 OK\r\n", 200},
        {"HTTP/1.1 302 Found\r\n", 302},
        {"HTTP/1.1 308 Permanent Redirect\r\n", 308},
        {"  HTTP/1.0   404 Not Found\r\n", 404},
        {"HTTP/1.0 OK\r\n", std::nullopt},
        {"HTTP/1.0\r\n", std::nullopt},
        {"\r\n", std::nullopt},
        {"", std::nullopt},
        {"ICY 99999999999999999999 OK\r\n", std::nullopt},
    };
    for (const Case& test : cases) EXPECT_EQ(ParseStatusCode(test.response), test.status) << test.response;
}

TEST(StreamRequest, FollowsOnlyRedirectStatuses) {
    for (const int status : {301, 302, 303, 307, 308}) EXPECT_TRUE(IsRedirectStatus(status)) << status;
    for (const int status : {200, 300, 304, 305, 306, 309, 404}) EXPECT_FALSE(IsRedirectStatus(status)) << status;
}

TEST(StreamRequest, MatchesHeaderNamesAtLineStartsInAnyCase) {
    struct Case {
        std::string headers;
        std::string name;
        std::optional<std::string> value;
    };
    const std::string status = "ICY 200 OK\r\n";
    const std::vector<Case> cases = {
        {status + "icy-name:Radio One\r\n\r\n", "icy-name", "Radio One"},
        {status + "ICY-NAME:Loud\r\n\r\n", "icy-name", "Loud"},
        {status + "icy-genre: Jazz\r\n\r\n", "icy-genre", " Jazz"},  // a blank after the colon stays
        {status + "icy-url:\r\n\r\n", "icy-url", std::nullopt},      // an empty value changes nothing
        {status + "x-icy-name:Not This\r\n\r\n", "icy-name", std::nullopt},
        {status + "icy-description:has icy-name:inside\r\n\r\n", "icy-name", std::nullopt},
        {status + "icy-name2:Other\r\nicy-name:Right\r\n\r\n", "icy-name", "Right"},
        {status + "icy-name :Spaced\r\n\r\n", "icy-name", std::nullopt},
        {"icy-name:In The Status Line\r\n\r\n", "icy-name", std::nullopt},
        {status + "icy-name:First\r\nicy-name:Second\r\n\r\n", "icy-name", "First"},
        {status + "icy-name:Bare LF\nicy-genre:Rock\n\n", "icy-genre", "Rock"},
        {status + "location: http://next/\r\n\r\n", "Location", " http://next/"},
        {status + "icy-name:" + std::string(300, 'n') + "\r\n", "icy-name", std::string(kHeaderValueBytes, 'n')},
        {status + "x icy-name:", "icy-name", std::nullopt},
        {status + "icy-name:", "icy-name", std::nullopt},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(FindHeaderValue(test.headers, test.name), test.value) << test.headers;
    }
}

TEST(StreamRequest, TrimsLocationAndContentType) {
    const std::string headers =
        "HTTP/1.1 302 Found\r\nLOCATION:   /next?a=1 \t\r\ncontent-type: audio/x-scpls; charset=utf-8\r\n"
        "Content-Length:\t \r\n\r\n";
    EXPECT_EQ(FindTrimmedHeaderValue(headers, "Location"), "/next?a=1");
    EXPECT_EQ(FindTrimmedHeaderValue(headers, "Content-Type"), "audio/x-scpls; charset=utf-8");
    EXPECT_EQ(FindTrimmedHeaderValue(headers, "Content-Length"), std::nullopt) << "blanks only";
}

TEST(StreamRequest, ReadsTheMetadataIntervalWithinItsBound) {
    struct Case {
        std::string field;  // the header line after the status line
        std::optional<int32_t> metaint;
    };
    const std::vector<Case> cases = {
        {"icy-metaint:16000", 16000},
        {"Icy-MetaInt:8192", 8192},
        {"icy-metaint:   8192", 8192},
        {"icy-metaint:8192 ", 8192},
        {"icy-metaint:0", 0},
        {"icy-metaint:" + std::to_string(kLargestMetaint), kLargestMetaint},
        {"no metadata: here", 0},
        {"x-icy-metaint:99", 0},
        {"icy-description:icy-metaint:99", 0},
        {"icy-metaint:" + std::to_string(kLargestMetaint + 1), std::nullopt},
        {"icy-metaint:99999999999", std::nullopt},
        {"icy-metaint:-5", std::nullopt},
        {"icy-metaint:x", std::nullopt},
        {"icy-metaint:8192x", std::nullopt},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(ParseMetaint("ICY 200 OK\r\n" + test.field + "\r\n\r\n"), test.metaint) << test.field;
    }
}

TEST(StreamRequest, TextLimits) {
    EXPECT_TRUE(IsAcceptableStreamText(""));
    EXPECT_TRUE(IsAcceptableStreamText(std::string(kStreamTextCharacters, 'a')));
    EXPECT_FALSE(IsAcceptableStreamText(std::string(kStreamTextCharacters + 1, 'a')));
    // Characters, not bytes: 259 two-byte characters fit.
    std::string accented;
    for (size_t index = 0; index < kStreamTextCharacters; ++index) accented += "\xC3\xA9";
    EXPECT_TRUE(IsAcceptableStreamText(accented));
    EXPECT_FALSE(IsAcceptableStreamText("Agent\r\nX-Injected: 1"));
    EXPECT_FALSE(IsAcceptableStreamText(std::string("a\0b", 3)));
    EXPECT_FALSE(IsAcceptableStreamText("tab\there"));
}

TEST(StreamReaderSettings, AcceptsOnlyHttpAndHttpsUrlsThatFit) {
    StreamReader reader;
    struct Case {
        std::string url;
        bool accepted;
    };
    const std::string prefix = "http://host/";
    const std::vector<Case> cases = {
        {"http://host/live", true},
        {prefix + std::string(kStreamTextCharacters - prefix.size(), 'p'), true},
        {prefix + std::string(kStreamTextCharacters - prefix.size() + 1, 'p'), false},
        {"HTTP://host/live", false},
        {"https://host/live", true},
        {"HTTPS://host/live", false},
        {"ftp://host/", false},
        {"host/live", false},
        {"", false},
        {"http://host/\r\nX: y", false},
    };
    for (const Case& test : cases) EXPECT_EQ(reader.StreamSetUrl(test.url), test.accepted) << test.url;
}

TEST(StreamReaderSettings, OptionsRules) {
    StreamReader reader;
    PlayerStreamOptions options;
    reader.GetOptions(&options);
    EXPECT_EQ(options.bufferBlocks, 32);
    EXPECT_EQ(options.prebufferBlocks, 16);
    EXPECT_EQ(options.proxy, "");
    EXPECT_EQ(options.userAgent, "Unknown");

    struct Case {
        int32_t buffer;
        int32_t prebuffer;
        int accepted;
        int32_t storedPrebuffer;
    };
    const std::vector<Case> cases = {
        {8, 16, 1, 8}, {64, 16, 1, 16}, {1, 1, 1, 1}, {16, 0, 1, 1}, {16, -3, 1, 1},
        {kMaximumBufferChunks, 100, 1, 100}, {0, 16, 0, 0}, {-1, 16, 0, 0}, {kMaximumBufferChunks + 1, 16, 0, 0},
    };
    for (const Case& test : cases) {
        PlayerStreamOptions before;
        reader.GetOptions(&before);
        PlayerStreamOptions wanted;
        wanted.bufferBlocks = test.buffer;
        wanted.prebufferBlocks = test.prebuffer;
        wanted.proxy = "proxy:3128";
        wanted.userAgent = "Agent";
        ASSERT_EQ(reader.SetOptions(wanted), test.accepted) << test.buffer << "/" << test.prebuffer;
        PlayerStreamOptions after;
        reader.GetOptions(&after);
        if (test.accepted) {
            EXPECT_EQ(after.bufferBlocks, test.buffer);
            EXPECT_EQ(after.prebufferBlocks, test.storedPrebuffer);
            EXPECT_EQ(after.proxy, "proxy:3128");
            EXPECT_EQ(after.userAgent, "Agent");
        } else {
            EXPECT_EQ(after.bufferBlocks, before.bufferBlocks) << "a refusal changes nothing";
            EXPECT_EQ(after.prebufferBlocks, before.prebufferBlocks);
        }
    }

    for (const std::string& text : {std::string(kStreamTextCharacters + 1, 'x'), std::string("a\r\nb")}) {
        PlayerStreamOptions proxy;
        proxy.proxy = text;
        EXPECT_EQ(reader.SetOptions(proxy), 0);
        PlayerStreamOptions agent;
        agent.userAgent = text;
        EXPECT_EQ(reader.SetOptions(agent), 0);
    }
}

TEST(StreamReaderSettings, NothingToReportWithoutAStream) {
    PlayerEngine* engine = PlayerCreate();
    ASSERT_NE(engine, nullptr);
    std::string name = "x", genre = "y", url = "z", title = "t";
    EXPECT_EQ(PlayerGetStreamInfo(engine, &name, &genre, &url), 0);
    EXPECT_EQ(PlayerGetStreamTitle(engine, &title), 0);
    EXPECT_EQ(title, "") << "the output is emptied first";
    EXPECT_EQ(PlayerOpenURL(engine, "ftp://127.0.0.1/"), 0);
    EXPECT_EQ(PlayerGetSourceKind(engine), SOURCE_NONE);
    std::string error = "x";
    EXPECT_EQ(PlayerGetStreamError(engine, &error), 0);
    EXPECT_EQ(error, "");
    EXPECT_EQ(PlayerOpenURL(engine, "http://127.0.0.1:9/"), 1) << "nothing is connected yet";
    EXPECT_EQ(PlayerGetSourceKind(engine), SOURCE_MPEG_STREAM);
    EXPECT_EQ(PlayerGetDuration(engine), 0);
    EXPECT_EQ(PlayerSeek(engine, 1000), 0);
    PlayerDestroy(engine);
}

}  // namespace
