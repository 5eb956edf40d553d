// The five button groups of the playlist window and the commands of their
// popup menus.
//
// A group's lowest button is part of the bar: a first tap opens the group
// (closing any other), showing its buttons above it; a second tap closes it
// and runs the lowest button's command. The popped-up buttons close the
// group and run theirs.

#include <string>

#include "engine/player.h"
#include "platform/path_text.h"
#include "platform/ui/dialog_host.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/popup_menu.h"
#include "platform/ui/window_manager.h"
#include "playlist/list_file.h"
#include "playlist/playlist.h"
#include "playlist/station_list_file.h"
#include "prefs/settings.h"
#include "resources/player_menu.h"
#include "resources/string_table.h"
#include "ui/dialogs/add_file_dialog.h"
#include "ui/dialogs/directory_browser.h"
#include "ui/playlist_window/add_url_dialog.h"
#include "ui/playlist_window/file_info_dialog.h"
#include "ui/playlist_window/playlist_window.h"
#include "ui/shell/application.h"

using namespace platform::ui;

namespace {

constexpr const char* kNotSupported = "It's not supported.";
// Submenus hang from the bottom of the screen, their right edge at the tap.
constexpr int kSubmenuTop = 300;
// The rows the popped-up buttons cover.
constexpr int kRowsUnderOpenGroup = 4;

const FileFilter kListFilter{"Tunelark Playlist (*.lst)", "*.lst"};
const FileFilter kStationListFilter{"Station list (*.m3u8;*.m3u;*.pls)", "*.m3u8;*.m3u;*.pls"};
const FileFilter kM3u8Filter{"M3U8 playlist (*.m3u8)", "*.m3u8"};
constexpr const char* kListExtension = "lst";
constexpr const char* kSavedListKinds = "Playlists are saved as .lst or .m3u8 files.";
constexpr const char* kNotAnAddress = "Enter an address that starts with http:// or https://.";
constexpr const char* kStreamNotAFile = "This entry is a stream's address, not a file: there is nothing to delete.";

// True, with the message, for a ".lst" file too large to be a playlist.
bool ListFileTooLarge(const std::string& path, std::string& message) {
    if (!IsTooLargeForAList(path)) return false;
    message = "\"" + path + "\" is too large to be a playlist.";
    return true;
}

}  // namespace

void PlaylistWindow::OpenGroup(PlaylistGroup group) {
    CloseAllGroups();
    open_[static_cast<size_t>(group)] = true;
    for (int level = 0; level < PlaylistGroupButtonCount(group); ++level) DrawGroupButton({group, level}, false);
}

void PlaylistWindow::CloseGroup(PlaylistGroup group) {
    if (!GroupOpen(group)) return;
    open_[static_cast<size_t>(group)] = false;
    // Uncover the rows under the popped-up buttons, then draw the bar again.
    const PlaylistGeometry geometry = Geometry();
    const int32_t lastRow = firstRow_ + geometry.DrawnRows() - 1;
    for (int32_t index = lastRow - kRowsUnderOpenGroup + 1; index <= lastRow; ++index) RepaintRow(index);
    RedrawBar();
}

bool PlaylistWindow::CloseAllGroups() {
    bool anyOpen = false;
    for (PlaylistGroup group :
         {PlaylistGroup::Add, PlaylistGroup::Remove, PlaylistGroup::Sel, PlaylistGroup::Misc, PlaylistGroup::List}) {
        anyOpen = anyOpen || GroupOpen(group);
        CloseGroup(group);
    }
    return anyOpen;
}

void PlaylistWindow::RunLowestButton(PlaylistGroup group, int x) {
    if (!GroupOpen(group)) {
        OpenGroup(group);
        return;
    }
    CloseGroup(group);
    switch (group) {
        case PlaylistGroup::Add: AddFiles(); break;
        case PlaylistGroup::Remove:
            List().RemoveSelected();
            RepaintList();
            break;
        case PlaylistGroup::Sel:
            List().SelectAll();
            RepaintRows();
            break;
        case PlaylistGroup::Misc: ShowSubmenu(kMiscOptionsSubmenu.data(), x); break;
        case PlaylistGroup::List: LoadList(); break;
    }
}

void PlaylistWindow::RunButton(GroupButton button, int x) {
    if (button.level == 0) {
        RunLowestButton(button.group, x);
        return;
    }
    CloseGroup(button.group);
    Playlist& list = List();
    switch (button.group) {
        case PlaylistGroup::Add:
            if (button.level == 1) AddDirectory();
            if (button.level == 2) AddUrl();
            break;
        case PlaylistGroup::Remove:
            if (button.level == 1) list.Crop();
            if (button.level == 2) list.RemoveAll();
            if (button.level == 3) {
                ShowSubmenu(kRemoveMiscSubmenu.data(), x);
                return;
            }
            RepaintList();
            break;
        case PlaylistGroup::Sel:
            // As classic skins label them: "SEL ALL" lowest, "SEL ZERO", "INV SEL".
            if (button.level == 1) list.SelectNone();
            if (button.level == 2) list.InvertSelection();
            RepaintRows();
            break;
        case PlaylistGroup::Misc:
            ShowSubmenu(button.level == 1 ? kFileInfoSubmenu.data() : kSortListSubmenu.data(), x);
            break;
        case PlaylistGroup::List:
            if (button.level == 1) SaveList();
            if (button.level == 2) {
                list.RemoveAll();
                ListReplaced();
            }
            break;
    }
}

void PlaylistWindow::ShowSubmenu(const char* name, int x) {
    const Menu menu = LoadPlayerSubmenu(name);
    TrackPopupMenu(application_.Windows(), menu, TPM_RIGHTALIGN, ScreenRect().left + x, kSubmenuTop, *this);
}

void PlaylistWindow::OnMenuCommand(uint32_t command) {
    Playlist& list = List();
    switch (command) {
        case IDM_REMOVE_DEAD_FILES: list.RemoveDeadFiles(); break;
        case IDM_DELETE_SELECTED_FILE: DeleteSelectedFile(); return;
        case IDM_SORT_BY_TITLE: list.SortByTitle(); break;
        case IDM_SORT_BY_FILE_NAME: list.SortByFileName(); break;
        case IDM_SORT_BY_PATH: list.SortByPath(); break;
        case IDM_REVERSE_LIST: list.Reverse(); break;
        case IDM_RANDOMIZE_LIST: list.Randomize(); break;
        case IDM_FILE_INFO: ShowSelectedEntryInfo(); return;
        case IDM_PLAYLIST_ENTRY:
        case IDM_GENERATE_HTML_PLAYLIST:
        case IDM_READ_EXTENDED_INFO: ShowNotSupported(); return;
        default: return;
    }
    RepaintList();
}

void PlaylistWindow::ShowSelectedEntryInfo() {
    Playlist& list = List();
    if (list.SelectedIndex < 0 || list.SelectedIndex >= list.Count()) return;
    const std::string& path = list.Entries()[static_cast<size_t>(list.SelectedIndex)].Path;
    if (!platform::IsNetworkLocation(path)) {
        ShowFileInfo(application_.Windows(), *this, path);
        return;
    }
    // Only the loaded stream's station has said anything of itself.
    StationInfoTexts station;
    PlayerEngine* engine = application_.Engine();
    if (list.SelectedIndex == list.CurrentIndex && PlayerGetSourceKind(engine) == SOURCE_MPEG_STREAM) {
        PlayerGetStreamInfo(engine, &station.name, &station.genre, &station.url);
    }
    ShowStationInfo(application_.Windows(), path, station);
}

void PlaylistWindow::ShowNotSupported() { MessageBox(application_.Windows(), kNotSupported, kProgramCaption, MB_OK); }

void PlaylistWindow::AddFiles() {
    std::string selection;
    if (!ShowAddFileDialog(application_.Windows(), *this, g_settings.LastDir, selection)) return;
    List().AddFiles(selection, g_settings.LastDir);
    RepaintList();
}

void PlaylistWindow::AddDirectory() {
    std::string directory = AddingStartDirectory(g_settings.LastDir);
    if (BrowseForDirectory(application_.Windows(), *this, directory) != IDOK) return;
    List().AddDirectory(directory, g_settings.LastDir);
    RepaintList();
}

void PlaylistWindow::AddUrl() {
    WindowManager& windows = application_.Windows();
    std::string url;
    if (!ShowAddUrlDialog(windows, url) || url.empty()) return;
    if (!platform::IsNetworkLocation(url)) {
        MessageBox(windows, kNotAnAddress, kProgramCaption, MB_OK);
        return;
    }
    std::string errors;
    if (!application_.AddItems(List(), {url}, errors)) return;
    application_.ReportOpenErrors(errors);
    RepaintList();
}

void PlaylistWindow::LoadList() {
    OpenFileName request;
    request.owner = &application_.Frame();
    request.filters = {kListFilter, kStationListFilter};
    request.initialDirectory = g_settings.LastDir;
    if (!GetOpenFileName(application_.Windows(), request)) return;
    Playlist& list = List();
    // A list that cannot be read leaves the playlist and playback as they were.
    Playlist loaded;
    std::string error;
    if (IsStationListName(request.file) ? !LoadStationListFile(loaded, request.file, error)
                                        : !loaded.LoadListFile(request.file) && ListFileTooLarge(request.file, error)) {
        MessageBox(application_.Windows(), error, kProgramCaption, MB_OK);
        return;
    }
    // Stopped as the Stop button stops, so the stop is not taken for the end
    // of a track, which would play an entry of the new list.
    application_.Main().StopAction();
    list.Clear();
    for (const PlaylistEntry& entry : loaded.Entries()) list.Insert(entry.Path, -1, entry.Title);
    list.CurrentIndex = list.Count() > 0 ? 0 : -1;
    list.SelectedIndex = -1;
    list.ShowCurrent = true;
    ListReplaced();
}

void PlaylistWindow::SaveList() {
    OpenFileName request;
    request.owner = this;
    request.filters = {kListFilter, kM3u8Filter};
    request.defaultExtension = kListExtension;
    request.initialDirectory = g_settings.LastDir;
    request.flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;
    if (!GetSaveFileName(application_.Windows(), request)) return;
    if (platform::EndsWithIgnoringCase(request.file, ".pls")) {
        MessageBox(application_.Windows(), kSavedListKinds, kProgramCaption, MB_OK);
    } else if (IsStationListName(request.file)) {
        SaveM3u8File(List(), request.file);
    } else {
        List().SaveListFile(request.file);
    }
}

void PlaylistWindow::DeleteSelectedFile() {
    WindowManager& windows = application_.Windows();
    if (MessageBox(windows, LoadPlayerString(IDS_DELETE_FILES_WARNING), "Warning", MB_OKCANCEL) != IDOK) return;
    Playlist& list = List();
    if (list.SelectedIndex < 0 || list.SelectedIndex >= list.Count()) return;
    const std::string& path = list.Entries()[static_cast<size_t>(list.SelectedIndex)].Path;
    if (platform::IsNetworkLocation(path)) {
        MessageBox(windows, kStreamNotAFile, "Error", MB_OK);
        return;
    }
    if (MessageBox(windows, "Delete this file: \"" + path + "\"", "Confirm", MB_OKCANCEL) != IDOK) return;
    if (list.DeleteSelectedFile() == DeleteFileResult::Failed) {
        MessageBox(windows, "Delete error!", "Error", MB_OK);
        return;
    }
    RepaintList();
}

void PlaylistWindow::ListReplaced() {
    titles_.clear();
    askedCount_ = -1;  // the same count may hold other files
    listTotal_.reset();
    SetFirstVisibleRow(0);
}
