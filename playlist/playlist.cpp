// The list primitives. Entries sit in one contiguous array, so positions are
// reached directly; each primitive has the result of the list operations it
// stands for (Swap exchanges the two paths, as removing and re-inserting them
// would).

#include "playlist/playlist.h"

#include <utility>

namespace {

// What GetPath yields for a position past the end.
constexpr const char* kMissingEntryText = "NULL";

}  // namespace

void Playlist::Insert(const std::string& path, int32_t index, const std::string& title) {
    if (index < 0 || index >= Count()) {
        entries_.push_back(PlaylistEntry{path, title});
        return;
    }
    entries_.insert(entries_.begin() + index, PlaylistEntry{path, title});
}

bool Playlist::RemoveAt(int32_t index) {
    if (!Contains(index)) return false;
    entries_.erase(entries_.begin() + index);
    return true;
}

void Playlist::GetPath(int32_t index, std::string& out) const {
    if (index < 0) return;
    out = index < Count() ? entries_[static_cast<size_t>(index)].Path : kMissingEntryText;
}

void Playlist::Swap(int32_t first, int32_t second) {
    if (!Contains(first) || !Contains(second) || first == second) return;
    std::swap(entries_[static_cast<size_t>(first)], entries_[static_cast<size_t>(second)]);
}
