#pragma once

// The tag cache's file: what was read of each file's tags, with the size and
// modification time the file had then. Binary, little-endian:
//
//   "TUNELARK TAGS 2\n"
//   per entry: path, size (u64), modified (i64 nanoseconds), tagged (u8),
//              title, artist, album, comment, genre text,
//              year, track, genre (i32 each), length (i64 milliseconds)
//   where a text is its byte count (u32) and its UTF-8 bytes.
//
// The file is the program's own, but it lies in the user's cache folder and
// may be damaged, truncated or from another version (whose marker differs):
// anything that does not parse whole is ignored whole, and every count is
// checked before it is used.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/player.h"

// The size and modification time a file had when its tag was read; a file
// whose stamp changed is read again.
struct FileStamp {
    uint64_t size = 0;
    int64_t modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

// A length not read yet, and one that could not be read (the file does not
// open as audio or does not know its length).
constexpr int64_t kLengthNotRead = -1;
constexpr int64_t kLengthUnreadable = -2;

struct TagCacheEntry {
    std::string path;
    FileStamp stamp;
    bool tagged = false;  // false: the file was read and has no tag
    PlayerTag tag;
    // The play length in milliseconds, or one of the two values above: the
    // tags and the length are read at different times.
    int64_t lengthMs = kLengthNotRead;
};

// Bounds that keep a damaged or hostile cache file from costing memory or time.
constexpr size_t kTagCacheMaxEntries = 50000;
constexpr size_t kTagCacheMaxFileBytes = 64 * 1024 * 1024;
constexpr size_t kTagCacheMaxPathBytes = 4096;
constexpr size_t kTagCacheMaxTextBytes = 4 * kTagTextCharacters;

std::string FormatTagCache(const std::vector<TagCacheEntry>& entries);

// The entries of a whole, well-formed cache file; nothing otherwise.
std::optional<std::vector<TagCacheEntry>> ParseTagCache(std::string_view bytes);
