#pragma once

// The text of ".lst" playlist files: UTF-8, one path per line, each line
// ended by '\n'.

#include <string>
#include <string_view>
#include <vector>

// The lines of a playlist file as UTF-8. Accepts UTF-8 with or without a
// byte-order mark and UTF-16 (little- or big-endian) with one; a '\r' before
// the '\n' is dropped. A last line without '\n' is taken whole, and the empty
// rest after the final '\n' is not a line.
std::vector<std::string> ParseListFileText(std::string_view bytes);

// True when `path` can be written as a line and read back unchanged.
bool FitsListFileLine(std::string_view path);

// The file text for `paths`, leaving out those that do not fit a line.
std::string FormatListFileText(const std::vector<std::string_view>& paths);
