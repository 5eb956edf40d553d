#pragma once

#include <string>
#include <vector>

#include "engine/player.h"

// Network streams and station lists on the command line: an argument that
// starts with a URL scheme is a stream, everything else a file; either may
// be a station list that stands for its entries.

bool IsUrl(const std::string& argument);

// One thing to play that an argument names, with the title a list gives it.
struct SourceEntry {
    std::string location;
    std::string title;
};

// What `argument` stands for: the entries of a station list (a local .pls,
// .m3u or .m3u8, or a URL whose name or answer says it is one), or else the
// argument itself. A list that cannot be read is reported on standard error,
// naming `command`, and the argument then stands for itself.
std::vector<SourceEntry> ExpandArgument(const std::string& argument, const char* command);

// Opens a file or an "http://" / "https://" stream; false (after saying why
// on standard error, with `command` naming the caller) when it cannot be opened.
bool OpenSourceOrUrl(PlayerEngine* engine, const std::string& argument, const char* command);

// "Station - Title" as far as they are known; empty when nothing is.
std::string StreamDescription(PlayerEngine* engine);
