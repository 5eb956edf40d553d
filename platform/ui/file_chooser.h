#pragma once

// What a file dialog shows and what the user has chosen so far, apart from
// how it is drawn: the folder shown and its entries, the chosen files, the
// keyboard highlight, and the name typed for saving. Taps and keys both go
// through these calls, so the stylus and the keyboard follow one set of rules.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/file_dialog.h"
#include "platform/ui/file_listing.h"

namespace platform::ui {

enum class ChooserMode {
    OpenOne,   // one file, chosen by a tap or by moving the highlight onto it
    OpenMany,  // taps and Space tick and untick files
    Save,      // a tap on a file or the highlight moving onto it fills the name
};

class FileChooser {
public:
    static constexpr size_t kNoRow = static_cast<size_t>(-1);

    // Opens in `directory`, which must exist; `filterIndex` is 1-based and
    // falls back to the first filter when out of range.
    FileChooser(ChooserMode mode, const std::string& directory, std::vector<FileFilter> filters, int filterIndex);

    ChooserMode Mode() const { return mode_; }
    const std::string& Directory() const { return directory_; }
    const std::vector<DirectoryEntry>& Entries() const { return entries_; }
    const std::vector<FileFilter>& Filters() const { return filters_; }
    int FilterIndex() const { return filterIndex_; }
    // The highlighted row, or kNoRow.
    size_t Highlight() const { return highlight_; }
    bool IsChosen(size_t row) const { return row < chosen_.size() && chosen_[row]; }
    // Counts the listings made, so a view can scroll back to the top of a new one.
    uint32_t ListingCount() const { return listingCount_; }
    // The name field of the save dialog.
    std::string& Name() { return name_; }

    // Shows `directory`, with nothing chosen or highlighted.
    void Open(const std::string& directory);
    // Shows the parent folder with the one just left highlighted.
    void GoUp();
    bool AtTop() const { return directory_ == "/"; }
    // Reads the folder again, as after the file system changed under it.
    void Relist();
    void ChooseFilter(int filterIndex);

    // A tap on `row`. A folder opens; a file is ticked, chosen or named as
    // the mode says. A double tap counts only when both taps hit the same
    // file (the first may have opened a folder under the second): that file
    // alone is then chosen, and true says the dialog should end.
    bool Tap(size_t row, bool doubleTap);

    // Moves the highlight by `rows` (negative is up), stopping at the ends;
    // with no highlight, going down starts at the top and up at the bottom.
    void MoveHighlight(std::ptrdiff_t rows);
    void ForgetHighlight() { highlight_ = kNoRow; }
    // Space: ticks or unticks (or chooses, or names) the highlighted file.
    void ToggleHighlighted();
    // Enter on a folder: opens it and returns true; false when the highlight is not on one.
    bool OpenHighlightedFolder();
    // Enter on files: with nothing chosen the highlighted file is chosen.
    // True when the dialog has something to confirm.
    bool ChooseForConfirm();

    bool HasChoice() const;
    // The chosen names in list order, or the typed name for saving.
    std::vector<std::string> ChosenNames() const;

private:
    bool IsFileRow(size_t row) const { return row < entries_.size() && !entries_[row].isDirectory; }
    // Makes `row` the choice: alone, or added to the others when ticking.
    void Choose(size_t row, bool toggle);
    void FollowHighlight();
    const std::string& Patterns() const { return filters_[static_cast<size_t>(filterIndex_ - 1)].patterns; }

    const ChooserMode mode_;
    std::string directory_;
    std::vector<DirectoryEntry> entries_;
    std::vector<bool> chosen_;  // one per entry
    std::vector<FileFilter> filters_;
    int filterIndex_ = 1;
    size_t highlight_ = kNoRow;
    size_t lastTapped_ = kNoRow;  // the file a double tap must hit again
    uint32_t listingCount_ = 0;
    std::string name_;
};

}  // namespace platform::ui
