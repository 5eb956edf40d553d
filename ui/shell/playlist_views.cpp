#include "ui/shell/playlist_views.h"

#include "platform/ui/window_manager.h"
#include "ui/main_window/main_window.h"
#include "ui/playlist_window/playlist_window.h"

void PlaylistViews::ShowTrack(int32_t index) { mainWindow_.ShowTrack(index); }

void PlaylistViews::StopFromMainWindow() { mainWindow_.StopAction(); }

void PlaylistViews::RepaintRow(int32_t index) {
    if (rows_ != nullptr) rows_->RepaintRow(index);
}

void PlaylistViews::EnsureCurrentVisible(bool afterPrev) {
    if (rows_ != nullptr) rows_->EnsureCurrentVisible(afterPrev);
}

void PlaylistViews::SetFirstVisibleRow(int32_t row) {
    if (rows_ != nullptr) rows_->SetFirstVisibleRow(row);
}

void PlaylistViews::BeginWaitCursor() { windows_.BeginWaitCursor(); }

void PlaylistViews::EndWaitCursor() { windows_.EndWaitCursor(); }
