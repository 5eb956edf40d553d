// Choosing and opening the entry to play: the Next and Prev commands and the
// rule that runs when a track ends by itself.
//
// A position outside the list (a loaded list may be shorter than the old one)
// counts as past the end going forwards and as just after the last entry going
// backwards, so every path below opens only entries that exist.

#include <cstdlib>

#include "engine/player.h"
#include "platform/path_text.h"
#include "playlist/playlist.h"
#include "playlist/playlist_view.h"
#include "playlist/stop_marks.h"

bool Playlist::OpenEntry(PlayerEngine* engine, int32_t index) {
    if (!Contains(index)) return false;
    PlayerClose(engine);
    const std::string& path = entries_[static_cast<size_t>(index)].Path;
    const int opened = platform::IsNetworkLocation(path) ? PlayerOpenURL(engine, platform::WithLowerCaseScheme(path))
                                                         : PlayerOpen(engine, path);
    if (opened == 0) return false;
    if (view_ != nullptr) view_->ShowTrack(index);
    return true;
}

bool Playlist::NextEntry(PlayerEngine* engine, const PlaylistModes& modes) {
    const int32_t following = CurrentIndex + 1;
    bool closedLoadedFile = false;
    if (PlayerGetStatus(engine) == PLAYER_STOPPED) {
        // Stopped: only the position moves, wrapping to the first entry.
        MoveCurrent(Contains(following) ? following : 0);
    } else {
        int32_t target = -1;
        if (Contains(following)) {
            target = following;
        } else if (Count() > 0 && modes.repeat != REPEAT_NONE) {
            target = 0;
        }
        if (target >= 0) {
            closedLoadedFile = true;
            StepTo(engine, target);
        }
    }
    if (view_ != nullptr) view_->EnsureCurrentVisible(false);
    return closedLoadedFile;
}

bool Playlist::PrevEntry(PlayerEngine* engine, const PlaylistModes& modes) {
    const int32_t preceding = CurrentIndex - 1;
    const int32_t last = Count() - 1;
    bool closedLoadedFile = false;
    if (PlayerGetStatus(engine) == PLAYER_STOPPED) {
        // Stopped: only the position moves, wrapping from the first entry (or
        // none) to the last.
        MoveCurrent(Contains(preceding) ? preceding : last);
    } else {
        int32_t target = -1;
        if (Contains(preceding)) {
            target = preceding;
        } else if (last >= 0 && (preceding > last || modes.repeat != REPEAT_NONE)) {
            target = last;
        }
        if (target >= 0) {
            closedLoadedFile = true;
            StepTo(engine, target);
        }
    }
    if (view_ != nullptr) view_->EnsureCurrentVisible(true);
    return closedLoadedFile;
}

void Playlist::AdvanceAtEndOfTrack(PlayerEngine* engine, const PlaylistModes& modes, StopMarks& marks) {
    ShowCurrent = true;
    // A stop that a command caused is not the end of a track.
    if (marks.LowerFirstRaised()) return;
    if (Count() == 0) {
        AfterEmptied();
        return;
    }
    const bool atEnd = !Contains(CurrentIndex + 1);
    if (modes.repeat == REPEAT_ONE) {
        PlayerPlayAsync(engine);  // the loaded entry again, from its start
    } else if (!atEnd) {
        PlayEntry(engine, modes.shuffle ? DrawShuffledEntry() : CurrentIndex + 1);
    } else if (modes.repeat == REPEAT_ALL) {
        PlayEntry(engine, modes.shuffle ? DrawShuffledEntry() : 0);
    } else if (view_ != nullptr) {
        view_->StopFromMainWindow();
    }
    if (view_ != nullptr) view_->EnsureCurrentVisible(false);
}

bool Playlist::PlayEntry(PlayerEngine* engine, int32_t index) {
    if (!OpenEntry(engine, index) || PlayerPlayAsync(engine) == 0) return false;
    StartedPlaying(index);
    return true;
}

void Playlist::StepTo(PlayerEngine* engine, int32_t target) {
    if (!OpenEntry(engine, target)) {
        // The failed open left the engine stopped: step onto the entry that
        // failed, as a stopped Next or Prev does.
        MoveCurrent(target);
    } else if (PlayerPlayAsync(engine) != 0) {
        StartedPlaying(target);
    }
}

void Playlist::StartedPlaying(int32_t index) {
    ShowCurrent = true;
    MoveCurrent(index);
}

void Playlist::MoveCurrent(int32_t index) {
    const int32_t previous = CurrentIndex;
    CurrentIndex = index;
    if (view_ == nullptr || previous == index) return;
    view_->RepaintRow(previous);
    view_->RepaintRow(index);
}

int32_t Playlist::DrawShuffledEntry() const {
    const int32_t count = Count();
    // With the current entry the only one, no other can be drawn: play it again.
    if (count == 1 && CurrentIndex == 0) return 0;
    int32_t drawn = std::rand() % count;
    while (drawn == CurrentIndex) drawn = std::rand() % count;
    return drawn;
}
