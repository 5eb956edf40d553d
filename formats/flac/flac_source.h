#pragma once

// FLAC files, native or in Ogg, decoded by libFLAC from the engine's file
// reader; any width and rate the output can play, more than two channels
// mixed down to stereo.

#include <cstdint>
#include <string>

#include "engine/player.h"
#include "engine/source_registry.h"

struct PlayerEngine;

namespace engine {

struct FlacSource;

bool FlacOpen(PlayerEngine& engine, const std::string& path);
void FlacClose(PlayerEngine& engine);
bool FlacProbe(const std::string& path);
bool FlacSeek(PlayerEngine& engine, int32_t milliseconds);
void FlacRewind(PlayerEngine& engine);
void FlacThread(PlayerEngine& engine);
// The tag of the open file, read by TagLib as PlayerReadFileTag reads it.
bool FlacGetTag(PlayerEngine& engine, PlayerTag* tag);
bool FlacReadFileTag(const std::string& path, PlayerTag* tag);
bool FlacReadFileCover(const std::string& path, PlayerPicture* picture);

}  // namespace engine
