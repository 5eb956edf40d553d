#include "tools/cli/command_line.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

const std::vector<CliCommand>& Commands() {
    static const std::vector<CliCommand> commands = {
        {"info",
         "info FILE|URL...\n"
         "    one JSON line each: format, duration and tag; for an http(s):// stream its format,\n"
         "    station, genre and URL; a station list (.pls, .m3u, .m3u8) one line per entry",
         {}},
        {"play", "play FILE|URL...\n    play with sound; space pauses, arrows seek, n skips, q quits", {}},
        {"render",
         "render FILE|URL -o OUT.wav [--bits 8|16] [--half-rate] [--buffers N]\n"
         "    [--eq E,P,B1,...,B10] [--bass DB] [--echo DELAY_MS,LEVEL]\n"
         "    [--feedback-echo DELAY_MS,LEVEL] [--widen STRENGTH] [--seek MS] [--length MS]\n"
         "    play through the capture device into a WAV file; a URL (http:// or https://)\n"
         "    needs --length and is recorded in real time; a station list renders its first\n"
         "    entry that starts",
         {{"-o", true},
          {"--bits", true},
          {"--half-rate", false},
          {"--buffers", true},
          {"--eq", true},
          {"--bass", true},
          {"--echo", true},
          {"--feedback-echo", true},
          {"--widen", true},
          {"--seek", true},
          {"--length", true}},
         1,
         1},
        {"bench", "bench FILE\n    the engine's speed against the plain decoding loop", {}, 1, 1},
    };
    return commands;
}

std::string UsageOf(const CliCommand& command) { return "usage: tunelark-cli " + std::string(command.usage) + "\n"; }

}  // namespace

const CliCommand* FindCliCommand(std::string_view name) {
    for (const CliCommand& command : Commands()) {
        if (command.name == name) return &command;
    }
    return nullptr;
}

std::string CliUsage() {
    std::string usage = "usage: tunelark-cli COMMAND ARGUMENTS...   (tunelark-cli COMMAND --help for one)\n"
                        "       tunelark-cli --version\n";
    for (const CliCommand& command : Commands()) usage += "  " + std::string(command.usage) + "\n";
    return usage;
}

std::optional<int> ParseCommandArguments(const CliCommand& command, const std::vector<std::string>& arguments,
                                         platform::ParsedArguments& parsed) {
    parsed = platform::ParseArguments(arguments, command.options);
    if (parsed.help) {
        std::fputs(UsageOf(command).c_str(), stdout);
        return 0;
    }
    if (!parsed.misuse.empty()) return ReportMisuse(command, parsed.misuse);
    if (parsed.operands.size() < command.minimumOperands) return ReportMisuse(command, "too few arguments");
    if (parsed.operands.size() > command.maximumOperands) return ReportMisuse(command, "too many arguments");
    return std::nullopt;
}

int ReportMisuse(const CliCommand& command, const std::string& why) {
    // The usage's first line: the rest is for --help.
    const std::string name(command.name);
    const std::string usage = UsageOf(command);
    const std::string firstLine = usage.substr(0, usage.find('\n'));
    std::fprintf(stderr, "tunelark-cli %s: %s\n%s\n(tunelark-cli %s --help says more)\n", name.c_str(), why.c_str(),
                 firstLine.c_str(), name.c_str());
    return kUsageExitStatus;
}

std::optional<int32_t> ParseInteger(const std::string& text, int32_t minimum, int32_t maximum) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < minimum || value > maximum) return std::nullopt;
    return static_cast<int32_t>(value);
}

std::optional<std::vector<int32_t>> ParseIntegerList(const std::string& text, size_t count) {
    std::vector<int32_t> values;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const size_t end = comma == std::string::npos ? text.size() : comma;
        const auto value = ParseInteger(text.substr(start, end - start), INT32_MIN, INT32_MAX);
        if (!value) return std::nullopt;
        values.push_back(*value);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (values.size() != count) return std::nullopt;
    return values;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
