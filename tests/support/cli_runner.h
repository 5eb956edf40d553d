#pragma once

#include <string>
#include <vector>

namespace test {

struct CommandResult {
    int exitStatus = -1;
    std::vector<std::string> lines;  // the captured stream, line by line
};

// Which of a program's streams a run keeps; the other is dropped.
enum class Captured { Output, Errors };

// Runs `program` with `arguments` and no input, in `workingDirectory` (the
// test's own when empty).
CommandResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         Captured captured = Captured::Output, const std::string& workingDirectory = "");

// Runs the build's tunelark-cli with `arguments`; standard error is dropped.
CommandResult RunCli(const std::vector<std::string>& arguments);

}  // namespace test
