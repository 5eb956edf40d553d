#include "ui/skin/skin.h"

#include <array>
#include <optional>
#include <string_view>

#include "ui/skin/playlist_colors.h"
#include "ui/skin/skin_archive.h"
#include "ui/skin/skin_files.h"

using namespace platform::ui;

Skin g_skin;

namespace {

// The names the check counts: a skin needs 13 of these 14.
constexpr std::array<std::string_view, 14> kSkinFileNames = {
    "cbuttons.bmp", "eqmain.bmp", "main.bmp", "monoster.bmp", "playpaus.bmp",
    "pledit.bmp", "posbar.bmp", "shufrep.bmp", "text.bmp", "titlebar.bmp",
    "volume.bmp", "numbers.bmp", "nums_ex.bmp", "pledit.txt",
};
constexpr int kRequiredSkinFiles = 13;

bool IsSkin(const std::optional<SkinFiles>& files) {
    return files && files->CountNamed(kSkinFileNames) >= kRequiredSkinFiles;
}

HBITMAP LoadSkinBitmap(const SkinFiles& files, std::string_view name) {
    std::optional<std::string> path = files.Find(name);
    return path ? SHLoadDIBitmap(*path) : nullptr;
}

HBITMAP LoadSkinBitmap(const SkinFiles& files, std::string_view name, std::string_view fallback) {
    HBITMAP bitmap = LoadSkinBitmap(files, name);
    return bitmap != nullptr ? bitmap : LoadSkinBitmap(files, fallback);
}

void ApplyColors(const PlaylistColors& colors) {
    g_skin.NormalColor = colors.normal.value_or(g_skin.NormalColor);
    g_skin.CurrentColor = colors.current.value_or(g_skin.CurrentColor);
    g_skin.NormalBgColor = colors.normalBg.value_or(g_skin.NormalBgColor);
    g_skin.SelectedBgColor = colors.selectedBg.value_or(g_skin.SelectedBgColor);
}

void ReleaseBitmap(HBITMAP& bitmap) {
    if (bitmap != nullptr) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
}

}  // namespace

Skin::~Skin() { ReleaseBitmaps(); }

void Skin::ResetColors() {
    SelectedBgColor = kDefaultSelectedBgColor;
    NormalBgColor = kDefaultNormalBgColor;
    CurrentColor = kDefaultCurrentColor;
    NormalColor = kDefaultNormalColor;
}

void Skin::ReleaseBitmaps() {
    for (HBITMAP* bitmap : {&BalanceBmp, &CButtonsBmp, &EqMainBmp, &MainBmp, &MonoSterBmp, &NumbersBmp,
                            &PlayPausBmp, &PlEditBmp, &BasePlaylistBarBmp, &PosbarBmp, &ShufRepBmp,
                            &TitleBarBmp, &VolumeBmp}) {
        ReleaseBitmap(*bitmap);
    }
    Loaded = false;
}

bool SetModuleInstance(HINSTANCE instance) {
    g_skin.Module = instance;
    return true;
}

bool CheckSkinDirectory(const std::string& dir) { return IsSkin(SkinFiles::List(SkinDirectoryOf(dir))); }

bool LoadSkinDirectory(const std::string& dir) {
    std::optional<SkinFiles> files = SkinFiles::List(SkinDirectoryOf(dir));
    if (!IsSkin(files)) {
        return false;
    }
    std::optional<std::string> colorsPath = files->Find("pledit.txt");
    std::optional<PlaylistColors> colors = colorsPath ? ReadPlaylistColors(*colorsPath) : std::nullopt;
    if (!colors) {
        return false;
    }
    ApplyColors(*colors);

    ReleaseSkinBitmaps();
    g_skin.BalanceBmp = LoadSkinBitmap(*files, "balance.bmp", "volume.bmp");
    g_skin.CButtonsBmp = LoadSkinBitmap(*files, "cbuttons.bmp");
    g_skin.EqMainBmp = LoadSkinBitmap(*files, "EqMain.bmp");
    g_skin.MainBmp = LoadSkinBitmap(*files, "main.bmp");
    g_skin.MonoSterBmp = LoadSkinBitmap(*files, "MonoSter.bmp");
    g_skin.NumbersBmp = LoadSkinBitmap(*files, "Numbers.bmp", "nums_ex.bmp");
    g_skin.PlayPausBmp = LoadSkinBitmap(*files, "PlayPaus.bmp");
    g_skin.PlEditBmp = LoadSkinBitmap(*files, "PlEdit.bmp");
    g_skin.PosbarBmp = LoadSkinBitmap(*files, "Posbar.bmp");
    g_skin.ShufRepBmp = LoadSkinBitmap(*files, "ShufRep.bmp");
    g_skin.TitleBarBmp = LoadSkinBitmap(*files, "TitleBar.bmp");
    g_skin.VolumeBmp = LoadSkinBitmap(*files, "volume.bmp");

    g_skin.Loaded = true;
    g_skin.IsBaseSkin = false;
    return true;
}

bool LoadBaseSkin() {
    ReleaseSkinBitmaps();
    HINSTANCE module = g_skin.Module;
    g_skin.BalanceBmp = LoadBitmap(module, IDB_BALANCE);
    g_skin.CButtonsBmp = LoadBitmap(module, IDB_CBUTTONS);
    g_skin.EqMainBmp = LoadBitmap(module, IDB_EQMAIN);
    g_skin.MainBmp = LoadBitmap(module, IDB_MAIN);
    g_skin.MonoSterBmp = LoadBitmap(module, IDB_MONOSTER);
    g_skin.NumbersBmp = LoadBitmap(module, IDB_NUMBERS);
    g_skin.PlayPausBmp = LoadBitmap(module, IDB_PLAYPAUS);
    g_skin.PlEditBmp = LoadBitmap(module, IDB_PLEDIT);
    g_skin.BasePlaylistBarBmp = LoadBitmap(module, IDB_PLAYLIST_BAR);
    g_skin.PosbarBmp = LoadBitmap(module, IDB_POSBAR);
    g_skin.ShufRepBmp = LoadBitmap(module, IDB_SHUFREP);
    g_skin.TitleBarBmp = LoadBitmap(module, IDB_TITLEBAR);
    g_skin.VolumeBmp = LoadBitmap(module, IDB_VOLUME);

    g_skin.ResetColors();

    g_skin.Loaded = true;
    g_skin.IsBaseSkin = true;
    return true;
}

void ReleaseSkinBitmaps() { g_skin.ReleaseBitmaps(); }
