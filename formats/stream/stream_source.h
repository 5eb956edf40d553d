#pragma once

// The network stream as a source of the engine: the operations of its record
// in the source registry, all on the engine's one stream reader. Its decoding
// thread is StreamThread (stream_thread.h).

#include <string>

#include "platform/notify_window.h"

struct PlayerEngine;

namespace engine {

// Keeps the URL for the next playback; nothing is connected yet.
bool OpenStreamSource(PlayerEngine& engine, const std::string& url);
// Stops, and forgets the URL, the station fields, the title and the error.
void CloseStreamSource(PlayerEngine& engine);
// Ends the stream thread's waits on the network, for a stop.
void InterruptStreamSource(PlayerEngine& engine);
// The receive thread posts each new title there.
void SetStreamNotifyWindow(PlayerEngine& engine, platform::NotifyWindow* window);

}  // namespace engine
