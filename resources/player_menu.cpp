#include "resources/player_menu.h"

#include <array>

namespace {

using platform::ui::Menu;

struct Submenu {
    std::string_view name;
    Menu items;
};

const std::array<Submenu, 5>& PlayerMenu() {
    static const std::array<Submenu, 5> menu{{
        {kRepeatSubmenu, {{"One", IDM_REPEAT_ONE}, {"All", IDM_REPEAT_ALL}, {"None", IDM_REPEAT_NONE}}},
        {kRemoveMiscSubmenu,
         {{"Remove all dead files", IDM_REMOVE_DEAD_FILES},
          {"Physically remove selected file(s)", IDM_DELETE_SELECTED_FILE}}},
        {kMiscOptionsSubmenu,
         {{"Generate HTML Playlist", IDM_GENERATE_HTML_PLAYLIST},
          {"Read extended info on selection", IDM_READ_EXTENDED_INFO}}},
        {kFileInfoSubmenu, {{"File info", IDM_FILE_INFO}, {"Playlist entry", IDM_PLAYLIST_ENTRY}}},
        {kSortListSubmenu,
         {{"Sort list by title", IDM_SORT_BY_TITLE},
          {"Sort list by filename", IDM_SORT_BY_FILE_NAME},
          {"Sort list by path and filename ", IDM_SORT_BY_PATH},
          {"Reverse list", IDM_REVERSE_LIST},
          {"Randomize list", IDM_RANDOMIZE_LIST}}},
    }};
    return menu;
}

}  // namespace

Menu LoadPlayerSubmenu(std::string_view name) {
    for (const Submenu& submenu : PlayerMenu()) {
        if (submenu.name == name) return submenu.items;
    }
    return {};
}
