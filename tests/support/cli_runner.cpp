#include "tests/support/cli_runner.h"

#include <sys/wait.h>

#include <cstdio>

#include "tests/support/fixtures.h"

namespace test {
namespace {

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char character : text) {
        if (character == '\'') {
            quoted += "'\\''";
        } else {
            quoted += character;
        }
    }
    return quoted + "'";
}

}  // namespace

CommandResult RunProgram(const std::string& program, const std::vector<std::string>& arguments, Captured captured,
                         const std::string& workingDirectory) {
    std::string command = workingDirectory.empty() ? "" : "cd " + ShellQuote(workingDirectory) + " && ";
    command += ShellQuote(program);
    for (const auto& argument : arguments) command += " " + ShellQuote(argument);
    command += captured == Captured::Output ? " 2>/dev/null" : " 2>&1 >/dev/null";
    command += " </dev/null";
    CommandResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char line[8192];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::string text = line;
        if (!text.empty() && text.back() == '\n') text.pop_back();
        result.lines.push_back(text);
    }
    const int status = pclose(pipe);
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

CommandResult RunCli(const std::vector<std::string>& arguments) { return RunProgram(CliPath(), arguments); }

}  // namespace test
