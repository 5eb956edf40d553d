#pragma once

#include <string>

#include "engine/player.h"

// Network streams on the command line: an argument that starts with a URL
// scheme is a stream, everything else a file.

bool IsUrl(const std::string& argument);

// Opens a file or an "http://" stream; false (after saying why on standard
// error, with `command` naming the caller) when it cannot be opened.
bool OpenSourceOrUrl(PlayerEngine* engine, const std::string& argument, const char* command);

// "Station - Title" as far as they are known; empty when nothing is.
std::string StreamDescription(PlayerEngine* engine);
