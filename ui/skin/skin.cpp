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

// Each bitmap of the skin: where it is kept, the base skin's resource and the
// file of a skin directory it is loaded from (found ignoring case, though an
// exact match wins), with the file tried when that one is missing.
struct SkinBitmap {
    HBITMAP Skin::*member;
    BaseSkinBitmap resource;
    std::string_view fileName;      // empty: the base skin alone has it
    std::string_view fallbackName;  // empty: none
};

constexpr std::array<SkinBitmap, 14> kSkinBitmaps = {{
    {&Skin::BalanceBmp, IDB_BALANCE, "balance.bmp", "volume.bmp"},
    {&Skin::CButtonsBmp, IDB_CBUTTONS, "cbuttons.bmp", {}},
    {&Skin::EqMainBmp, IDB_EQMAIN, "EqMain.bmp", {}},
    {&Skin::MainBmp, IDB_MAIN, "main.bmp", {}},
    {&Skin::MonoSterBmp, IDB_MONOSTER, "MonoSter.bmp", {}},
    {&Skin::NumbersBmp, IDB_NUMBERS, "Numbers.bmp", "nums_ex.bmp"},
    {&Skin::PlayPausBmp, IDB_PLAYPAUS, "PlayPaus.bmp", {}},
    {&Skin::PlEditBmp, IDB_PLEDIT, "PlEdit.bmp", {}},
    {&Skin::BasePlaylistBarBmp, IDB_PLAYLIST_BAR, {}, {}},
    {&Skin::PosbarBmp, IDB_POSBAR, "Posbar.bmp", {}},
    {&Skin::ShufRepBmp, IDB_SHUFREP, "ShufRep.bmp", {}},
    {&Skin::TextBmp, IDB_TEXT, "text.bmp", {}},
    {&Skin::TitleBarBmp, IDB_TITLEBAR, "TitleBar.bmp", {}},
    {&Skin::VolumeBmp, IDB_VOLUME, "volume.bmp", {}},
}};

bool IsSkin(const std::optional<SkinFiles>& files) {
    return files && files->CountNamed(kSkinFileNames) >= kRequiredSkinFiles;
}

HBITMAP LoadSkinFile(const SkinFiles& files, std::string_view name) {
    if (name.empty()) return nullptr;
    std::optional<std::string> path = files.Find(name);
    return path ? SHLoadDIBitmap(*path) : nullptr;
}

HBITMAP LoadSkinBitmap(const SkinFiles& files, const SkinBitmap& bitmap) {
    HBITMAP loaded = LoadSkinFile(files, bitmap.fileName);
    return loaded != nullptr ? loaded : LoadSkinFile(files, bitmap.fallbackName);
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
    for (const SkinBitmap& bitmap : kSkinBitmaps) ReleaseBitmap(this->*bitmap.member);
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
    for (const SkinBitmap& bitmap : kSkinBitmaps) g_skin.*bitmap.member = LoadSkinBitmap(*files, bitmap);

    g_skin.Loaded = true;
    g_skin.IsBaseSkin = false;
    return true;
}

bool LoadBaseSkin() {
    ReleaseSkinBitmaps();
    for (const SkinBitmap& bitmap : kSkinBitmaps) g_skin.*bitmap.member = LoadBitmap(g_skin.Module, bitmap.resource);

    g_skin.ResetColors();

    g_skin.Loaded = true;
    g_skin.IsBaseSkin = true;
    return true;
}

void ReleaseSkinBitmaps() { g_skin.ReleaseBitmaps(); }
