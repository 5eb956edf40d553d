#pragma once

// The tunelark program's command line:
//
//     tunelark [--enqueue] [FILE|DIR|URL|LIST]...
//
// Items are files, directories, http(s) addresses, station lists (.pls,
// .m3u, .m3u8) and file:// URIs (what a desktop's launcher passes). They
// come out as absolute paths and addresses, so a running player can open
// them wherever it was started.

#include <string>
#include <string_view>
#include <vector>

#include "ui/shell/instance_message.h"

struct CommandLine {
    enum class Action { Run, Help, Version, Misuse };
    Action action = Action::Run;
    OpenRequest request;
    // Arguments that name nothing this computer can open (a file URI of
    // another host, a relative path without a working directory).
    std::vector<std::string> unusable;
    std::string misuse;  // what was wrong, for Action::Misuse
};

// Reads the arguments after the program's name; relative paths are taken
// from `workingDirectory` (empty when it is not known).
CommandLine ParseCommandLine(const std::vector<std::string>& arguments, std::string_view workingDirectory);

// The one-line usage, and the whole help text.
std::string UsageText();
std::string HelpText();
