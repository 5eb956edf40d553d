#pragma once

#include <string>
#include <vector>

// `tunelark-cli info FILE...`: one JSON line per file describing what the
// engine makes of it. Returns the exit status.
int RunInfoCommand(const std::vector<std::string>& paths);
