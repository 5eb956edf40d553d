#pragma once

// Jump to file: a search field above the entries whose text holds every word
// typed. Up and Down move among them, Enter (or OK, or a double tap) plays
// the one chosen.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform::ui {
class WindowManager;
}

struct JumpToFileList {
    std::vector<std::string> searchTexts;  // what each entry is found by: title, artist, path
    std::vector<std::string> rowTexts;     // how each entry's row reads
};

// The index of the entry chosen, or nothing when the search was left.
std::optional<int32_t> ShowJumpToFileDialog(platform::ui::WindowManager& windows, const JumpToFileList& list);
