#pragma once

// The player on the desktop's session bus as org.mpris.MediaPlayer2.tunelark:
// media keys, sound menus and playerctl control it there.
//
// The bus has a thread of its own, asleep in poll() until the bus or the
// player has something. Method calls become commands queued for the
// user-interface thread (WM_DESKTOP_BUS_COMMAND to the frame); property reads
// answer from a copy of the state that the user-interface thread refreshes
// whenever what it shows changes.

#include <deque>
#include <mutex>
#include <thread>

#include "ui/desktop_bus/mpris_commands.h"
#include "ui/desktop_bus/mpris_state.h"

class Application;
struct sd_bus;

class MprisService {
public:
    explicit MprisService(Application& application);
    ~MprisService();
    MprisService(const MprisService&) = delete;
    MprisService& operator=(const MprisService&) = delete;

    // Joins the session bus in the background; without one nothing happens.
    void Start();
    // Leaves the bus and joins the thread.
    void Stop();
    // User-interface thread: takes a new copy of the state and has the bus
    // announce what changed.
    void Update();
    // User-interface thread: runs the commands the bus queued.
    void RunQueuedCommands();

    // Bus thread, for the interface's handlers.
    MprisState State();
    void Queue(MprisCommand command);
    Application& Owner() { return application_; }

private:
    void Run();
    void Wake();
    // Bus thread: PropertiesChanged and Seeked for what changed since the
    // last announcement.
    void Announce(sd_bus* bus);
    void Refresh(bool seeked);

    Application& application_;
    LoadedFileTags loadedTags_;  // User-interface thread only.
    std::thread thread_;
    int wakeFd_ = -1;

    std::mutex mutex_;
    MprisState state_;                   // Guarded by mutex_.
    uint64_t seeks_ = 0;                 // Guarded by mutex_: seeks so far.
    bool stopping_ = false;              // Guarded by mutex_.
    std::deque<MprisCommand> commands_;  // Guarded by mutex_.

    // Bus thread only: what was last announced.
    MprisState announced_;
    uint64_t announcedSeeks_ = 0;
};
