#include "ui/desktop_bus/mpris_commands.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/player.h"
#include "platform/path_text.h"
#include "ui/desktop_bus/mpris_metadata.h"
#include "ui/shell/application.h"
#include "ui/shell/desktop_keys.h"
#include "ui/shell/uri_list.h"

using namespace platform::ui;

namespace {

constexpr int kMaximumVolume = 100;

// Moves the loaded file's position to `targetUs`; a target past its end
// goes on to the next entry, as the interface asks of a Seek.
bool SeekTo(Application& application, int64_t targetUs, bool pastEndPlaysNext) {
    PlayerEngine* engine = application.Engine();
    if (PlayerGetStatus(engine) == PLAYER_STOPPED || PlayerGetSourceKind(engine) == SOURCE_MPEG_STREAM) return false;
    const int64_t lengthUs = int64_t{PlayerGetDuration(engine)} * 1000;
    if (lengthUs <= 0) return false;
    if (targetUs >= lengthUs) {
        if (pastEndPlaysNext) application.Main().NextAction();
        return false;
    }
    return PlayerSeek(engine, static_cast<int32_t>(std::max<int64_t>(targetUs, 0) / 1000)) != 0;
}

// A Seek's offset is any 64-bit number a caller sends: the sum saturates
// instead of overflowing.
int64_t SaturatingSum(int64_t position, int64_t offset) {
    int64_t sum = 0;
    if (!__builtin_add_overflow(position, offset, &sum)) return sum;
    return offset > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
}

}  // namespace

bool RunMprisCommand(Application& application, const MprisCommand& command) {
    MainWindow& main = application.Main();
    PlayerEngine* engine = application.Engine();
    const PlayerStatus status = PlayerGetStatus(engine);
    using Kind = MprisCommand::Kind;
    switch (command.kind) {
        case Kind::PlayPause: RunDesktopCommand(application, DesktopCommand::PlayPause); break;
        case Kind::Play:
            // The Play button would start a playing track again.
            if (status != PLAYER_PLAYING) main.PlayAction();
            break;
        case Kind::Pause:
            if (status == PLAYER_PLAYING) PlayerPause(engine);
            break;
        case Kind::Stop: main.StopAction(); break;
        case Kind::Next: main.NextAction(); break;
        case Kind::Previous: main.PrevAction(); break;
        case Kind::Seek:
            return SeekTo(application, SaturatingSum(int64_t{PlayerGetPosition(engine)} * 1000, command.microseconds),
                          true);
        case Kind::SetPosition: {
            // A request for a track no longer loaded is ignored.
            const Playlist& list = application.GetPlaylist();
            if (command.trackId != TrackObjectPath(list.CurrentIndex) || command.microseconds < 0) return false;
            return SeekTo(application, command.microseconds, false);
        }
        case Kind::SetVolume: {
            const double volume = std::isfinite(command.volume) ? std::clamp(command.volume, 0.0, 1.0) : 0.0;
            main.SetVolume(static_cast<int>(std::lround(volume * kMaximumVolume)));
            break;
        }
        case Kind::Raise: application.BringForward(); break;
        case Kind::Quit: RunDesktopCommand(application, DesktopCommand::Quit); break;
    }
    return false;
}

std::string ItemFromOpenUri(const std::string& uri) {
    if (platform::IsNetworkLocation(uri)) return uri;
    return PathFromFileUri(uri).value_or(std::string());
}
