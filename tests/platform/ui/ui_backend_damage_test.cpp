// What the sdl backend copies to its window on a presentation: the bands of
// the screen that changed since the last one.

#include "platform/ui/ui_backend_damage.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace platform::ui;

constexpr int kWidth = 8;
constexpr int kHeight = 6;

struct Change {
    int x;
    int y;
};

TEST(ChangedRects, OneRectanglePerRunOfChangedRowsAsWideAsItsChanges) {
    struct Case {
        const char* what;
        std::vector<Change> changes;
        size_t maximum;
        std::vector<Rect> rects;
    };
    const Case cases[] = {
        {"nothing", {}, 4, {}},
        {"one pixel", {{3, 2}}, 4, {{3, 2, 4, 3}}},
        {"the corners", {{0, 0}, {7, 5}}, 4, {{0, 0, 1, 1}, {7, 5, 8, 6}}},
        {"a run of rows widens to its changes", {{5, 1}, {2, 2}, {6, 3}}, 4, {{2, 1, 7, 4}}},
        {"rows apart stay apart", {{1, 0}, {1, 2}, {1, 4}}, 4, {{1, 0, 2, 1}, {1, 2, 2, 3}, {1, 4, 2, 5}}},
        {"too many become their bounds", {{1, 0}, {6, 2}, {3, 4}}, 2, {{1, 0, 7, 5}}},
        {"a whole row", {{0, 3}, {7, 3}}, 1, {{0, 3, 8, 4}}},
    };
    const std::vector<uint32_t> before(kWidth * kHeight, 0x112233);
    for (const auto& [what, changes, maximum, rects] : cases) {
        std::vector<uint32_t> after = before;
        for (const auto& [x, y] : changes) after[static_cast<size_t>(y * kWidth + x)] = 0x445566;
        EXPECT_EQ(ChangedRects(before.data(), after.data(), kWidth, kHeight, maximum), rects) << what;
    }
}

}  // namespace
