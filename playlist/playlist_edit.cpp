// Operations that reorder, prune or move entries while keeping `CurrentIndex`
// and `SelectedIndex` on the entries they name.

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>

#include "engine/player.h"
#include "platform/path_text.h"
#include "playlist/playlist.h"
#include "playlist/playlist_view.h"

void Playlist::Reverse() {
    const int32_t count = Count();
    for (int32_t i = 0; i < count / 2; ++i) Swap(i, count - 1 - i);
    // Only positions inside the list have a mirror image.
    for (int32_t* index : {&SelectedIndex, &CurrentIndex}) {
        if (Contains(*index)) *index = count - *index - 1;
    }
}

void Playlist::Randomize() {
    const int32_t count = Count();
    for (int32_t i = 0; i < count; ++i) {
        const int32_t j = std::rand() % count;
        Swap(i, j);
        for (int32_t* index : {&SelectedIndex, &CurrentIndex}) {
            if (*index == i) {
                *index = j;
            } else if (*index == j) {
                *index = i;
            }
        }
    }
}

void Playlist::RemoveDeadFiles() {
    const bool hadEntries = Count() > 0;
    int32_t i = 0;
    while (i < Count()) {
        // A stream cannot be checked without connecting: it stays.
        const std::string& path = entries_[static_cast<size_t>(i)].Path;
        if (platform::IsNetworkLocation(path) || PlayerIsPlayableFile(path) != 0) {
            ++i;
        } else {
            RemoveKeepingPositions(i);  // the next entry moved into position i
        }
    }
    if (hadEntries && Count() == 0) AfterEmptied();
}

void Playlist::Crop() {
    if (!Contains(SelectedIndex)) return;
    const std::string path = entries_[static_cast<size_t>(SelectedIndex)].Path;
    Clear();
    Insert(path, -1);
    CurrentIndex = SelectedIndex == CurrentIndex ? 0 : -1;
    SelectedIndex = 0;
}

void Playlist::RemoveSelected() {
    const int32_t removed = SelectedIndex;
    if (!RemoveAt(removed)) return;
    if (Count() == 0) {
        AfterEmptied();
        return;
    }
    if (removed == CurrentIndex) {
        // The predecessor becomes current, so the end of the playing track
        // continues with the entry that followed the removed one.
        ShowCurrent = false;
        --CurrentIndex;
    } else {
        ShowCurrent = true;
        if (removed < CurrentIndex) --CurrentIndex;
    }
    SelectedIndex = -1;
}

void Playlist::RemoveAll() {
    Clear();
    AfterEmptied();
}

void Playlist::MoveSelectedTo(int32_t target) {
    const int32_t source = SelectedIndex;
    if (!Contains(source) || !Contains(target) || source == target) return;
    const auto at = [this](int32_t index) { return entries_.begin() + index; };
    if (source < target) {
        std::rotate(at(source), at(source + 1), at(target + 1));
        if (CurrentIndex == source) {
            CurrentIndex = target;
        } else if (CurrentIndex > source && CurrentIndex <= target) {
            --CurrentIndex;
        }
    } else {
        std::rotate(at(target), at(source), at(source + 1));
        if (CurrentIndex == source) {
            CurrentIndex = target;
        } else if (CurrentIndex >= target && CurrentIndex < source) {
            ++CurrentIndex;
        }
    }
    SelectedIndex = target;
}

bool (*g_deleteFile)(const std::string& path) = [](const std::string& path) { return ::unlink(path.c_str()) == 0; };

DeleteFileResult Playlist::DeleteSelectedFile() {
    if (!Contains(SelectedIndex)) return DeleteFileResult::NothingSelected;
    const std::string& path = entries_[static_cast<size_t>(SelectedIndex)].Path;
    if (platform::IsNetworkLocation(path)) return DeleteFileResult::NotAFile;
    // A path with a zero byte would name a different file to the system.
    if (path.find('\0') != std::string::npos || !g_deleteFile(path)) return DeleteFileResult::Failed;
    RemoveSelected();
    return DeleteFileResult::Deleted;
}

void Playlist::RemoveKeepingPositions(int32_t index) {
    if (!RemoveAt(index)) return;
    if (SelectedIndex == index) {
        SelectedIndex = -1;
    } else if (SelectedIndex > index) {
        --SelectedIndex;
    }
    if (CurrentIndex == index) ShowCurrent = false;
    if (CurrentIndex >= index) --CurrentIndex;
}

void Playlist::AfterEmptied() {
    CurrentIndex = -1;
    SelectedIndex = -1;
    if (view_ != nullptr) view_->SetFirstVisibleRow(0);
}
