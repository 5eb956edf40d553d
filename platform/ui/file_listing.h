#pragma once

// What the file dialogs read from the file system: a directory's folders and
// the files a filter lets through, paths moved up, and where a dialog can
// open when the directory it was given is gone. Paths are joined and cut
// with platform/path_text.h.

#include <string>
#include <string_view>
#include <vector>

#include "platform/path_text.h"

namespace platform::ui {

struct DirectoryEntry {
    std::string name;  // the file system's own bytes, UTF-8 or not
    bool isDirectory = false;
};

// Whether `name` matches one of the ';'-separated `patterns` ("*.mp3;*.ogg"):
// '*' stands for any run of characters, '?' for one, and letters match in
// either case. "*.*" matches every name, dot or not, as it does on Windows.
bool MatchesFilePatterns(std::string_view name, std::string_view patterns);

// The subdirectories of `directory`, then its regular files that match
// `patterns`, each group sorted by name without regard to case. Hidden
// entries (a leading '.') and special files are left out; a directory that
// cannot be read lists as empty.
std::vector<DirectoryEntry> ListDirectory(const std::string& directory, std::string_view patterns);

// The directory that holds `path`; "/" for "/" itself.
std::string ParentDirectory(const std::string& path);

// Where a dialog asked to open in `wanted` opens: that directory (made
// absolute, without a trailing '/') when it can be listed, else its nearest
// parent that can, else the home directory, else "/".
std::string ReadableDirectoryNear(const std::string& wanted);

// `name` for the screen: each byte that does not begin well-formed UTF-8
// shows as U+FFFD.
std::string DisplayName(std::string_view name);

}  // namespace platform::ui
