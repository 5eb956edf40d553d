#include "tests/support/golden_picture.h"

#include <cstdlib>
#include <optional>

#include <gtest/gtest.h>

#include "platform/ui/png_file.h"

namespace test {

using namespace platform::ui;

void ExpectAreaLooksLike(const Framebuffer& screen, Rect area, const std::string& goldenPath) {
    Framebuffer picture(area.Width(), area.Height());
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) picture.SetPixel(x, y, screen.Pixel(x + area.left, y + area.top));
    }
    const std::string path = std::string(TUNELARK_SOURCE_DIR) + "/" + goldenPath;
    if (std::getenv("TUNELARK_UPDATE_GOLDEN") != nullptr) {
        ASSERT_TRUE(SavePng(picture, path)) << path;
        return;
    }
    const std::optional<Framebuffer> golden = LoadPng(path);
    ASSERT_TRUE(golden.has_value()) << path;
    EXPECT_TRUE(*golden == picture) << "the screen differs from " << path;
}

}  // namespace test
