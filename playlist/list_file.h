#pragma once

// The default playlist, kept in the application directory between runs.
// Paths that contain a line feed or end with a carriage return cannot be
// written as a line of a ".lst" file; saving leaves them out.

#include <string>

class Playlist;

// "<application directory>/default.lst", or empty when there is no
// application directory.
std::string DefaultListPath();

// Loaded when the playlist window is created and saved when it is destroyed.
bool LoadDefaultList(Playlist& playlist);
bool SaveDefaultList(const Playlist& playlist);
