#pragma once

#include <string>
#include <string_view>

namespace platform {

// The application directory, where the settings store and the default
// playlist live: $TUNELARK_HOME when set, else $XDG_DATA_HOME/tunelark, else
// ~/.local/share/tunelark. Created on first use; empty if it cannot be.
std::string ApplicationDirectory();

// The cache directory, for what can be made again (unpacked skins):
// "$TUNELARK_HOME/cache" when that is set, else $XDG_CACHE_HOME/tunelark,
// else ~/.cache/tunelark. Created on first use; empty if it cannot be.
std::string CacheDirectory();

// Replaces the file at `path` with `content` so that a crash or a kill at any
// moment leaves either the old or the new file, never a mixture: the content
// goes to a temporary file beside it, is flushed to disk, and is renamed over
// the old one. False (and the old file untouched) on any failure, with errno
// saying why.
bool WriteFileAtomically(const std::string& path, std::string_view content);

enum class FileRead {
    Done,
    Failed,    // missing, not a regular file, or a read error
    TooLarge,  // larger than the caller's limit: nothing read
};

// The whole file when it is a regular file of at most `limit` bytes. Every
// file the program reads whole has a limit for its kind, so a huge or
// endless file (a device, a pipe, a mistake) cannot exhaust the memory.
FileRead ReadWholeFile(const std::string& path, size_t limit, std::string& content);

// Says on the standard error that the file at `path` was not read because it
// is larger than `limit` bytes, and what the program does instead.
void ReportFileTooLarge(const std::string& path, size_t limit, const std::string& instead);

}  // namespace platform
