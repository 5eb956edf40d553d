#pragma once

// The MPEG file as a source of the engine, and the output rules it shares with
// the network stream, which is MPEG audio too.

#include <cstdint>
#include <string>

#include "engine/source_registry.h"

struct PlayerEngine;

namespace engine {

// The file must look like MPEG audio, open, and yield a frame pair from its
// middle on; otherwise nothing of it stays open.
bool OpenMpegFile(PlayerEngine& engine, const std::string& path);
// Returns the file reader to the start of the file.
void RewindMpegFile(PlayerEngine& engine);

// The output options' bits, at half the source's rate when they ask for it.
SourceOutput MpegOutputFormat(const PlayerEngine& engine);
// One block holds a frame's samples at 11025 Hz, two frames' up to 22050 Hz
// and four above; half that at half rate.
uint32_t MpegBlockCapacity(const PlayerEngine& engine, int32_t outputBits);

}  // namespace engine
