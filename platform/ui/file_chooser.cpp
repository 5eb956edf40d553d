#include "platform/ui/file_chooser.h"

#include <algorithm>

namespace platform::ui {
namespace {

// Shown when the caller gives no filter at all.
const FileFilter kAllFiles{"All Files (*.*)", "*.*"};

}  // namespace

FileChooser::FileChooser(ChooserMode mode, const std::string& directory, std::vector<FileFilter> filters,
                         int filterIndex)
    : mode_(mode), filters_(std::move(filters)) {
    if (filters_.empty()) filters_.push_back(kAllFiles);
    filterIndex_ = filterIndex >= 1 && static_cast<size_t>(filterIndex) <= filters_.size() ? filterIndex : 1;
    Open(directory);
}

void FileChooser::Open(const std::string& directory) {
    directory_ = directory;
    Relist();
}

void FileChooser::Relist() {
    entries_ = ListDirectory(directory_, Patterns());
    chosen_.assign(entries_.size(), false);
    highlight_ = kNoRow;
    lastTapped_ = kNoRow;
    ++listingCount_;
}

void FileChooser::GoUp() {
    if (AtTop()) return;
    const std::string left(FileNamePart(directory_));
    Open(ParentDirectory(directory_));
    const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const DirectoryEntry& entry) {
        return entry.isDirectory && entry.name == left;
    });
    if (found != entries_.end()) highlight_ = static_cast<size_t>(found - entries_.begin());
}

void FileChooser::ChooseFilter(int filterIndex) {
    if (filterIndex < 1 || static_cast<size_t>(filterIndex) > filters_.size() || filterIndex == filterIndex_) return;
    filterIndex_ = filterIndex;
    Relist();
}

void FileChooser::Choose(size_t row, bool toggle) {
    if (mode_ == ChooserMode::Save) {
        name_ = entries_[row].name;
        return;
    }
    const bool wasChosen = chosen_[row];
    if (!toggle) std::fill(chosen_.begin(), chosen_.end(), false);
    chosen_[row] = toggle ? !wasChosen : true;
}

bool FileChooser::Tap(size_t row, bool doubleTap) {
    if (row >= entries_.size()) return false;
    if (doubleTap) {
        if (row != lastTapped_ || !IsFileRow(row)) return false;
        Choose(row, false);
        return true;
    }
    if (entries_[row].isDirectory) {
        Open(JoinPath(directory_, entries_[row].name));
        return false;
    }
    highlight_ = row;
    lastTapped_ = row;
    Choose(row, mode_ == ChooserMode::OpenMany);
    return false;
}

void FileChooser::MoveHighlight(std::ptrdiff_t rows) {
    if (entries_.empty() || rows == 0) return;
    const auto count = static_cast<std::ptrdiff_t>(entries_.size());
    std::ptrdiff_t from = static_cast<std::ptrdiff_t>(highlight_);
    if (highlight_ == kNoRow) from = rows > 0 ? -1 : count;
    // Keeps a huge step (Home, End) from overflowing.
    const std::ptrdiff_t step = std::clamp(rows, -count, count);
    highlight_ = static_cast<size_t>(std::clamp<std::ptrdiff_t>(from + step, 0, count - 1));
    FollowHighlight();
}

// Where one file at a time is chosen, the choice follows the highlight, as a
// list's selection follows its focus on the desktop.
void FileChooser::FollowHighlight() {
    if (mode_ == ChooserMode::OpenMany) return;
    if (IsFileRow(highlight_)) {
        Choose(highlight_, false);
    } else if (mode_ == ChooserMode::OpenOne) {
        std::fill(chosen_.begin(), chosen_.end(), false);
    }
}

void FileChooser::ToggleHighlighted() {
    if (IsFileRow(highlight_)) Choose(highlight_, mode_ == ChooserMode::OpenMany);
}

bool FileChooser::OpenHighlightedFolder() {
    if (highlight_ >= entries_.size() || !entries_[highlight_].isDirectory) return false;
    Open(JoinPath(directory_, entries_[highlight_].name));
    return true;
}

bool FileChooser::ChooseForConfirm() {
    if (!HasChoice() && IsFileRow(highlight_)) Choose(highlight_, false);
    return HasChoice();
}

bool FileChooser::HasChoice() const {
    if (mode_ == ChooserMode::Save) return name_.find_first_not_of(' ') != std::string::npos;
    return std::find(chosen_.begin(), chosen_.end(), true) != chosen_.end();
}

std::vector<std::string> FileChooser::ChosenNames() const {
    if (mode_ == ChooserMode::Save) return HasChoice() ? std::vector<std::string>{name_} : std::vector<std::string>{};
    std::vector<std::string> names;
    for (size_t row = 0; row < entries_.size(); ++row) {
        if (chosen_[row]) names.push_back(entries_[row].name);
    }
    return names;
}

}  // namespace platform::ui
