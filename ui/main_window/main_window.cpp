// The main window's life, its messages and what it draws.

#include "ui/main_window/main_window.h"

#include <algorithm>

#include "platform/ui/window_manager.h"
#include "prefs/settings.h"
#include "ui/buttons/hardware_buttons.h"
#include "ui/shell/application.h"
#include "ui/skin/main_placements.h"
#include "ui/skin/skin.h"

using namespace platform::ui;

namespace {

// The main window draws the skin, made for a 275-pixel window, at 87 %.
constexpr int kMainScale = 87;

constexpr int kMaximumVolume = 100;

}  // namespace

bool MainWindow::Wants(uint32_t message) const {
    return message != WM_PLAYER_LEVEL;
}

bool MainWindow::OnOtherMessage(uint32_t message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PLAYER_STREAM_TITLE) {
        // Read late, the title may belong to a stream closed since.
        if (PlayerGetSourceKind(application_.Engine()) == SOURCE_MPEG_STREAM) {
            ShowStreamTitle(application_.GetPlaylist().CurrentIndex);
        }
        application_.DesktopBusStateChanged();
        return true;
    }
    if (message != WM_PLAYER_STATUS) return false;
    if (wParam == PLAYER_STOPPED) OnStopped(lParam);
    if (wParam == PLAYER_PLAYING) OnPlaying();
    if (wParam == PLAYER_PAUSED) OnPaused();
    application_.DesktopBusStateChanged();
    return true;
}

void MainWindow::OnTimer(uintptr_t id) {
    if (id == kClockTimerId) OnClockTick();
    if (id == kTitleScrollTimerId) OnTitleScrollTick();
    if (id == kMultiFunctionTimerId) OnMultiFunctionTick(application_);
}

void MainWindow::OnCreate() {
    g_skin.Scale = kMainScale;
    if (g_settings.UseStartVol) {
        DeviceControl::SetVolumePercent(std::clamp(g_settings.StartVol, 0, kMaximumVolume));
    }
    PlayerSetNotifyWindow(application_.Engine(), this);
    // A start volume is read back from the device, as every later change is.
    volume_ = DeviceControl::GetVolumePercent();
}

void MainWindow::OnDestroy() {
    PlayerSetNotifyWindow(application_.Engine(), nullptr);
    if (g_settings.UseEndVol) {
        if (g_settings.EndVol < 1) g_settings.EndVol = 0;
        DeviceControl::SetVolumePercent(std::min(g_settings.EndVol, kMaximumVolume));
    }
}

void MainWindow::PaintAll() {
    HDC target = Drawing(kMainScale);
    if (target == nullptr) return;
    PaintMainBackground(target);
    PaintMainTitleBar(target);
    for (MainRegion button : {MainRegion::Prev, MainRegion::Play, MainRegion::Pause, MainRegion::Stop,
                              MainRegion::Next, MainRegion::Eject, MainRegion::Shuffle, MainRegion::Repeat,
                              MainRegion::EqualizerToggle, MainRegion::PlaylistToggle}) {
        DrawRegion(button, false);
    }
    PaintChannelIndicators(target, trackInfo_.channels);
    PaintVolume(target, volume_);
    PaintBalance(target);
    PaintPlayState(target, ShownPlayState());
    PaintClock(target, ClockShown());
    PaintPosition(target, position_);
    PaintBitRate(target, trackInfo_.bitrate);
    PaintSampleRate(target, trackInfo_.sampleRate);
    // The skin may have changed since the title's line was drawn.
    RenderTitleLine();
    PaintTitle(target, titleLine_, titleOffset_, TitleScrollMode());
    // Shown again after being hidden or covered, the title scrolls on.
    UpdateTitleScroll();
}

void MainWindow::DrawRegion(MainRegion region, bool pressed) {
    HDC target = Drawing(kMainScale);
    if (target == nullptr) return;
    switch (region) {
        case MainRegion::Prev: PaintTransportButton(target, TransportButton::Prev, pressed); break;
        case MainRegion::Play: PaintTransportButton(target, TransportButton::Play, pressed); break;
        case MainRegion::Pause: PaintTransportButton(target, TransportButton::Pause, pressed); break;
        case MainRegion::Stop: PaintTransportButton(target, TransportButton::Stop, pressed); break;
        case MainRegion::Next: PaintTransportButton(target, TransportButton::Next, pressed); break;
        case MainRegion::Eject: PaintTransportButton(target, TransportButton::Eject, pressed); break;
        case MainRegion::Shuffle:
            PaintMainToggle(target, MainToggle::Shuffle, g_settings.Shuffle != 0, pressed);
            break;
        case MainRegion::Repeat:
            PaintMainToggle(target, MainToggle::Repeat, g_settings.Repeat != REPEAT_NONE, pressed);
            break;
        case MainRegion::EqualizerToggle:
            PaintMainToggle(target, MainToggle::Equalizer, g_settings.EQWnd != 0, pressed);
            break;
        case MainRegion::PlaylistToggle:
            PaintMainToggle(target, MainToggle::Playlist, g_settings.PLWnd != 0, pressed);
            break;
        case MainRegion::None:
        case MainRegion::Volume:
        case MainRegion::Position:
        case MainRegion::Clock:
        case MainRegion::Title:
            break;
    }
}

void MainWindow::DrawClock() {
    if (HDC target = Drawing(kMainScale)) PaintClock(target, ClockShown());
}

void MainWindow::DrawPlayState() {
    if (HDC target = Drawing(kMainScale)) PaintPlayState(target, ShownPlayState());
}

void MainWindow::DrawPosition() {
    if (HDC target = Drawing(kMainScale)) PaintPosition(target, position_);
}

void MainWindow::ShowPlayPosition(int permille) {
    // The thumb under the stylus stays where the stylus holds it.
    if (pressed_ == MainRegion::Position) return;
    position_ = permille;
    DrawPosition();
}

void MainWindow::RedrawVolume() {
    if (HDC target = Drawing(kMainScale)) PaintVolume(target, volume_);
}

void MainWindow::SetVolume(int percent) {
    // A drag on the volume bar owns the volume until it is lifted.
    if (pressed_ == MainRegion::Volume) return;
    volume_ = percent;
    DeviceControl::SetVolumePercent(volume_);
    RedrawVolume();
    application_.DesktopBusStateChanged();
}

void MainWindow::ReadVolumeFromDevice() {
    if (pressed_ == MainRegion::Volume) return;
    volume_ = DeviceControl::GetVolumePercent();
    RedrawVolume();
    application_.DesktopBusStateChanged();
}

void MainWindow::DrawTrackInfo() {
    HDC target = Drawing(kMainScale);
    if (target == nullptr) return;
    PaintChannelIndicators(target, trackInfo_.channels);
    PaintBitRate(target, trackInfo_.bitrate);
    PaintSampleRate(target, trackInfo_.sampleRate);
}

bool MainWindow::DrawTitle() {
    HDC target = Drawing(kMainScale);
    return target != nullptr && PaintTitle(target, titleLine_, titleOffset_, TitleScrollMode());
}
