#pragma once

// The player's process: one instance per user, the engine, the settings, the
// frame window with its children, the message loop and the shutdown order.

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ui/window_manager.h"
#include "playlist/playlist.h"
#include "ui/eq_window/eq_window.h"
#include "ui/main_window/main_window.h"
#include "ui/playlist_window/playlist_window.h"
#include "ui/shell/device_control.h"
#include "ui/shell/frame_window.h"
#include "ui/shell/instance_message.h"
#include "ui/shell/playlist_views.h"

struct PlayerEngine;
class MprisService;

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

    // Opening from outside the player (application_open.cpp): the command
    // line, a later start, a drop on the window.
    //
    // Opens files, directories, station lists and addresses. Without
    // `enqueue` they replace the playlist and the first plays, as the Add
    // File dialog's choice does (and only when at least one names something:
    // the list is not lost for nothing); with it they join the end of the
    // list, and the first plays only when the player was stopped with an
    // empty list. User-interface thread only.
    void OpenItems(const std::vector<std::string>& items, bool enqueue);
    // From any thread: has OpenItems run on the user-interface thread as soon
    // as no dialog is open in front of the player.
    void RequestOpen(OpenRequest request);
    // Runs the requests that have waited, unless a dialog is open.
    void OpenRequested();
    // Something was dropped on the window (WM_DROPFILES): it joins the list.
    void OnDrop(platform::ui::WPARAM kind, const char* dropped);

    // The desktop's media-player interface on the session bus: what the
    // player shows changed (status, track, title, volume, position), and
    // the commands it queued wait. User-interface thread only.
    void DesktopBusStateChanged();
    void RunDesktopBusCommands();

    platform::ui::WindowManager& Windows() { return *windows_; }
    DeviceControl& Device() { return *device_; }
    PlayerEngine* Engine() const { return engine_; }
    FrameWindow& Frame() { return frame_; }
    MainWindow& Main() { return mainWindow_; }
    EqWindow& Equalizer() { return eqWindow_; }
    Playlist& GetPlaylist() { return playlist_; }
    PlaylistViews& Views() { return *views_; }

    PlaylistWindow& ListWindow() { return playlistWindow_; }

    // Adds the items at the end of `target`, each through the one adder of
    // files, directories, station lists and addresses, once what the
    // addresses name was fetched; appends to `errors` a line for each item
    // that added nothing. False, with nothing added, when the user cancelled
    // the fetch or the player quits.
    bool AddItems(Playlist& target, const std::vector<std::string>& items, std::string& errors);
    // One message box with the lines of `errors`, when there are any.
    void ReportOpenErrors(const std::string& errors);

private:
    // Gives the window the program's icon.
    void ShowIcon();
    // True while a dialog or menu has the keyboard in front of the player.
    bool DialogOpen() const;

    std::unique_ptr<platform::ui::WindowManager> windows_;
    std::unique_ptr<DeviceControl> device_;
    FrameWindow frame_{*this};
    MainWindow mainWindow_{*this};
    EqWindow eqWindow_{*this};
    Playlist playlist_;
    PlaylistWindow playlistWindow_{*this};
    std::unique_ptr<PlaylistViews> views_;
    std::unique_ptr<MprisService> desktopBus_;
    PlayerEngine* engine_ = nullptr;
    platform::ui::UiBackend* backend_ = nullptr;

    std::mutex requestsMutex_;
    std::deque<OpenRequest> requests_;  // Guarded by requestsMutex_.
};

// Places the three windows inside the frame: main (0, 0, 240, 100); the
// equalizer below it when shown; the playlist in the rest of the
// 294-pixel-high frame when shown. A window not shown is out of sight at
// zero size. The frame, below the navigation bar, ends where the last
// window shown ends.
void LayoutWindows(platform::ui::WindowManager& windows, bool equalizerShown, bool playlistShown,
                   platform::ui::Window* frame, platform::ui::Window* mainWindow, platform::ui::Window* equalizerWindow,
                   platform::ui::Window* playlistWindow);
