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
    const std::vector<int32_t> selected = SelectedIndices();
    if (selected.size() <= 1) {
        if (!selected.empty()) CropToOne(selected.front());
        return;
    }
    const bool currentKept = IsSelected(CurrentIndex);
    const bool showCurrent = ShowCurrent;
    for (int32_t index = Count() - 1; index >= 0; --index) {
        if (!IsSelected(index)) RemoveKeepingPositions(index);
    }
    if (!currentKept) CurrentIndex = -1;
    ShowCurrent = showCurrent;
}

void Playlist::CropToOne(int32_t index) {
    const std::string path = entries_[static_cast<size_t>(index)].Path;
    Clear();
    Insert(path, -1);
    CurrentIndex = index == CurrentIndex ? 0 : -1;
    SelectedIndex = 0;
}

void Playlist::RemoveSelected() {
    const std::vector<int32_t> selected = SelectedIndices();
    if (selected.size() <= 1) {
        if (!selected.empty()) RemoveOne(selected.front());
        return;
    }
    for (auto index = selected.rbegin(); index != selected.rend(); ++index) RemoveKeepingPositions(*index);
    SelectedIndex = -1;
    if (Count() == 0) AfterEmptied();
}

void Playlist::RemoveOne(int32_t removed) {
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
    if (!Contains(SelectedIndex) || !Contains(target) || SelectedIndex == target) return;
    if (SelectionCount() == 1) {
        MoveOne(SelectedIndex, target);
    } else {
        MoveSelectionBy(target - SelectedIndex);
    }
}

void Playlist::MoveOne(int32_t source, int32_t target) {
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

// The selected entries keep their spacing; the others fill the places left,
// in their order.
void Playlist::MoveSelectionBy(int32_t distance) {
    const std::vector<int32_t> selected = SelectedIndices();
    distance = std::clamp(distance, -selected.front(), Count() - 1 - selected.back());
    if (distance == 0) return;
    std::vector<int32_t> newIndex(entries_.size(), -1);
    std::vector<bool> taken(entries_.size(), false);
    for (const int32_t index : selected) {
        newIndex[static_cast<size_t>(index)] = index + distance;
        taken[static_cast<size_t>(index + distance)] = true;
    }
    size_t free = 0;
    for (size_t index = 0; index < entries_.size(); ++index) {
        if (newIndex[index] >= 0) continue;
        while (taken[free]) ++free;
        newIndex[index] = static_cast<int32_t>(free++);
    }
    std::vector<PlaylistEntry> moved(entries_.size());
    for (size_t index = 0; index < entries_.size(); ++index) {
        moved[static_cast<size_t>(newIndex[index])] = std::move(entries_[index]);
    }
    entries_ = std::move(moved);
    for (int32_t* position : {&SelectedIndex, &CurrentIndex}) {
        if (Contains(*position)) *position = newIndex[static_cast<size_t>(*position)];
    }
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
