// Removing, cropping, moving and deleting entries, and what happens to the
// current and selected positions and the window's first visible row.

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/fixtures.h"
#include "tests/support/playlist_test_support.h"

namespace {

using Paths = std::vector<std::string>;

struct Positions {
    int32_t current;
    int32_t selected;
    bool showCurrent;
};

// A list with the given positions and a recording view.
struct EditedList {
    EditedList(const Paths& paths, Positions positions) {
        test::Fill(playlist, paths);
        playlist.CurrentIndex = positions.current;
        playlist.SelectedIndex = positions.selected;
        playlist.ShowCurrent = positions.showCurrent;
        playlist.SetView(&view);
    }
    void Expect(const Paths& paths, Positions positions, const std::string& name) const {
        EXPECT_EQ(test::Paths(playlist), paths) << name;
        EXPECT_EQ(playlist.CurrentIndex, positions.current) << name;
        EXPECT_EQ(playlist.SelectedIndex, positions.selected) << name;
        EXPECT_EQ(playlist.ShowCurrent, positions.showCurrent) << name;
    }
    test::RecordingView view;
    Playlist playlist;
};

TEST(PlaylistEdit, RemoveSelected) {
    const struct { const char* name; Paths before; Positions positions; Paths after; Positions expected; } cases[] = {
        {"nothing selected", {"A", "B"}, {1, -1, true}, {"A", "B"}, {1, -1, true}},
        {"selection past the end", {"A", "B"}, {1, 5, true}, {"A", "B"}, {1, 5, true}},
        {"the current entry", {"A", "B", "C"}, {1, 1, true}, {"A", "C"}, {0, -1, false}},
        {"the first and current", {"A", "B", "C"}, {0, 0, true}, {"B", "C"}, {-1, -1, false}},
        {"before the current", {"A", "B", "C"}, {2, 0, false}, {"B", "C"}, {1, -1, true}},
        {"after the current", {"A", "B", "C"}, {0, 2, true}, {"A", "B"}, {0, -1, true}},
        {"the last one", {"A"}, {0, 0, true}, {}, {-1, -1, true}},
    };
    for (const auto& c : cases) {
        EditedList setup(c.before, c.positions);
        setup.playlist.RemoveSelected();
        setup.Expect(c.after, c.expected, c.name);
        EXPECT_EQ(setup.view.CallsStartingWith("SetFirstVisibleRow"),
                  c.after.empty() ? Paths{"SetFirstVisibleRow 0"} : Paths{})
            << c.name;
    }
}

TEST(PlaylistEdit, RemoveAllAndCrop) {
    EditedList all({"A", "B"}, {1, 0, true});
    all.playlist.RemoveAll();
    all.Expect({}, {-1, -1, true}, "remove all");
    EXPECT_EQ(all.view.calls, Paths{"SetFirstVisibleRow 0"});

    const struct { const char* name; Positions positions; Paths after; Positions expected; } crops[] = {
        {"nothing selected", {1, -1, true}, {"A", "B", "C"}, {1, -1, true}},
        {"selected is current", {1, 1, true}, {"B"}, {0, 0, true}},
        {"selected is not current", {0, 2, true}, {"C"}, {-1, 0, true}},
    };
    for (const auto& c : crops) {
        EditedList setup({"A", "B", "C"}, c.positions);
        setup.playlist.Crop();
        setup.Expect(c.after, c.expected, c.name);
    }
}

TEST(PlaylistEdit, MoveSelectedToEitherDirection) {
    const Paths five = {"A", "B", "C", "D", "E"};
    const struct { int32_t selected, target; Paths after; int32_t currentBefore[5]; int32_t currentAfter[5]; } cases[] = {
        {1, 3, {"A", "C", "D", "B", "E"}, {0, 1, 2, 3, 4}, {0, 3, 1, 2, 4}},
        {3, 1, {"A", "D", "B", "C", "E"}, {0, 1, 2, 3, 4}, {0, 2, 3, 1, 4}},
        {0, 4, {"B", "C", "D", "E", "A"}, {0, 1, 2, 3, 4}, {4, 0, 1, 2, 3}},
        {4, 0, {"E", "A", "B", "C", "D"}, {0, 1, 2, 3, 4}, {1, 2, 3, 4, 0}},
    };
    for (const auto& c : cases) {
        for (int i = 0; i < 5; ++i) {
            EditedList setup(five, {c.currentBefore[i], c.selected, true});
            setup.playlist.MoveSelectedTo(c.target);
            const std::string name = std::to_string(c.selected) + "->" + std::to_string(c.target) +
                                     " current " + std::to_string(c.currentBefore[i]);
            setup.Expect(c.after, {c.currentAfter[i], c.target, true}, name);
        }
    }
    const struct { int32_t selected, target; } ignored[] = {{2, 2}, {2, 5}, {2, -1}, {-1, 1}, {7, 1}};
    for (const auto& c : ignored) {
        EditedList setup(five, {2, c.selected, true});
        setup.playlist.MoveSelectedTo(c.target);
        setup.Expect(five, {2, c.selected, true}, "ignored " + std::to_string(c.target));
    }
}

TEST(PlaylistEdit, DeleteSelectedFileRemovesFileAndEntryOrNeither) {
    test::TemporaryFile first({1, 2, 3}, "first.mp3");
    const std::string second = first.Directory() + "/second.mp3";
    std::filesystem::copy_file(first.Path(), second);
    const std::string missing = first.Directory() + "/missing.mp3";

    EditedList setup({first.Path(), second, missing}, {1, 0, true});
    EXPECT_EQ(setup.playlist.DeleteSelectedFile(), DeleteFileResult::Deleted);
    EXPECT_FALSE(std::filesystem::exists(first.Path()));
    // The current entry keeps playing in its place in the list.
    setup.Expect({second, missing}, {0, -1, true}, "deleted before the current");

    EXPECT_EQ(setup.playlist.DeleteSelectedFile(), DeleteFileResult::NothingSelected);
    setup.playlist.SelectedIndex = 1;
    EXPECT_EQ(setup.playlist.DeleteSelectedFile(), DeleteFileResult::Failed) << "a missing file";
    setup.playlist.Insert(first.Directory(), -1);
    setup.playlist.SelectedIndex = 2;
    EXPECT_EQ(setup.playlist.DeleteSelectedFile(), DeleteFileResult::Failed) << "a directory";
    setup.Expect({second, missing, first.Directory()}, {0, 2, true}, "failures change nothing");
    EXPECT_TRUE(std::filesystem::exists(second));
}

TEST(PlaylistEdit, RemoveDeadFilesKeepsPositionsOnTheirEntries) {
    const std::string good = test::FixturePath("cbr128.mp3");
    const std::string other = test::FixturePath("short.mp3");
    const std::string garbage = test::FixturePath("garbage.bin");
    const std::string missing = test::FixturePath("no-such-file.mp3");

    EditedList setup({good, garbage, missing, other, garbage}, {3, 0, true});
    setup.playlist.RemoveDeadFiles();
    setup.Expect({good, other}, {1, 0, true}, "current after dead entries");

    EditedList deadCurrent({good, garbage, other}, {1, 1, true});
    deadCurrent.playlist.RemoveDeadFiles();
    // As when the current entry is removed by hand: play goes on with its follower.
    deadCurrent.Expect({good, other}, {0, -1, false}, "dead current");

    EditedList allDead({garbage, missing}, {0, 1, true});
    allDead.playlist.RemoveDeadFiles();
    allDead.Expect({}, {-1, -1, false}, "all dead");
    EXPECT_EQ(allDead.view.calls, Paths{"SetFirstVisibleRow 0"});
}

}  // namespace
