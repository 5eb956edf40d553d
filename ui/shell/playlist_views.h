#pragma once

// The windows that show the playlist, as the playlist sees them: the main
// window shows the loaded track and owns the Stop command; the playlist
// window, when there is one, draws and scrolls the rows; the wait cursor is
// the window system's.

#include "playlist/playlist_view.h"

class MainWindow;
class PlaylistWindow;

namespace platform::ui {
class WindowManager;
}

class PlaylistViews final : public PlaylistView {
public:
    PlaylistViews(MainWindow& mainWindow, platform::ui::WindowManager& windows)
        : mainWindow_(mainWindow), windows_(windows) {}

    // The window that draws the rows; null until it exists.
    void SetPlaylistWindow(PlaylistWindow* rows) { rows_ = rows; }

    void ShowTrack(int32_t index) override;
    void StopFromMainWindow() override;
    void RepaintRow(int32_t index) override;
    void EnsureCurrentVisible(bool afterPrev) override;
    void SetFirstVisibleRow(int32_t row) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

private:
    MainWindow& mainWindow_;
    platform::ui::WindowManager& windows_;
    PlaylistWindow* rows_ = nullptr;
};
