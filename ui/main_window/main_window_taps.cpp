// Taps on the main window: pressed images, the two corners, drags on the
// volume and position bars, and the action of each region.

#include <algorithm>
#include <cstdlib>

#include "platform/ui/popup_menu.h"
#include "platform/ui/window_manager.h"
#include "prefs/settings.h"
#include "resources/player_menu.h"
#include "ui/main_window/main_window.h"
#include "ui/options/options_sheet.h"
#include "ui/shell/application.h"
#include "ui/shell/frame_window.h"
#include "ui/skin/skin.h"

using namespace platform::ui;

namespace {

// Percentage points of volume a notch of the wheel moves.
constexpr int kVolumeWheelStep = 5;

bool IsButton(MainRegion region) {
    return region != MainRegion::None && region != MainRegion::Volume && region != MainRegion::Position;
}

}  // namespace

bool MainWindow::ScreenIgnoresTaps() const { return g_settings.TapHold && application_.Device().ScreenIsOff(); }

void MainWindow::OnStylusDown(int x, int y, bool /*doubleTap*/) {
    pressed_ = MainRegion::None;
    dragged_ = false;
    if (ScreenIgnoresTaps()) return;
    switch (MainCornerAt(x, y)) {
        case MainCorner::Options:
            ShowOptions(application_);
            return;
        case MainCorner::Close:
            // Posted rather than sent: closing destroys this window, which
            // must not happen inside its own handler.
            application_.Frame().PostMessage(WM_CLOSE, 0, 0);
            return;
        case MainCorner::None:
            break;
    }
    pressed_ = MainRegionAt(x, y, g_skin.Scale);
    if (IsButton(pressed_)) DrawRegion(pressed_, true);
}

void MainWindow::OnStylusMove(int x, int y) {
    if (ScreenIgnoresTaps()) return;
    // A drag acts on the bar it started on, while it stays over that bar.
    if (pressed_ != MainRegion::Volume && pressed_ != MainRegion::Position) return;
    if (MainRegionAt(x, y, g_skin.Scale) != pressed_) return;
    dragged_ = true;
    if (pressed_ == MainRegion::Position) {
        // The engine seeks once, when the stylus is lifted.
        position_ = PositionAtX(x, g_skin.Scale);
        DrawPosition();
    } else {
        volume_ = VolumeAtX(x, g_skin.Scale);
        RedrawVolume();
        DeviceControl::SetVolumePercent(volume_);
    }
}

void MainWindow::OnStylusUp(int x, int y) {
    const MainRegion pressed = pressed_;
    pressed_ = MainRegion::None;
    if (ScreenIgnoresTaps()) return;
    if (pressed == MainRegion::Position) {
        // A click seeks to where it lands, as a drag there would: the
        // stylus lifted over the bar takes the thumb to that point.
        if (MainRegionAt(x, y, g_skin.Scale) == MainRegion::Position) {
            position_ = PositionAtX(x, g_skin.Scale);
            DrawPosition();
            dragged_ = true;
        }
        if (dragged_) RunRegion(MainRegion::Position, x, y);
        return;
    }
    if (!IsButton(pressed)) return;
    // A button lifted elsewhere springs back without acting.
    DrawRegion(pressed, false);
    if (MainRegionAt(x, y, g_skin.Scale) == pressed) RunRegion(pressed, x, y);
}

void MainWindow::OnWheel(int x, int y, int notches) {
    if (ScreenIgnoresTaps() || notches == 0 || pressed_ != MainRegion::None) return;
    if (MainRegionAt(x, y, g_skin.Scale) == MainRegion::Position) {
        for (int notch = 0; notch < std::abs(notches); ++notch) SeekByStep(notches > 0);
        return;
    }
    SetVolume(std::clamp(volume_ + notches * kVolumeWheelStep, 0, 100));
}

void MainWindow::RunRegion(MainRegion region, int x, int y) {
    PlayerEngine* engine = application_.Engine();
    switch (region) {
        case MainRegion::Prev:
            if (g_settings.StudyMode) {
                SeekByStep(false);
            } else {
                PrevAction();
            }
            break;
        case MainRegion::Play: PlayAction(); break;
        case MainRegion::Pause: PlayerPause(engine); break;
        case MainRegion::Stop: StopAction(); break;
        case MainRegion::Next:
            if (g_settings.StudyMode) {
                SeekByStep(true);
            } else {
                NextAction();
            }
            break;
        case MainRegion::Eject: AddFileAction(); break;
        case MainRegion::Shuffle:
            g_settings.Shuffle = g_settings.Shuffle ? 0 : 1;
            DrawRegion(region, false);
            break;
        case MainRegion::Repeat: ShowRepeatMenu(x, y); break;
        case MainRegion::EqualizerToggle:
            g_settings.EQWnd = g_settings.EQWnd ? 0 : 1;
            application_.Windows().SendMessage(application_.Frame(), WM_RELAYOUT, 0, 0);
            DrawRegion(region, false);
            break;
        case MainRegion::PlaylistToggle:
            g_settings.PLWnd = g_settings.PLWnd ? 0 : 1;
            application_.Windows().SendMessage(application_.Frame(), WM_RELAYOUT, 0, 0);
            DrawRegion(region, false);
            break;
        case MainRegion::Position: {
            const int64_t duration = PlayerGetDuration(engine);
            PlayerSeek(engine, static_cast<int32_t>(duration * position_ / 1000));
            break;
        }
        case MainRegion::Clock: ToggleTimeRemaining(); break;
        case MainRegion::Title: ToggleTitleScroll(); break;
        case MainRegion::Volume:
        case MainRegion::None:
            break;
    }
}

void MainWindow::ShowRepeatMenu(int x, int y) {
    Menu menu = LoadPlayerSubmenu(kRepeatSubmenu);
    const uint32_t checked = g_settings.Repeat == REPEAT_ONE   ? IDM_REPEAT_ONE
                             : g_settings.Repeat == REPEAT_ALL ? IDM_REPEAT_ALL
                                                               : IDM_REPEAT_NONE;
    CheckMenuItem(menu, checked, true);
    // The menu opens at the tap itself, on the screen.
    const Rect area = ScreenRect();
    TrackPopupMenu(application_.Windows(), menu, TPM_RIGHTALIGN, area.left + x, area.top + y, *this);
}

void MainWindow::OnMenuCommand(uint32_t command) {
    switch (command) {
        case IDM_REPEAT_ONE: g_settings.Repeat = REPEAT_ONE; break;
        case IDM_REPEAT_ALL: g_settings.Repeat = REPEAT_ALL; break;
        case IDM_REPEAT_NONE: g_settings.Repeat = REPEAT_NONE; break;
        default: return;
    }
    // The choice arrives after the menu has closed: show it now.
    DrawRegion(MainRegion::Repeat, false);
}
