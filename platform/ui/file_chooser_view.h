#pragma once

// The file dialogs' widgets, drawn with ImGui inside the dialog window: the
// folder's path and an Up button, the scrolling list, the name field when
// saving, the file-type drop-down, and OK and Cancel.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/ui/file_chooser.h"

namespace platform::ui {

class FileChooserView {
public:
    explicit FileChooserView(FileChooser& chooser) : chooser_(chooser) {}

    // One frame of the widgets; calls `end(IDOK)` on OK or a double tap on a
    // file, `end(IDCANCEL)` on Cancel.
    void Draw(const std::function<void(int)>& end);

    // The list's keys, seen before the dialog's own; returns true when it
    // took the key. Enter is left to the dialog (which OKs) only when there
    // is something to confirm.
    bool HandleKey(uint32_t virtualKey);

private:
    void DrawLocation();
    void DrawList(float height, const std::function<void(int)>& end);
    // Returns true when the row was tapped.
    bool DrawRow(size_t row);
    void DrawNameField();
    void DrawFilter();
    void DrawButtons(const std::function<void(int)>& end);
    // Scrolls the list, before it begins, where the last change needs it.
    void PlaceListScroll();
    void MoveHighlight(std::ptrdiff_t rows);

    FileChooser& chooser_;
    // The listing the list last showed, its scroll and how many rows fit.
    uint32_t shownListing_ = 0;
    float listScroll_ = 0;
    float listInnerHeight_ = 0;
    std::ptrdiff_t visibleRows_ = 1;
    // The keyboard moved the highlight: the list scrolls to keep it in view.
    bool scrollToHighlight_ = false;
    // The name as the field last showed it; a change from elsewhere (a tap
    // on a file) must reach a field that is being edited.
    std::string shownName_;
    // The caret goes after the whole name when the field next edits: at the
    // start, and after a change from elsewhere.
    bool caretToEnd_ = true;
    // The ImGui frame that last asked for the keyboard to go to the name field.
    int focusAskedInFrame_ = -1;
};

}  // namespace platform::ui
