#include "ui/shell/application.h"

#include "engine/player.h"
#include "prefs/settings.h"
#include "resources/resource_ids.h"
#include "resources/tunelark_module.h"
#include "ui/buttons/hardware_buttons.h"
#include "ui/desktop_bus/mpris_service.h"
#include "ui/shell/window_zoom.h"
#include "ui/skin/skin.h"

using namespace platform::ui;

namespace {

constexpr int kFrameHeight = kScreenHeight - kNavigationBarHeight;  // 294
constexpr int kMainHeight = 100;
constexpr int kEqualizerHeight = 100;
constexpr int kLargeIconSide = 32;

// The skin named by the settings, else the base skin, which the settings
// then name. With neither the windows draw without bitmaps.
void LoadStartupSkin() {
    SetModuleInstance(TunelarkModule());
    if (!LoadSkinDirectory(g_settings.SkinDir) && LoadBaseSkin()) {
        g_settings.SkinDir = kBaseSkinDir;
    }
}

}  // namespace

void LayoutWindows(WindowManager& windows, bool equalizerShown, bool playlistShown, Window* frame, Window* mainWindow,
                   Window* equalizerWindow, Window* playlistWindow) {
    if (frame != nullptr) {
        // As tall as what it shows: nothing of it stands empty below.
        const int height = playlistShown    ? kFrameHeight
                           : equalizerShown ? kMainHeight + kEqualizerHeight
                                            : kMainHeight;
        windows.MoveWindow(*frame, 0, kNavigationBarHeight, kScreenWidth, height, true);
    }
    if (mainWindow != nullptr) windows.MoveWindow(*mainWindow, 0, 0, kScreenWidth, kMainHeight, true);
    if (equalizerWindow != nullptr) {
        if (equalizerShown) {
            windows.MoveWindow(*equalizerWindow, 0, kMainHeight, kScreenWidth, kEqualizerHeight, true);
        } else {
            windows.MoveWindow(*equalizerWindow, 0, 0, 0, 0, true);
        }
    }
    if (playlistWindow != nullptr) {
        const int top = equalizerShown ? kMainHeight + kEqualizerHeight : kMainHeight;
        if (playlistShown) {
            windows.MoveWindow(*playlistWindow, 0, top, kScreenWidth, kFrameHeight - top, true);
        } else {
            windows.MoveWindow(*playlistWindow, 0, 0, 0, 0, true);
        }
    }
}

Application::Application() = default;

Application::~Application() = default;

void Application::LayoutWindows() {
    ::LayoutWindows(*windows_, g_settings.EQWnd != 0, g_settings.PLWnd != 0, &frame_, &mainWindow_, &eqWindow_,
                    &playlistWindow_);
}

void Application::OnFocusGained() {
    // A volume changed elsewhere shows.
    mainWindow_.ReadVolumeFromDevice();
    ClaimButtons(*windows_, frame_);
    // At the start and when a dialog closes: what waited to be opened.
    OpenRequested();
}

void Application::OnFocusLost() {
    if (g_settings.UnMap != 0) ReleaseButtons(*windows_, frame_);
    device_->ScreenBackOn();
}

void Application::OnFrameDestroyed() {
    // The bus thread reads nothing of the windows, but its commands would.
    desktopBus_.reset();
    ReleaseAllButtons(*windows_, frame_);
    device_->ScreenBackOn();
    SaveSettings();
    windows_->PostQuitMessage(0);
}

void Application::DesktopBusStateChanged() {
    if (desktopBus_ != nullptr) desktopBus_->Update();
}

void Application::RunDesktopBusCommands() {
    if (desktopBus_ != nullptr) desktopBus_->RunQueuedCommands();
}

void Application::BringForward() {
    if (backend_ != nullptr) backend_->Raise();
}

void Application::ShowIcon() {
    // A desktop window shows one icon; the large one looks best at its sizes.
    HBITMAP icon = LoadIconImage(TunelarkModule(), IDI_TUNELARK, kLargeIconSide);
    if (icon != nullptr) {
        backend_->SetIcon(icon->Image().Data(), icon->Width(), icon->Height());
        DeleteObject(icon);
    }
}

bool Application::Start(UiBackend& backend) {
    backend_ = &backend;
    windows_ = std::make_unique<WindowManager>(backend);
    device_ = std::make_unique<DeviceControl>(*windows_, g_settings);
    views_ = std::make_unique<PlaylistViews>(mainWindow_, *windows_);
    playlist_.SetView(views_.get());
    if (!windows_->CreateWindow(frame_, nullptr, "Tunelark", {0, kNavigationBarHeight, kScreenWidth, kScreenHeight},
                                true)) {
        return false;
    }
    ShowIcon();
    engine_ = PlayerCreate();
    g_settings.Engine = engine_;
    LoadSettings();
    // Before anything shows: the window appears at its first presentation.
    backend.SetZoom(StartingZoom(g_settings, backend));
    LoadStartupSkin();
    if (!windows_->CreateWindow(mainWindow_, &frame_, kMainWindowClass, {0, 0, kScreenWidth, kMainHeight}, true)) {
        return false;
    }
    // Created with no size: the layout gives it its place, or none.
    if (!windows_->CreateWindow(eqWindow_, &frame_, kEqWindowClass, {}, true)) return false;
    // It loads the default playlist as it is created, and saves it as it goes.
    if (!windows_->CreateWindow(playlistWindow_, &frame_, kPlaylistWindowClass, {}, true)) return false;
    views_->SetPlaylistWindow(&playlistWindow_);
    LayoutWindows();
    ClaimButtons(*windows_, frame_);
    desktopBus_ = std::make_unique<MprisService>(*this);
    desktopBus_->Start();
    // Its focus gain opens what was asked for before the frame could take
    // messages: the command line's items.
    windows_->SetFocus(&frame_);
    return true;
}

int Application::Run(UiBackend& backend) {
    if (!Start(backend)) return 0;
    const int exitCode = windows_->RunMessageLoop();
    // The engine is never destroyed, but nothing plays on while the player
    // takes its windows down.
    PlayerStop(engine_);
    return exitCode;
}
