#pragma once

// RIFF WAVE files: PCM copied straight into the output blocks, every other
// format converted to PCM through the audio compression manager.

#include <cstdint>
#include <string>

#include "engine/source_registry.h"

struct PlayerEngine;

namespace engine {

struct WaveSource;

// Opens `path` in the engine's file reader and reads its format; on success
// the engine's source is a WAVE file.
bool WaveOpen(PlayerEngine& engine, const std::string& path);
// Releases the WAVE state; safe when nothing is open.
void WaveClose(PlayerEngine& engine);
// Whether the file is RIFF WAVE with a format the compression manager can
// turn into PCM.
bool WaveProbe(const std::string& path);
bool WaveSeek(PlayerEngine& engine, int32_t milliseconds);
void WaveRewind(PlayerEngine& engine);
// The decoding thread of a WAVE source.
void WaveThread(PlayerEngine& engine);
// The PCM the open WAVE source plays as: the file's own 8- or 16-bit PCM, or
// what the conversion produces.
SourceOutput WaveOutputFormat(const PlayerEngine& engine);
// 1024 bytes up to 11025 Hz, else 2048, doubled above 22050 Hz, for more than
// one channel and for more than 8 bits.
uint32_t WaveBlockCapacity(const PlayerEngine& engine, int32_t outputBits);

}  // namespace engine
