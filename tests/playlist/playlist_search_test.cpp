#include "playlist/playlist_search.h"

#include <gtest/gtest.h>

#include "platform/search_fold.h"

namespace {

TEST(SearchFold, CaseAndAccentsFoldAway) {
    const std::pair<const char*, const char*> cases[] = {
        {"Beyoncé", "beyonce"},
        {"SIGUR RÓS", "sigur ros"},
        {"Ágætis Byrjun", "agaetis byrjun"},
        {"Straße", "strasse"},
        {"Œuvre Łódź Ĳssel", "oeuvre lodz ijssel"},
        {"Cafe\xCC\x81", "cafe"},  // e and a combining acute accent
        {"СПЛИН Ёж", "сплин ёж"},
        {"ΑΒΓ", "αβγ"},
        {"ＡＢＣ１", "abc1"},
        {"東京 × ÷", "東京 × ÷"},
        {"bad\xFF", "bad\xEF\xBF\xBD"},
    };
    for (const auto& [text, folded] : cases) EXPECT_EQ(platform::SearchFold(text), folded) << text;
}

TEST(PlaylistSearch, EveryWordTypedMustOccurAnywhereInAnyOrder) {
    PlaylistSearch search({
        "Beyoncé - Halo\n/music/Beyoncé/I Am/03 Halo.mp3",
        "Sigur Rós - Hoppípolla\n/music/Sigur Rós/Takk/03.flac",
        "Halo\n/music/Depeche Mode/Violator/Halo.ogg",
        "http://radio.example/stream",
    });
    const std::pair<const char*, std::vector<int32_t>> cases[] = {
        {"", {0, 1, 2, 3}},
        {"  ", {0, 1, 2, 3}},
        {"halo", {0, 2}},
        {"HALO beyonce", {0}},
        {"beyonce halo", {0}},
        {"hal", {0, 2}},
        {"halo depeche", {2}},
        {"ros takk", {1}},
        {"radio.example", {3}},
        {"halo\nbeyonce", {}},  // no word runs across lines or entries
        {"missing", {}},
        {"music", {0, 1, 2}},
    };
    for (const auto& [query, expected] : cases) EXPECT_EQ(search.Find(query), expected) << '"' << query << '"';

    // Typing on narrows the last results; a changed word searches all again.
    EXPECT_EQ(search.Find("h"), (std::vector<int32_t>{0, 1, 2, 3}));
    EXPECT_EQ(search.Find("ha"), (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(search.Find("ho"), (std::vector<int32_t>{1}));
    EXPECT_EQ(search.Find("ho s"), (std::vector<int32_t>{1}));
    EXPECT_EQ(search.Find("h"), (std::vector<int32_t>{0, 1, 2, 3}));
}

}  // namespace
