#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "platform/ui/canvas_gdi.h"
#include "platform/ui/font_face.h"

namespace {

using namespace platform::ui;

constexpr uint32_t kUntouched = 0x00ABCDEF;
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kNavy = RGB(0, 0, 64);

struct Canvas {
    Framebuffer image;
    DeviceContext context;
    explicit Canvas(int width = 240, int height = 100) : image(width, height), context(image, {0, 0}, image.Bounds()) {
        image.Fill(image.Bounds(), kUntouched);
    }
};

std::unique_ptr<Font> MakeFont(int32_t height, int32_t weight = FW_NORMAL, uint8_t quality = DEFAULT_QUALITY) {
    LOGFONT logFont{};
    logFont.lfHeight = height;
    logFont.lfWeight = weight;
    logFont.lfQuality = quality;
    logFont.lfCharSet = JOHAB_CHARSET;
    return CreateFontFromLogFont(logFont);
}

// The smallest rectangle holding every pixel that is not `background`.
Rect InkBounds(const Framebuffer& image, uint32_t background) {
    Rect bounds{image.Width(), image.Height(), 0, 0};
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            if (image.Pixel(x, y) != background) {
                bounds = Rect{std::min(bounds.left, x), std::min(bounds.top, y), std::max(bounds.right, x + 1),
                              std::max(bounds.bottom, y + 1)};
            }
        }
    }
    return bounds;
}

int CountPixels(const Framebuffer& image, uint32_t pixel) {
    int count = 0;
    for (uint32_t value : image.Pixels()) {
        count += value == pixel ? 1 : 0;
    }
    return count;
}

TEST(TextTest, LogFontHeightGivesThatCell) {
    for (int32_t height : {12, -12, 9, 16, 24}) {
        SCOPED_TRACE(height);
        const std::unique_ptr<Font> font = MakeFont(height);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(TTF_FontHeight(font->Face()->Primary()), std::abs(height));
        EXPECT_LE(TTF_FontHeight(font->Face()->Fallback()), std::abs(height));

        // Accents and descenders stay inside the cell.
        Canvas canvas;
        canvas.context.SelectFont(font.get());
        canvas.context.SetBkMode(TRANSPARENT);
        ASSERT_TRUE(canvas.context.ExtTextOut(5, 20, 0, nullptr, "ÁÉgjpqy|"));
        const Rect ink = InkBounds(canvas.image, kUntouched);
        EXPECT_GE(ink.top, 20);
        EXPECT_LE(ink.bottom, 20 + std::abs(height));
        EXPECT_GT(ink.Height(), std::abs(height) / 2);
        EXPECT_EQ(canvas.context.GetTextExtent("x").cy, std::abs(height));
    }
    // DejaVu Sans at 10 points is the 12-pixel cell.
    const std::unique_ptr<Font> twelve = MakeFont(12);
    int width = 0;
    int height = 0;
    ASSERT_EQ(TTF_SizeUTF8(twelve->Face()->Primary(), "M", &width, &height), 0);
    EXPECT_EQ(TTF_FontAscent(twelve->Face()->Primary()), 10);
}

TEST(TextTest, OpaqueRectangleFilledExactlyAndTextClippedToIt) {
    const std::unique_ptr<Font> font = MakeFont(12);
    // The main window's title box: text placed 1 above the box and running past its end.
    const Rect box{96, 21, 231, 31};
    const std::string text = "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW - Ågjy";
    for (int mode : {OPAQUE, TRANSPARENT}) {
        Canvas canvas;
        canvas.context.SelectFont(font.get());
        canvas.context.SetTextColor(kGreen);
        canvas.context.SetBkColor(kNavy);
        canvas.context.SetBkMode(mode);
        ASSERT_TRUE(canvas.context.ExtTextOut(box.left, box.top - 1, ETO_OPAQUE | ETO_CLIPPED, &box, text));
        int ink = 0;
        for (int y = 0; y < canvas.image.Height(); ++y) {
            for (int x = 0; x < canvas.image.Width(); ++x) {
                const uint32_t pixel = canvas.image.Pixel(x, y);
                if (!box.Contains({x, y})) {
                    ASSERT_EQ(pixel, kUntouched) << x << "," << y;
                } else if (pixel != ColorToPixel(kNavy)) {
                    ++ink;
                }
            }
        }
        EXPECT_GT(ink, 100);
    }
}

TEST(TextTest, UnclippedTextRunsPastItsRectangle) {
    const std::unique_ptr<Font> font = MakeFont(12);
    Canvas canvas;
    canvas.context.SelectFont(font.get());
    canvas.context.SetBkMode(TRANSPARENT);
    const Rect box{10, 10, 40, 22};
    ASSERT_TRUE(canvas.context.ExtTextOut(10, 10, ETO_OPAQUE, &box, "WWWWWWWWWW"));
    EXPECT_GT(InkBounds(canvas.image, kUntouched).right, 60);
    // Opaque mode paints the text's own cell too, beyond the rectangle.
    Canvas opaque;
    opaque.context.SelectFont(font.get());
    ASSERT_TRUE(opaque.context.ExtTextOut(10, 10, 0, nullptr, "WW"));
    const int width = opaque.context.GetTextExtent("WW").cx;
    EXPECT_EQ(InkBounds(opaque.image, kUntouched), (Rect{10, 10, 10 + width, 22}));
    EXPECT_EQ(opaque.image.Pixel(10, 10), ColorToPixel(RGB(255, 255, 255)));
}

TEST(TextTest, GlyphsUseTheTextColour) {
    const COLORREF colors[] = {kGreen, RGB(255, 255, 255), RGB(200, 30, 90)};
    for (COLORREF color : colors) {
        for (uint8_t quality : {DEFAULT_QUALITY, NONANTIALIASED_QUALITY}) {
            const std::unique_ptr<Font> font = MakeFont(12, FW_NORMAL, quality);
            Canvas canvas;
            canvas.context.SelectFont(font.get());
            canvas.context.SetTextColor(color);
            canvas.context.SetBkColor(RGB(0, 0, 0));
            ASSERT_TRUE(canvas.context.ExtTextOut(0, 0, 0, nullptr, "Hill 128"));
            EXPECT_GT(CountPixels(canvas.image, ColorToPixel(color)), 8);
            std::set<uint32_t> distinct;
            const Rect cell{0, 0, canvas.context.GetTextExtent("Hill 128").cx, 12};
            for (int y = cell.top; y < cell.bottom; ++y) {
                for (int x = cell.left; x < cell.right; ++x) {
                    distinct.insert(canvas.image.Pixel(x, y));
                }
            }
            if (quality == NONANTIALIASED_QUALITY) {
                EXPECT_EQ(distinct, (std::set<uint32_t>{ColorToPixel(color), 0}));
            } else {
                EXPECT_GT(distinct.size(), 2u);
            }
        }
    }
}

TEST(TextTest, CjkDrawsRealGlyphsOnTheSharedBaseline) {
    const std::unique_ptr<Font> font = MakeFont(12);
    const FontFace& face = *font->Face();
    ASSERT_NE(face.Fallback(), nullptr);
    EXPECT_EQ(face.FaceFor(U'日'), face.Fallback());
    EXPECT_EQ(face.FaceFor(U'A'), face.Primary());

    // Missing glyphs would all draw the same box; real ones differ.
    std::set<std::vector<uint32_t>> pictures;
    for (const char* character : {"日", "本", "語", "가"}) {
        Canvas canvas(16, 12);
        canvas.context.SelectFont(font.get());
        canvas.context.SetTextColor(RGB(255, 255, 255));
        canvas.context.SetBkMode(TRANSPARENT);
        ASSERT_TRUE(canvas.context.ExtTextOut(0, 0, 0, nullptr, character));
        EXPECT_GT(16 * 12 - CountPixels(canvas.image, kUntouched), 15) << character;
        pictures.insert(canvas.image.Pixels());
    }
    EXPECT_EQ(pictures.size(), 4u);

    Canvas canvas;
    canvas.context.SelectFont(font.get());
    const std::string latin = "Abc ";
    const std::string cjk = "日本語";
    EXPECT_EQ(canvas.context.GetTextExtent(latin + cjk).cx,
              canvas.context.GetTextExtent(latin).cx + canvas.context.GetTextExtent(cjk).cx);
    canvas.context.SetBkMode(TRANSPARENT);
    ASSERT_TRUE(canvas.context.ExtTextOut(0, 30, 0, nullptr, latin + cjk));
    const Rect ink = InkBounds(canvas.image, kUntouched);
    EXPECT_GE(ink.top, 30);
    EXPECT_LE(ink.bottom, 42);
}

TEST(TextTest, SameTextSamePixels) {
    const std::string text = "Track 07 - Ünïcödé 日本 \xFF\xC0 end";
    std::vector<uint32_t> first;
    for (int run = 0; run < 2; ++run) {
        const std::unique_ptr<Font> font = MakeFont(12, FW_BOLD);
        Canvas canvas;
        canvas.context.SelectFont(font.get());
        canvas.context.SetTextColor(kGreen);
        canvas.context.SetBkColor(kNavy);
        ASSERT_TRUE(canvas.context.ExtTextOut(3, 3, 0, nullptr, text));
        if (run == 0) {
            first = canvas.image.Pixels();
        } else {
            EXPECT_EQ(canvas.image.Pixels(), first);
        }
    }
}

TEST(TextTest, FontsComeFromTheCache) {
    const std::unique_ptr<Font> first = MakeFont(12);
    const size_t faces = CachedFontFaceCount();
    for (int repeat = 0; repeat < 100; ++repeat) {
        HFONT font = nullptr;
        LOGFONT logFont{};
        logFont.lfHeight = repeat % 2 == 0 ? 12 : -12;
        font = CreateFontIndirect(&logFont);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->Face(), first->Face());
        EXPECT_TRUE(DeleteObject(font));
    }
    EXPECT_EQ(CachedFontFaceCount(), faces);
    const std::unique_ptr<Font> bold = MakeFont(12, FW_BOLD);
    EXPECT_NE(bold->Face(), first->Face());
    EXPECT_EQ(MakeFont(0)->Face(), first->Face());
    EXPECT_EQ(MakeFont(100000), nullptr);
    EXPECT_EQ(MakeFont(INT32_MIN), nullptr);
    EXPECT_EQ(CreateFontIndirect(nullptr), nullptr);
}

// The pattern of every skinned text: create, select, draw, select back, delete.
TEST(TextTest, FontDeletedWhileSelectedStillDraws) {
    Canvas canvas;
    LOGFONT logFont{};
    logFont.lfHeight = 12;
    HFONT font = CreateFontIndirect(&logFont);
    HFONT previous = SelectObject(&canvas.context, font);
    ASSERT_NE(previous, nullptr);
    EXPECT_EQ(SetTextColor(&canvas.context, kGreen), RGB(0, 0, 0));
    EXPECT_EQ(SetBkColor(&canvas.context, kNavy), RGB(255, 255, 255));
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_TRUE(ExtTextOut(&canvas.context, 0, 0, 0, nullptr, "still here"));
    EXPECT_GT(CountPixels(canvas.image, ColorToPixel(kGreen)), 10);
    EXPECT_EQ(SelectObject(&canvas.context, previous), font);
    EXPECT_FALSE(DeleteObject(previous));
    EXPECT_FALSE(ExtTextOut(nullptr, 0, 0, 0, nullptr, "x"));
}

TEST(TextTest, DrawTextAlignsInItsRectangle) {
    const std::unique_ptr<Font> font = MakeFont(12);
    struct Case {
        uint32_t format;
        int expectedLeft;  // where the text's cell starts, relative to the rectangle
    };
    Canvas measure;
    measure.context.SelectFont(font.get());
    const int width = measure.context.GetTextExtent("12:34").cx;
    const Case cases[] = {{DT_LEFT, 0}, {DT_CENTER, (100 - width) / 2}, {DT_RIGHT, 100 - width}};
    for (const Case& test : cases) {
        Canvas canvas;
        canvas.context.SelectFont(font.get());
        Rect rect{50, 10, 150, 30};
        EXPECT_EQ(canvas.context.DrawText("12:34", rect, test.format | DT_VCENTER | DT_SINGLELINE), 12);
        EXPECT_EQ(InkBounds(canvas.image, kUntouched), (Rect{50 + test.expectedLeft, 14, 50 + test.expectedLeft + width, 26}));
    }
    Rect calculated{5, 5, 5, 5};
    EXPECT_EQ(measure.context.DrawText("12:34", calculated, DT_CALCRECT), 12);
    EXPECT_EQ(calculated, (Rect{5, 5, 5 + width, 17}));
}

}  // namespace
