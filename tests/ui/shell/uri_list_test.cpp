// Files and addresses as other programs hand them over.

#include "ui/shell/uri_list.h"

#include <gtest/gtest.h>

namespace {

TEST(UriList, FileUrisNameLocalPaths) {
    struct Case {
        std::string uri;
        std::optional<std::string> path;
    };
    const Case cases[] = {
        {"file:///music/a.mp3", "/music/a.mp3"},
        {"FILE:///music/a.mp3", "/music/a.mp3"},
        {"file://localhost/music/a.mp3", "/music/a.mp3"},
        {"file:/music/a.mp3", "/music/a.mp3"},
        {"file:///a%20b%2Fc%25d%e2%82%AC.mp3", "/a b/c%d\xE2\x82\xAC.mp3"},
        {"file://server/music/a.mp3", std::nullopt},
        {"file://", std::nullopt},
        {"file:music/a.mp3", std::nullopt},
        {"file:///a%2", std::nullopt},
        {"file:///a%", std::nullopt},
        {"file:///a%g0", std::nullopt},
        {"file:///a%00b", std::nullopt},
        {std::string("file:///a\0b", 11), std::nullopt},
        {"http://host/a.mp3", std::nullopt},
        {"/music/a.mp3", std::nullopt},
    };
    for (const auto& [uri, path] : cases) EXPECT_EQ(PathFromFileUri(uri), path) << uri;
}

TEST(UriList, DroppedTextGivesItsFilesAndAddresses) {
    struct Case {
        std::string text;
        std::vector<std::string> items;
    };
    const Case cases[] = {
        {"file:///music/a%20b.mp3\r\nfile:///music/c.ogg\r\n", {"/music/a b.mp3", "/music/c.ogg"}},
        {"# a comment\n\n  https://radio.example/live  \nhttp://x/y.pls", {"https://radio.example/live", "http://x/y.pls"}},
        {"/music/plain path.mp3", {"/music/plain path.mp3"}},
        {"just some words\nftp://host/a.mp3\nfile://elsewhere/a.mp3\nrelative/a.mp3", {}},
        {std::string("/a\0b.mp3\n/c.mp3", 15), {"/c.mp3"}},
        {"", {}},
    };
    for (const auto& [text, items] : cases) EXPECT_EQ(ItemsFromDroppedText(text), items) << text;
}

}  // namespace
