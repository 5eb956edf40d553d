// The main window's commands, the stop marks they raise, and what it does
// with the engine's status reports.
//
// Every stop of the engine arrives as the same stopped report, whether a
// track ended or a command stopped or replaced it. A command that is about to
// cause one raises its own mark first; the stopped handling lowers it instead
// of moving on to the next track.

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/ui/dialog_host.h"
#include "platform/ui/window_manager.h"
#include "platform/path_text.h"
#include "playlist/display_title.h"
#include "prefs/settings.h"
#include "resources/string_table.h"
#include "ui/dialogs/add_file_dialog.h"
#include "ui/main_window/main_window.h"
#include "ui/shell/application.h"

using namespace platform::ui;

PlaylistModes MainWindow::Modes() const { return PlaylistModes{g_settings.Repeat, g_settings.Shuffle != 0}; }

void MainWindow::RepaintCurrentRow() {
    Playlist& playlist = application_.GetPlaylist();
    playlist.ShowCurrent = true;
    application_.Views().RepaintRow(playlist.CurrentIndex);
}

void MainWindow::StopAction() {
    PlayerEngine* engine = application_.Engine();
    if (PlayerGetStatus(engine) != PLAYER_STOPPED) marks_.StopMark = true;
    RepaintCurrentRow();
    PlayerStop(engine);
}

void MainWindow::PlayAction() {
    PlayerEngine* engine = application_.Engine();
    Playlist& playlist = application_.GetPlaylist();
    if (playlist.Count() == 0) {
        AddFileAction();
        return;
    }
    switch (PlayerGetStatus(engine)) {
        case PLAYER_PLAYING:
            if (playlist.ShowCurrent) {
                // The loaded track starts again from its beginning.
                marks_.PlayMark = true;
                PlayerStop(engine);
                PlayerPlayAsync(engine);
            } else {
                // The playing entry was removed from the list.
                playlist.ShowCurrent = true;
                if (playlist.CurrentIndex == -1) playlist.CurrentIndex = 0;
                PlayEntry(playlist.CurrentIndex);
            }
            break;
        case PLAYER_PAUSED:
            PlayerPause(engine);
            break;
        case PLAYER_STOPPED:
            if (playlist.CurrentIndex == -1) playlist.CurrentIndex = 0;
            if (!playlist.OpenEntry(engine, playlist.CurrentIndex)) {
                ReportOpenFailure(playlist.CurrentIndex);
            } else if (PlayerPlayAsync(engine) == 0) {
                ReportPlayFailure();
            }
            break;
    }
}

void MainWindow::PrevAction() {
    marks_.PrevMark = true;
    if (!application_.GetPlaylist().PrevEntry(application_.Engine(), Modes())) marks_.PrevMark = false;
}

void MainWindow::NextAction() {
    marks_.NextMark = true;
    if (!application_.GetPlaylist().NextEntry(application_.Engine(), Modes())) marks_.NextMark = false;
}

void MainWindow::AddFileAction() {
    std::string selection;
    if (!ShowAddFileDialog(application_.Windows(), *this, g_settings.LastDir, selection)) return;
    ReplacePlaylistAndPlay([&selection](Playlist& playlist) { playlist.AddFiles(selection, g_settings.LastDir); });
}

void MainWindow::ReplacePlaylistAndPlay(const std::function<void(Playlist&)>& fill) {
    PlayerEngine* engine = application_.Engine();
    if (PlayerGetStatus(engine) != PLAYER_STOPPED) marks_.AddFileMark = true;
    Playlist& playlist = application_.GetPlaylist();
    playlist.Clear();
    playlist.CurrentIndex = 0;
    playlist.SelectedIndex = -1;
    playlist.ShowCurrent = true;
    fill(playlist);
    if (playlist.OpenEntry(engine, 0) && PlayerPlayAsync(engine) == 0) ReportPlayFailure();
}

void MainWindow::SeekByStep(bool forward) {
    PlayerEngine* engine = application_.Engine();
    if (PlayerGetStatus(engine) == PLAYER_STOPPED) return;
    const int32_t milliseconds = g_settings.SeekStep * 1000;
    if (forward) {
        PlayerForward(engine, milliseconds);
    } else {
        PlayerRewind(engine, milliseconds);
    }
}

bool MainWindow::PlayEntry(int32_t index) {
    PlayerEngine* engine = application_.Engine();
    marks_.ReopenMark = PlayerGetStatus(engine) != PLAYER_STOPPED;
    if (!application_.GetPlaylist().OpenEntry(engine, index)) {
        ReportOpenFailure(index);
        return false;
    }
    if (PlayerPlayAsync(engine) != 0) return true;
    ReportPlayFailure();
    return false;
}

void MainWindow::ReportOpenFailure(int32_t index) {
    std::string path;
    application_.GetPlaylist().GetPath(index, path);
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    // A pipe or a device in the list is refused without waiting on it; only
    // that is worth a word, the rest is skipped as a file that is not music.
    if (error || !std::filesystem::exists(status) || std::filesystem::is_regular_file(status) ||
        std::filesystem::is_directory(status)) {
        return;
    }
    MessageBox(application_.Windows(), "\"" + path + "\" is not a regular file (a pipe or a device), so it cannot play.",
               kProgramCaption, MB_OK);
}

void MainWindow::ReportPlayFailure(bool deviceLost) {
    PlayerEngine* engine = application_.Engine();
    std::string text;
    if (PlayerDeviceFailed(engine)) {
        text = deviceLost ? kSoundDeviceLost : kNoSoundDevice;
    } else if (PlayerGetSourceKind(engine) != SOURCE_MPEG_STREAM || PlayerGetStreamError(engine, &text) == 0) {
        return;
    }
    MessageBox(application_.Windows(), text, kProgramCaption, MB_OK);
}

void MainWindow::ShowStreamTitle(int32_t index) {
    const Playlist& list = application_.GetPlaylist();
    if (index < 0 || index >= list.Count()) return;
    PlayerEngine* engine = application_.Engine();
    const PlaylistEntry& entry = list.Entries()[static_cast<size_t>(index)];
    if (PlayerIsConnecting(engine)) {
        title_ = kConnectingPrefix + EntryTitle(entry);
    } else {
        std::string name, genre, url, streamTitle;
        PlayerGetStreamInfo(engine, &name, &genre, &url);
        PlayerGetStreamTitle(engine, &streamTitle);
        title_ = StreamDisplayTitle(name, streamTitle, entry);
    }
    TitleChanged();
}

void MainWindow::OnPlaying() {
    application_.Windows().SetTimer(*this, kClockTimerId, kClockTimerPeriodMs);
    clockBlinkedOff_ = false;
    DrawClock();
    DrawPlayState();
    UpdateTitleScroll();
    // A stream's format and station are known only once it plays.
    if (PlayerGetSourceKind(application_.Engine()) == SOURCE_MPEG_STREAM) {
        ShowTrack(application_.GetPlaylist().CurrentIndex);
    }
    // The report may be read after a later command stopped the track again.
    if (PlayerGetStatus(application_.Engine()) == PLAYER_STOPPED) RepaintCurrentRow();
}

void MainWindow::OnPaused() {
    clockBlinkedOff_ = false;
    DrawPlayState();
    UpdateTitleScroll();
}

void MainWindow::OnStopped(intptr_t detail) {
    RepaintCurrentRow();
    application_.Windows().KillTimer(*this, kClockTimerId);
    clockBlinkedOff_ = false;
    DrawClock();
    DrawPlayState();
    UpdateTitleScroll();
    ShowPlayPosition(0);
    // A report read after a later command started playback again is stale:
    // it only answers a mark. Taken for the end of a track, it would close
    // what plays now, whose own report would then close the next, round and
    // round without end.
    if (PlayerGetStatus(application_.Engine()) != PLAYER_STOPPED) {
        marks_.LowerFirstRaised();
        return;
    }
    // A stream's title no longer says that it connects.
    if (PlayerGetSourceKind(application_.Engine()) == SOURCE_MPEG_STREAM) {
        ShowTitle(application_.GetPlaylist().CurrentIndex);
    }
    // A stream that could not start, or a lost sound device, says why and
    // stops there, unless a command stopped it; a stream that broke off says
    // why before the next entry plays.
    if (detail == kPlayerStartFailed || detail == kPlayerDeviceLost) {
        RepaintCurrentRow();
        if (!marks_.LowerFirstRaised()) ReportPlayFailure(detail == kPlayerDeviceLost);
        return;
    }
    ReportPlayFailure();
    // Lowers the mark of a stop a command caused; otherwise the track ended
    // by itself and the playlist's rules choose what plays next.
    application_.GetPlaylist().AdvanceAtEndOfTrack(application_.Engine(), Modes(), marks_);
}

void MainWindow::OnClockTick() {
    PlayerEngine* engine = application_.Engine();
    // Paused, the clock blinks: shown one tick, blank the next.
    clockBlinkedOff_ = PlayerGetStatus(engine) == PLAYER_PAUSED && !clockBlinkedOff_;
    DrawClock();
    const int64_t elapsed = PlayerGetPosition(engine);
    const int64_t duration = PlayerGetDuration(engine);
    ShowPlayPosition(duration > 0 ? static_cast<int>(std::clamp<int64_t>(elapsed * 1000 / duration, 0, 1000)) : 0);
    // The bus's copy of the position runs on from here.
    application_.DesktopBusStateChanged();
}

void MainWindow::ShowTrack(int32_t index) {
    ShowTrackInfo();
    ShowTitle(index);
    application_.DesktopBusStateChanged();
}

void MainWindow::ShowTrackInfo() {
    PlayerGetFileInfo(application_.Engine(), &trackInfo_);
    DrawTrackInfo();
}

void MainWindow::ShowTitle(int32_t index) {
    if (PlayerGetSourceKind(application_.Engine()) == SOURCE_MPEG_STREAM) {
        ShowStreamTitle(index);
        return;
    }
    const bool tagged = PlayerGetTag(application_.Engine(), &tag_) != 0;
    if (!tagged || !ArtistTitleText(tag_, title_)) {
        std::string path;
        application_.GetPlaylist().GetPath(index, path);
        title_ = std::string(platform::FileNamePart(path));
    }
    TitleChanged();
}
