#pragma once

// What was read of files' tags, kept between runs in the cache folder, so a
// long list sorts by title reading only the files that changed since.
// An entry holds while the file's size and modification time are the ones
// it was read at.

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/player.h"
#include "playlist/tag_cache_file.h"

class TagCache {
public:
    // Loads the cache file at `cachePath` (empty: none); a missing, damaged
    // or foreign file gives an empty cache.
    explicit TagCache(std::string cachePath);

    // The tags of the files at `paths`, in order; nothing for a file without
    // a readable tag. Unchanged files come from the cache, the others are
    // read (on a few threads when there are many) and remembered.
    std::vector<std::optional<PlayerTag>> Read(const std::vector<std::string>& paths);

    // The play length of the file at `path` in milliseconds, read with
    // `engine` (its tag too, when the cache has none for the file as it is
    // now) unless the cache knows it; nothing when the file is gone or its
    // length cannot be read.
    std::optional<int64_t> ReadLength(const std::string& path, PlayerEngine* engine);

    // Writes the cache whole when a read changed it, so a crash mid-write
    // leaves the old file. The entries used last come first and at most
    // kTagCacheMaxEntries are kept. False when the write failed.
    bool Save();

private:
    std::string cachePath_;
    std::unordered_map<std::string, TagCacheEntry> entries_;
    std::vector<std::string> lastUsed_;
    bool changed_ = false;
};

// "tags.cache" in the cache folder; empty when there is no cache folder.
std::string DefaultTagCachePath();
