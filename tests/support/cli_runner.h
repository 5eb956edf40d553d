#pragma once

#include <string>
#include <vector>

namespace test {

struct CommandResult {
    int exitStatus = -1;
    std::vector<std::string> lines;  // standard output, line by line
};

// Runs the build's tunelark-cli with `arguments`; standard error is dropped.
CommandResult RunCli(const std::vector<std::string>& arguments);

}  // namespace test
