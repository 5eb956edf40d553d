#pragma once

// The skin: the one set of bitmaps and playlist colours the three windows are
// drawn from. It comes either from a skin directory in the classic
// three-window format (bitmap files plus "pledit.txt") or from the base skin
// the program carries as resources. The skin owns its bitmaps and frees them
// when another skin replaces them and at exit. User-interface thread only.

#include <string>

#include "platform/ui/canvas_gdi.h"
#include "platform/ui/colors.h"
#include "platform/ui/module_resources.h"

using platform::ui::COLORREF;
using platform::ui::HBITMAP;
using platform::ui::HINSTANCE;

// The value of SkinDir that stands for the base skin.
inline constexpr const char* kBaseSkinDir = "<Base Skin>";

// Resource numbers of the base skin's bitmaps.
enum BaseSkinBitmap {
    IDB_BALANCE = 102,
    IDB_CBUTTONS = 103,
    IDB_EQMAIN = 105,
    IDB_MAIN = 106,
    IDB_MONOSTER = 108,
    IDB_NUMBERS = 109,
    IDB_PLAYPAUS = 110,
    IDB_PLEDIT = 111,
    IDB_POSBAR = 112,
    IDB_SHUFREP = 113,
    IDB_TEXT = 114,
    IDB_TITLEBAR = 115,
    IDB_VOLUME = 116,
    IDB_PLAYLIST_BAR = 133,
};

inline constexpr COLORREF kDefaultSelectedBgColor = platform::ui::RGB(0x32, 0x32, 0xFF);
inline constexpr COLORREF kDefaultNormalBgColor = platform::ui::RGB(0, 0, 0);
inline constexpr COLORREF kDefaultCurrentColor = platform::ui::RGB(0xFF, 0xFF, 0xFF);
inline constexpr COLORREF kDefaultNormalColor = platform::ui::RGB(0, 0xFF, 0);

struct Skin {
    Skin() = default;
    ~Skin();
    Skin(const Skin&) = delete;
    Skin& operator=(const Skin&) = delete;

    // Frees every bitmap and clears Loaded.
    void ReleaseBitmaps();
    // The playlist colours the program starts with.
    void ResetColors();

    // Drawing scale of every sprite, in percent.
    int Scale = 100;
    // Where the base skin's bitmaps are loaded from.
    HINSTANCE Module = nullptr;
    bool Loaded = false;

    HBITMAP BalanceBmp = nullptr;
    HBITMAP CButtonsBmp = nullptr;
    HBITMAP EqMainBmp = nullptr;
    HBITMAP MainBmp = nullptr;
    HBITMAP MonoSterBmp = nullptr;
    HBITMAP NumbersBmp = nullptr;
    HBITMAP PlayPausBmp = nullptr;
    HBITMAP PlEditBmp = nullptr;
    HBITMAP BasePlaylistBarBmp = nullptr;  // base skin only: the playlist's own bottom bar
    HBITMAP PosbarBmp = nullptr;
    HBITMAP ShufRepBmp = nullptr;
    HBITMAP TextBmp = nullptr;  // the bitmap font of the main window's texts
    HBITMAP TitleBarBmp = nullptr;
    HBITMAP VolumeBmp = nullptr;

    COLORREF SelectedBgColor = kDefaultSelectedBgColor;
    COLORREF NormalBgColor = kDefaultNormalBgColor;
    COLORREF CurrentColor = kDefaultCurrentColor;
    COLORREF NormalColor = kDefaultNormalColor;

    // The bitmaps are the base skin's (the playlist takes its bottom bar
    // from BasePlaylistBarBmp then).
    bool IsBaseSkin = true;
};

extern Skin g_skin;

// Where the base skin's resources come from; always true.
bool SetModuleInstance(HINSTANCE instance);

// Whether `dir` holds a skin: at least 13 of its 14 known file names, compared
// without regard to case. A directory that cannot be listed, or whose path
// leaves no room for the skin's file names, is not a skin. `dir` may also
// name a ".wsz" or ".zip" archive of a skin (skin_archive.h).
bool CheckSkinDirectory(const std::string& dir);

// Loads the skin in `dir`. False, with the current skin unchanged, when the
// check fails or "pledit.txt" cannot be read; a missing bitmap is no error
// (its sprites are simply not drawn).
bool LoadSkinDirectory(const std::string& dir);

// Loads the base skin and its default colours; always true.
bool LoadBaseSkin();

// Frees every bitmap of the skin and clears Loaded.
void ReleaseSkinBitmaps();
