#pragma once

#include <cstdint>

// What the playlist asks of the windows that show it. The main window shows
// the loaded track and owns the Stop command; the playlist window draws the
// rows and scrolls. Both implement their part; tests record the calls.
class PlaylistView {
public:
    virtual ~PlaylistView() = default;

    // Main window: an entry was opened into the engine; show its title and
    // track information.
    virtual void ShowTrack(int32_t index) = 0;
    // Main window: run the Stop command (the end of the list with Repeat None).
    virtual void StopFromMainWindow() = 0;

    // Playlist window: redraw one row if it is visible (after `CurrentIndex`
    // or `SelectedIndex` changed).
    virtual void RepaintRow(int32_t index) = 0;
    // Playlist window: scroll so the current row shows; `afterPrev` selects
    // the rule used after moving backwards.
    virtual void EnsureCurrentVisible(bool afterPrev) = 0;
    // Playlist window: make `row` the first visible row.
    virtual void SetFirstVisibleRow(int32_t row) = 0;

    // Long operations (adding a directory, sorting by title) show the wait
    // cursor between these two calls.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
};
