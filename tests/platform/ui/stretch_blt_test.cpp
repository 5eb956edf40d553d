#include <gtest/gtest.h>

#include <vector>

#include "platform/ui/canvas_gdi.h"
#include "platform/ui/canvas_stretch.h"

namespace {

using namespace platform::ui;

constexpr uint32_t kUntouched = 0x00ABCDEF;

// Every pixel tells where it came from.
uint32_t SourcePixel(int x, int y) { return static_cast<uint32_t>(y * 4096 + x + 1); }

Framebuffer NumberedImage(int width, int height) {
    Framebuffer image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.SetPixel(x, y, SourcePixel(x, y));
        }
    }
    return image;
}

Framebuffer FilledImage(int width, int height, uint32_t pixel) {
    Framebuffer image(width, height);
    image.Fill(image.Bounds(), pixel);
    return image;
}

// The nearest-neighbour mapping stepped with an error accumulator instead of
// a division: source index s for destination d is the largest s with
// s * destinationLength <= d * sourceLength.
std::vector<int> ReferenceIndices(int sourceLength, int destinationLength) {
    std::vector<int> indices;
    int source = 0;
    int accumulated = 0;
    for (int destination = 0; destination < destinationLength; ++destination) {
        indices.push_back(source);
        accumulated += sourceLength;
        while (accumulated >= destinationLength) {
            accumulated -= destinationLength;
            ++source;
        }
    }
    return indices;
}

struct StretchCase {
    int sourceWidth, sourceHeight, width, height;
};

// The sizes the skin produces at 87 % (main window 275 x 116 to 239 + 1 x 100,
// a 23 x 18 button to 20 x 15, a 9 x 13 digit to 7 x 11, a 3-pixel piece to 2)
// and some enlargements.
const StretchCase kStretchCases[] = {
    {275, 116, 240, 100}, {275, 116, 239, 100}, {23, 18, 20, 15}, {9, 13, 7, 11}, {3, 3, 2, 2},
    {116, 116, 100, 100}, {248, 10, 218, 9},    {4, 3, 9, 7},     {1, 1, 5, 3},   {25, 20, 25, 20},
};

TEST(StretchBltTest, MatchesReferenceMappingForSkinSizes) {
    for (const StretchCase& test : kStretchCases) {
        SCOPED_TRACE(testing::Message() << test.sourceWidth << "x" << test.sourceHeight << " -> " << test.width << "x"
                                        << test.height);
        const Framebuffer source = NumberedImage(test.sourceWidth + 4, test.sourceHeight + 4);
        Framebuffer target = FilledImage(test.width + 6, test.height + 6, kUntouched);
        ASSERT_TRUE(StretchCopy(target, target.Bounds(), {3, 2, test.width, test.height}, source,
                                {2, 1, test.sourceWidth, test.sourceHeight}));
        const std::vector<int> columns = ReferenceIndices(test.sourceWidth, test.width);
        const std::vector<int> rows = ReferenceIndices(test.sourceHeight, test.height);
        for (int y = 0; y < target.Height(); ++y) {
            for (int x = 0; x < target.Width(); ++x) {
                const bool inside = x >= 3 && x < 3 + test.width && y >= 2 && y < 2 + test.height;
                const uint32_t expected = inside ? SourcePixel(2 + columns[x - 3], 1 + rows[y - 2]) : kUntouched;
                ASSERT_EQ(target.Pixel(x, y), expected) << "at " << x << "," << y;
            }
        }
    }
}

TEST(StretchBltTest, ShrinkingDropsSourceColumnsEvenly) {
    struct Case {
        int sourceLength, length;
        std::vector<int> columns;
    };
    const Case cases[] = {
        {9, 7, {0, 1, 2, 3, 5, 6, 7}},
        {3, 2, {0, 1}},
        {4, 3, {0, 1, 2}},
        {2, 5, {0, 0, 0, 1, 1}},
    };
    for (const Case& test : cases) {
        const Framebuffer source = NumberedImage(test.sourceLength, 1);
        Framebuffer target(test.length, 1);
        ASSERT_TRUE(StretchCopy(target, target.Bounds(), {0, 0, test.length, 1}, source, {0, 0, test.sourceLength, 1}));
        for (int x = 0; x < test.length; ++x) {
            EXPECT_EQ(target.Pixel(x, 0), SourcePixel(test.columns[x], 0)) << test.sourceLength << "->" << test.length;
        }
    }
    // 275 to 239 keeps the first and the last-but-one column.
    const Framebuffer wide = NumberedImage(275, 1);
    Framebuffer narrow(239, 1);
    ASSERT_TRUE(StretchCopy(narrow, narrow.Bounds(), {0, 0, 239, 1}, wide, {0, 0, 275, 1}));
    EXPECT_EQ(narrow.Pixel(0, 0), SourcePixel(0, 0));
    EXPECT_EQ(narrow.Pixel(238, 0), SourcePixel(273, 0));
}

TEST(StretchBltTest, ClipsToDestinationWithoutShiftingTheMapping) {
    const Framebuffer source = NumberedImage(23, 18);
    Framebuffer reference = FilledImage(40, 40, kUntouched);
    ASSERT_TRUE(StretchCopy(reference, reference.Bounds(), {5, 5, 20, 15}, source, {0, 0, 23, 18}));

    const Rect clips[] = {{10, 8, 18, 14}, {0, 0, 7, 40}, {20, 15, 40, 40}, {30, 30, 40, 40}};
    for (const Rect& clip : clips) {
        Framebuffer target = FilledImage(40, 40, kUntouched);
        ASSERT_TRUE(StretchCopy(target, clip, {5, 5, 20, 15}, source, {0, 0, 23, 18}));
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                const uint32_t expected = clip.Contains({x, y}) ? reference.Pixel(x, y) : kUntouched;
                ASSERT_EQ(target.Pixel(x, y), expected) << x << "," << y;
            }
        }
    }
    // A destination hanging off every edge of the target.
    Framebuffer small = FilledImage(10, 10, kUntouched);
    ASSERT_TRUE(StretchCopy(small, Rect{-100, -100, 100, 100}, {-5, -3, 20, 15}, source, {0, 0, 23, 18}));
    const std::vector<int> columns = ReferenceIndices(23, 20);
    const std::vector<int> rows = ReferenceIndices(18, 15);
    EXPECT_EQ(small.Pixel(0, 0), SourcePixel(columns[5], rows[3]));
    EXPECT_EQ(small.Pixel(9, 9), SourcePixel(columns[14], rows[12]));
}

TEST(StretchBltTest, SourceOutsideItsImageLeavesDestinationUnchanged) {
    const Framebuffer source = NumberedImage(10, 10);
    Framebuffer target = FilledImage(10, 10, kUntouched);
    // The source area starts 2 left of and 3 above the image.
    ASSERT_TRUE(StretchCopy(target, target.Bounds(), {0, 0, 10, 10}, source, {-2, -3, 10, 10}));
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const uint32_t expected = (x < 2 || y < 3) ? kUntouched : SourcePixel(x - 2, y - 3);
            ASSERT_EQ(target.Pixel(x, y), expected) << x << "," << y;
        }
    }
    // Past the right and bottom edges, stretched 2x.
    Framebuffer doubled = FilledImage(8, 8, kUntouched);
    ASSERT_TRUE(StretchCopy(doubled, doubled.Bounds(), {0, 0, 8, 8}, source, {8, 8, 4, 4}));
    EXPECT_EQ(doubled.Pixel(3, 3), SourcePixel(9, 9));
    EXPECT_EQ(doubled.Pixel(4, 0), kUntouched);
    EXPECT_EQ(doubled.Pixel(0, 4), kUntouched);
}

TEST(StretchBltTest, OverlappingCopyWithinOneImageReadsTheOriginal) {
    Framebuffer image = NumberedImage(8, 1);
    ASSERT_TRUE(StretchCopy(image, image.Bounds(), {2, 0, 6, 1}, image, {0, 0, 6, 1}));
    for (int x = 2; x < 8; ++x) {
        EXPECT_EQ(image.Pixel(x, 0), SourcePixel(x - 2, 0));
    }
}

TEST(StretchBltTest, RejectsBadSizesAndRasterOperations) {
    const Framebuffer source = NumberedImage(4, 4);
    Framebuffer target = FilledImage(4, 4, kUntouched);
    const Framebuffer before = target;
    EXPECT_FALSE(StretchCopy(target, target.Bounds(), {0, 0, -2, 2}, source, {0, 0, 4, 4}));
    EXPECT_FALSE(StretchCopy(target, target.Bounds(), {0, 0, 2, 2}, source, {0, 0, 0, 4}));
    EXPECT_FALSE(StretchCopy(target, target.Bounds(), {0, 0, 2, 2}, source, {0, 0, 4, -1}));
    EXPECT_TRUE(StretchCopy(target, target.Bounds(), {0, 0, 0, 2}, source, {0, 0, 4, 4}));
    EXPECT_EQ(target, before);

    DeviceContext screen(target, {0, 0}, target.Bounds());
    DeviceContext memory;
    EXPECT_FALSE(screen.StretchBlt(0, 0, 2, 2, memory, 0, 0, 1, 1, 0x00EE0086 /* SRCPAINT */));
    EXPECT_FALSE(StretchBlt(nullptr, 0, 0, 2, 2, &memory, 0, 0, 1, 1, SRCCOPY));
    EXPECT_EQ(target, before);
}

// A sprite copy as the skin does it: a memory context over the skin bitmap,
// stretched into a window's context whose origin is its place on the screen.
TEST(StretchBltTest, SpriteCopyThroughMemoryContextLandsInWindow) {
    Framebuffer screen = FilledImage(240, 320, kUntouched);
    const Rect window{0, 26, 240, 126};
    DeviceContext windowContext(screen, {window.left, window.top}, window);

    HBITMAP skin = CreateCompatibleBitmap(&windowContext, 275, 116);
    ASSERT_NE(skin, nullptr);
    skin->Image() = NumberedImage(275, 116);
    HDC memory = CreateCompatibleDC(&windowContext);
    HBITMAP previous = SelectObject(memory, skin);
    ASSERT_NE(previous, nullptr);
    // The Play button: source (23, 0) 23 x 18, at (35, 76) 20 x 15 in the window.
    ASSERT_TRUE(StretchBlt(&windowContext, 35, 76, 20, 15, memory, 23, 0, 23, 18, SRCCOPY));
    // A bitmap selected into a context is not deleted.
    EXPECT_FALSE(DeleteObject(skin));
    EXPECT_EQ(SelectObject(memory, previous), skin);
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_TRUE(DeleteObject(skin));

    const std::vector<int> columns = ReferenceIndices(23, 20);
    const std::vector<int> rows = ReferenceIndices(18, 15);
    for (int y = 0; y < 320; ++y) {
        for (int x = 0; x < 240; ++x) {
            const bool inside = x >= 35 && x < 55 && y >= 26 + 76 && y < 26 + 91;
            const uint32_t expected = inside ? SourcePixel(23 + columns[x - 35], rows[y - 102]) : kUntouched;
            ASSERT_EQ(screen.Pixel(x, y), expected) << x << "," << y;
        }
    }
    EXPECT_EQ(windowContext.GetPixel(35, 76), PixelToColor(SourcePixel(23, 0)));
    // Drawing below the window's area is clipped away.
    EXPECT_TRUE(windowContext.FillRect(Rect{0, 95, 240, 200}, RGB(1, 2, 3)));
    EXPECT_EQ(screen.Pixel(0, 125), ColorToPixel(RGB(1, 2, 3)));
    EXPECT_EQ(screen.Pixel(0, 126), kUntouched);
}

TEST(StretchBltTest, MemoryContextRefusesBitmapSelectedElsewhere) {
    Bitmap bitmap(4, 4);
    DeviceContext first;
    DeviceContext second;
    Bitmap* stock = first.SelectBitmap(&bitmap);
    ASSERT_NE(stock, nullptr);
    EXPECT_TRUE(stock->IsStock());
    EXPECT_EQ(second.SelectBitmap(&bitmap), nullptr);
    EXPECT_EQ(second.SelectBitmap(nullptr), nullptr);
    EXPECT_EQ(bitmap.Selections(), 1);
    EXPECT_EQ(first.SelectBitmap(stock), &bitmap);
    EXPECT_EQ(bitmap.Selections(), 0);
    Framebuffer screen(4, 4);
    DeviceContext screenContext(screen, {0, 0}, screen.Bounds());
    EXPECT_EQ(screenContext.SelectBitmap(&bitmap), nullptr);
}

}  // namespace
