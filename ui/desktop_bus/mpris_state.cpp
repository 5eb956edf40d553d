#include "ui/desktop_bus/mpris_state.h"

#include <algorithm>
#include <cstdlib>

#include "engine/player.h"
#include "playlist/playlist_modes.h"
#include "prefs/settings.h"
#include "ui/shell/application.h"

namespace {

// Playing on is measured against the steady clock while the engine counts
// played samples; they drift apart by less than this between two copies.
constexpr int64_t kJumpToleranceUs = 1'000'000;

const char* StatusName(PlayerStatus status) {
    switch (status) {
        case PLAYER_PLAYING: return "Playing";
        case PLAYER_PAUSED: return "Paused";
        case PLAYER_STOPPED: break;
    }
    return "Stopped";
}

const char* LoopName(int32_t repeat) {
    switch (repeat) {
        case REPEAT_ALL: return "Playlist";
        case REPEAT_ONE: return "Track";
        default: return "None";
    }
}

}  // namespace

MprisState ReadMprisState(Application& application, LoadedFileTags& loaded) {
    MprisState state;
    PlayerEngine* engine = application.Engine();
    const PlayerStatus status = PlayerGetStatus(engine);
    const bool hasEntries = application.GetPlaylist().Count() > 0;
    state.playbackStatus = StatusName(status);
    state.loopStatus = LoopName(g_settings.Repeat);
    state.shuffle = g_settings.Shuffle != 0;
    state.metadata = ReadMetadata(application, loaded);
    state.volume = std::clamp(application.Main().Volume(), 0, 100) / 100.0;
    state.canGoNext = hasEntries;
    state.canGoPrevious = hasEntries;
    state.canPlay = hasEntries;
    state.canPause = hasEntries;
    state.canSeek = status != PLAYER_STOPPED && state.metadata.lengthUs > 0;
    state.positionUs = status == PLAYER_STOPPED ? 0 : int64_t{PlayerGetPosition(engine)} * 1000;
    state.takenAt = MprisClock::now();
    return state;
}

int64_t PositionAt(const MprisState& state, MprisClock::time_point now) {
    int64_t position = state.positionUs;
    if (state.playbackStatus == "Playing") {
        position += std::chrono::duration_cast<std::chrono::microseconds>(now - state.takenAt).count();
    }
    if (state.metadata.lengthUs > 0) position = std::min(position, state.metadata.lengthUs);
    return std::max<int64_t>(position, 0);
}

std::vector<std::string> ChangedPlayerProperties(const MprisState& before, const MprisState& after) {
    std::vector<std::string> names;
    auto check = [&names](bool changed, const char* name) {
        if (changed) names.emplace_back(name);
    };
    check(before.playbackStatus != after.playbackStatus, "PlaybackStatus");
    check(before.loopStatus != after.loopStatus, "LoopStatus");
    check(before.shuffle != after.shuffle, "Shuffle");
    check(before.metadata != after.metadata, "Metadata");
    check(before.volume != after.volume, "Volume");
    check(before.canGoNext != after.canGoNext, "CanGoNext");
    check(before.canGoPrevious != after.canGoPrevious, "CanGoPrevious");
    check(before.canPlay != after.canPlay, "CanPlay");
    check(before.canPause != after.canPause, "CanPause");
    check(before.canSeek != after.canSeek, "CanSeek");
    return names;
}

bool PositionJumped(const MprisState& before, const MprisState& after) {
    if (after.playbackStatus == "Stopped" || before.metadata.trackId != after.metadata.trackId) return false;
    return std::llabs(after.positionUs - PositionAt(before, after.takenAt)) > kJumpToleranceUs;
}
