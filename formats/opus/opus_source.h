#pragma once

// Ogg Opus files, decoded by libopusfile from the engine's file reader at
// 48 kHz; more than two channels are mixed down to stereo.

#include <cstdint>
#include <string>

#include "engine/player.h"
#include "engine/source_registry.h"

struct PlayerEngine;

namespace engine {

struct OpusSource;

bool OpusOpen(PlayerEngine& engine, const std::string& path);
void OpusClose(PlayerEngine& engine);
bool OpusProbe(const std::string& path);
bool OpusSeek(PlayerEngine& engine, int32_t milliseconds);
void OpusRewind(PlayerEngine& engine);
void OpusThread(PlayerEngine& engine);
// The tag of the open file, read by TagLib as PlayerReadFileTag reads it.
bool OpusGetTag(PlayerEngine& engine, PlayerTag* tag);
bool OpusReadFileTag(const std::string& path, PlayerTag* tag);
bool OpusReadFileCover(const std::string& path, PlayerPicture* picture);

}  // namespace engine
