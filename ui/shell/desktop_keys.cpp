#include "ui/shell/desktop_keys.h"

#include <algorithm>

#include "engine/player.h"
#include "prefs/button_functions.h"
#include "prefs/settings.h"
#include "ui/shell/application.h"
#include "ui/shell/window_zoom.h"

using namespace platform::ui;

namespace {

constexpr int kMaximumVolume = 100;

bool MappedToButtonFunction(uint32_t virtualKey) {
    const HardwareKey* key = FindHardwareKey(virtualKey);
    return key != nullptr && g_settings.*key->mapping != 0;
}

void ChangeVolume(MainWindow& main, int step) { main.SetVolume(std::clamp(main.Volume() + step, 0, kMaximumVolume)); }

}  // namespace

std::optional<DesktopCommand> DesktopCommandFor(uint32_t virtualKey, uint32_t modifiers) {
    // A mapped key reaches the player as its hot key; should claiming it
    // have failed, it still does nothing else.
    if (MappedToButtonFunction(virtualKey)) return std::nullopt;
    const uint32_t held = modifiers & (MOD_CONTROL | MOD_ALT);
    for (const DesktopKey& key : kDesktopKeys) {
        if (key.virtualKey == virtualKey && key.modifiers == held) return key.command;
    }
    return std::nullopt;
}

void HandleDesktopKey(Application& application, uint32_t virtualKey, uint32_t modifiers) {
    PlaylistWindow& playlist = application.ListWindow();
    const bool playlistHasKeyboard = application.Windows().LastPressed() == &playlist;
    if (playlistHasKeyboard && (modifiers & (MOD_CONTROL | MOD_ALT)) == 0 && !MappedToButtonFunction(virtualKey) &&
        playlist.HandleKey(virtualKey)) {
        return;
    }
    if (const std::optional<DesktopCommand> command = DesktopCommandFor(virtualKey, modifiers)) {
        RunDesktopCommand(application, *command);
    }
}

void RunDesktopCommand(Application& application, DesktopCommand command) {
    MainWindow& main = application.Main();
    PlayerEngine* engine = application.Engine();
    platform::ui::UiBackend& backend = application.Windows().Backend();
    switch (command) {
        case DesktopCommand::PlayPause:
            // What the Pause button does while playing, else the Play button.
            if (PlayerGetStatus(engine) == PLAYER_PLAYING) {
                PlayerPause(engine);
            } else {
                main.PlayAction();
            }
            break;
        case DesktopCommand::SeekBack: main.SeekByStep(false); break;
        case DesktopCommand::SeekForward: main.SeekByStep(true); break;
        case DesktopCommand::VolumeUp: ChangeVolume(main, kVolumeKeyStep); break;
        case DesktopCommand::VolumeDown: ChangeVolume(main, -kVolumeKeyStep); break;
        case DesktopCommand::AddFile: main.AddFileAction(); break;
        case DesktopCommand::AddUrl: application.ListWindow().AddUrl(); break;
        case DesktopCommand::Quit:
            // Closed as the close box closes it, in order.
            application.Frame().PostMessage(WM_CLOSE, 0, 0);
            break;
        case DesktopCommand::ZoomIn: ChangeZoom(ZoomChange::In, g_settings, backend); break;
        case DesktopCommand::ZoomOut: ChangeZoom(ZoomChange::Out, g_settings, backend); break;
        case DesktopCommand::ZoomDefault: ChangeZoom(ZoomChange::Default, g_settings, backend); break;
        case DesktopCommand::JumpToFile: application.ListWindow().JumpToFile(); break;
        case DesktopCommand::RemoveSelected: application.ListWindow().RemoveSelectedEntries(); break;
    }
}
