// Taps, double taps and drags on the playlist window: rows, the scroll
// strip and the group buttons.

#include <algorithm>

#include "platform/ui/window_manager.h"
#include "playlist/playlist.h"
#include "prefs/settings.h"
#include "ui/playlist_window/playlist_window.h"
#include "ui/shell/application.h"

using namespace platform::ui;

bool PlaylistWindow::ScreenIgnoresTaps() const { return g_settings.TapHold && application_.Device().ScreenIsOff(); }

std::optional<GroupButton> PlaylistWindow::ActiveButtonAt(int x, int y) const {
    const std::optional<GroupButton> button = GroupButtonAt(Geometry(), x, y);
    // The popped-up buttons respond only while their group is open.
    if (!button.has_value() || (button->level > 0 && !GroupOpen(button->group))) return std::nullopt;
    return button;
}

void PlaylistWindow::OnStylusDown(int x, int y, bool doubleTap) {
    press_ = PressKind::None;
    if (ScreenIgnoresTaps()) return;
    // Open groups cover the lowest rows, so their buttons are tried first.
    if (const std::optional<GroupButton> button = ActiveButtonAt(x, y)) {
        press_ = PressKind::Button;
        pressedButton_ = *button;
        DrawGroupButton(*button, true);
        return;
    }
    const PlaylistGeometry geometry = Geometry();
    if (InScrollStrip(geometry, x, y)) {
        press_ = PressKind::Strip;
        return;
    }
    if (const std::optional<int> row = ListRowAt(geometry, x, y)) {
        press_ = PressKind::Row;
        TapRow(*row, doubleTap);
        return;
    }
    CloseAllGroups();
}

void PlaylistWindow::TapRow(int visibleRow, bool doubleTap) {
    CloseAllGroups();
    Playlist& list = List();
    const int32_t index = firstRow_ + visibleRow;
    selectOnLift_ = false;
    if (index >= list.Count()) {
        list.SelectNone();
    } else if (!doubleTap && StylusWithControl()) {
        list.ToggleSelected(index);
    } else if (!doubleTap && StylusWithShift()) {
        list.SelectRange(index);
    } else if (!doubleTap && list.IsSelected(index) && list.SelectionCount() > 1) {
        list.SelectedIndex = index;
        selectOnLift_ = true;
    } else {
        list.SelectOnly(index);
    }
    RepaintRows();
    if (doubleTap && index < list.Count()) PlayIndex(index);
}

void PlaylistWindow::PlayIndex(int32_t index) {
    Playlist& list = List();
    const int32_t oldCurrent = list.CurrentIndex;
    if (!application_.Main().PlayEntry(index)) return;
    list.CurrentIndex = index;
    list.ShowCurrent = true;
    RepaintRow(oldCurrent);
    RepaintRow(index);
}

void PlaylistWindow::OnStylusMove(int x, int y) {
    if (ScreenIgnoresTaps()) return;
    if (press_ == PressKind::Strip && InScrollStrip(Geometry(), x, y)) {
        Scroll(y);
    } else if (press_ == PressKind::Row) {
        if (const std::optional<int> row = ListRowAt(Geometry(), x, y)) MoveSelectedEntry(*row);
    }
}

void PlaylistWindow::OnWheel(int /*x*/, int /*y*/, int notches) {
    constexpr int kRowsPerNotch = 3;
    const PlaylistGeometry geometry = Geometry();
    const int32_t lastFirstRow = std::max(List().Count() - geometry.wholeRows, 0);
    const int32_t first = std::clamp(firstRow_ - notches * kRowsPerNotch, 0, lastFirstRow);
    if (first != firstRow_) SetFirstVisibleRow(first);
}

void PlaylistWindow::Scroll(int y) {
    const ScrollPosition position = ScrollAt(Geometry(), y, List().Count());
    if (position.percent == scrollPercent_) return;
    scrollPercent_ = position.percent;
    firstRow_ = position.firstRow;
    RepaintList();
}

void PlaylistWindow::MoveSelectedEntry(int visibleRow) {
    Playlist& list = List();
    const int32_t target = firstRow_ + visibleRow;
    const int32_t source = list.SelectedIndex;
    if (source < 0 || target == source || target >= list.Count()) return;
    CloseAllGroups();
    selectOnLift_ = false;
    list.MoveSelectedTo(target);
    RepaintRows();
}

void PlaylistWindow::OnStylusUp(int x, int y) {
    const PressKind press = press_;
    press_ = PressKind::None;
    if (ScreenIgnoresTaps()) return;
    if (press == PressKind::Row && selectOnLift_) {
        selectOnLift_ = false;
        List().SelectOnly(List().SelectedIndex);
        RepaintRows();
    }
    if (press != PressKind::Button) return;
    DrawGroupButton(pressedButton_, false);
    const std::optional<GroupButton> button = ActiveButtonAt(x, y);
    if (button.has_value() && *button == pressedButton_) RunButton(*button, x);
}
