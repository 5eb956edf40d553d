#pragma once

// The files of a skin directory. Skins come from systems whose file names
// ignore case, so "Main.Bmp" must be found when "main.bmp" is asked for.

#include <optional>
#include <string>
#include <string_view>

// Whether two file names are equal ignoring ASCII case.
bool FileNamesMatch(std::string_view left, std::string_view right);

// The path of the regular file in `dir` whose name matches `name` ignoring
// case (an exact match wins); nullopt when there is none or `dir` cannot be
// listed.
std::optional<std::string> FindSkinFile(const std::string& dir, std::string_view name);

// Whether every path made of `dir`, a separator and a skin file name fits
// the platform's path limit.
bool SkinDirectoryPathFits(const std::string& dir);
