#pragma once

// Menu resource 158: the popup menus of the main window's Repeat toggle and
// of the playlist window's button groups, as submenus found by name.

#include <cstdint>
#include <string_view>

#include "platform/ui/popup_menu.h"

enum PlayerMenuCommand : uint32_t {
    IDM_REPEAT_ONE = 158,
    IDM_REPEAT_ALL = 40007,
    IDM_REMOVE_DEAD_FILES = 40008,
    IDM_REPEAT_NONE = 40009,
    IDM_DELETE_SELECTED_FILE = 40010,
    IDM_SORT_BY_TITLE = 40011,
    IDM_SORT_BY_FILE_NAME = 40012,
    IDM_SORT_BY_PATH = 40013,
    IDM_REVERSE_LIST = 40014,
    IDM_RANDOMIZE_LIST = 40015,
    IDM_FILE_INFO = 40016,
    IDM_PLAYLIST_ENTRY = 40017,
    IDM_GENERATE_HTML_PLAYLIST = 40018,
    IDM_READ_EXTENDED_INFO = 40019,
};

// The submenus in the resource's order: "Repeat", "RemMisc", "MiscOpts",
// "FileInf", "SortList".
inline constexpr std::string_view kRepeatSubmenu = "Repeat";
inline constexpr std::string_view kRemoveMiscSubmenu = "RemMisc";
inline constexpr std::string_view kMiscOptionsSubmenu = "MiscOpts";
inline constexpr std::string_view kFileInfoSubmenu = "FileInf";
inline constexpr std::string_view kSortListSubmenu = "SortList";

// A fresh copy of the named submenu (callers check items in their copy); an
// empty menu for a name the resource does not have.
platform::ui::Menu LoadPlayerSubmenu(std::string_view name);
