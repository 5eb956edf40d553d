// The list primitives and the operations that reorder the list, with the
// current and selected positions they must keep track of.

#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/support/playlist_test_support.h"

namespace {

using Paths = std::vector<std::string>;
const Paths kThree = {"A", "B", "C"};

Playlist Make(const Paths& paths) {
    Playlist playlist;
    test::Fill(playlist, paths);
    return playlist;
}

TEST(PlaylistPrimitives, StartsEmptyWithItsInitialPositions) {
    const Playlist playlist;
    EXPECT_EQ(playlist.Count(), 0);
    EXPECT_EQ(playlist.SelectedIndex, -1);
    EXPECT_EQ(playlist.CurrentIndex, 0);
    EXPECT_TRUE(playlist.ShowCurrent);
}

TEST(PlaylistPrimitives, InsertPlacesOrAppends) {
    const struct { int32_t index; Paths expected; } cases[] = {
        {-1, {"A", "B", "C", "X"}}, {0, {"X", "A", "B", "C"}}, {1, {"A", "X", "B", "C"}},
        {3, {"A", "B", "C", "X"}},  {99, {"A", "B", "C", "X"}}, {-7, {"A", "B", "C", "X"}},
    };
    for (const auto& c : cases) {
        Playlist playlist = Make(kThree);
        playlist.Insert("X", c.index);
        EXPECT_EQ(test::Paths(playlist), c.expected) << "index " << c.index;
    }
}

TEST(PlaylistPrimitives, RemoveAtOnlyRemovesExistingPositions) {
    const struct { int32_t index; bool removed; Paths expected; } cases[] = {
        {-1, false, kThree}, {-2, false, kThree}, {3, false, kThree}, {99, false, kThree},
        {0, true, {"B", "C"}}, {2, true, {"A", "B"}},
    };
    for (const auto& c : cases) {
        Playlist playlist = Make(kThree);
        EXPECT_EQ(playlist.RemoveAt(c.index), c.removed) << "index " << c.index;
        EXPECT_EQ(test::Paths(playlist), c.expected) << "index " << c.index;
    }
    Playlist empty;
    EXPECT_FALSE(empty.RemoveAt(0));
}

TEST(PlaylistPrimitives, GetPathOfEachKindOfIndex) {
    const Playlist playlist = Make(kThree);
    const struct { int32_t index; const char* expected; } cases[] = {
        {-1, "untouched"}, {-5, "untouched"}, {0, "A"}, {2, "C"}, {3, "NULL"}, {99, "NULL"},
    };
    for (const auto& c : cases) {
        std::string out = "untouched";
        playlist.GetPath(c.index, out);
        EXPECT_EQ(out, c.expected) << "index " << c.index;
    }
}

TEST(PlaylistPrimitives, SwapExchangesTwoExistingEntries) {
    const struct { int32_t first, second; Paths expected; } cases[] = {
        {0, 2, {"C", "B", "A"}}, {2, 0, {"C", "B", "A"}}, {0, 1, {"B", "A", "C"}},
        {1, 1, kThree}, {0, 3, kThree}, {3, 0, kThree}, {-1, 0, kThree},
    };
    for (const auto& c : cases) {
        Playlist playlist = Make(kThree);
        playlist.Swap(c.first, c.second);
        EXPECT_EQ(test::Paths(playlist), c.expected) << c.first << "<->" << c.second;
    }
}

// One sort case: the list, the sort, the positions before and the paths the
// positions must name afterwards.
struct SortCase {
    const char* name;
    void (Playlist::*sort)();
    Paths before;
    int32_t current, selected;
    Paths after;
    int32_t expectedCurrent, expectedSelected;
};

TEST(PlaylistSort, OrdersWithoutCaseAndFindsTheRememberedPathsAgain) {
    const SortCase cases[] = {
        {"path ignores case", &Playlist::SortByPath, {"/b/Zed", "/a/apple", "/B/banana"}, 0, 1,
         {"/a/apple", "/B/banana", "/b/Zed"}, 2, 0},
        {"file name only", &Playlist::SortByFileName, {"/z/b.mp3", "/a/C.mp3", "/m/a.mp3"}, 1, -1,
         {"/m/a.mp3", "/z/b.mp3", "/a/C.mp3"}, 2, -1},
        {"last duplicate wins", &Playlist::SortByPath, {"/x/b", "/x/a", "/x/b", "/x/c"}, 0, 0,
         {"/x/a", "/x/b", "/x/b", "/x/c"}, 2, 2},
        {"positions outside stay", &Playlist::SortByPath, {"/x/b", "/x/a"}, 7, -1, {"/x/a", "/x/b"}, 7, -1},
        {"none current", &Playlist::SortByFileName, {"/x/b", "/x/a"}, -1, 0, {"/x/a", "/x/b"}, -1, 1},
    };
    for (const SortCase& c : cases) {
        Playlist playlist = Make(c.before);
        playlist.CurrentIndex = c.current;
        playlist.SelectedIndex = c.selected;
        (playlist.*c.sort)();
        EXPECT_EQ(test::Paths(playlist), c.after) << c.name;
        EXPECT_EQ(playlist.CurrentIndex, c.expectedCurrent) << c.name;
        EXPECT_EQ(playlist.SelectedIndex, c.expectedSelected) << c.name;
    }
}

TEST(PlaylistSort, MatchesTheRememberedPathExactly) {
    // Equal keys may come out in either order; the exact path still decides,
    // even when an entry differing only in case follows it.
    Playlist playlist = Make({"/x/c", "/x/B", "/x/b"});
    playlist.CurrentIndex = 1;
    playlist.SelectedIndex = 1;
    playlist.SortByPath();
    std::string current, selected;
    playlist.GetPath(playlist.CurrentIndex, current);
    playlist.GetPath(playlist.SelectedIndex, selected);
    EXPECT_EQ(current, "/x/B");
    EXPECT_EQ(selected, "/x/B");
    EXPECT_EQ(playlist.Entries().back().Path, "/x/c");
}

TEST(PlaylistReorder, ReverseMirrorsEntriesAndPositions) {
    Playlist playlist = Make({"0", "1", "2", "3", "4"});
    playlist.CurrentIndex = 1;
    playlist.SelectedIndex = 4;
    playlist.Reverse();
    EXPECT_EQ(test::Paths(playlist), (Paths{"4", "3", "2", "1", "0"}));
    EXPECT_EQ(playlist.CurrentIndex, 3);
    EXPECT_EQ(playlist.SelectedIndex, 0);

    playlist.CurrentIndex = 2;
    playlist.SelectedIndex = -1;
    playlist.Reverse();
    EXPECT_EQ(playlist.CurrentIndex, 2);
    EXPECT_EQ(playlist.SelectedIndex, -1);
}

TEST(PlaylistReorder, RandomizeKeepsEveryPathAndBothPositions) {
    Paths paths;
    for (int i = 0; i < 20; ++i) paths.push_back("/music/" + std::to_string(i) + ".mp3");
    for (const unsigned seed : {1u, 2u, 77u, 1234u}) {
        std::srand(seed);
        Playlist playlist = Make(paths);
        playlist.CurrentIndex = 3;
        playlist.SelectedIndex = 7;
        playlist.Randomize();
        Paths after = test::Paths(playlist);
        std::string current, selected;
        playlist.GetPath(playlist.CurrentIndex, current);
        playlist.GetPath(playlist.SelectedIndex, selected);
        EXPECT_EQ(current, paths[3]) << "seed " << seed;
        EXPECT_EQ(selected, paths[7]) << "seed " << seed;
        EXPECT_NE(after, paths) << "seed " << seed;
        std::sort(after.begin(), after.end());
        Paths sortedBefore = paths;
        std::sort(sortedBefore.begin(), sortedBefore.end());
        EXPECT_EQ(after, sortedBefore) << "seed " << seed;
    }
    Playlist empty;
    empty.Randomize();
    EXPECT_EQ(empty.Count(), 0);
}

}  // namespace
