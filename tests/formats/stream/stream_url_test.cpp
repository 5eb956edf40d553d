// Stream addresses: how a redirect's Location or a list's entry resolves
// against the address it came from.

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "formats/stream/stream_url.h"

namespace {

using namespace engine;

TEST(StreamUrl, ResolvesReferencesAgainstTheirBase) {
    struct Case {
        std::string base;
        std::string reference;
        std::optional<std::string> resolved;
    };
    const std::string base = "http://radio.example:8000/lists/rock/top.pls?x=1";
    const std::vector<Case> cases = {
        {base, "https://secure.example/live", "https://secure.example/live"},
        {base, "HTTP://Loud.example/a", "http://Loud.example/a"},
        {base, "Https://secure.example", "https://secure.example"},
        {base, "//mirror.example/live", "http://mirror.example/live"},
        {"https://a.example/x", "//mirror.example:8443/live", "https://mirror.example:8443/live"},
        {base, "/live.mp3", "http://radio.example:8000/live.mp3"},
        {base, "live.mp3", "http://radio.example:8000/lists/rock/live.mp3"},
        {base, "./live.mp3", "http://radio.example:8000/lists/rock/live.mp3"},
        {base, "../jazz/live.mp3", "http://radio.example:8000/lists/jazz/live.mp3"},
        {base, "../../../../live.mp3", "http://radio.example:8000/live.mp3"},
        {base, "a/./b/../c?q=2", "http://radio.example:8000/lists/rock/a/c?q=2"},
        {base, "..", "http://radio.example:8000/lists/"},
        {base, "?y=2", "http://radio.example:8000/lists/rock/top.pls?y=2"},
        {base, "", "http://radio.example:8000/lists/rock/top.pls?x=1"},
        {base, "  /spaced  ", "http://radio.example:8000/spaced"},
        {base, "next#part", "http://radio.example:8000/lists/rock/next"},
        {"https://radio.example/", "stream", "https://radio.example/stream"},
        {"https://radio.example:443/a/b", "c", "https://radio.example/a/c"},
        {"http://[::1]:8000/a", "b", "http://[::1]:8000/b"},
        {"http://radio.example", "live", "http://radio.example/live"},
        {base, "ftp://files.example/x", std::nullopt},
        {base, "mms://radio.example/x", std::nullopt},
        {base, "icy:whatever", std::nullopt},
        {base, "https://", std::nullopt},
        {base, "//", std::nullopt},
        {"ftp://files.example/", "live", std::nullopt},
        {"not a url", "live", std::nullopt},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(ResolveUrlReference(test.base, test.reference), test.resolved)
            << test.reference << " against " << test.base;
    }
}

TEST(StreamUrl, KnowsItsSchemes) {
    struct Case {
        std::string url;
        std::optional<UrlScheme> scheme;
    };
    const std::vector<Case> cases = {
        {"http://a", UrlScheme::Http},   {"HTTP://a", UrlScheme::Http}, {"https://a", UrlScheme::Https},
        {"hTTpS://a", UrlScheme::Https}, {"http:/a", std::nullopt},     {"httpx://a", std::nullopt},
        {"/music/a.pls", std::nullopt},  {"", std::nullopt},
    };
    for (const Case& test : cases) EXPECT_EQ(UrlSchemeOf(test.url), test.scheme) << test.url;
}

}  // namespace
