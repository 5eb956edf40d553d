#pragma once

#include <string>
#include <vector>

// `tunelark-cli play FILE...`: real sound with a status line; space pauses,
// the arrows seek 5 s, n skips, q quits.
int RunPlayCommand(const std::vector<std::string>& paths);
