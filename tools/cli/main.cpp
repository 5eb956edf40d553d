// tunelark-cli: the headless player. It drives the engine through the same
// Player operations as the windows do.

#include <cstdio>
#include <string>
#include <vector>

#include "tools/cli/bench_command.h"
#include "tools/cli/command_line.h"
#include "tools/cli/info_command.h"
#include "tools/cli/play_command.h"
#include "tools/cli/render_command.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty()) {
        std::fputs(CliUsage().c_str(), stderr);
        return kUsageExitStatus;
    }
    const std::string& name = arguments.front();
    if (name == "--help" || name == "-h" || name == "help") {
        std::fputs(CliUsage().c_str(), stdout);
        return 0;
    }
    if (name == "--version") {
        std::printf("tunelark-cli %s\n", TUNELARK_VERSION);
        return 0;
    }
    const CliCommand* command = FindCliCommand(name);
    if (command == nullptr) {
        std::fprintf(stderr, "tunelark-cli: unknown command '%s'\n%s", name.c_str(), CliUsage().c_str());
        return kUsageExitStatus;
    }
    platform::ParsedArguments parsed;
    if (const auto status = ParseCommandArguments(*command, {arguments.begin() + 1, arguments.end()}, parsed)) {
        return *status;
    }
    if (name == "info") return RunInfoCommand(parsed.operands);
    if (name == "play") return RunPlayCommand(parsed.operands);
    if (name == "render") return RunRenderCommand(parsed);
    return RunBenchCommand(parsed.operands);
}
