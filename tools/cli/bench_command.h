#pragma once

#include <string>
#include <vector>

// `tunelark-cli bench FILE`: the engine's speed on FILE against a plain
// libmad loop, as multiples of real time.
int RunBenchCommand(const std::vector<std::string>& arguments);
