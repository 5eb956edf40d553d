#include "ui/shell/application.h"

#include "engine/player.h"
#include "prefs/settings.h"
#include "resources/resource_ids.h"
#include "resources/tunelark_module.h"
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

void LayoutWindows(WindowManager& windows, bool equalizerShown, Window* mainWindow, Window* equalizerWindow,
                   Window* playlistWindow) {
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
        windows.MoveWindow(*playlistWindow, 0, top, kScreenWidth, kFrameHeight - top, true);
    }
}

Application::Application() = default;

Application::~Application() = default;

void Application::LayoutWindows() {
    g_settings.PLWnd = 1;  // the playlist window is always shown
    ::LayoutWindows(*windows_, g_settings.EQWnd != 0, mainWindow, equalizerWindow, playlistWindow);
}

void Application::OnFocusGained() {
    // The main window's volume bar shows a volume changed elsewhere once it
    // exists; the hardware buttons are claimed once their mapping exists.
}

void Application::OnFocusLost() {
    device_->ScreenBackOn();
}

void Application::OnFrameDestroyed() {
    device_->ScreenBackOn();
    SaveSettings();
    windows_->PostQuitMessage(0);
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

int Application::Run(UiBackend& backend) {
    backend_ = &backend;
    windows_ = std::make_unique<WindowManager>(backend);
    device_ = std::make_unique<DeviceControl>(*windows_, g_settings);
    if (!windows_->CreateWindow(frame_, nullptr, "Tunelark", {0, kNavigationBarHeight, kScreenWidth, kScreenHeight},
                                true)) {
        return 0;
    }
    ShowIcon();
    engine_ = PlayerCreate();
    g_settings.Engine = engine_;
    LoadSettings();
    LoadStartupSkin();
    windows_->SetTimer(frame_, kIdleTimerId, kIdleTimerPeriodMs);
    LayoutWindows();
    windows_->SetFocus(&frame_);
    const int exitCode = windows_->RunMessageLoop();
    // The engine is never destroyed: the process ends with any playback.
    return exitCode;
}
