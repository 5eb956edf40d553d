// The selection: entries marked by Ctrl and Shift taps and the Sel group's
// buttons, besides the one at `SelectedIndex`.

#include "playlist/playlist.h"

bool Playlist::IsSelected(int32_t index) const {
    return Contains(index) && (index == SelectedIndex || entries_[static_cast<size_t>(index)].Selected);
}

std::vector<int32_t> Playlist::SelectedIndices() const {
    std::vector<int32_t> indices;
    for (int32_t index = 0; index < Count(); ++index) {
        if (IsSelected(index)) indices.push_back(index);
    }
    return indices;
}

int32_t Playlist::SelectionCount() const {
    int32_t count = 0;
    for (int32_t index = 0; index < Count(); ++index) count += IsSelected(index) ? 1 : 0;
    return count;
}

void Playlist::SelectOnly(int32_t index) {
    for (PlaylistEntry& entry : entries_) entry.Selected = false;
    SelectedIndex = Contains(index) ? index : -1;
    if (SelectedIndex >= 0) entries_[static_cast<size_t>(SelectedIndex)].Selected = true;
}

void Playlist::ToggleSelected(int32_t index) {
    if (!Contains(index)) return;
    // The last tapped entry is part of the selection in its own right now.
    if (Contains(SelectedIndex)) entries_[static_cast<size_t>(SelectedIndex)].Selected = true;
    bool& selected = entries_[static_cast<size_t>(index)].Selected;
    selected = !selected;
    if (selected) {
        SelectedIndex = index;
    } else if (SelectedIndex == index) {
        SelectedIndex = -1;
    }
}

void Playlist::SelectRange(int32_t index) {
    if (!Contains(index)) return;
    const int32_t anchor = Contains(SelectedIndex) ? SelectedIndex : index;
    for (int32_t at = 0; at < Count(); ++at) {
        entries_[static_cast<size_t>(at)].Selected = (at >= anchor && at <= index) || (at <= anchor && at >= index);
    }
    SelectedIndex = anchor;
}

void Playlist::SelectAll() {
    for (PlaylistEntry& entry : entries_) entry.Selected = true;
}

void Playlist::SelectNone() { SelectOnly(-1); }

void Playlist::InvertSelection() {
    for (int32_t index = 0; index < Count(); ++index) {
        PlaylistEntry& entry = entries_[static_cast<size_t>(index)];
        entry.Selected = !IsSelected(index);
    }
    if (Contains(SelectedIndex) && !entries_[static_cast<size_t>(SelectedIndex)].Selected) SelectedIndex = -1;
}
