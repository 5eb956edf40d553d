// The playlist window's keys while it has the keyboard, and jump to file.

#include <algorithm>

#include "platform/ui/dialog_host.h"
#include "playlist/playlist.h"
#include "ui/playlist_window/jump_to_file_dialog.h"
#include "ui/playlist_window/playlist_window.h"
#include "ui/shell/application.h"

using namespace platform::ui;

bool PlaylistWindow::HandleKey(uint32_t virtualKey) {
    Playlist& list = List();
    if (virtualKey == VK_RETURN) {
        if (list.IsSelected(list.SelectedIndex)) PlayIndex(list.SelectedIndex);
        return true;
    }
    const std::optional<std::ptrdiff_t> rows = ListMoveForKey(virtualKey, Geometry().wholeRows, list.Count());
    if (!rows.has_value()) return false;
    if (list.Count() == 0) return true;
    // With nothing selected, going down starts at the top and up at the bottom.
    const int32_t from = list.SelectedIndex >= 0 ? list.SelectedIndex : (*rows > 0 ? -1 : list.Count());
    SelectAndShow(static_cast<int32_t>(std::clamp<std::ptrdiff_t>(from + *rows, 0, list.Count() - 1)));
    return true;
}

void PlaylistWindow::SelectAndShow(int32_t index) {
    List().SelectOnly(index);
    const int wholeRows = std::max(Geometry().wholeRows, 1);
    if (index < firstRow_) {
        SetFirstVisibleRow(index);
    } else if (index >= firstRow_ + wholeRows) {
        SetFirstVisibleRow(index - wholeRows + 1);
    } else {
        RepaintRows();
    }
}

void PlaylistWindow::RemoveSelectedEntries() {
    CloseAllGroups();
    List().RemoveSelected();
    RepaintList();
}

void PlaylistWindow::JumpToFile() {
    CloseAllGroups();
    const std::vector<PlaylistEntry>& entries = List().Entries();
    JumpToFileList texts;
    texts.searchTexts.reserve(entries.size());
    texts.rowTexts.reserve(entries.size());
    for (size_t index = 0; index < entries.size(); ++index) {
        const PlaylistEntry& entry = entries[index];
        std::string title = KnownTitleOf(entry);
        texts.searchTexts.push_back(title + '\n' + entry.Title + '\n' + entry.Path);
        texts.rowTexts.push_back(std::to_string(index + 1) + ". " + std::move(title));
    }
    const std::optional<int32_t> chosen = ShowJumpToFileDialog(application_.Windows(), texts);
    if (!chosen.has_value()) return;
    SelectAndShow(*chosen);
    PlayIndex(*chosen);
}
