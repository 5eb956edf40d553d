#pragma once

// The player's process: one instance per user, the engine, the settings, the
// frame window with its children, the message loop and the shutdown order.

#include <memory>

#include "platform/ui/window_manager.h"
#include "playlist/playlist.h"
#include "playlist/playlist_window.h"
#include "ui/eq_window/eq_window.h"
#include "ui/main_window/main_window.h"
#include "ui/shell/device_control.h"
#include "ui/shell/frame_window.h"
#include "ui/shell/playlist_views.h"

struct PlayerEngine;

class Application {
public:
    Application();
    ~Application();

    // Runs the player on `backend` until it quits; returns the exit code.
    int Run(platform::ui::UiBackend& backend);
    // Everything before the message loop: the engine, the settings, the
    // skin, the windows and the default playlist. False when a window cannot
    // be created, which ends the player.
    bool Start(platform::ui::UiBackend& backend);

    // Places the child windows from Settings.EQWnd and Settings.PLWnd.
    void LayoutWindows();
    // Focus gained and lost by the frame window, and its destruction.
    void OnFocusGained();
    void OnFocusLost();
    void OnFrameDestroyed();
    // Asks the backend to bring the window forward.
    void BringForward();

    platform::ui::WindowManager& Windows() { return *windows_; }
    DeviceControl& Device() { return *device_; }
    PlayerEngine* Engine() const { return engine_; }
    FrameWindow& Frame() { return frame_; }
    MainWindow& Main() { return mainWindow_; }
    EqWindow& Equalizer() { return eqWindow_; }
    Playlist& GetPlaylist() { return playlist_; }
    PlaylistViews& Views() { return *views_; }

    PlaylistWindow& ListWindow() { return playlistWindow_; }

private:
    // Gives the window the program's icon.
    void ShowIcon();

    std::unique_ptr<platform::ui::WindowManager> windows_;
    std::unique_ptr<DeviceControl> device_;
    FrameWindow frame_{*this};
    MainWindow mainWindow_{*this};
    EqWindow eqWindow_{*this};
    Playlist playlist_;
    PlaylistWindow playlistWindow_{*this};
    std::unique_ptr<PlaylistViews> views_;
    PlayerEngine* engine_ = nullptr;
    platform::ui::UiBackend* backend_ = nullptr;
};

// Places the three windows inside the frame: main (0, 0, 240, 100); the
// equalizer below it when shown; the playlist in the rest of the
// 294-pixel-high frame when shown. A window not shown is out of sight at
// zero size.
void LayoutWindows(platform::ui::WindowManager& windows, bool equalizerShown, bool playlistShown,
                   platform::ui::Window* mainWindow, platform::ui::Window* equalizerWindow,
                   platform::ui::Window* playlistWindow);
