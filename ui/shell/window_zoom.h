#pragma once

// How large the player's window is: the whole-number zoom of its 240 x 320
// screen. The user's choice is kept in the settings (Settings::Zoom); a
// start without one takes the largest zoom the display has room for.
// TUNELARK_ZOOM chooses the zoom for one session: the zoom keys still work
// then, but the kept choice stays as it was.

struct Settings;

namespace platform::ui {
class UiBackend;
}

enum class ZoomChange { In, Out, Default };

// The zoom the window starts at: TUNELARK_ZOOM, else the kept choice when it
// is within the range, else the largest that fits the display.
int StartingZoom(const Settings& settings, platform::ui::UiBackend& backend);

// Zooms the window in or out by one, within the range, or back to what a
// start without a choice takes, which forgets the choice; the new zoom is
// kept in `settings` unless TUNELARK_ZOOM chose this session's.
void ChangeZoom(ZoomChange change, Settings& settings, platform::ui::UiBackend& backend);
