#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ui/png_file.h"
#include "tests/support/fixtures.h"

namespace {

using namespace platform::ui;

Framebuffer Pattern(int width, int height) {
    Framebuffer image(width, height);
    uint32_t state = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            image.SetPixel(x, y, (state >> 8) & 0x00FFFFFF);
        }
    }
    return image;
}

TEST(PngFileTest, RoundTripKeepsEveryPixel) {
    test::TemporaryFile directory({}, "placeholder");
    for (const auto& [width, height] : {std::pair{240, 320}, std::pair{1, 1}, std::pair{7, 3}}) {
        const Framebuffer image = Pattern(width, height);
        const std::string path = directory.Directory() + "/screen.png";
        std::string error;
        ASSERT_TRUE(SavePng(image, path, &error)) << error;
        const std::optional<Framebuffer> read = LoadPng(path, &error);
        ASSERT_TRUE(read.has_value()) << error;
        EXPECT_EQ(*read, image);
    }
}

TEST(PngFileTest, SamePixelsSameBytes) {
    test::TemporaryFile directory({}, "placeholder");
    const Framebuffer image = Pattern(40, 30);
    ASSERT_TRUE(SavePng(image, directory.Directory() + "/a.png"));
    ASSERT_TRUE(SavePng(image, directory.Directory() + "/b.png"));
    EXPECT_EQ(test::ReadFileBytes(directory.Directory() + "/a.png"),
              test::ReadFileBytes(directory.Directory() + "/b.png"));
}

TEST(PngFileTest, FailuresAreReported) {
    test::TemporaryFile garbage(std::vector<uint8_t>(100, 0x89), "garbage.png");
    std::string error;
    EXPECT_FALSE(LoadPng(garbage.Path(), &error).has_value());
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(LoadPng(garbage.Directory() + "/missing.png").has_value());
    EXPECT_FALSE(SavePng(Pattern(2, 2), garbage.Directory() + "/no/such/dir/x.png", &error));
    EXPECT_FALSE(SavePng(Framebuffer(), garbage.Directory() + "/empty.png"));

    // A real PNG cut short.
    const std::string whole = garbage.Directory() + "/whole.png";
    ASSERT_TRUE(SavePng(Pattern(50, 50), whole));
    std::vector<uint8_t> bytes = test::ReadFileBytes(whole);
    bytes.resize(bytes.size() / 2);
    test::TemporaryFile cut(bytes, "cut.png");
    EXPECT_FALSE(LoadPng(cut.Path()).has_value());
}

}  // namespace
