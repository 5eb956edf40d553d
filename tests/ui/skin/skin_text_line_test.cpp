#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/ui/skin/skin_test_support.h"
#include "ui/skin/main_placements.h"
#include "ui/skin/skin_font.h"
#include "ui/skin/skin_text_line.h"

namespace {

using namespace skin_test;
using platform::ui::DeviceContext;
using platform::ui::Framebuffer;
using platform::ui::Point;
using platform::ui::Rect;

constexpr int kTextTag = 9;

TEST(SkinFontTest, EachCharacterHasItsCellOrNone) {
    struct Case {
        char32_t character;
        std::optional<SkinGlyphCell> cell;
    };
    const Case cases[] = {
        {U'A', SkinGlyphCell{0, 0}},      {U'z', SkinGlyphCell{25, 0}},     {U'"', SkinGlyphCell{26, 0}},
        {U'@', SkinGlyphCell{27, 0}},     {U' ', SkinGlyphCell{30, 0}},     {U'0', SkinGlyphCell{0, 1}},
        {U'9', SkinGlyphCell{9, 1}},      {U'\u2026', SkinGlyphCell{10, 1}}, {U'.', SkinGlyphCell{11, 1}},
        {U'-', SkinGlyphCell{15, 1}},     {U'/', SkinGlyphCell{21, 1}},     {U'#', SkinGlyphCell{30, 1}},
        {U'\u00C5', SkinGlyphCell{0, 2}}, {U'\u00F6', SkinGlyphCell{1, 2}}, {U'?', SkinGlyphCell{3, 2}},
        {U'*', SkinGlyphCell{4, 2}},      {U'<', SkinGlyphCell{13, 1}},     {U'\u2019', SkinGlyphCell{16, 1}},
        {U'\u6771', std::nullopt},        {U'\u00E9', std::nullopt},        {U'\t', std::nullopt},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(SkinGlyphOf(test.character), test.cell) << static_cast<uint32_t>(test.character);
    }
}

// Draws on a 240 x 320 screen at the main window's 87 % with a coded font.
class SkinTextLineTest : public SkinTest {
protected:
    void SetUp() override {
        g_skin.Scale = 87;
        g_skin.TextBmp = NewCodedBitmap(kTextTag, kSkinFontColumns * kSkinGlyphWidth, kSkinFontRows * kSkinGlyphHeight);
    }

    // The glyph of `character` lies at (x, y) on the screen, its first
    // `columns` columns whole.
    void ExpectGlyph(int x, int y, char32_t character, int columns = kSkinGlyphWidth) {
        const SkinGlyphCell cell = *SkinGlyphOf(character);
        for (int row = 0; row < kSkinGlyphHeight; ++row) {
            for (int column = 0; column < columns; ++column) {
                const uint32_t expected =
                    CodedPixel(kTextTag, cell.column * kSkinGlyphWidth + column, cell.row * kSkinGlyphHeight + row);
                ASSERT_EQ(screen_.Pixel(x + column, y + row), expected)
                    << "glyph " << static_cast<char>(character) << " at (" << x + column << ", " << y + row << ")";
            }
        }
    }

    Framebuffer screen_{240, 320};
    DeviceContext context_{screen_, Point{0, 0}, Rect{0, 0, 240, 320}};
    HDC target_ = &context_;
};

TEST_F(SkinTextLineTest, TheRatesAreRightAlignedAndCloseUpWhenTooLong) {
    struct Case {
        bool bitRate;
        int value;
        std::string digits;
        int left;   // where the first glyph starts
        int pitch;
    };
    // The bit rate's box runs from 96 to 111, the sample rate's from 135 to
    // 146; both show their glyphs from y 37 on.
    const Case cases[] = {
        {true, 128, "128", 96, 5},
        {true, 1411, "1411", 95, 4},
        {true, 64, "64", 101, 5},
        {false, 44100, "44", 136, 5},
        {false, 192000, "192", 134, 4},
    };
    for (const Case& test : cases) {
        screen_.Fill(screen_.Bounds(), 0);
        ASSERT_TRUE(test.bitRate ? PaintBitRate(target_, test.value) : PaintSampleRate(target_, test.value));
        for (size_t index = 0; index < test.digits.size(); ++index) {
            ExpectGlyph(test.left + static_cast<int>(index) * test.pitch, 37,
                        static_cast<char32_t>(test.digits[index]), test.pitch);
        }
        EXPECT_EQ(screen_.Pixel(test.left - 1, 37), test.left > (test.bitRate ? 96 : 135)
                                                        ? CodedPixel(kTextTag, 150, 0)
                                                        : 0u)
            << test.value << ": the box left of the number shows the font's background, and nothing outside it";
    }
}

TEST_F(SkinTextLineTest, ATitleMixesTheFontWithTheSystemFontAndScrollsRound) {
    SkinTextLine line;
    RenderTitle(line, "a\u6771b");
    const int systemWidth = line.Width() - 2 * kSkinGlyphWidth;
    ASSERT_GT(systemWidth, 4);
    ASSERT_TRUE(PaintTitle(target_, line, 0, false));
    // The title's box starts at (96, 21); the glyphs two rows lower.
    ExpectGlyph(96, 23, U'A');
    ExpectGlyph(96 + kSkinGlyphWidth + systemWidth, 23, U'B');
    int inked = 0;
    for (int x = 101; x < 101 + systemWidth; ++x) {
        for (int y = 21; y < 31; ++y) inked += screen_.Pixel(x, y) != CodedPixel(kTextTag, 150, 0) ? 1 : 0;
    }
    EXPECT_GT(inked, 4) << "the character the font lacks is drawn in the system font";

    // Scrolled to its last column, the line starts again right after it.
    screen_.Fill(screen_.Bounds(), 0);
    ASSERT_TRUE(PaintTitle(target_, line, line.Width() - 1, true));
    EXPECT_EQ(screen_.Pixel(96, 23), CodedPixel(kTextTag, kSkinGlyphWidth + 4, 0)) << "the B's last column";
    ExpectGlyph(97, 23, U'A');
    EXPECT_EQ(screen_.Pixel(96 + TitleBoxWidth() - 1, 23) >> 20, static_cast<uint32_t>(kTextTag))
        << "the box is filled to its right edge";
}

// Letters the font lacks are drawn as the plain letters they are read as.
TEST_F(SkinTextLineTest, AccentedLettersAreDrawnWithThePlainOnes) {
    const struct {
        const char* text;
        std::u32string glyphs;
    } cases[] = {{"\u00E9", U"E"}, {"\u00C6s", U"AES"}, {"o\xCC\x88", U"O"}, {"\u0141\u00F3d\u017A", U"LODZ"}};
    for (const auto& [text, glyphs] : cases) {
        SkinTextLine line;
        RenderTitle(line, text);
        EXPECT_EQ(line.Width(), static_cast<int>(glyphs.size()) * kSkinGlyphWidth) << text;
        screen_.Fill(screen_.Bounds(), 0);
        ASSERT_TRUE(PaintTitle(target_, line, 0, false));
        for (size_t index = 0; index < glyphs.size(); ++index) {
            ExpectGlyph(96 + static_cast<int>(index) * kSkinGlyphWidth, 23, glyphs[index]);
        }
    }
}

TEST_F(SkinTextLineTest, WithoutAFontTheTitleIsInTheSystemFont) {
    platform::ui::DeleteObject(g_skin.TextBmp);
    g_skin.TextBmp = nullptr;
    g_skin.NormalBgColor = platform::ui::RGB(0, 0, 40);
    ASSERT_TRUE(PaintTitle(target_, "Title"));
    EXPECT_EQ(screen_.Pixel(96 + TitleBoxWidth() - 1, 21), 0x000028u) << "the box takes the playlist's background";
    EXPECT_EQ(screen_.Pixel(96 + TitleBoxWidth(), 21), 0u);
}

}  // namespace
