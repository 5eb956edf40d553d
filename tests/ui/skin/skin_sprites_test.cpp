#include <gtest/gtest.h>

#include "platform/ui/canvas_stretch.h"
#include "tests/ui/skin/skin_test_support.h"
#include "ui/skin/equalizer_placements.h"
#include "ui/skin/main_placements.h"
#include "ui/skin/playlist_sprites.h"
#include "ui/skin/skin_text.h"

namespace {

using namespace skin_test;
using platform::ui::DeviceContext;
using platform::ui::Framebuffer;
using platform::ui::Point;
using platform::ui::Rect;
using platform::ui::StretchSourceOffset;

constexpr int kMainTag = 1;
constexpr int kButtonsTag = 2;
constexpr int kVolumeTag = 3;
constexpr int kPosbarTag = 4;
constexpr int kEqualizerTag = 5;
constexpr int kNumbersTag = 6;
constexpr int kPlEditTag = 7;
constexpr int kPlaylistBarTag = 8;

void Drop(HBITMAP& bitmap) {
    platform::ui::DeleteObject(bitmap);
    bitmap = nullptr;
}

// Draws on a 240 x 320 screen at the windows' 87 % with coded bitmaps.
class SkinSpritesTest : public SkinTest {
protected:
    void SetUp() override {
        g_skin.Scale = 87;
        g_skin.MainBmp = NewCodedBitmap(kMainTag, 275, 116);
        g_skin.CButtonsBmp = NewCodedBitmap(kButtonsTag, 136, 36);
        g_skin.VolumeBmp = NewCodedBitmap(kVolumeTag, 68, 433);
        g_skin.PosbarBmp = NewCodedBitmap(kPosbarTag, 307, 10);
        g_skin.EqMainBmp = NewCodedBitmap(kEqualizerTag, 275, 315);
        g_skin.NumbersBmp = NewCodedBitmap(kNumbersTag, 99, 13);
        g_skin.PlEditBmp = NewCodedBitmap(kPlEditTag, 280, 186);
    }

    // Every pixel of `destination` is the nearest-neighbour pick from the
    // source rectangle of bitmap `tag`, and the pixels around it are untouched.
    // Overlapping sprites (a thumb on its bar, neighbouring tiles) skip the
    // check around.
    void ExpectSprite(Rect destination, int tag, Rect source, bool aloneOnScreen = true) {
        for (int y = destination.top; y < destination.bottom; ++y) {
            for (int x = destination.left; x < destination.right; ++x) {
                int sx = source.left + StretchSourceOffset(x - destination.left, source.Width(), destination.Width());
                int sy = source.top + StretchSourceOffset(y - destination.top, source.Height(), destination.Height());
                ASSERT_EQ(screen_.Pixel(x, y), CodedPixel(tag, sx, sy)) << "at (" << x << ", " << y << ")";
            }
        }
        if (!aloneOnScreen) {
            return;
        }
        for (Point outside : {Point{destination.left - 1, destination.top}, Point{destination.right, destination.top},
                              Point{destination.left, destination.top - 1}, Point{destination.left, destination.bottom}}) {
            if (screen_.Contains(outside.x, outside.y)) {
                EXPECT_EQ(screen_.Pixel(outside.x, outside.y), 0u) << "at (" << outside.x << ", " << outside.y << ")";
            }
        }
    }

    // The source column of the pixel at (x, y), or -1 when it is not from `tag`.
    int SourceColumn(int x, int y, int tag) const {
        uint32_t pixel = screen_.Pixel(x, y);
        return static_cast<int>(pixel >> 20) == tag ? static_cast<int>(pixel & 0x3FF) : -1;
    }

    Framebuffer screen_{240, 320};
    DeviceContext context_{screen_, {0, 0}, screen_.Bounds()};
    HDC target_ = &context_;
};

TEST_F(SkinSpritesTest, MainBackgroundAndButtonsLandWhereTheLayoutSays) {
    ASSERT_TRUE(PaintMainBackground(target_));
    ExpectSprite({0, 0, 240, 100}, kMainTag, {0, 0, 275, 116});

    screen_.Fill(screen_.Bounds(), 0);
    ASSERT_TRUE(PaintTransportButton(target_, TransportButton::Play, false));
    ExpectSprite({35, 76, 55, 91}, kButtonsTag, {23, 0, 46, 18});

    screen_.Fill(screen_.Bounds(), 0);
    ASSERT_TRUE(PaintTransportButton(target_, TransportButton::Eject, true));
    // (136, 89) at 87 % is (118, 77), moved by (+1, -1) and one pixel taller.
    ExpectSprite({119, 76, 138, 90}, kButtonsTag, {114, 16, 136, 32});
}

TEST_F(SkinSpritesTest, VolumeFramesAndThumbClampAtTheEnds) {
    // Frame 27 (28 clamped); the thumb 46 pixels along (53 skin units) plus one.
    EXPECT_EQ(VolumeFrame(100), 28);
    ASSERT_TRUE(DrawVolumeBar(target_, 93, 49, VolumeFrame(100)));
    ExpectSprite({93, 49, 152, 60}, kVolumeTag, {0, 405, 68, 418});
    ASSERT_TRUE(PaintVolume(target_, 100));
    ExpectSprite({140, 50, 152, 59}, kVolumeTag, {15, 422, 29, 433}, false);
    EXPECT_EQ(screen_.Pixel(152, 55), 0u);

    screen_.Fill(screen_.Bounds(), 0);
    ASSERT_TRUE(PaintVolume(target_, 0));
    EXPECT_EQ(screen_.Pixel(93, 49), CodedPixel(kVolumeTag, 0, 0));
    EXPECT_EQ(SourceColumn(94, 52, kVolumeTag), 15);  // the thumb starts one pixel in
}

TEST_F(SkinSpritesTest, PositionThumbStopsBeforeTheBarEnd) {
    EXPECT_EQ(PositionThumbOffset(1000), 218);
    EXPECT_EQ(PositionThumbOffset(0), 0);
    ASSERT_TRUE(PaintPosition(target_, 1000));
    // The bar is 215 + 3 wide and 8 + 1 high; the thumb 189 pixels along.
    EXPECT_EQ(SourceColumn(13, 62, kPosbarTag), 0);
    EXPECT_EQ(SourceColumn(201, 62, kPosbarTag), StretchSourceOffset(201 - 13, 248, 218));
    ExpectSprite({202, 62, 227, 71}, kPosbarTag, {248, 0, 277, 10}, false);
    EXPECT_EQ(screen_.Pixel(231, 62), 0u);
    EXPECT_EQ(screen_.Pixel(13, 71), 0u);
}

TEST_F(SkinSpritesTest, SlidersFollowTheirValue) {
    ASSERT_TRUE(PaintSlider(target_, kPreampSliderColumn, 100));
    // Frame 27 from the second row; the thumb at the top, one pixel in.
    EXPECT_EQ(screen_.Pixel(18, 33), CodedPixel(kEqualizerTag, 13 + 15 * 13, 229));
    ExpectSprite({19, 33, 28, 42}, kEqualizerTag, {0, 164, 11, 175}, false);

    screen_.Fill(screen_.Bounds(), 0);
    ASSERT_TRUE(PaintSlider(target_, BandSliderColumn(9), 0));
    int column = ScaleToScreen(BandSliderColumn(9));
    EXPECT_EQ(screen_.Pixel(column, 33), CodedPixel(kEqualizerTag, 13, 164));
    ExpectSprite({column + 1, 33 + 46, column + 10, 33 + 46 + 9}, kEqualizerTag, {0, 164, 11, 175}, false);
}

TEST_F(SkinSpritesTest, DigitsOutsideTheGlyphsDrawNothing) {
    EXPECT_EQ(ClockGlyphs(75 * 60 + 3), (std::array<int, 5>{10, 7, 5, 0, 3}));
    EXPECT_EQ(ClockGlyphs(123 * 60)[0], 1);
    EXPECT_EQ(ClockGlyphs(1000 * 60)[0], 10);
    EXPECT_EQ(ClockGlyphs(int64_t{1} << 50)[0], 10);
    EXPECT_EQ(ClockGlyphs(75 * 60 + 3, true), (std::array<int, 5>{11, 7, 5, 0, 3}));
    EXPECT_EQ(ClockGlyphs(123 * 60, true), (std::array<int, 5>{11, 9, 9, 5, 9}));
    EXPECT_EQ(ClockGlyphs(-5, true), (std::array<int, 5>{11, 0, 0, 0, 0}));

    EXPECT_FALSE(DrawDigit(target_, 0, 0, 12));
    EXPECT_FALSE(DrawDigit(target_, 0, 0, -1));
    EXPECT_EQ(std::count(screen_.Pixels().begin(), screen_.Pixels().end(), 0u), 240 * 320);

    ASSERT_TRUE(DrawDigit(target_, 10, 10, 10));
    ExpectSprite({10, 10, 17, 21}, kNumbersTag, {90, 0, 99, 13});
}

TEST_F(SkinSpritesTest, MissingOrSmallBitmapsAreSafe) {
    Drop(g_skin.CButtonsBmp);
    EXPECT_FALSE(PaintTransportButton(target_, TransportButton::Play, false));
    EXPECT_FALSE(PaintMainToggle(target_, MainToggle::Shuffle, true, false));  // no ShufRep bitmap
    EXPECT_EQ(std::count(screen_.Pixels().begin(), screen_.Pixels().end(), 0u), 240 * 320);

    // A main bitmap smaller than the background's source: only what the
    // bitmap has is copied; nothing outside it is read.
    Drop(g_skin.MainBmp);
    g_skin.MainBmp = NewCodedBitmap(kMainTag, 100, 50);
    PaintMainBackground(target_);
    EXPECT_EQ(screen_.Pixel(0, 0), CodedPixel(kMainTag, 0, 0));
    EXPECT_EQ(screen_.Pixel(239, 99), 0u);
    EXPECT_EQ(screen_.Pixel(239, 0), 0u);
}

TEST_F(SkinSpritesTest, PlaylistTopBarIsComposedAtTheDocumentedPixels) {
    ASSERT_TRUE(DrawPlaylistTopBar(target_, 0, 0, 2));
    struct Piece {
        int left;
        int right;
        int sourceLeft;
        int sourceRight;
    };
    // Corner, three left tiles (the last 12 pixels), title, three right
    // tiles (the last widened to 15), corner.
    const Piece pieces[] = {{0, 21, 0, 25},      {21, 42, 127, 152},   {42, 63, 127, 152},
                            {63, 75, 127, 152},  {75, 162, 26, 126},   {162, 183, 127, 152},
                            {183, 204, 127, 152}, {204, 219, 127, 152}, {219, 240, 153, 178}};
    for (const Piece& piece : pieces) {
        ExpectSprite({piece.left, 0, piece.right, 17}, kPlEditTag, {piece.sourceLeft, 0, piece.sourceRight, 20}, false);
        EXPECT_EQ(screen_.Pixel(piece.left, 17), 0u);
    }

    Drop(g_skin.PlEditBmp);
    EXPECT_FALSE(DrawPlaylistTopBar(target_, 0, 0, 2));
}

TEST_F(SkinSpritesTest, PlaylistButtonsComeFromTheBaseSkinBarWhenItIsLoaded) {
    g_skin.Scale = 100;
    g_skin.IsBaseSkin = false;
    ASSERT_TRUE(DrawPlaylistGroupButton(target_, PlaylistGroup::Remove, 3, 0, 0, ButtonState::Pressed));
    ExpectSprite({0, 0, 22, 18}, kPlEditTag, {77, 168, 99, 186});
    EXPECT_FALSE(DrawPlaylistGroupButton(target_, PlaylistGroup::Add, 3, 0, 0, ButtonState::Normal));

    screen_.Fill(screen_.Bounds(), 0);
    g_skin.IsBaseSkin = true;
    g_skin.BasePlaylistBarBmp = NewCodedBitmap(kPlaylistBarTag, 243, 161);
    ASSERT_TRUE(DrawPlaylistGroupButton(target_, PlaylistGroup::List, 1, 0, 0, ButtonState::Normal));
    ExpectSprite({0, 0, 19, 15}, kPlaylistBarTag, {178, 112, 197, 127});
    ASSERT_TRUE(DrawPlaylistBottomRight(target_, 0, 50));
    ExpectSprite({0, 50, 131, 83}, kPlaylistBarTag, {109, 62, 240, 95});
}

TEST_F(SkinSpritesTest, TextsUseTheRowColorsInsideTheirBox) {
    g_skin.CurrentColor = platform::ui::RGB(255, 255, 255);
    g_skin.SelectedBgColor = platform::ui::RGB(0, 0, 200);
    SetTextColor(target_, platform::ui::RGB(1, 2, 3));
    SetBkColor(target_, platform::ui::RGB(4, 5, 6));

    SkinTextBox box{20, 30, 60, 12, 0, -1, 0, -2};
    ASSERT_TRUE(DrawPlaylistText(target_, box, 12, PlaylistRow::CurrentSelected, "WWWWWWWWWWWWWWWWWWWW"));
    // The box moved up by 2: (20, 28) to (80, 40), filled and clipped.
    EXPECT_EQ(screen_.Pixel(79, 39), 0x0000C8u);
    EXPECT_EQ(screen_.Pixel(80, 35), 0u);
    EXPECT_EQ(screen_.Pixel(20, 27), 0u);
    EXPECT_EQ(screen_.Pixel(50, 40), 0u);
    // The glyphs are smoothed: count the bright pixels of the white text.
    EXPECT_GT(std::count_if(screen_.Pixels().begin(), screen_.Pixels().end(),
                            [](uint32_t pixel) { return (pixel >> 16) > 0xC0; }),
              20);
    // The context's colours are as they were.
    EXPECT_EQ(SetTextColor(target_, 0), platform::ui::RGB(1, 2, 3));
    EXPECT_EQ(SetBkColor(target_, 0), platform::ui::RGB(4, 5, 6));

    EXPECT_EQ(PlaylistRowOf(false, false), PlaylistRow::Ordinary);
    EXPECT_EQ(PlaylistRowOf(true, false), PlaylistRow::Current);
    EXPECT_EQ(PlaylistRowOf(false, true), PlaylistRow::Selected);
}

}  // namespace
