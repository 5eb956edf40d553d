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

TEST(StreamRequest, ChoosesHostPortAndTarget) {
    struct Case {
        std::string url;
        std::string proxy;
        std::optional<StreamEndpoint> expected;  // host, Host header, port, target
    };
    const std::string radio = "http://radio.example:8000/live?x=1";
    const std::vector<Case> cases = {
        {"http://host/path", "", StreamEndpoint{"host", "host", 80, "/path"}},
        {"http://host:8000", "", StreamEndpoint{"host", "host", 8000, "/"}},
        {"http://host:8000/a/b.mp3", "", StreamEndpoint{"host", "host", 8000, "/a/b.mp3"}},
        {"http://host:/x", "", StreamEndpoint{"host", "host", 80, "/x"}},
        {"http://10.0.0.7:81/", "", StreamEndpoint{"10.0.0.7", "10.0.0.7", 81, "/"}},
        {"http://[::1]:8000/s", "", StreamEndpoint{"::1", "[::1]", 8000, "/s"}},
        {"http://[::1]/s", "", StreamEndpoint{"::1", "[::1]", 80, "/s"}},
        {radio, "proxyhost:3128", StreamEndpoint{"proxyhost", "proxyhost", 3128, radio}},
        {radio, "http://proxyhost:3128", StreamEndpoint{"proxyhost", "proxyhost", 3128, radio}},
        {radio, "proxyhost", StreamEndpoint{"proxyhost", "proxyhost", 80, radio}},
        // A redirect may name a server without the prefix.
        {"other:9000/next", "", StreamEndpoint{"other", "other", 9000, "/next"}},
        {"http://", "", std::nullopt},
        {"http://:8000/x", "", std::nullopt},
        {"http:///x", "", std::nullopt},
        {"http://host:0/", "", std::nullopt},
        {"http://host:65536/", "", std::nullopt},
        {"http://host:-80/", "", std::nullopt},
        {"http://[::1/", "", std::nullopt},
        {radio, "http://:3128", std::nullopt},
    };
    for (const Case& test : cases) {
        const auto endpoint = ChooseEndpoint(test.url, test.proxy);
        ASSERT_EQ(endpoint.has_value(), test.expected.has_value()) << test.url << " via " << test.proxy;
        if (!endpoint) continue;
        EXPECT_EQ(endpoint->host, test.expected->host) << test.url;
        EXPECT_EQ(endpoint->hostHeader, test.expected->hostHeader) << test.url;
        EXPECT_EQ(endpoint->port, test.expected->port) << test.url;
        EXPECT_EQ(endpoint->target, test.expected->target) << test.url;
    }
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
        {"  HTTP/1.0   404 Not Found\r\n", 404},
        {"HTTP/1.0 OK\r\n", std::nullopt},
        {"HTTP/1.0\r\n", std::nullopt},
        {"\r\n", std::nullopt},
        {"", std::nullopt},
        {"ICY 99999999999999999999 OK\r\n", std::nullopt},
    };
    for (const Case& test : cases) EXPECT_EQ(ParseStatusCode(test.response), test.status) << test.response;
}

TEST(StreamRequest, ReadsHeaderValues) {
    const std::string headers =
        "ICY 200 OK\r\nicy-name:Radio One\r\nicy-genre: Jazz\r\nicy-url:\r\nicy-metaint: 8192\r\n"
        "Location: http://next/\r\n\r\n";
    EXPECT_EQ(FindHeaderValue(headers, "icy-name:"), "Radio One");
    EXPECT_EQ(FindHeaderValue(headers, "icy-genre:"), " Jazz") << "a blank after the colon stays";
    EXPECT_EQ(FindHeaderValue(headers, "icy-url:"), std::nullopt) << "an empty value changes nothing";
    EXPECT_EQ(FindHeaderValue(headers, "icy-pub:"), std::nullopt);
    EXPECT_EQ(FindHeaderValue(headers, "Location: "), "http://next/");
    EXPECT_EQ(FindHeaderValue("icy-name:" + std::string(300, 'n') + "\r\n", "icy-name:")->size(), kHeaderValueBytes);
    EXPECT_EQ(FindHeaderValue("x icy-name:", "icy-name:"), std::nullopt) << "the key at the very end";

    struct Case {
        std::string headers;
        int32_t metaint;
    };
    const std::vector<Case> metaints = {
        {"icy-metaint:16000\r\n", 16000}, {"icy-metaint:   8192\r\n", 8192}, {"icy-metaint:0\r\n", 0},
        {"icy-metaint:-5\r\n", 0},        {"icy-metaint:x\r\n", 0},          {"icy-metaint:99999999999\r\n", 0},
        {"no metadata\r\n", 0},
    };
    for (const Case& test : metaints) EXPECT_EQ(ParseMetaint(test.headers), test.metaint) << test.headers;
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

TEST(StreamReaderSettings, AcceptsOnlyHttpUrlsThatFit) {
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
        {"https://host/live", false},
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
    EXPECT_EQ(PlayerOpenURL(engine, "https://127.0.0.1/"), 0);
    EXPECT_EQ(PlayerGetSourceKind(engine), SOURCE_NONE);
    EXPECT_EQ(PlayerOpenURL(engine, "http://127.0.0.1:9/"), 1) << "nothing is connected yet";
    EXPECT_EQ(PlayerGetSourceKind(engine), SOURCE_MPEG_STREAM);
    EXPECT_EQ(PlayerGetDuration(engine), 0);
    EXPECT_EQ(PlayerSeek(engine, 1000), 0);
    PlayerDestroy(engine);
}

}  // namespace
