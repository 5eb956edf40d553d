#include "tools/cli/play_command.h"

#include <cstdio>
#include <string>

#include "engine/player.h"
#include "tools/cli/command_line.h"
#include "tools/cli/playback_watch.h"
#include "tools/cli/stream_source.h"
#include "tools/cli/terminal_keys.h"

namespace {

constexpr int kFailureExitStatus = 1;
constexpr int32_t kSeekStepMs = 5000;
constexpr int kProgressBarWidth = 24;
constexpr auto kRefreshInterval = std::chrono::milliseconds(250);

enum class TrackEnd { Finished, Skipped, Quit, NotStarted, DeviceLost };

std::string TrackTitle(PlayerEngine* engine, const SourceEntry& entry) {
    const std::string& path = entry.location;
    if (IsUrl(path)) {
        const std::string description = StreamDescription(engine);
        if (!description.empty()) return description;
        return entry.title.empty() ? path : entry.title;
    }
    PlayerTag tag;
    if (PlayerGetTag(engine, &tag) && !tag.title.empty()) {
        return tag.artist.empty() ? tag.title : tag.artist + " - " + tag.title;
    }
    return BaseName(path);
}

std::string Clock(int32_t milliseconds) {
    const int32_t seconds = milliseconds / 1000;
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

// A stream has no length: its line shows the station, the current title and
// the time played.
void ShowStreamStatus(PlayerEngine* engine, const std::string& title) {
    const char* state = PlayerIsConnecting(engine)                 ? "connecting"
                        : PlayerGetStatus(engine) == PLAYER_PAUSED ? "paused "
                                                                   : "playing";
    std::printf("\r%s %s  %s\x1b[K", state, title.c_str(), Clock(PlayerGetPosition(engine)).c_str());
    std::fflush(stdout);
}

void ShowStatus(PlayerEngine* engine, const std::string& title) {
    const int32_t position = PlayerGetPosition(engine);
    const int32_t duration = PlayerGetDuration(engine);
    const int filled = duration > 0 ? int(int64_t{position} * kProgressBarWidth / duration) : 0;
    std::string bar(kProgressBarWidth, '-');
    for (int index = 0; index < filled && index < kProgressBarWidth; ++index) bar[size_t(index)] = '#';
    const char* state = PlayerGetStatus(engine) == PLAYER_PAUSED ? "paused " : "playing";
    std::printf("\r%s %s  %s / %s [%s]\x1b[K", state, title.c_str(), Clock(position).c_str(), Clock(duration).c_str(),
                bar.c_str());
    std::fflush(stdout);
}

TrackEnd PlayTrack(PlayerEngine* engine, PlaybackWatch& watch, TerminalKeys& keys, const SourceEntry& entry) {
    watch.Rearm();
    // A stream connects while the keys are read, so they cut its wait short.
    if (!PlayerPlayAsync(engine)) return TrackEnd::NotStarted;
    const bool stream = IsUrl(entry.location);
    std::string title = TrackTitle(engine, entry);
    uint32_t titlesShown = watch.Titles();
    bool announced = false;
    while (!watch.Stopped()) {
        // A stream is announced with its station, once its first audio came.
        if (!announced && !PlayerIsConnecting(engine)) {
            announced = true;
            title = TrackTitle(engine, entry);
            titlesShown = watch.Titles();
            if (!keys.Interactive()) std::printf("playing %s\n", title.c_str());
        }
        if (announced && stream && watch.Titles() != titlesShown) {
            titlesShown = watch.Titles();
            title = TrackTitle(engine, entry);
            if (!keys.Interactive()) std::printf("now playing %s\n", title.c_str());
            std::fflush(stdout);
        }
        if (keys.Interactive()) stream ? ShowStreamStatus(engine, title) : ShowStatus(engine, title);
        switch (keys.Read(kRefreshInterval)) {
            case TerminalKeys::kSpace: PlayerPause(engine); break;
            case TerminalKeys::kLeft: PlayerRewind(engine, kSeekStepMs); break;
            case TerminalKeys::kRight: PlayerForward(engine, kSeekStepMs); break;
            case TerminalKeys::kNext: PlayerStop(engine); return TrackEnd::Skipped;
            case TerminalKeys::kQuit: PlayerStop(engine); return TrackEnd::Quit;
            default: break;
        }
    }
    if (watch.DeviceLost()) return TrackEnd::DeviceLost;
    return watch.StartFailed() ? TrackEnd::NotStarted : TrackEnd::Finished;
}

// Why a stream did not start, as the engine knows it.
std::string StreamFailure(PlayerEngine* engine) {
    std::string reason;
    if (PlayerGetStreamError(engine, &reason)) return reason;
    return "no connection, no MPEG audio, or no sound device";
}

}  // namespace

int RunPlayCommand(const std::vector<std::string>& paths) {
    PlaybackWatch watch;
    PlayerEngine* engine = PlayerCreate();
    PlayerSetNotifyWindow(engine, &watch);
    PlayerSetOutputDevice(engine, platform::WaveBackend::Sdl);
    TerminalKeys keys;
    int exitStatus = 0;
    bool quit = false;
    for (const std::string& argument : paths) {
        // A station list plays its first entry that starts.
        bool played = false;
        for (const SourceEntry& entry : ExpandArgument(argument, "play")) {
            const std::string& path = entry.location;
            if (!OpenSourceOrUrl(engine, path, "play")) continue;
            const TrackEnd end = PlayTrack(engine, watch, keys, entry);
            if (keys.Interactive()) std::printf("\n");
            if (end == TrackEnd::NotStarted && IsUrl(path) && !PlayerDeviceFailed(engine)) {
                std::fprintf(stderr, "tunelark-cli play: skipping '%s': %s\n", path.c_str(),
                             StreamFailure(engine).c_str());
                continue;
            }
            if (end == TrackEnd::NotStarted) {
                std::fprintf(stderr,
                             "tunelark-cli play: no sound device could be opened "
                             "(TUNELARK_AUDIO=null plays silently)\n");
                exitStatus = kFailureExitStatus;
            }
            if (end == TrackEnd::DeviceLost) {
                std::fprintf(stderr,
                             "tunelark-cli play: the sound device stopped playing "
                             "(TUNELARK_AUDIO=null plays silently)\n");
                exitStatus = kFailureExitStatus;
            }
            played = end != TrackEnd::NotStarted;
            quit = end == TrackEnd::Quit || end == TrackEnd::NotStarted || end == TrackEnd::DeviceLost;
            break;
        }
        // What could not be played at all fails the command; the rest still plays.
        if (!played) exitStatus = kFailureExitStatus;
        if (quit) break;
    }
    PlayerDestroy(engine);
    return exitStatus;
}
