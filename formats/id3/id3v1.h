#pragma once

#include <string>

#include "engine/player.h"

namespace engine {

// Reads the ID3v1 tag in the last 128 bytes of the file at `path`. The record
// is cleared first (texts empty, year 0, genre -1), so false always leaves it
// cleared.
bool ReadId3v1Tag(const std::string& path, PlayerTag& tag);

}  // namespace engine
