#include "ui/shell/command_line.h"

#include <filesystem>
#include <optional>

#include "platform/command_options.h"
#include "platform/path_text.h"
#include "ui/shell/uri_list.h"

namespace {

constexpr std::string_view kFileScheme = "file:";

std::optional<std::string> ItemFromArgument(const std::string& argument, std::string_view workingDirectory) {
    if (platform::IsNetworkLocation(argument) || argument.starts_with('/')) return argument;
    if (platform::EqualsIgnoringCase(std::string_view(argument).substr(0, kFileScheme.size()), kFileScheme)) {
        return PathFromFileUri(argument);
    }
    if (workingDirectory.empty()) return std::nullopt;
    return (std::filesystem::path(workingDirectory) / argument).lexically_normal().string();
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments, std::string_view workingDirectory) {
    static constexpr platform::OptionSpec kOptions[] = {{"--enqueue"}, {"-e"}, {"--version"}};
    const platform::ParsedArguments parsed = platform::ParseArguments(arguments, kOptions);
    CommandLine line;
    if (parsed.help) {
        line.action = CommandLine::Action::Help;
        return line;
    }
    if (!parsed.misuse.empty()) {
        line.action = CommandLine::Action::Misuse;
        line.misuse = parsed.misuse;
        return line;
    }
    for (const platform::ParsedOption& option : parsed.options) {
        if (option.name == "--version") {
            line.action = CommandLine::Action::Version;
            return line;
        }
        line.request.enqueue = true;
    }
    for (const std::string& argument : parsed.operands) {
        if (argument.empty()) continue;
        if (std::optional<std::string> item = ItemFromArgument(argument, workingDirectory)) {
            line.request.items.push_back(std::move(*item));
        } else {
            line.unusable.push_back(argument);
        }
    }
    return line;
}

std::string UsageText() { return "usage: tunelark [--enqueue] [FILE|DIR|URL|LIST]..."; }

std::string HelpText() {
    return UsageText() +
           "\n"
           "\n"
           "Plays music files (MP3, MP2, MP1, Ogg Vorbis, Opus, FLAC, WAVE), whole\n"
           "directories, station lists (.pls, .m3u, .m3u8) and http(s) streams. The\n"
           "items replace the playlist and the first one plays; one player runs per\n"
           "user, and a later start hands its items to it.\n"
           "\n"
           "  -e, --enqueue  add the items to the end of the playlist instead\n"
           "  -h, --help     show this help and exit\n"
           "      --version  show the version and exit\n";
}
