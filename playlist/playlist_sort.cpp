// Sorting by title, file name or path. Keys compare without regard to the case
// of ASCII letters; the sort is not stable, so entries with equal keys may end
// up in any order. Afterwards the current and selected entries are found
// again by their exact paths; with duplicates the last copy wins.

#include <algorithm>
#include <numeric>
#include <optional>

#include "engine/player.h"
#include "platform/path_text.h"
#include "playlist/playlist.h"
#include "playlist/playlist_view.h"
#include "playlist/tag_cache.h"

void Playlist::SortByTitle() {
    if (view_ != nullptr) view_->BeginWaitCursor();
    // Files' tags come through the tag cache, which reads only the files that
    // changed since it last saw them.
    std::vector<std::string> files;
    for (const PlaylistEntry& entry : entries_) {
        if (!platform::IsNetworkLocation(entry.Path)) files.push_back(entry.Path);
    }
    TagCache cache(DefaultTagCachePath());
    const std::vector<std::optional<PlayerTag>> tags = cache.Read(files);
    cache.Save();
    std::vector<std::string> keys;
    keys.reserve(entries_.size());
    size_t file = 0;
    for (const PlaylistEntry& entry : entries_) {
        // A stream sorts by its list's title; a file without a readable tag
        // as an empty title.
        if (platform::IsNetworkLocation(entry.Path)) {
            keys.push_back(platform::FoldCase(entry.Title));
        } else {
            const std::optional<PlayerTag>& tag = tags[file++];
            keys.push_back(tag ? platform::FoldCase(tag->title) : std::string());
        }
    }
    SortByKeys(std::move(keys));
    if (view_ != nullptr) view_->EndWaitCursor();
}

void Playlist::SortByFileName() {
    std::vector<std::string> keys;
    keys.reserve(entries_.size());
    for (const PlaylistEntry& entry : entries_) keys.push_back(platform::FoldCase(platform::FileNamePart(entry.Path)));
    SortByKeys(std::move(keys));
}

void Playlist::SortByPath() {
    std::vector<std::string> keys;
    keys.reserve(entries_.size());
    for (const PlaylistEntry& entry : entries_) keys.push_back(platform::FoldCase(entry.Path));
    SortByKeys(std::move(keys));
}

void Playlist::SortByKeys(std::vector<std::string> keys) {
    const auto pathAt = [this](int32_t index) -> std::optional<std::string> {
        if (!Contains(index)) return std::nullopt;
        return entries_[static_cast<size_t>(index)].Path;
    };
    const std::optional<std::string> currentPath = pathAt(CurrentIndex);
    const std::optional<std::string> selectedPath = pathAt(SelectedIndex);

    std::vector<size_t> order(entries_.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(), [&keys](size_t a, size_t b) { return keys[a] < keys[b]; });
    std::vector<PlaylistEntry> sorted;
    sorted.reserve(entries_.size());
    for (size_t from : order) sorted.push_back(std::move(entries_[from]));
    entries_ = std::move(sorted);

    for (int32_t i = 0; i < Count(); ++i) {
        const std::string& path = entries_[static_cast<size_t>(i)].Path;
        if (currentPath && path == *currentPath) CurrentIndex = i;
        if (selectedPath && path == *selectedPath) SelectedIndex = i;
    }
}
