#pragma once

// A program's arguments split into options and operands, the way POSIX
// utilities read them: an argument that starts with '-' is an option until
// "--", which ends the options, so a file named "-x" can still be given
// after it; "-" alone is an operand. "--help" and "-h" are always known.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct OptionSpec {
    std::string_view name;  // with its dashes: "--bits", "-o"
    bool takesValue = false;  // the next argument is its value
};

struct ParsedOption {
    std::string name;
    std::string value;  // empty for an option without a value
};

struct ParsedArguments {
    std::vector<ParsedOption> options;  // in the order given
    std::vector<std::string> operands;
    bool help = false;
    std::string misuse;  // what was wrong, for the usage message; empty when nothing
};

// Stops at the first misuse (an unknown option, an option without its
// value) and at a request for help.
ParsedArguments ParseArguments(const std::vector<std::string>& arguments, std::span<const OptionSpec> known);

}  // namespace platform
