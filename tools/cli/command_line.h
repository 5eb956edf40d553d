#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Parses numbers and comma-separated lists given on the command line;
// nothing when the text is not entirely a number in range.
std::optional<int32_t> ParseInteger(const std::string& text, int32_t minimum, int32_t maximum);
std::optional<std::vector<int32_t>> ParseIntegerList(const std::string& text, size_t count);

// The file name without its directory, for titles.
std::string BaseName(const std::string& path);
