// The selection of Ctrl and Shift taps and the Sel group, and the removal,
// crop and move commands acting on all of it.

#include <functional>

#include <gtest/gtest.h>

#include "tests/support/playlist_test_support.h"

namespace {

const std::vector<std::string> kSix = {"a", "b", "c", "d", "e", "f"};

// The selection as marks, "x" for a selected entry.
std::string Marks(const Playlist& playlist) {
    std::string marks;
    for (int32_t index = 0; index < playlist.Count(); ++index) marks += playlist.IsSelected(index) ? 'x' : '.';
    return marks;
}

// Selects where `marks` has an "x", the last one tapped at `anchor`.
void Select(Playlist& playlist, const std::string& marks, int32_t anchor) {
    playlist.SelectNone();
    for (size_t index = 0; index < marks.size(); ++index) {
        if (marks[index] == 'x') playlist.ToggleSelected(static_cast<int32_t>(index));
    }
    playlist.SelectedIndex = anchor;
}

TEST(PlaylistSelection, TapsWithCtrlAndShiftAndTheSelButtons) {
    Playlist playlist;
    test::Fill(playlist, kSix);
    struct Step {
        std::function<void(Playlist&)> act;
        std::string marks;
        int32_t anchor;
    };
    const Step steps[] = {
        {[](Playlist& p) { p.SelectOnly(2); }, "..x...", 2},
        {[](Playlist& p) { p.ToggleSelected(4); }, "..x.x.", 4},
        {[](Playlist& p) { p.ToggleSelected(2); }, "....x.", 4},
        {[](Playlist& p) { p.SelectRange(1); }, ".xxxx.", 4},
        {[](Playlist& p) { p.SelectRange(5); }, "....xx", 4},
        {[](Playlist& p) { p.InvertSelection(); }, "xxxx..", -1},
        {[](Playlist& p) { p.SelectRange(1); }, ".x....", 1},
        {[](Playlist& p) { p.ToggleSelected(1); }, "......", -1},
        {[](Playlist& p) { p.SelectAll(); }, "xxxxxx", -1},
        {[](Playlist& p) { p.SelectOnly(9); }, "......", -1},
    };
    for (size_t step = 0; step < std::size(steps); ++step) {
        steps[step].act(playlist);
        EXPECT_EQ(Marks(playlist), steps[step].marks) << "step " << step;
        EXPECT_EQ(playlist.SelectedIndex, steps[step].anchor) << "step " << step;
    }
}

TEST(PlaylistSelection, RemoveCropAndMoveActOnTheWholeSelection) {
    struct Case {
        const char* name;
        std::string marks;
        int32_t anchor;
        std::function<void(Playlist&)> act;
        std::vector<std::string> paths;
        int32_t current;  // the list starts with "d" current
    };
    const Case cases[] = {
        {"remove", ".x.x.x", 5, [](Playlist& p) { p.RemoveSelected(); }, {"a", "c", "e"}, 1},
        {"crop keeping the current", ".x.x.x", 5, [](Playlist& p) { p.Crop(); }, {"b", "d", "f"}, 1},
        {"crop without it", "xx....", 1, [](Playlist& p) { p.Crop(); }, {"a", "b"}, -1},
        {"move down", ".x.x..", 1, [](Playlist& p) { p.MoveSelectedTo(2); }, {"a", "c", "b", "e", "d", "f"}, 4},
        {"move up past the top stops there", "..x.x.", 2, [](Playlist& p) { p.MoveSelectedTo(0); },
         {"c", "a", "e", "b", "d", "f"}, 4},
        {"move down past the end does nothing", ".x...x", 1, [](Playlist& p) { p.MoveSelectedTo(3); }, kSix, 3},
    };
    for (const Case& test : cases) {
        Playlist playlist;
        test::Fill(playlist, kSix);
        playlist.CurrentIndex = 3;
        Select(playlist, test.marks, test.anchor);
        test.act(playlist);
        EXPECT_EQ(test::Paths(playlist), test.paths) << test.name;
        EXPECT_EQ(playlist.CurrentIndex, test.current) << test.name;
    }
}

}  // namespace
