// The main window's display: the clock in elapsed or remaining time and its
// blink while paused, the play-state picture, and the title's scrolling.

#include <algorithm>

#include "platform/ui/window_manager.h"
#include "prefs/settings.h"
#include "ui/main_window/main_window.h"
#include "ui/shell/application.h"
#include "ui/skin/main_placements.h"

namespace {

// What follows a scrolling title before it starts again.
constexpr const char* kScrollGap = "  ***  ";

}  // namespace

std::array<int, 5> MainWindow::ClockShown() const {
    PlayerEngine* engine = application_.Engine();
    const PlayerStatus status = PlayerGetStatus(engine);
    if (status == PLAYER_STOPPED) return ClockGlyphs(0);
    if (status == PLAYER_PAUSED && clockBlinkedOff_) return BlankClockGlyphs();
    const int64_t elapsed = PlayerGetPosition(engine);
    const int64_t duration = PlayerGetDuration(engine);
    if (g_settings.TimeRemaining && duration > 0) {
        // Rounded up, so that the count reaches 0:00 as the track ends.
        return ClockGlyphs((std::max<int64_t>(duration - elapsed, 0) + 999) / 1000, true);
    }
    return ClockGlyphs(elapsed / 1000);
}

PlayState MainWindow::ShownPlayState() const {
    switch (PlayerGetStatus(application_.Engine())) {
        case PLAYER_PLAYING: return PlayState::Playing;
        case PLAYER_PAUSED: return PlayState::Paused;
        case PLAYER_STOPPED: break;
    }
    return PlayState::Stopped;
}

void MainWindow::RenderTitleLine() {
    RenderTitle(titleLine_, title_);
    if (titleLine_.Width() > TitleBoxWidth()) RenderTitle(titleLine_, title_ + kScrollGap);
    if (titleLine_.Width() > 0) titleOffset_ %= titleLine_.Width();
}

bool MainWindow::TitleScrollMode() const { return g_settings.ScrollTitle && titleLine_.Width() > TitleBoxWidth(); }

void MainWindow::UpdateTitleScroll() {
    const bool wanted =
        TitleScrollMode() && IsVisible() && PlayerGetStatus(application_.Engine()) == PLAYER_PLAYING;
    if (wanted == titleScrolls_) return;
    titleScrolls_ = wanted;
    if (wanted) {
        application_.Windows().SetTimer(*this, kTitleScrollTimerId, kTitleScrollPeriodMs);
    } else {
        application_.Windows().KillTimer(*this, kTitleScrollTimerId);
    }
}

void MainWindow::OnTitleScrollTick() {
    titleOffset_ = (titleOffset_ + 1) % std::max(titleLine_.Width(), 1);
    if (DrawTitle()) return;
    // Hidden or covered, the title waits for the repaint that shows it again.
    titleScrolls_ = false;
    application_.Windows().KillTimer(*this, kTitleScrollTimerId);
}

void MainWindow::TitleChanged() {
    titleOffset_ = 0;
    RenderTitleLine();
    DrawTitle();
    UpdateTitleScroll();
}

void MainWindow::ToggleTimeRemaining() {
    g_settings.TimeRemaining = !g_settings.TimeRemaining;
    DrawClock();
}

void MainWindow::ToggleTitleScroll() {
    g_settings.ScrollTitle = !g_settings.ScrollTitle;
    titleOffset_ = 0;
    DrawTitle();
    UpdateTitleScroll();
}
