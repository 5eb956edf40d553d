#pragma once

// The default playlist, kept in the application directory between runs.
// Paths that contain a line feed or end with a carriage return cannot be
// written as a line of a ".lst" file; saving leaves them out.

#include <cstddef>
#include <string>

class Playlist;

// A list of a hundred thousand entries is a few megabytes.
constexpr size_t kLargestListFile = 64 << 20;

// True for an existing file larger than kLargestListFile, which is never
// read as a list (nor replaced by one the user never saw).
bool IsTooLargeForAList(const std::string& path);

// "<application directory>/default.lst", or empty when there is no
// application directory.
std::string DefaultListPath();

// Loaded when the playlist window is created and saved when it is destroyed.
// A default list that exists but was not read (unreadable, too large) is
// never replaced by the session's list, which would lose it: the load says
// so on the standard error and returns Kept, and the window then saves nothing.
enum class DefaultListLoad { Read, Kept };
DefaultListLoad LoadDefaultList(Playlist& playlist);
// False, said on the standard error with the reason, when the list could not be saved.
bool SaveDefaultList(const Playlist& playlist);
