#include <gtest/gtest.h>

#include <array>
#include <string>

#include <sys/stat.h>

#include "tests/ui/skin/skin_test_support.h"
#include "ui/skin/playlist_colors.h"
#include "ui/skin/skin.h"

namespace {

using namespace skin_test;
using platform::ui::ModuleInstance;
using platform::ui::ResourceEntry;
using platform::ui::ResourceKind;

struct SkinFile {
    const char* name;
    int tag;
    int width;
    int height;
};

// The classic files with their usual sizes; every one tagged differently.
constexpr std::array<SkinFile, 13> kBitmapFiles{{
    {"cbuttons.bmp", 2, 136, 36},
    {"eqmain.bmp", 3, 275, 315},
    {"main.bmp", 4, 275, 116},
    {"monoster.bmp", 5, 58, 24},
    {"numbers.bmp", 6, 99, 13},
    {"nums_ex.bmp", 7, 108, 13},
    {"playpaus.bmp", 8, 42, 9},
    {"pledit.bmp", 9, 280, 186},
    {"posbar.bmp", 10, 307, 10},
    {"shufrep.bmp", 11, 92, 85},
    {"text.bmp", 12, 155, 18},
    {"titlebar.bmp", 13, 344, 87},
    {"volume.bmp", 14, 68, 433},
}};
constexpr int kBalanceTag = 1;

const char* kExampleColors =
    "[Text]\n"
    "Normal=#00FF00\n"
    "Current=#FFFFFF\n"
    "NormalBG=#000000\n"
    "SelectedBG=#0000FF\n";

// A skin directory holding every file but those named in `leaveOut`.
void WriteSkin(const SkinDirectory& dir, std::initializer_list<std::string> leaveOut = {},
               const std::string& colors = kExampleColors) {
    auto left = [&](const std::string& name) { return std::find(leaveOut.begin(), leaveOut.end(), name) != leaveOut.end(); };
    for (const SkinFile& file : kBitmapFiles) {
        if (!left(file.name)) {
            dir.WriteCodedBmp(file.name, file.tag, file.width, file.height);
        }
    }
    if (!left("balance.bmp")) {
        dir.WriteCodedBmp("balance.bmp", kBalanceTag, 68, 433);
    }
    if (!left("pledit.txt")) {
        dir.WriteFile("pledit.txt", colors);
    }
}

int TagOf(HBITMAP bitmap) { return bitmap == nullptr ? -1 : static_cast<int>(bitmap->Image().Pixel(0, 0) >> 20); }

TEST(SkinCheckTest, CountsTheKnownNamesIgnoringCase) {
    SkinDirectory all;
    WriteSkin(all);
    EXPECT_TRUE(CheckSkinDirectory(all.Path()));

    SkinDirectory thirteen;
    WriteSkin(thirteen, {"nums_ex.bmp"});
    EXPECT_TRUE(CheckSkinDirectory(thirteen.Path()));

    SkinDirectory twelve;
    WriteSkin(twelve, {"nums_ex.bmp", "text.bmp"});
    EXPECT_FALSE(CheckSkinDirectory(twelve.Path()));

    // balance.bmp is not one of the counted names.
    SkinDirectory withBalanceOnly;
    WriteSkin(withBalanceOnly, {"nums_ex.bmp", "text.bmp"});
    withBalanceOnly.WriteCodedBmp("BALANCE.BMP", 1, 68, 433);
    EXPECT_FALSE(CheckSkinDirectory(withBalanceOnly.Path()));

    SkinDirectory mixedCase;
    WriteSkin(mixedCase, {"main.bmp", "eqmain.bmp", "nums_ex.bmp"});
    mixedCase.WriteCodedBmp("MAIN.BMP", 4, 275, 116);
    mixedCase.WriteCodedBmp("EqMain.Bmp", 3, 275, 315);
    EXPECT_TRUE(CheckSkinDirectory(mixedCase.Path()));
}

TEST(SkinCheckTest, DirectoriesAndUnreadablePathsAreNoSkin) {
    SkinDirectory dir;
    WriteSkin(dir, {"nums_ex.bmp", "main.bmp"});
    std::filesystem::create_directory(dir.Path() + "/main.bmp");
    EXPECT_FALSE(CheckSkinDirectory(dir.Path()));

    EXPECT_FALSE(CheckSkinDirectory(dir.Path() + "/no such directory"));
    EXPECT_FALSE(CheckSkinDirectory(dir.Path() + "/pledit.txt"));
    // A path with no room left for the file names is refused before it is listed.
    EXPECT_FALSE(CheckSkinDirectory(dir.Path() + std::string(5000, '/')));
}

class SkinLoadTest : public SkinTest {};

TEST_F(SkinLoadTest, LoadsEveryBitmapAndTheColors) {
    SkinDirectory dir;
    WriteSkin(dir);
    ASSERT_TRUE(LoadSkinDirectory(dir.Path()));
    EXPECT_TRUE(g_skin.Loaded);
    EXPECT_FALSE(g_skin.IsBaseSkin);
    EXPECT_EQ(TagOf(g_skin.BalanceBmp), kBalanceTag);
    EXPECT_EQ(TagOf(g_skin.CButtonsBmp), 2);
    EXPECT_EQ(TagOf(g_skin.EqMainBmp), 3);
    EXPECT_EQ(TagOf(g_skin.MainBmp), 4);
    EXPECT_EQ(TagOf(g_skin.MonoSterBmp), 5);
    EXPECT_EQ(TagOf(g_skin.NumbersBmp), 6);
    EXPECT_EQ(TagOf(g_skin.PlayPausBmp), 8);
    EXPECT_EQ(TagOf(g_skin.PlEditBmp), 9);
    EXPECT_EQ(TagOf(g_skin.PosbarBmp), 10);
    EXPECT_EQ(TagOf(g_skin.ShufRepBmp), 11);
    EXPECT_EQ(TagOf(g_skin.TitleBarBmp), 13);
    EXPECT_EQ(TagOf(g_skin.VolumeBmp), 14);
    EXPECT_EQ(g_skin.BasePlaylistBarBmp, nullptr);

    EXPECT_EQ(g_skin.NormalColor, 0x0000FF00u);
    EXPECT_EQ(g_skin.CurrentColor, 0x00FFFFFFu);
    EXPECT_EQ(g_skin.NormalBgColor, 0u);
    EXPECT_EQ(g_skin.SelectedBgColor, 0x00FF0000u);
}

TEST_F(SkinLoadTest, FallsBackForBalanceAndDigitsAndSkipsMissingBitmaps) {
    SkinDirectory dir;
    WriteSkin(dir, {"balance.bmp", "numbers.bmp"});
    ASSERT_TRUE(LoadSkinDirectory(dir.Path()));
    EXPECT_EQ(TagOf(g_skin.BalanceBmp), 14);  // volume.bmp
    EXPECT_EQ(TagOf(g_skin.NumbersBmp), 7);   // nums_ex.bmp
    EXPECT_NE(g_skin.BalanceBmp, g_skin.VolumeBmp);  // each owned once

    SkinDirectory withoutPosbar;
    WriteSkin(withoutPosbar, {"posbar.bmp"});
    ASSERT_TRUE(LoadSkinDirectory(withoutPosbar.Path()));
    EXPECT_EQ(g_skin.PosbarBmp, nullptr);
    EXPECT_EQ(TagOf(g_skin.MainBmp), 4);
}

TEST_F(SkinLoadTest, OpensFilesWhateverTheirCase) {
    SkinDirectory dir;
    WriteSkin(dir, {"main.bmp", "titlebar.bmp", "pledit.txt"});
    dir.WriteCodedBmp("Main.Bmp", 4, 275, 116);
    dir.WriteCodedBmp("TITLEBAR.BMP", 13, 344, 87);
    dir.WriteFile("PlEdit.TXT", "[Text]\r\nNormal=#102030\r\n");
    ASSERT_TRUE(LoadSkinDirectory(dir.Path()));
    EXPECT_EQ(TagOf(g_skin.MainBmp), 4);
    EXPECT_EQ(TagOf(g_skin.TitleBarBmp), 13);
    EXPECT_EQ(g_skin.NormalColor, 0x00302010u);
}

TEST_F(SkinLoadTest, AFailedLoadChangesNothing) {
    SkinDirectory good;
    WriteSkin(good, {}, "[Text]\nNormal=#123456\n");
    ASSERT_TRUE(LoadSkinDirectory(good.Path()));
    HBITMAP main = g_skin.MainBmp;

    SkinDirectory withoutColors;
    WriteSkin(withoutColors, {"pledit.txt"});  // still 13 names: the check passes
    ASSERT_TRUE(CheckSkinDirectory(withoutColors.Path()));
    EXPECT_FALSE(LoadSkinDirectory(withoutColors.Path()));

    SkinDirectory tooFew;
    WriteSkin(tooFew, {"nums_ex.bmp", "text.bmp"}, "[Text]\nNormal=#FFFFFF\n");
    EXPECT_FALSE(LoadSkinDirectory(tooFew.Path()));

    EXPECT_EQ(g_skin.MainBmp, main);
    EXPECT_EQ(TagOf(g_skin.MainBmp), 4);
    EXPECT_EQ(g_skin.NormalColor, 0x00563412u);
    EXPECT_TRUE(g_skin.Loaded);
    EXPECT_FALSE(g_skin.IsBaseSkin);
}

TEST_F(SkinLoadTest, BaseSkinComesFromTheModuleWithDefaultColors) {
    // A module whose bitmaps are tagged with their resource numbers.
    std::vector<std::vector<uint8_t>> images;
    std::vector<ResourceEntry> entries;
    const std::array<int, 13> ids{IDB_BALANCE, IDB_CBUTTONS, IDB_EQMAIN,  IDB_MAIN,    IDB_MONOSTER,
                                  IDB_NUMBERS, IDB_PLAYPAUS, IDB_PLEDIT,  IDB_POSBAR,  IDB_SHUFREP,
                                  IDB_TITLEBAR, IDB_VOLUME, IDB_PLAYLIST_BAR};
    images.reserve(ids.size());
    for (size_t i = 0; i < ids.size(); ++i) {
        images.push_back(EncodeBmp24(CodedImage(static_cast<int>(i) + 1, 4, 4)));
        entries.push_back({ResourceKind::Bitmap, ids[i], 0, images.back()});
    }
    ModuleInstance module(entries);
    SetModuleInstance(&module);

    SkinDirectory dir;
    WriteSkin(dir, {}, "[Text]\nNormal=#111111\nCurrent=#222222\nNormalBG=#333333\nSelectedBG=#444444\n");
    ASSERT_TRUE(LoadSkinDirectory(dir.Path()));
    ASSERT_TRUE(LoadBaseSkin());

    EXPECT_TRUE(g_skin.Loaded);
    EXPECT_TRUE(g_skin.IsBaseSkin);
    EXPECT_EQ(TagOf(g_skin.BalanceBmp), 1);
    EXPECT_EQ(TagOf(g_skin.MainBmp), 4);
    EXPECT_EQ(TagOf(g_skin.PlEditBmp), 8);
    EXPECT_EQ(TagOf(g_skin.TitleBarBmp), 11);
    EXPECT_EQ(TagOf(g_skin.VolumeBmp), 12);
    EXPECT_EQ(TagOf(g_skin.BasePlaylistBarBmp), 13);
    EXPECT_EQ(g_skin.NormalColor, kDefaultNormalColor);
    EXPECT_EQ(g_skin.CurrentColor, kDefaultCurrentColor);
    EXPECT_EQ(g_skin.NormalBgColor, kDefaultNormalBgColor);
    EXPECT_EQ(g_skin.SelectedBgColor, kDefaultSelectedBgColor);

    ReleaseSkinBitmaps();
    EXPECT_FALSE(g_skin.Loaded);
    EXPECT_EQ(g_skin.MainBmp, nullptr);
    EXPECT_EQ(g_skin.BasePlaylistBarBmp, nullptr);
}

TEST(PlaylistColorsTest, ReadsOnlyTheFourKeysAfterTheFirstLine) {
    PlaylistColors colors = ParsePlaylistColors(
        "Normal=#FF0000\n"  // the first line is always skipped
        "normal=#0000FF\n"  // keys have case
        "Current=#A0b0C0\r\n"
        "Font=Arial\n"
        "no equals sign here\n"
        "SelectedBG=#010203");  // no line end at the end of the file
    EXPECT_FALSE(colors.normal.has_value());
    EXPECT_EQ(colors.current, 0x00C0B0A0u);
    EXPECT_FALSE(colors.normalBg.has_value());
    EXPECT_EQ(colors.selectedBg, 0x00030201u);
}

TEST(PlaylistColorsTest, OddCharactersCountByTheDigitRule) {
    // 'G' counts 'G' - '0' = 23: the pair "G0" is 23 * 16 = 368, which spills
    // into the next byte as the plain arithmetic says.
    EXPECT_EQ(ParseSkinColor("#G00000"), 368u);
    EXPECT_EQ(ParseSkinColor("#ff00Aa"), 0x00AA00FFu);
    // Missing characters count as '0' instead of reading past the value.
    EXPECT_EQ(ParseSkinColor("#12"), 0x00000012u);
    EXPECT_EQ(ParseSkinColor(""), 0u);
}

TEST(PlaylistColorsTest, LongLinesGoOnAsTheNextLine) {
    // The reader takes 127 characters at a time: what follows is a line of its own.
    std::string text = "[Text]\n" + std::string(127, 'x') + "Normal=#0A0B0C\n";
    EXPECT_EQ(ParsePlaylistColors(text).normal, 0x000C0B0Au);
}

}  // namespace

namespace {

TEST_F(SkinLoadTest, DamagedFilesLeaveTheirBitmapsOutAndNeverBlock) {
    SkinDirectory dir;
    WriteSkin(dir, {"main.bmp", "cbuttons.bmp", "posbar.bmp", "shufrep.bmp", "pledit.txt"});
    std::vector<uint8_t> main = EncodeBmp24(CodedImage(4, 275, 116));
    main.resize(main.size() / 2);  // cut off halfway through the pixels
    dir.WriteFile("main.bmp", main);
    dir.WriteFile("cbuttons.bmp", std::string("BM") + std::string(300, '\xff'));
    dir.WriteFile("posbar.bmp", std::string());
    // A pipe named like a skin file would block whoever opens it.
    ASSERT_EQ(mkfifo((dir.Path() + "/ShufRep.bmp").c_str(), 0600), 0);
    dir.WriteFile("pledit.txt", std::string("[Text]\nNormal=#\0\xff\x80", 18) + "\nCurrent=#0a0b0c\n");

    ASSERT_TRUE(LoadSkinDirectory(dir.Path()));
    EXPECT_EQ(g_skin.MainBmp, nullptr);
    EXPECT_EQ(g_skin.CButtonsBmp, nullptr);
    EXPECT_EQ(g_skin.PosbarBmp, nullptr);
    EXPECT_EQ(g_skin.ShufRepBmp, nullptr);
    EXPECT_EQ(TagOf(g_skin.EqMainBmp), 3);
    EXPECT_EQ(g_skin.CurrentColor, 0x000C0B0Au);

    // A pipe in place of pledit.txt is no colours file.
    SkinDirectory pipeColors;
    WriteSkin(pipeColors, {"pledit.txt"});
    ASSERT_EQ(mkfifo((pipeColors.Path() + "/pledit.txt").c_str(), 0600), 0);
    EXPECT_FALSE(LoadSkinDirectory(pipeColors.Path()));
}

}  // namespace
