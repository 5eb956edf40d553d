#pragma once

// What the desktop asks of the player over the bus, carried to the
// user-interface thread and run there with the main window's own actions.

#include <cstdint>
#include <string>

class Application;

struct MprisCommand {
    enum class Kind { PlayPause, Play, Pause, Stop, Next, Previous, Seek, SetPosition, SetVolume, Raise, Quit };
    Kind kind = Kind::PlayPause;
    int64_t microseconds = 0;  // Seek: the offset; SetPosition: the position
    std::string trackId;       // SetPosition: the track it is meant for
    double volume = 0.0;       // SetVolume: 0.0 .. 1.0, outside values clamped
};

// Runs `command` on the user-interface thread. True when it moved the
// position of the playing track (the bus then says Seeked).
bool RunMprisCommand(Application& application, const MprisCommand& command);

// The item OpenUri hands to the player: a file:// URI's path or an http(s)
// address; empty for anything else.
std::string ItemFromOpenUri(const std::string& uri);
