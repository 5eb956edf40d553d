#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ui/canvas_stretch.h"
#include "resources/tunelark_module.h"
#include "tests/support/fixtures.h"
#include "tests/ui/skin/skin_test_support.h"
#include "ui/skin/equalizer_placements.h"
#include "ui/skin/main_placements.h"
#include "ui/skin/playlist_sprites.h"

namespace {

using namespace skin_test;
using platform::ui::DeviceContext;
using platform::ui::Framebuffer;
using platform::ui::LoadBmpFile;
using platform::ui::StretchSourceOffset;

struct RealSkin {
    const char* name;
    COLORREF normal;
    COLORREF current;
    COLORREF normalBg;
    COLORREF selectedBg;
};

// Skins made by other people (from a desktop player's data package), with
// the colours their pledit.txt sets. "Osmosis" and "Ivory" have a main
// bitmap 425 x 100: wider than the classic one and too short for the
// background's source.
const RealSkin kRealSkins[] = {
    {"Debian", 0x00CDA77B, 0x00999999, 0x00ECDDCC, 0x00EEEEEE},
    {"Refugee", 0x00FF9924, 0x00FFEEFF, 0x000A120A, 0x004A120A},
    {"Osmosis", 0x00DFC1A6, 0x00EEEEEE, 0x00000000, 0x00666666},
    {"Ivory", 0x00845E32, 0x00111111, 0x00FFFFFF, 0x00999999},
};

// Every pixel of the screen area is the nearest-neighbour pick from `image`;
// where the pick lies outside a too small image, the black screen is left
// as it was.
void ExpectScaledCopy(const Framebuffer& screen, platform::ui::Rect area, const Framebuffer& image,
                      platform::ui::Rect source) {
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            int sx = source.left + StretchSourceOffset(x - area.left, source.Width(), area.Width());
            int sy = source.top + StretchSourceOffset(y - area.top, source.Height(), area.Height());
            uint32_t expected = image.Contains(sx, sy) ? image.Pixel(sx, sy) : 0;
            ASSERT_EQ(screen.Pixel(x, y), expected) << "at (" << x << ", " << y << ")";
        }
    }
}

class RealSkinTest : public SkinTest, public ::testing::WithParamInterface<RealSkin> {
protected:
    std::string Dir() const { return test::FixturePath(std::string("skin_") + GetParam().name); }
};

TEST_P(RealSkinTest, PassesTheCheckLoadsAndDraws) {
    const RealSkin& skin = GetParam();
    ASSERT_TRUE(std::filesystem::is_directory(Dir())) << "missing fixture " << Dir();
    ASSERT_TRUE(CheckSkinDirectory(Dir()));
    ASSERT_TRUE(LoadSkinDirectory(Dir()));
    EXPECT_EQ(g_skin.NormalColor, skin.normal);
    EXPECT_EQ(g_skin.CurrentColor, skin.current);
    EXPECT_EQ(g_skin.NormalBgColor, skin.normalBg);
    EXPECT_EQ(g_skin.SelectedBgColor, skin.selectedBg);
    for (HBITMAP bitmap : {g_skin.BalanceBmp, g_skin.CButtonsBmp, g_skin.EqMainBmp, g_skin.MainBmp, g_skin.MonoSterBmp,
                           g_skin.NumbersBmp, g_skin.PlEditBmp, g_skin.PosbarBmp, g_skin.ShufRepBmp,
                           g_skin.TitleBarBmp, g_skin.VolumeBmp}) {
        EXPECT_NE(bitmap, nullptr);
    }

    g_skin.Scale = 87;
    Framebuffer screen(240, 320);
    DeviceContext context(screen, {0, 0}, screen.Bounds());
    ASSERT_TRUE(PaintMainBackground(&context));
    std::unique_ptr<platform::ui::Bitmap> main = LoadBmpFile(Dir() + "/main.bmp");
    ASSERT_NE(main, nullptr);
    ExpectScaledCopy(screen, {0, 0, 240, 100}, main->Image(), {0, 0, 275, 116});

    // The rest of the main window and the equalizer draw from the skin too.
    EXPECT_TRUE(PaintMainTitleBar(&context));
    EXPECT_TRUE(PaintTransportButton(&context, TransportButton::Play, true));
    std::unique_ptr<platform::ui::Bitmap> buttons = LoadBmpFile(Dir() + "/cbuttons.bmp");
    ASSERT_NE(buttons, nullptr);
    ExpectScaledCopy(screen, {35, 76, 55, 91}, buttons->Image(), {23, 18, 46, 36});
    EXPECT_TRUE(PaintMainToggle(&context, MainToggle::Shuffle, true, false));
    EXPECT_TRUE(PaintVolume(&context, 50));
    EXPECT_TRUE(PaintBalance(&context));
    EXPECT_TRUE(PaintPosition(&context, 500));
    PaintClock(&context, ClockGlyphs(754));
    PaintChannelIndicators(&context, 2);
    EXPECT_TRUE(PaintTitle(&context, "A title"));
    EXPECT_TRUE(PaintEqualizerBackground(&context));
    EXPECT_TRUE(PaintSlider(&context, kPreampSliderColumn, 75));
    EXPECT_TRUE(DrawPlaylistTopBar(&context, 0, 0, 2));
}

INSTANTIATE_TEST_SUITE_P(Skins, RealSkinTest, ::testing::ValuesIn(kRealSkins),
                         [](const ::testing::TestParamInfo<RealSkin>& skin) { return skin.param.name; });

TEST_F(SkinTest, RealSkinsWithoutBalanceOrNumbersUseTheirFallbacks) {
    // "Refugee" has no balance bitmap, "Debian" no numbers.bmp.
    ASSERT_TRUE(LoadSkinDirectory(test::FixturePath("skin_Refugee")));
    ASSERT_NE(g_skin.BalanceBmp, nullptr);
    EXPECT_EQ(g_skin.BalanceBmp->Image(), g_skin.VolumeBmp->Image());

    ASSERT_TRUE(LoadSkinDirectory(test::FixturePath("skin_Debian")));
    std::unique_ptr<platform::ui::Bitmap> digits = LoadBmpFile(test::FixturePath("skin_Debian") + "/nums_ex.bmp");
    ASSERT_NE(digits, nullptr);
    ASSERT_NE(g_skin.NumbersBmp, nullptr);
    EXPECT_EQ(g_skin.NumbersBmp->Image(), digits->Image());
}

TEST_F(SkinTest, TheProgramCarriesTheWholeBaseSkin) {
    SetModuleInstance(TunelarkModule());
    ASSERT_TRUE(LoadBaseSkin());
    struct Expected {
        HBITMAP bitmap;
        int width;
        int height;
    };
    const Expected expected[] = {
        {g_skin.BalanceBmp, 68, 433},  {g_skin.CButtonsBmp, 136, 36}, {g_skin.EqMainBmp, 275, 315},
        {g_skin.MainBmp, 275, 116},    {g_skin.MonoSterBmp, 58, 24},  {g_skin.NumbersBmp, 99, 13},
        {g_skin.PlayPausBmp, 42, 9},   {g_skin.PlEditBmp, 280, 186},  {g_skin.PosbarBmp, 307, 10},
        {g_skin.ShufRepBmp, 92, 85},   {g_skin.TitleBarBmp, 344, 87}, {g_skin.VolumeBmp, 68, 433},
        {g_skin.BasePlaylistBarBmp, 243, 161},
    };
    for (const Expected& bitmap : expected) {
        ASSERT_NE(bitmap.bitmap, nullptr);
        EXPECT_EQ(bitmap.bitmap->Width(), bitmap.width);
        EXPECT_EQ(bitmap.bitmap->Height(), bitmap.height);
    }
    EXPECT_TRUE(g_skin.IsBaseSkin);
}

}  // namespace
