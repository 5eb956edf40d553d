#pragma once

struct PlayerEngine;

namespace engine {

// The decoding thread of a network stream: starts the reader, takes the
// format from the first frames, waits for the prebuffer and feeds the frame
// loop, reconnecting when the buffer runs dry.
void StreamThread(PlayerEngine& engine);

}  // namespace engine
