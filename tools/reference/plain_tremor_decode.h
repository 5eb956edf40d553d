#pragma once

#include <string>

#include "tools/reference/plain_libmad_decode.h"

// The plain Tremor loop: ov_read into one buffer until the end of the
// stream. The yardstick for the engine's Ogg Vorbis playback.
PlainDecodeResult DecodeWithPlainTremorLoop(const std::string& path);
