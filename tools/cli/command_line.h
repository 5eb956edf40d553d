#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/command_options.h"

// What each command of tunelark-cli takes: its options, how many operands
// and its usage text. The arguments of every command are read here, in one
// place, before the command runs.
struct CliCommand {
    std::string_view name;
    std::string_view usage;  // after "usage: tunelark-cli "; may span lines
    std::vector<platform::OptionSpec> options;
    size_t minimumOperands = 1;
    size_t maximumOperands = SIZE_MAX;
};

constexpr int kUsageExitStatus = 2;

// The command of that name; nothing when there is none.
const CliCommand* FindCliCommand(std::string_view name);

// The usage of the whole program, every command in a line or two.
std::string CliUsage();

// Splits a command's arguments; on misuse, says why with the command's usage
// on standard error; on --help, prints the usage on standard output. The
// exit status when the command must not run (2 on misuse, 0 after help).
std::optional<int> ParseCommandArguments(const CliCommand& command, const std::vector<std::string>& arguments,
                                         platform::ParsedArguments& parsed);

// Says why the arguments are refused, with the command's usage, on standard
// error; returns the usage status.
int ReportMisuse(const CliCommand& command, const std::string& why);

// Parses numbers and comma-separated lists given on the command line;
// nothing when the text is not entirely a number in range.
std::optional<int32_t> ParseInteger(const std::string& text, int32_t minimum, int32_t maximum);
std::optional<std::vector<int32_t>> ParseIntegerList(const std::string& text, size_t count);

// The file name without its directory, for titles.
std::string BaseName(const std::string& path);
