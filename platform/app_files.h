#pragma once

#include <string>
#include <string_view>

namespace platform {

// The application directory, where the settings store and the default
// playlist live: $TUNELARK_HOME when set, else $XDG_DATA_HOME/tunelark, else
// ~/.local/share/tunelark. Created on first use; empty if it cannot be.
std::string ApplicationDirectory();

// Replaces the file at `path` with `content` so that a crash or a kill at any
// moment leaves either the old or the new file, never a mixture: the content
// goes to a temporary file beside it, is flushed to disk, and is renamed over
// the old one. False (and the old file untouched) on any failure.
bool WriteFileAtomically(const std::string& path, std::string_view content);

// The whole file, or nothing if it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& content);

}  // namespace platform
