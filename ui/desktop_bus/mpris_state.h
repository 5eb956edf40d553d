#pragma once

// The player as the desktop's media-player interface sees it: a copy taken
// on the user-interface thread whenever something shown there changes, so
// the bus thread answers from it without touching the player.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/desktop_bus/mpris_metadata.h"

class Application;

using MprisClock = std::chrono::steady_clock;

struct MprisState {
    std::string playbackStatus = "Stopped";  // "Playing", "Paused" or "Stopped"
    std::string loopStatus = "None";         // "None", "Track" or "Playlist"
    bool shuffle = false;
    MprisMetadata metadata;
    double volume = 0.0;  // 0.0 .. 1.0
    bool canGoNext = false;
    bool canGoPrevious = false;
    bool canPlay = false;
    bool canPause = false;
    bool canSeek = false;
    // The position when the copy was taken; it runs on from there while playing.
    int64_t positionUs = 0;
    MprisClock::time_point takenAt;
};

// Reads the player's state on the user-interface thread; `loaded` keeps the
// loaded file's tags between calls.
MprisState ReadMprisState(Application& application, LoadedFileTags& loaded);

// The position at `now`: the one taken, run on while playing, never past the
// track's known length.
int64_t PositionAt(const MprisState& state, MprisClock::time_point now);

// Names of the Player interface's properties that differ, for
// PropertiesChanged (the position is never among them).
std::vector<std::string> ChangedPlayerProperties(const MprisState& before, const MprisState& after);

// True when the position moved other than by playing on from `before`: a
// seek, whoever made it.
bool PositionJumped(const MprisState& before, const MprisState& after);
