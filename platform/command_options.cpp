#include "platform/command_options.h"

#include <algorithm>

namespace platform {

ParsedArguments ParseArguments(const std::vector<std::string>& arguments, std::span<const OptionSpec> known) {
    ParsedArguments parsed;
    bool optionsEnded = false;
    for (size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        if (optionsEnded || argument.size() < 2 || !argument.starts_with('-')) {
            parsed.operands.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            parsed.help = true;
            return parsed;
        }
        const auto option =
            std::find_if(known.begin(), known.end(), [&argument](const OptionSpec& candidate) { return candidate.name == argument; });
        if (option == known.end()) {
            parsed.misuse = "unknown option '" + argument + "'";
            return parsed;
        }
        if (!option->takesValue) {
            parsed.options.push_back({argument, {}});
            continue;
        }
        if (index + 1 >= arguments.size()) {
            parsed.misuse = "option '" + argument + "' needs a value";
            return parsed;
        }
        parsed.options.push_back({argument, arguments[++index]});
    }
    return parsed;
}

}  // namespace platform
