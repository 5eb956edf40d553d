#pragma once

// The "Open Directory" dialog's widgets, drawn with ImGui inside the dialog
// window: the tree, one row per shown item with its expand arrow, mark and
// name, and OK and Cancel under it.
//
// A tap selects a row, a tap on its arrow or a double tap expands or
// collapses it. Keys: Up and Down (Page Up, Page Down, Home, End) move the
// selection, Right expands or goes to the first child, Left collapses or
// goes to the parent; Enter (OK) and Escape (Cancel) are the dialog's.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "ui/dialogs/directory_browser_tree.h"

class DirectoryBrowserView {
public:
    explicit DirectoryBrowserView(DirectoryTree& tree) : tree_(tree) {}

    // One frame of the widgets; calls `end(IDOK)` on OK, `end(IDCANCEL)` on Cancel.
    void Draw(const std::function<void(int)>& end);

    // The tree's keys, seen before the dialog's own; true when it took the key.
    bool HandleKey(uint32_t virtualKey);

private:
    // What a tap on a row asks for.
    enum class RowTap { None, Select, Toggle, SelectAndToggle };

    void DrawTree(float height);
    RowTap DrawRow(const DirectoryTreeRow& row);
    void DrawButtons(const std::function<void(int)>& end);
    // The least scroll from where the list is now that shows the selection,
    // or the one that puts it in the middle.
    float ScrollShowingSelection(const std::vector<DirectoryTreeRow>& rows, float innerHeight) const;
    void MoveSelection(std::ptrdiff_t rows);

    DirectoryTree& tree_;
    // The list's scroll in the last frame, and how many rows it shows.
    float listScroll_ = 0;
    std::ptrdiff_t visibleRows_ = 1;
    // The selection must be brought into view: at the start (the preselected
    // item) and after each key that moves it.
    bool scrollToSelection_ = true;
    // At the start the selection goes to the middle, between the siblings
    // and the children a user is likely to choose next.
    bool centreSelection_ = true;
    // The scroll asked for and not yet reached, or -1. A list shown for the
    // first time has no height to scroll in until its second frame. Set even
    // when unchanged: ImGui keeps the scroll of the last dialog's list.
    float wantedScroll_ = -1;
};
